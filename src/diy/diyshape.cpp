#include "diyshape.h"

#include <QDebug>
#include <QMouseEvent>
#include <QPainter>

DiyShape::DiyShape(QWidget* canvas) : QWidget(canvas)
{
    setMouseTracking(true);
    setCursor(Qt::SizeAllCursor);
}

void DiyShape::setCurrentImage(const QImage& image)
{
    qDebug() << "setCurrentImage";
    picture = image;
    if (!picture.isNull())
        resize(picture.size());
    update();
}

void DiyShape::mousePressEvent(QMouseEvent* event)
{
    dragOffset = event->globalPosition().toPoint() - pos();
}

void DiyShape::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    move(event->globalPosition().toPoint() - dragOffset);
    emit signalPointChanged(pos());
}

void DiyShape::mouseReleaseEvent(QMouseEvent*) {}

void DiyShape::paintEvent(QPaintEvent*)
{
    if (picture.isNull())
        return;
    QPainter painter(this);
    // The canvas sizes the widget to its zoom: the picture is shown at that size.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, width() < picture.width());
    painter.drawImage(rect(), picture);
    painter.setPen(QPen(Qt::red, 4, Qt::DashDotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(0, 0), QPoint(width() - 1, height() - 1)));
}
