#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

// How every frame of a clip is framed once the user has placed the round 450 x 450 window
// on its first frame: the frame is scaled to the size it was shown at, the part under the
// window is cut out and drawn on a black 450 x 450 canvas, centred when the window stuck out.
struct ClipPlacement
{
    QSize displaySize;  // the first frame as shown, after zooming
    QRect source;       // the part of the scaled frame under the window
    QRect target;       // where that part goes on the canvas
};

// The placement for a window whose top-left corner is at `window` over a picture shown at
// `displaySize`.
ClipPlacement clipPlacement(const QPoint& window, const QSize& displaySize);

// The window where the placement dialog opens it: centred over the unzoomed picture.
ClipPlacement centredClipPlacement(const QSize& pictureSize);

// One frame framed by the placement: 450 x 450, opaque black where nothing was cut.
QImage frameClipPicture(const QImage& frame, const ClipPlacement& placement);
