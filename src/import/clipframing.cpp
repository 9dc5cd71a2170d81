#include "clipframing.h"

#include <QPainter>

namespace {
// One axis of the window clipped to the picture: where the visible part starts, how long it is.
void clipAxis(int start, int pictureLength, int& clippedStart, int& length)
{
    clippedStart = start;
    length = clipWindowSide;
    if (start < 0) {
        length = start + clipWindowSide;
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
    placement.target = QRect((clipWindowSide - width) / 2, (clipWindowSide - height) / 2, width, height);
    return placement;
}

QSize zoomedSize(const QSize& base, int step, qint64 maxSide)
{
    // In 64 bits so that no number of steps overflows; the cap refuses the huge ones.
    const qint64 width = base.width() + qint64(base.width()) * step * 10 / 100;
    const qint64 height = base.height() + qint64(base.height()) * step * 10 / 100;
    if (width < 0 || height < 0 || (step > 0 && qMax(width, height) > maxSide))
        return QSize(-1, -1);
    return QSize(int(width), int(height));
}

QPoint centredWindowPosition(const QSize& shown)
{
    return QPoint((shown.width() - clipWindowSide) / 2, (shown.height() - clipWindowSide) / 2);
}

PlacementView placementView(const QSize& shown, const QSize& view)
{
    // What must be seen: the picture, and the window centred over it, which reaches past
    // the picture on each side where the picture is the smaller.
    const QPoint window = centredWindowPosition(shown);
    const QRect seen = QRect(QPoint(0, 0), shown.expandedTo(QSize(0, 0)))
                           .united(QRect(window, QSize(clipWindowSide, clipWindowSide)));
    PlacementView result;
    if (view.width() > 0 && view.height() > 0)
        result.scale = qMin(qreal(view.width()) / seen.width(), qreal(view.height()) / seen.height());
    result.pictureOrigin =
        QPoint(qRound((view.width() - seen.width() * result.scale) / 2 - seen.left() * result.scale),
               qRound((view.height() - seen.height() * result.scale) / 2 - seen.top() * result.scale));
    return result;
}

QPoint PlacementView::toView(const QPoint& picturePoint) const
{
    return pictureOrigin + QPoint(qRound(picturePoint.x() * scale), qRound(picturePoint.y() * scale));
}

QPoint PlacementView::toPicture(const QPoint& viewPoint) const
{
    const QPoint offset = viewPoint - pictureOrigin;
    return QPoint(qRound(offset.x() / scale), qRound(offset.y() / scale));
}

QSize PlacementView::viewSize(const QSize& pictureSize) const
{
    return QSize(qRound(pictureSize.width() * scale), qRound(pictureSize.height() * scale));
}

ClipPlacement centredClipPlacement(const QSize& pictureSize)
{
    return clipPlacement(centredWindowPosition(pictureSize), pictureSize);
}

QImage frameClipPicture(const QImage& frame, const ClipPlacement& placement)
{
    QImage canvas(clipWindowSide, clipWindowSide, QImage::Format_ARGB32);
    if (canvas.isNull())
        return canvas;
    canvas.fill(qRgba(0, 0, 0, 255));
    if (frame.isNull() || placement.source.isEmpty())
        return canvas;
    const QImage shown = frame.scaled(placement.displaySize, Qt::KeepAspectRatioByExpanding,
                                      Qt::FastTransformation);
    const QImage cut = shown.copy(placement.source);
    if (cut.isNull())
        return QImage();  // out of memory: no black picture passed off as the frame
    QPainter painter(&canvas);
    painter.drawImage(placement.target, cut, placement.cut());
    return canvas;
}
