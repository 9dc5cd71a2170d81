#include "polarrender.h"

#include "app/appsettings.h"
#include "imageobject.h"
#include "polarconversion.h"

#include <QPainter>

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

QImage renderDots(const QVector<QRgb>& colours, int ledCount, int lineNumber, int size)
{
    if (size == squareSide)
        return Geometry::get(ledCount, lineNumber, renderRadius)->paintPreview(colours);

    // Any other size is drawn dot by dot: nothing in the program asks for it often.
    QImage picture(size, size, QImage::Format_ARGB32);
    picture.fill(qRgba(0, 0, 0, 255));
    QPainter painter(&picture);
    const double half = size / 2;
    int dot = 0;
    for (int line = 0; line < lineNumber; ++line) {
        const double angle = (90.0 + line * 360.0 / lineNumber) * M_PI / 180.0;
        const QPointF end(half + half * std::cos(angle), half - half * std::sin(angle));
        for (int led = ledCount - 1; led >= 0; --led, ++dot) {
            const double u = ledCount > 1 ? double(led) / (ledCount - 1) : 0.0;
            const QPointF point(half + u * (end.x() - half), half + u * (end.y() - half));
            const QColor colour = QColor::fromRgb(colours.value(dot, qRgb(0, 0, 0)));
            painter.setPen(colour);
            painter.setBrush(colour);
            painter.drawEllipse(QRectF(point.x() - 2, point.y() - 2, 4, 4));
        }
    }
    return picture;
}

} // namespace Polar

void renderPolar(ImageObject* target, int size, const QByteArray& frame)
{
    const int ledCount = AppSettings::ledCount;
    const int lineNumber = AppSettings::lineNumber;
    target->savePreview(
        Polar::renderDots(Polar::rawFrameColours(frame, ledCount, lineNumber), ledCount, lineNumber, size));
}
