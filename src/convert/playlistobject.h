#pragma once

#include <QObject>

// What a playlist row points at: an ImageObject in the picture list, a MediaObject in the
// clip list. The model deletes rows through this base and renumbers them after a removal.
class PlaylistObject : public QObject
{
    Q_OBJECT
public:
    explicit PlaylistObject(int number) : number(number) {}

    int number;  // the 1-based number the row shows
};
