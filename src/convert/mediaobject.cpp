#include "mediaobject.h"

#include "imageobject.h"

MediaObject::MediaObject(int number, const QString& name) : PlaylistObject(number), name(name) {}

MediaObject::~MediaObject()
{
    qDeleteAll(frames);
    frames.clear();
}

int MediaObject::recordCount() const
{
    int count = 0;
    for (const ImageObject* frame : frames)
        count += frame->repeatCount;
    return count;
}
