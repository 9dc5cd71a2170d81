#include "clipframing.h"

#include <QPainter>

namespace {
constexpr int windowSide = 450;

// One axis of the window clipped to the picture: where the visible part starts, how long it is.
void clipAxis(int start, int pictureLength, int& clippedStart, int& length)
{
    clippedStart = start;
    length = windowSide;
    if (start < 0) {
        length = start + windowSide;
        clippedStart = 0;
    }
    if (clippedStart + length > pictureLength)
        length = qMax(0, pictureLength - clippedStart);
}
} // namespace

ClipPlacement clipPlacement(const QPoint& window, const QSize& displaySize)
{
    int x, y, width, height;
    clipAxis(window.x(), displaySize.width(), x, width);
    clipAxis(window.y(), displaySize.height(), y, height);
    ClipPlacement placement;
    placement.displaySize = displaySize;
    placement.source = QRect(x, y, width, height);
    placement.target = QRect((windowSide - width) / 2, (windowSide - height) / 2, width, height);
    return placement;
}

ClipPlacement centredClipPlacement(const QSize& pictureSize)
{
    return clipPlacement(QPoint((pictureSize.width() - windowSide) / 2,
                                (pictureSize.height() - windowSide) / 2),
                         pictureSize);
}

QImage frameClipPicture(const QImage& frame, const ClipPlacement& placement)
{
    QImage canvas(windowSide, windowSide, QImage::Format_ARGB32);
    canvas.fill(qRgba(0, 0, 0, 255));
    if (frame.isNull() || placement.source.isEmpty())
        return canvas;
    const QImage shown = frame.scaled(placement.displaySize, Qt::KeepAspectRatioByExpanding,
                                      Qt::FastTransformation);
    const QImage cut = shown.copy(placement.source);
    QPainter painter(&canvas);
    painter.drawImage(placement.target, cut, QRect(QPoint(0, 0), placement.source.size()));
    return canvas;
}
