#include "polarrender.h"

#include "polarconversion.h"
#include "testcolorutil.h"

#include <array>
#include <cstdlib>

namespace Polar {

QByteArray rawFrame(const QImage& picture, int ledCount, int lineNumber)
{
    const QVector<QRgb> colours = sampleColours(picture, *Geometry::get(ledCount, lineNumber));
    QByteArray frame;
    frame.reserve(3 * colours.size());
    for (QRgb colour : colours) {
        frame.append(char(qGreen(colour)));
        frame.append(char(qRed(colour)));
        frame.append(char(qBlue(colour)));
    }
    return frame;
}

QVector<QRgb> rawFrameColours(const QByteArray& frame, int ledCount, int lineNumber)
{
    QVector<QRgb> colours(ledCount * lineNumber, qRgb(0, 0, 0));
    const int dots = qMin<qsizetype>(colours.size(), frame.size() / 3);
    const auto* bytes = reinterpret_cast<const uchar*>(frame.constData());
    for (int dot = 0; dot < dots; ++dot)
        colours[dot] = qRgb(bytes[3 * dot + 1], bytes[3 * dot], bytes[3 * dot + 2]);
    return colours;
}

QVector<QRgb> bitPlaneColours(const QByteArray& record, int ledCount, int lineNumber)
{
    QVector<QRgb> colours(ledCount * lineNumber, qRgb(0, 0, 0));
    const int lineBytes = recordSize(ledCount);
    const int length = 3 * ledCount;  // B, G, R per LED
    const auto* bytes = reinterpret_cast<const uchar*>(record.constData());
    QVector<uchar> sequence(length);
    for (int line = 0; line < lineNumber; ++line) {
        const qsizetype start = qsizetype(line) * lineBytes;
        if (start + lineBytes > record.size())
            break;
        const uchar* planes = bytes + start;
        std::fill(sequence.begin(), sequence.end(), 0);
        for (int plane = 0; plane < 6; ++plane) {
            for (int j = 0; j < length; ++j) {
                const int bit = plane * length + j;
                if (bit / 8 >= lineBytes)
                    break;  // the bits of a last partial byte were never stored
                if (planes[bit / 8] & (0x80 >> (bit % 8)))
                    sequence[j] |= uchar(0x80 >> plane);
            }
        }
        for (int led = 0; led < ledCount; ++led) {
            auto level = [&](int at) { return sequence[at] | (sequence[at] >> 6); };
            colours[line * ledCount + led] = qRgb(level(3 * led + 2), level(3 * led + 1), level(3 * led));
        }
    }
    return colours;
}

namespace {

// Per stored level (bits 7 to 2 of a byte, 0 to 63): the input level to show.
using Inverse = std::array<int, 64>;

Inverse inverseOf(int (TestColorUtil::*output)(int) const)
{
    const TestColorUtil* table = TestColorUtil::instance();
    std::array<int, TestColorUtil::bandCount> stored{};
    std::array<int, TestColorUtil::bandCount> middle{};
    for (int band = 0; band < TestColorUtil::bandCount; ++band) {
        const int low = band == 0 ? 0 : 8 * band + 1;
        const int high = qMin(8 * (band + 1), 255);
        middle[band] = (low + high) / 2;
        stored[band] = ((table->*output)(high) & 0xff) >> 2;
    }
    Inverse inverse{};
    for (int level = 0; level < 64; ++level) {
        int sum = 0;
        int count = 0;
        int nearest = 0;
        for (int band = 0; band < TestColorUtil::bandCount; ++band) {
            if (stored[band] == level) {
                sum += middle[band];
                ++count;
            }
            if (std::abs(stored[band] - level) < std::abs(stored[nearest] - level))
                nearest = band;
        }
        inverse[level] = count > 0 ? (sum + count / 2) / count : middle[nearest];
    }
    return inverse;
}

} // namespace

QVector<QRgb> uncalibratedColours(const QVector<QRgb>& emitted)
{
    const Inverse red = inverseOf(&TestColorUtil::getTestRValue);
    const Inverse green = inverseOf(&TestColorUtil::getTestGValue);
    const Inverse blue = inverseOf(&TestColorUtil::getTestBValue);
    QVector<QRgb> colours(emitted.size());
    for (int dot = 0; dot < emitted.size(); ++dot) {
        const QRgb level = emitted[dot];
        colours[dot] = qRgb(red[qRed(level) >> 2], green[qGreen(level) >> 2], blue[qBlue(level) >> 2]);
    }
    return colours;
}

QImage renderDots(const QVector<QRgb>& colours, int ledCount, int lineNumber)
{
    return Geometry::get(ledCount, lineNumber, renderRadius)->paintPreview(colours);
}

} // namespace Polar
