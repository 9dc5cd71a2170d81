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

    // The fan shows each record of a clip for one tenth of a second (a clip's entry in the
    // effect file holds 1 where a still picture's holds its tenths).
    static constexpr int recordMs = 100;
    // Records the clip fills on the card: a frame kept at its GIF's timing fills several.
    int recordCount() const;
    // How long one loop of the clip plays on the fan.
    qint64 playLengthMs() const { return qint64(recordCount()) * recordMs; }

    QList<ImageObject*> frames;
    QString name;  // the video or GIF file it was made from
    bool isGif = false;
    int loopCount = 1;
};
