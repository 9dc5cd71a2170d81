#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

// A shape or text drawn on the DIY canvas but not yet stamped into its picture: shown in a
// red dash-dot frame and dragged with the left mouse button. Every move is reported so the
// canvas can re-render the shape there with the panel's current settings. GUI thread only.
class DiyShape : public QWidget
{
    Q_OBJECT
public:
    explicit DiyShape(QWidget* canvas);

    // Stores the picture (an empty one means no shape) and takes its size when it has one.
    void setCurrentImage(const QImage& picture);
    const QImage& currentImage() const { return picture; }

signals:
    void signalPointChanged(QPoint point);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint dragOffset;  // mouse position at the press minus the widget's top-left
    QImage picture;
};
