#include "mediaobject.h"

#include "imageobject.h"

MediaObject::MediaObject(int number, const QString& name) : PlaylistObject(number), name(name) {}

MediaObject::~MediaObject()
{
    qDeleteAll(frames);
    frames.clear();
}
