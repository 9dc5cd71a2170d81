#pragma once

#include <QRect>
#include <QRgb>
#include <QSize>

class QIODevice;

// GIF files written block by block, for tests and benchmarks that need to know where each
// frame lies in the file, or animations of thousands of large frames that cost little to
// write. The palette is black, red, green, blue; every frame fills one rectangle of the
// screen with one of them and leaves the rest as the frames before it left it.
class TestGifWriter
{
public:
    enum Colour { Black, Red, Green, Blue };
    static QRgb rgb(Colour colour);

    TestGifWriter(QIODevice& out, const QSize& screen);
    // Returns the offset in the file where the frame's first block starts. The frame shows
    // for `delayMs` (in the file's hundredths of a second).
    qint64 addFrame(const QRect& patch, Colour colour, int lzwCodeSize = 2, int delayMs = 100);
    void finish();  // the end marker

private:
    QIODevice& out;
};
