#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

// The round 450 x 450 window the fan shows, dragged with the left mouse button over a
// picture (the DIY canvas's output area, the clip placement dialog). Its look is the red
// circle of roundAreaOverlay() as its window background; its position is not limited to
// the parent. A release passes on to the parent. GUI thread only.
class RoundAreaWidget : public QWidget
{
    Q_OBJECT
public:
    RoundAreaWidget(bool markCentre, QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint dragOffset;  // mouse position at the press minus the widget's top-left
};

// The red circle of the round window, 448 across, on a transparent 449 x 449 picture;
// with `markCentre` a dot at its centre.
QImage roundAreaOverlay(bool markCentre);
