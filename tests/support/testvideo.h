#pragma once

#include <QColor>
#include <QString>

// Videos the tests and benchmarks make themselves with ffmpeg.
namespace TestVideo {

// Every frame one solid colour that names its index (see colourOf), lossless (ffv1 in
// Matroska), so a decoded frame tells exactly which frame it is.
bool makeIndexed(const QString& path, int width, int height, int framesPerSecond, double seconds);
QColor colourOf(int frameIndex);
// The frame index a colour of makeIndexed names; -1 for none.
int indexOf(QRgb colour);

// A moving test picture in H.264 (x264, its default keyframe interval), as cameras and
// downloads give it.
bool makeH264(const QString& path, int width, int height, int framesPerSecond, double seconds);

// A file named like a video that holds a line of text.
bool makeNotAVideo(const QString& path);
// Sound only: a tone of `seconds` in MP4, no video stream.
bool makeSoundOnly(const QString& path, double seconds);

} // namespace TestVideo
