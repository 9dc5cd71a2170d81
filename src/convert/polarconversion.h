#pragma once

#include <QByteArray>
#include <QImage>
#include <QPointF>
#include <QVector>

#include <cmath>
#include <memory>

class ImageObject;

// The display draws a picture as `lineNumber` radii per turn, each showing `ledCount`
// LEDs. A picture is resampled along those radii in a 450 x 450 square centred on
// (225, 225); line 0 points straight up and the lines turn counter-clockwise.
namespace Polar {

constexpr int squareSide = 450;
constexpr double sampleRadius = 224.0;  // the conversion samples up to here
constexpr double renderRadius = 225.0;  // a frame read back is drawn out to here
constexpr int minimumBufferSize = 114688;  // the display reads at least this much per picture

// Bytes of one line record: 3 colour bytes per LED in six bit planes.
constexpr int recordSize(int ledCount) { return 18 * ledCount / 8; }
// Bytes of a picture's polar buffer: the line records, zero-filled to the minimum size.
constexpr int bufferSize(int ledCount, int lineNumber)
{
    return recordSize(ledCount) * lineNumber > minimumBufferSize
               ? recordSize(ledCount) * lineNumber
               : minimumBufferSize;
}

// Where LED `led` of line `line` sits in the square, unrounded. LED 0 is the centre and
// LED ledCount - 1 the end of the radius; a single LED sits at the centre.
inline QPointF samplePoint(int line, int led, int ledCount, int lineNumber,
                           double radius = sampleRadius)
{
    const double step = 360.0 / lineNumber;
    const double angle = (90.0 + line * step) * M_PI / 180.0;
    const double endX = 225.0 + radius * std::cos(angle);
    const double endY = 225.0 - radius * std::sin(angle);
    const double u = ledCount > 1 ? double(led) / (ledCount - 1) : 0.0;
    return QPointF(225.0 + u * (endX - 225.0), 225.0 + u * (endY - 225.0));
}

// The pixel a sample point reads: each coordinate rounded to nearest, halves up.
inline int samplePixel(double coordinate) { return int(std::floor(coordinate + 0.5)); }

// A picture that had to be made: a null one means its memory could not be had, which
// throws std::bad_alloc as Qt's containers do, so the job fails instead of going on
// with black pictures.
QImage allocated(QImage picture);

// The centred square of a picture scaled to 450 x 450 (nearest pixel); null for a null picture.
QImage cutSquare(const QImage& source);

// Appends one line's colour bytes as six bit planes (bits 7 to 2 of every byte, one
// continuous MSB-first stream; the bits of a last partial byte are dropped).
void packBitPlanes(const unsigned char* sequence, int length, QByteArray& out);

// Everything about a geometry that does not depend on the picture, prepared once and
// shared by every conversion and preview of that geometry. Immutable once made. The
// radius is where the outermost LED sits: sampleRadius for conversions, renderRadius for
// frames read back from a file.
class Geometry
{
public:
    static std::shared_ptr<const Geometry> get(int ledCount, int lineNumber,
                                               double radius = sampleRadius);

    int ledCount() const { return m_ledCount; }
    int lineNumber() const { return m_lineNumber; }
    int dotCount() const { return m_ledCount * m_lineNumber; }

    // Per dot in drawing order (line by line, outermost LED first): the square's pixel
    // index the dot samples, y * 450 + x.
    const QVector<int>& samplePixels() const { return m_samplePixels; }

    // The preview: 450 x 450 dots of 4 x 4 pixels painted in drawing order over black,
    // `colours` giving one colour per dot in drawing order.
    QImage paintPreview(const QVector<QRgb>& colours) const;

private:
    Geometry(int ledCount, int lineNumber, double radius);

    int m_ledCount;
    int m_lineNumber;
    QVector<int> m_samplePixels;
    QVector<int> m_dotAtPixel;  // per preview pixel: the last dot painted over it, or -1
};

struct Result
{
    QByteArray buffer;  // calibrated line records, zero-filled to the minimum size
    QImage preview;     // 450 x 450, the uncalibrated colours
};

// The uncalibrated colour of every dot in drawing order (black for a null picture).
// Like resample, throws std::bad_alloc when memory runs out.
QVector<QRgb> sampleColours(const QImage& source, const Geometry& geometry);

// The polar buffer of dots in drawing order (ledCount x lineNumber uncalibrated colours):
// calibrated through TestColorUtil, packed line by line, zero-filled to the minimum size.
QByteArray calibratedBuffer(const QVector<QRgb>& colours, int ledCount, int lineNumber);

// The polar buffer and preview of a picture, calibrated through TestColorUtil.
Result resample(const QImage& source, int ledCount, int lineNumber);

} // namespace Polar

// Rebuilds the target's polar buffer from the picture with the current geometry, writes
// its preview file and flushes the buffer to its file. False, with the target's buffer
// left empty (a download then refuses it), when memory runs out.
bool convertToPolar(const QImage& source, ImageObject* target);
