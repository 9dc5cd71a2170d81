#include "roundareawidget.h"

#include "import/clipframing.h"

#include <QMouseEvent>
#include <QPainter>

RoundAreaWidget::RoundAreaWidget(bool markCentre, QWidget* parent) : QWidget(parent)
{
    setFixedSize(clipWindowSide, clipWindowSide);
    // On a canvas of the window's own size: a 449-pixel brush would tile its first column
    // and row of the circle into the window's last ones.
    QImage background(clipWindowSide, clipWindowSide, QImage::Format_ARGB32);
    background.fill(Qt::transparent);
    QPainter(&background).drawImage(0, 0, roundAreaOverlay(markCentre));
    QPalette look = palette();
    look.setBrush(QPalette::All, QPalette::Window, QBrush(background));
    setPalette(look);
    setAutoFillBackground(true);
}

void RoundAreaWidget::mousePressEvent(QMouseEvent* event)
{
    dragOffset = event->globalPosition().toPoint() - pos();
}

void RoundAreaWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - dragOffset);
}

void RoundAreaWidget::mouseReleaseEvent(QMouseEvent* event)
{
    event->ignore();
}

QImage roundAreaOverlay(bool markCentre)
{
    QImage overlay(449, 449, QImage::Format_ARGB32);
    overlay.fill(qRgba(255, 255, 255, 0));
    QPainter painter(&overlay);
    painter.setPen(Qt::red);
    painter.setBrush(QColor(255, 255, 255, 0));
    painter.drawEllipse(QRect(QPoint(0, 0), QPoint(447, 447)));
    if (markCentre)
        painter.drawPoint(224, 224);  // a zero-size ellipse would draw nothing
    return overlay;
}
