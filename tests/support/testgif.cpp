#include "testgif.h"

#include "resources/imagegen/gifwriter.h"

#include <QIODevice>

namespace {
void appendWord(QByteArray& bytes, int value)
{
    bytes.append(char(value & 0xff));
    bytes.append(char((value >> 8) & 0xff));
}
} // namespace

QRgb TestGifWriter::rgb(Colour colour)
{
    static const QRgb colours[] = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    return colours[colour];
}

TestGifWriter::TestGifWriter(QIODevice& out, const QSize& screen) : out(out)
{
    QByteArray header("GIF89a");
    appendWord(header, screen.width());
    appendWord(header, screen.height());
    header.append(char(0x81));  // a global palette of 4 colours
    header.append('\0');
    header.append('\0');
    for (int colour = Black; colour <= Blue; ++colour) {
        header.append(char(qRed(rgb(Colour(colour)))));
        header.append(char(qGreen(rgb(Colour(colour)))));
        header.append(char(qBlue(rgb(Colour(colour)))));
    }
    header.append("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    out.write(header);
}

qint64 TestGifWriter::addFrame(const QRect& patch, Colour colour, int lzwCodeSize, int delayMs)
{
    const qint64 start = out.pos();
    QByteArray frame("\x21\xf9\x04\x04", 4);  // kept in place
    appendWord(frame, delayMs / 10);
    frame.append("\x00\x00", 2);
    frame.append(char(0x2c));
    appendWord(frame, patch.x());
    appendWord(frame, patch.y());
    appendWord(frame, patch.width());
    appendWord(frame, patch.height());
    frame.append('\0');
    const QByteArray codes = GifWriter::lzwCompress(QByteArray(qsizetype(patch.width()) * patch.height(), char(colour)),
                                                    qMax(2, qMin(lzwCodeSize, 8)));
    frame.append(char(lzwCodeSize));
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const qsizetype length = qMin<qsizetype>(255, codes.size() - at);
        frame.append(char(length));
        frame.append(codes.constData() + at, length);
    }
    frame.append('\0');
    out.write(frame);
    return start;
}

void TestGifWriter::finish() { out.write("\x3b", 1); }
