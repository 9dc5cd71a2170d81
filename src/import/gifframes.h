#pragma once

#include <QImage>
#include <QList>
#include <QString>

// Every frame of an animated GIF file, composed as the animation shows it. Returns false,
// with the decoder's reason in `error`, for a file that does not decode or holds no frame.
bool readGifFrames(const QString& path, QList<QImage>& frames, QString& error);
