#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

class QPainter;

// The round 450 x 450 window the fan shows, dragged with the left mouse button over a
// picture (the DIY canvas's output area, the clip placement dialog). Its look is the red
// circle of roundAreaOverlay() as its window background; its position is not limited to
// the parent. A release passes on to the parent. GUI thread only.
class RoundAreaWidget : public QWidget
{
    Q_OBJECT
public:
    RoundAreaWidget(bool markCentre, QWidget* parent);

    // Shows the window on a picture that is shown `scale` times its size: the widget and its
    // circle grow or shrink with the view (1 on opening).
    void setViewScale(qreal scale);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool markCentre;
    QPoint dragOffset;  // mouse position at the press minus the widget's top-left
};

// The red circle of the round window, 448 across, on a transparent 449 x 449 picture;
// with `markCentre` a dot at its centre.
QImage roundAreaOverlay(bool markCentre);
// Paints that circle in the window's own coordinates: one screen pixel wide at any scale
// of `painter`.
void paintRoundArea(QPainter& painter, bool markCentre);
