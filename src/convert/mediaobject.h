#pragma once

#include <QList>
#include <QString>

#include "playlistobject.h"

class ImageObject;

// One clip of the playlist: its frames in playing order, owned by the clip, and how many
// times the display plays it.
class MediaObject : public PlaylistObject
{
    Q_OBJECT
public:
    MediaObject(int number, const QString& name);
    ~MediaObject() override;

    QList<ImageObject*> frames;
    QString name;  // the video or GIF file it was made from
    bool isGif = false;
    int loopCount = 1;
};
