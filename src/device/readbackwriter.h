#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

// Writes the read-back layout, the form of the factory effect file: a 120-byte header,
// 100 picture slots of raw frames (unused ones zero) and up to five clips of raw frames.
namespace EffectFile {

struct ReadBackPictureIn
{
    int timeByte = 25;  // show time in units of 0.2 s
    QByteArray frame;
};

struct ReadBackClipIn
{
    int loopCount = 1;
    QList<QByteArray> frames;
};

// What the layout cannot hold, in words for the user; empty when it fits.
// The frame count of clip `clip` (from 1) alone, which can be checked before any frame is made:
QString readBackClipFramesProblem(int clip, int frameCount);
QString readBackLimitProblem(const QList<ReadBackPictureIn>& pictures,
                             const QList<ReadBackClipIn>& clips, int frameSize);

// Returns the failure in words, or an empty string once every byte was written.
QString writeReadBack(QIODevice& out, const QList<ReadBackPictureIn>& pictures,
                      const QList<ReadBackClipIn>& clips, int frameSize);

} // namespace EffectFile
