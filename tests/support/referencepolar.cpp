#include "referencepolar.h"

#include "convert/testcolorutil.h"

#include <QPainter>

Polar::Result referenceResample(const QImage& source, int ledCount, int lineNumber)
{
    const TestColorUtil* table = TestColorUtil::instance();
    QImage square;
    if (!source.isNull()) {
        const int side = qMin(source.width(), source.height());
        const int left = side < source.width() ? (source.width() - side) / 2 : 0;
        const int top = side < source.height() ? (source.height() - side) / 2 : 0;
        square = source.copy(left, top, side, side)
                     .scaled(450, 450, Qt::KeepAspectRatio, Qt::FastTransformation);
    }
    Polar::Result result;
    result.preview = QImage(450, 450, QImage::Format_ARGB32);
    result.preview.fill(QColor(0, 0, 0, 255));
    for (int line = 0; line < lineNumber; ++line) {
        QPainter painter(&result.preview);
        QByteArray sequence;
        for (int led = ledCount - 1; led >= 0; --led) {
            const QPointF point = Polar::samplePoint(line, led, ledCount, lineNumber);
            const int x = Polar::samplePixel(point.x());
            const int y = Polar::samplePixel(point.y());
            const QRgb pixel = square.valid(x, y) ? square.pixel(x, y) : qRgb(0, 0, 0);
            sequence.append(char(table->getTestBValue(qBlue(pixel))));
            sequence.append(char(table->getTestGValue(qGreen(pixel))));
            sequence.append(char(table->getTestRValue(qRed(pixel))));
            const QColor colour(qRed(pixel), qGreen(pixel), qBlue(pixel));
            painter.setPen(colour);
            painter.setBrush(colour);
            painter.drawEllipse(QRectF(point.x() - 2, point.y() - 2, 4, 4));
        }
        // Six bit planes, bits 7 to 2 of every byte, one MSB-first stream.
        unsigned char accumulator = 0;
        int q = 0;
        for (int plane = 0; plane < 6; ++plane) {
            for (char byte : sequence) {
                const int bit = (uchar(byte) >> (7 - plane)) & 1;
                accumulator |= bit << (7 - q);
                if (q == 7) {
                    result.buffer.append(char(accumulator));
                    accumulator = 0;
                    q = 0;
                } else {
                    ++q;
                }
            }
        }
    }
    while (result.buffer.size() < Polar::minimumBufferSize)
        result.buffer.append('\0');
    return result;
}
