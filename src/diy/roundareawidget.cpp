#include "roundareawidget.h"

#include "import/clipframing.h"

#include <QMouseEvent>
#include <QPainter>

RoundAreaWidget::RoundAreaWidget(bool markCentre, QWidget* parent)
    : QWidget(parent), markCentre(markCentre)
{
    setViewScale(1.0);
    setAutoFillBackground(true);
}

void RoundAreaWidget::setViewScale(qreal scale)
{
    const int side = qMax(1, qRound(clipWindowSide * scale));
    setFixedSize(side, side);
    // On a canvas of the window's own size: a 449-pixel brush would tile its first column
    // and row of the circle into the window's last ones.
    QImage background(side, side, QImage::Format_ARGB32);
    background.fill(Qt::transparent);
    QPainter painter(&background);
    painter.scale(qreal(side) / clipWindowSide, qreal(side) / clipWindowSide);
    paintRoundArea(painter, markCentre);
    painter.end();
    QPalette look = palette();
    look.setBrush(QPalette::All, QPalette::Window, QBrush(background));
    setPalette(look);
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
    paintRoundArea(painter, markCentre);
    return overlay;
}

void paintRoundArea(QPainter& painter, bool markCentre)
{
    painter.save();
    QPen pen(Qt::red, 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(QColor(255, 255, 255, 0));
    painter.drawEllipse(QRect(QPoint(0, 0), QPoint(447, 447)));
    if (markCentre)
        painter.drawPoint(224, 224);  // a zero-size ellipse would draw nothing
    painter.restore();
}
