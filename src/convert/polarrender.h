#pragma once

#include <QByteArray>
#include <QImage>
#include <QVector>

// Drawing what a file holds: the raw frames of the read-back layout (G, R, B per LED,
// outermost LED first, line by line) and the bit-plane records the download writes.
namespace Polar {

// A picture as a raw frame: sampled along the radii as the conversion samples it,
// uncalibrated, G, R, B per LED.
QByteArray rawFrame(const QImage& picture, int ledCount, int lineNumber);

// One colour per dot in drawing order. A frame shorter than the geometry leaves the rest black.
QVector<QRgb> rawFrameColours(const QByteArray& frame, int ledCount, int lineNumber);

// The calibrated levels the LEDs emit: bits 7 to 2 of each byte come back from the planes,
// the two low bits the file never held are filled from the high ones.
QVector<QRgb> bitPlaneColours(const QByteArray& record, int ledCount, int lineNumber);

// The colours the user chose for levels the LEDs emit (as bitPlaneColours gives them):
// each channel's level is mapped back through the calibration table in force to the
// middle of the band whose output it is. Only bits 7 to 2 count, as only they are stored;
// where several bands give the same stored level (the darkest greens and blues of the
// factory table) it comes back to the middle of those bands together, and a level no band
// gives to the middle of the band whose output is nearest.
QVector<QRgb> uncalibratedColours(const QVector<QRgb>& emitted);

// The colours as dots of 4 x 4 pixels on the 225-pixel radius of a 450 x 450 picture, as
// the round preview shows a frame read back from a file.
QImage renderDots(const QVector<QRgb>& colours, int ledCount, int lineNumber);

} // namespace Polar
