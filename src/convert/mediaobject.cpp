#include "mediaobject.h"

#include "imageobject.h"

MediaObject::MediaObject(int number, const QString& name) : name(name), number(number) {}

MediaObject::~MediaObject()
{
    qDeleteAll(frames);
    frames.clear();
}
