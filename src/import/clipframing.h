#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

// The side of the round window the fan shows, and of the canvas every frame is drawn on.
constexpr int clipWindowSide = 450;

// How every frame of a clip is framed once the user has placed the round 450 x 450 window
// on its first frame: the frame is scaled to the size it was shown at, the part under the
// window is cut out and drawn on a black 450 x 450 canvas, centred when the window stuck out.
struct ClipPlacement
{
    QSize displaySize;  // the first frame as shown, after zooming
    QRect source;       // the part of the scaled frame under the window
    QRect target;       // where that part goes on the canvas

    // The cut part in its own coordinates.
    QRect cut() const { return QRect(QPoint(0, 0), source.size()); }
};

// Zooming the placement picture: each step adds (or, below 0, takes) 10 % of the base
// picture's size, always counted from the base picture so that steps lose no quality.
// A step that would leave a negative side, or (zooming in) show the picture larger than
// `maxSide`, gives an invalid size: the zoom is refused.
constexpr int maxZoomedSide = 8192;
QSize zoomedSize(const QSize& base, int step, qint64 maxSide = maxZoomedSide);

// Where the round window opens over a picture shown at `shown`: centred, its top-left
// negative when the picture is smaller than the window.
QPoint centredWindowPosition(const QSize& shown);

// How the placement dialog draws a picture shown at `shown` and the round window over it:
// both at one scale, chosen so that the whole picture and the whole window where it opens
// fit in a view of `view` pixels, centred. Small pictures are drawn larger, large ones
// smaller; the placement itself stays in the shown picture's own pixels.
struct PlacementView
{
    qreal scale = 1;
    QPoint pictureOrigin;  // where the picture's top-left corner is drawn in the view

    QPoint toView(const QPoint& picturePoint) const;
    QPoint toPicture(const QPoint& viewPoint) const;
    QSize viewSize(const QSize& pictureSize) const;
};
PlacementView placementView(const QSize& shown, const QSize& view);

// The placement for a window whose top-left corner is at `window` over a picture shown at
// `displaySize`.
ClipPlacement clipPlacement(const QPoint& window, const QSize& displaySize);

// The window where the placement dialog opens it: centred over the unzoomed picture.
ClipPlacement centredClipPlacement(const QSize& pictureSize);

// One frame framed by the placement: 450 x 450, opaque black where nothing was cut; a
// null picture when memory ran out.
QImage frameClipPicture(const QImage& frame, const ClipPlacement& placement);
