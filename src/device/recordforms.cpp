#include "recordforms.h"

#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "convert/polarconversion.h"
#include "convert/polarrender.h"
#include "effectfile.h"

#include <QMutexLocker>

namespace RecordForms {

namespace {

Group& groupFor(QList<Group>& groups, qint64 size)
{
    for (Group& group : groups)
        if (group.size == size)
            return group;
    groups.append(Group{size, {}, {}, {}});
    return groups.last();
}

} // namespace

QList<Group> groupBySize(const QList<ImageObject*>& pictures, const QList<MediaObject*>& clips)
{
    QList<Group> groups;
    for (int row = 0; row < pictures.size(); ++row) {
        const qint64 size = EffectFile::bufferSize(pictures[row]);
        if (size == 0)
            continue;
        Group& group = groupFor(groups, size);
        group.pictures.append(row + 1);
        group.objects.append(pictures[row]);
    }
    for (int row = 0; row < clips.size(); ++row) {
        for (ImageObject* frame : clips[row]->frames) {
            const qint64 size = EffectFile::bufferSize(frame);
            if (size == 0)
                continue;
            Group& group = groupFor(groups, size);
            if (group.clips.isEmpty() || group.clips.last() != row + 1)
                group.clips.append(row + 1);
            group.objects.append(frame);
        }
    }
    return groups;
}

int convertibleGroup(const QList<Group>& groups, int ledCount, int lineNumber)
{
    if (groups.size() != 2)
        return -1;
    const qint64 raw = qint64(ledCount) * lineNumber * 3;
    const qint64 bitPlanes = Polar::bufferSize(ledCount, lineNumber);
    if (groups[0].size == raw && groups[1].size == bitPlanes)
        return 0;
    if (groups[1].size == raw && groups[0].size == bitPlanes)
        return 1;
    return -1;
}

bool convertToBitPlanes(const QList<ImageObject*>& objects, int ledCount, int lineNumber)
{
    for (ImageObject* object : objects) {
        const QByteArray raw = object->buffer();
        if (raw.size() != ledCount * lineNumber * 3)
            return false;
        {
            QMutexLocker locker(&object->lock);
            object->polarBuffer = Polar::calibratedBuffer(Polar::rawFrameColours(raw, ledCount, lineNumber),
                                                          ledCount, lineNumber);
        }
        object->flushBuffer();  // when the file cannot be written the buffer stays in memory
    }
    return true;
}

} // namespace RecordForms
