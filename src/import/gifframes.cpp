#include "gifframes.h"

#include <QImageReader>

bool readGifFrames(const QString& path, QList<QImage>& frames, QString& error)
{
    frames.clear();
    QImageReader reader(path, "gif");
    if (!reader.canRead()) {
        error = reader.errorString();
        return false;
    }
    for (;;) {
        const QImage frame = reader.read();
        if (frame.isNull())
            break;
        frames.append(frame);
        if (!reader.canRead())
            break;
    }
    if (frames.isEmpty()) {
        error = reader.errorString();
        return false;
    }
    return true;
}
