#include "readbackwriter.h"

#include "effectfilereader.h"
#include "fileaccess.h"

#include <QIODevice>

#include <cerrno>

namespace EffectFile {

QString readBackClipFramesProblem(int clip, int frameCount)
{
    if (frameCount >= 1 && frameCount <= 255)
        return QString();
    return QString("clip %1: %2 frames, the read-back layout holds 1 to 255").arg(clip).arg(frameCount);
}

QString readBackLimitProblem(const QList<ReadBackPictureIn>& pictures,
                             const QList<ReadBackClipIn>& clips, int frameSize)
{
    if (pictures.size() > readBackPictureLimit)
        return QString("%1 pictures: the read-back layout holds at most %2").arg(pictures.size()).arg(readBackPictureLimit);
    if (clips.size() > readBackClipSlots)
        return QString("%1 clips: the read-back layout holds at most %2").arg(clips.size()).arg(readBackClipSlots);
    for (int i = 0; i < pictures.size(); ++i) {
        if (pictures[i].timeByte < 0 || pictures[i].timeByte > 255)
            return QString("picture %1: a show time of %2 s does not fit (0 to 51 s)")
                .arg(i + 1).arg(pictures[i].timeByte * 0.2);
        if (pictures[i].frame.size() != frameSize)
            return QString("picture %1: a frame of %2 bytes where %3 are needed")
                .arg(i + 1).arg(pictures[i].frame.size()).arg(frameSize);
    }
    for (int k = 0; k < clips.size(); ++k) {
        const QString frames = readBackClipFramesProblem(k + 1, int(clips[k].frames.size()));
        if (!frames.isEmpty())
            return frames;
        if (clips[k].loopCount < 0 || clips[k].loopCount > 255)
            return QString("clip %1: a loop count of %2 does not fit (0 to 255)").arg(k + 1).arg(clips[k].loopCount);
        for (const QByteArray& frame : clips[k].frames)
            if (frame.size() != frameSize)
                return QString("clip %1: a frame of %2 bytes where %3 are needed").arg(k + 1).arg(frame.size()).arg(frameSize);
    }
    return QString();
}

QString writeReadBack(QIODevice& out, const QList<ReadBackPictureIn>& pictures,
                      const QList<ReadBackClipIn>& clips, int frameSize)
{
    const QString problem = readBackLimitProblem(pictures, clips, frameSize);
    if (!problem.isEmpty())
        return problem;
    QByteArray header(readBackHeaderSize, '\0');
    for (int k = 0; k < clips.size(); ++k) {
        header[7 + k] = char(clips[k].frames.size());
        header[12 + k] = char(clips[k].loopCount);
    }
    header[19] = char(pictures.size());
    for (int i = 0; i < pictures.size(); ++i)
        header[20 + i] = char(pictures[i].timeByte);

    auto write = [&out](const QByteArray& bytes) {
        errno = 0;
        return out.write(bytes) == bytes.size();
    };
    if (!write(header))
        return FileAccess::writeFailureReason(out, errno);
    const QByteArray emptySlot(frameSize, '\0');
    for (int slot = 0; slot < readBackPictureSlots; ++slot)
        if (!write(slot < pictures.size() ? pictures[slot].frame : emptySlot))
            return FileAccess::writeFailureReason(out, errno);
    for (const ReadBackClipIn& clip : clips)
        for (const QByteArray& frame : clip.frames)
            if (!write(frame))
                return FileAccess::writeFailureReason(out, errno);
    return QString();
}

} // namespace EffectFile
