#include "polarconversion.h"

#include "app/appsettings.h"
#include "imageobject.h"
#include "testcolorutil.h"

#include <QDebug>
#include <QMutex>
#include <QPainter>

#include <map>
#include <new>
#include <tuple>

namespace Polar {

QImage allocated(QImage picture)
{
    if (picture.isNull())
        throw std::bad_alloc();
    return picture;
}

QImage cutSquare(const QImage& source)
{
    if (source.isNull())
        return QImage();
    const QRect square = centredSquare(source.size());
    QImage cut;
    if (source.depth() == 32) {
        // Scale a view of the square instead of a copy of it: the same pixels, no copy.
        const uchar* first = source.constBits() + square.top() * source.bytesPerLine() + square.left() * 4;
        cut = QImage(first, square.width(), square.height(), source.bytesPerLine(), source.format());
    } else {
        cut = allocated(source.copy(square));
    }
    return allocated(allocated(cut.scaled(squareSide, squareSide, Qt::KeepAspectRatio, Qt::FastTransformation))
                         .convertToFormat(QImage::Format_ARGB32));
}

void packBitPlanes(const unsigned char* sequence, int length, QByteArray& out)
{
    unsigned accumulator = 0;
    int bits = 0;
    for (int plane = 0; plane < 6; ++plane) {
        const int shift = 7 - plane;
        for (int j = 0; j < length; ++j) {
            accumulator = (accumulator << 1) | ((sequence[j] >> shift) & 1u);
            if (++bits == 8) {
                out.append(char(accumulator));
                accumulator = 0;
                bits = 0;
            }
        }
    }
}

namespace {
QRgb dotIndexColour(int dot) { return qRgb(((dot + 1) >> 16) & 0xff, ((dot + 1) >> 8) & 0xff, (dot + 1) & 0xff); }
int dotIndexOf(QRgb colour) { return ((qRed(colour) << 16) | (qGreen(colour) << 8) | qBlue(colour)) - 1; }
} // namespace

Geometry::Geometry(int ledCount, int lineNumber, double radius)
    : m_ledCount(ledCount), m_lineNumber(lineNumber)
{
    m_samplePixels.reserve(dotCount());
    // Paint every dot once, each in a colour that encodes its index: the rasterisation of
    // an opaque, unantialiased dot does not depend on its colour, so the map of which dot
    // ends up on top of each pixel turns any later preview into a table lookup.
    QImage owners = allocated(QImage(squareSide, squareSide, QImage::Format_ARGB32));
    owners.fill(qRgba(0, 0, 0, 255));
    QPainter painter(&owners);
    for (int line = 0; line < lineNumber; ++line) {
        for (int led = ledCount - 1; led >= 0; --led) {
            const QPointF point = samplePoint(line, led, ledCount, lineNumber, radius);
            const int x = samplePixel(point.x());
            const int y = samplePixel(point.y());
            const bool inside = x >= 0 && y >= 0 && x < squareSide && y < squareSide;
            m_samplePixels.append(inside ? y * squareSide + x : -1);
            const QColor colour = QColor::fromRgb(dotIndexColour(m_samplePixels.size() - 1));
            painter.setPen(colour);
            painter.setBrush(colour);
            painter.drawEllipse(QRectF(point.x() - 2, point.y() - 2, 4, 4));
        }
    }
    painter.end();
    m_dotAtPixel.resize(squareSide * squareSide);
    for (int y = 0; y < squareSide; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(owners.constScanLine(y));
        for (int x = 0; x < squareSide; ++x)
            m_dotAtPixel[y * squareSide + x] = dotIndexOf(row[x]);
    }
}

std::shared_ptr<const Geometry> Geometry::get(int ledCount, int lineNumber, double radius)
{
    // A handful of geometries at most are used in one run.
    static QMutex cacheLock;
    static std::map<std::tuple<int, int, double>, std::shared_ptr<const Geometry>> cache;
    QMutexLocker locker(&cacheLock);
    auto& entry = cache[{ledCount, lineNumber, radius}];
    if (!entry)
        entry.reset(new Geometry(ledCount, lineNumber, radius));
    return entry;
}

QImage Geometry::paintPreview(const QVector<QRgb>& colours) const
{
    QImage preview = allocated(QImage(squareSide, squareSide, QImage::Format_ARGB32));
    const QRgb black = qRgba(0, 0, 0, 255);
    for (int y = 0; y < squareSide; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(preview.scanLine(y));
        const int* dots = m_dotAtPixel.constData() + y * squareSide;
        for (int x = 0; x < squareSide; ++x)
            row[x] = dots[x] >= 0 ? (colours[dots[x]] | 0xff000000u) : black;
    }
    return preview;
}

QVector<QRgb> sampleColours(const QImage& source, const Geometry& geometry)
{
    const QImage square = cutSquare(source);
    QVector<QRgb> colours(geometry.dotCount(), qRgba(0, 0, 0, 255));
    if (square.isNull())
        return colours;  // an undecodable picture reads as black
    const QRgb* pixels = reinterpret_cast<const QRgb*>(square.constBits());
    const QVector<int>& at = geometry.samplePixels();
    for (int dot = 0; dot < colours.size(); ++dot)
        if (at[dot] >= 0)
            colours[dot] = pixels[at[dot]];
    return colours;
}

QByteArray calibratedBuffer(const QVector<QRgb>& colours, int ledCount, int lineNumber)
{
    // The table may be edited on the GUI thread meanwhile; one read per level is enough.
    const TestColorUtil* table = TestColorUtil::instance();
    unsigned char red[256], green[256], blue[256];
    for (int level = 0; level < 256; ++level) {
        red[level] = uchar(table->getTestRValue(level));
        green[level] = uchar(table->getTestGValue(level));
        blue[level] = uchar(table->getTestBValue(level));
    }

    QByteArray buffer;
    buffer.reserve(bufferSize(ledCount, lineNumber));
    QVector<unsigned char> sequence(3 * ledCount);
    for (int line = 0; line < lineNumber; ++line) {
        const QRgb* dot = colours.constData() + line * ledCount;
        for (int i = 0; i < ledCount; ++i) {
            sequence[3 * i] = blue[qBlue(dot[i])];
            sequence[3 * i + 1] = green[qGreen(dot[i])];
            sequence[3 * i + 2] = red[qRed(dot[i])];
        }
        packBitPlanes(sequence.constData(), sequence.size(), buffer);
    }
    if (buffer.size() < minimumBufferSize)
        buffer.append(minimumBufferSize - buffer.size(), '\0');
    return buffer;
}

Result resample(const QImage& source, int ledCount, int lineNumber)
{
    const std::shared_ptr<const Geometry> geometry = Geometry::get(ledCount, lineNumber);
    const QVector<QRgb> colours = sampleColours(source, *geometry);

    Result result;
    result.buffer = calibratedBuffer(colours, ledCount, lineNumber);
    result.preview = geometry->paintPreview(colours);
    return result;
}

} // namespace Polar

bool convertToPolar(const QImage& source, ImageObject* target)
{
    Polar::Result result;
    try {
        result = Polar::resample(source, AppSettings::ledCount, AppSettings::lineNumber);
    } catch (const std::bad_alloc&) {
        qDebug() << "#convertToPolar# out of memory";
        QMutexLocker locker(&target->lock);
        target->polarBuffer.clear();
        return false;
    }
    {
        QMutexLocker locker(&target->lock);
        target->polarBuffer = std::move(result.buffer);
    }
    target->savePreview(result.preview);
    target->flushBuffer();
    return true;
}
