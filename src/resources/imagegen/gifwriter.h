#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

class QIODevice;

// One picture of an animation and how long it stays on screen. GIF counts delays in
// hundredths of a second, so the delay is rounded to the nearest 10 ms.
struct GifFrame
{
    QImage image;
    int delayMs = 100;
};

// Writes an animated GIF89a file: one global palette holding the frames' exact colours,
// the NETSCAPE2.0 loop block, then every frame at full size with its delay, LZW
// compressed. Pixels with an alpha below 128 become the transparent index and every
// other pixel keeps its RGB colour, so a picture with more than 255 opaque colours
// (256 without transparency) is refused: reduce its colours first.
class GifWriter
{
public:
    enum class Status {
        Ok,
        NoFrames,
        NullFrame,
        SizeMismatch,
        TooLarge,
        TooManyColours,
        WriteFailed,
    };

    // loopCount 0 loops forever; n plays the animation n + 1 times.
    static Status write(QIODevice& device, const QList<GifFrame>& frames, int loopCount = 0);
    static QString statusText(Status status);

    // The LZW code stream of one frame's palette indices, before it is cut into
    // sub-blocks. minCodeSize is 2 to 8 and every index must be below 2^minCodeSize.
    static QByteArray lzwCompress(const QByteArray& indices, int minCodeSize);
};
