#pragma once

#include "diyhistory.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSizeF>
#include <QWidget>

class DiyShape;
class QLineEdit;
class RoundAreaWidget;

// The drawing surface of the DIY editor. Pen and eraser strokes go straight into the
// picture; every other shape first floats in a DiyShape child that the user can drag and
// whose look follows the panel, until it is stamped (a press elsewhere, a tool change, a
// zoom step, saving or finishing). The fan's picture is the 450 x 450 square under the
// round output area (getImage), which Move mode lets the user drag.
//
// Zoom magnifies the view only: the picture, the output area, the shapes and the pen width
// are in the picture's own pixels, and the widget shows them zoomLevel() steps of 10 %
// larger or smaller. Mouse positions are mapped back into the picture.
//
// The tool panel writes the settings below and then calls repaintShape() (or focuses the
// text field while it is open). GUI thread only.
class DiyPainter : public QWidget
{
    Q_OBJECT
public:
    enum DiyTool { Pen = 1, Line = 2, Rect = 3, RoundRect = 4, Oval = 5, Text = 6, Move = 7, Eraser = 8 };

    // An empty or unreadable path gives a blank, transparent 450 x 450 canvas.
    explicit DiyPainter(const QString& path, QWidget* parent = nullptr);
    ~DiyPainter() override;

    // Panel settings.
    int tool = Rect;
    QColor penColor = Qt::black;
    QColor brushColor = Qt::black;
    int penStyle = Qt::SolidLine;  // solid or dotted
    int penWidth = 1;
    QFont textFont;
    QColor textColor;              // invalid (black) until the form sets it
    int textArrangement = 0;       // DiyLayout::TextArrangement
    int textRadius = 0;
    // Painted under the drawing and used by the eraser; an invalid colour paints nothing.
    void setBackgroundColor(const QColor& colour);
    QColor backgroundColor() const { return m_backgroundColor; }

    void revokeCancel();
    // Brings back the step undone last; false when there is none (or text is being typed).
    bool redo();
    bool zoomIn();
    bool zoomOut();
    // Stamps the floating shape into the picture; false when none floats.
    bool enterDiyShape();
    // Renders open text and stamps whatever floats.
    bool commitPending();
    void repaintShape();
    // Writes the whole picture, at its own size over the background colour, as PNG.
    bool saveImage(const QString& path);
    // The fan's picture: the 450 x 450 square under the output area over the background.
    // Leaves Move mode; a floating shape or open text is not part of it.
    QImage getImage();
    // The picture the fan would show if the drawing ended now (floating shape included,
    // the output area where it is being dragged). Changes nothing.
    QImage outputPreview() const;

    void enterMoveMode();
    void leaveMoveMode();
    bool isMoveMode() const { return moveMode; }
    bool isModified() const { return modified; }
    void setModified(bool value) { modified = value; }
    // True while a shape floats or text is being typed.
    bool hasPending() const;
    // Removes a floating shape without stamping it; false when none floats.
    bool dropFloatingShape();

    const QImage& picture() const { return currentImage; }
    QRect outputArea() const { return areaRect; }
    int zoomLevel() const { return m_zoomLevel; }
    // Between the picture's pixels and the widget's (the view of the current zoom).
    QPointF viewToImage(QPointF viewPoint) const;
    QPoint imageToView(QPoint imagePoint) const;
    // Gives the text field the text font at the view's zoom and the text colour.
    void styleTextField();
    const DiyHistory& history() const { return m_history; }
    QLineEdit* textField() const { return textEdit; }
    DiyShape* floatingShape() const { return shapeWidget; }
    RoundAreaWidget* roundArea() const { return areaWidget; }

signals:
    // The fan's picture may have changed: something was drawn, stamped, undone, zoomed or
    // moved, or the background changed.
    void pictureChanged();

public slots:
    void onTextChanged(const QString& text);
    void onTextPressEnter();
    void onShapeWidgetPointChanged(QPoint point);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isStroke() const { return tool == Pen || tool == Eraser; }
    // The pen and brush of the current tool.
    void setUpPainter(QPainter& painter) const;
    // Paints the current tool's shape from `from` to `to`.
    void paintShape(QPainter& painter, QPoint from, QPoint to) const;
    // Draws a stroke segment into the picture; the stroke goes on from its end.
    void drawStroke();
    // The current shape, rendered on its own at the size of its margin.
    QImage renderFloatingShape() const;
    void showFloating(const QImage& picture, QPoint topLeft);
    void endStroke();
    // Open text is rendered and a floating shape stamped before a zoom step or Move mode.
    void finishPendingForStep();
    bool zoomStep(int direction);
    void setPicture(const QImage& picture);
    QSizeF viewScale() const;
    QSize toViewSize(QSize imageSize) const;
    QPoint imagePointAt(QPointF viewPoint) const;
    // Where a child widget (the round area, the floating shape) that was placed at `placed`
    // in the picture lies in the picture now that it may have been dragged.
    QPoint placeInPicture(const QWidget* child, QPoint placed) const;
    void changed();
    QImage composeOutput(QRect area, bool withFloating) const;

    DiyHistory m_history;
    bool strokeRecorded = false;  // the stroke in progress has its history record
    QColor m_backgroundColor = QColor(255, 255, 255, 255);
    QRect areaRect;
    QImage currentImage;
    int m_zoomLevel = 0;
    bool pressing = false;
    bool modified = false;
    bool moveMode = false;
    QLineEdit* textEdit = nullptr;
    DiyShape* shapeWidget = nullptr;
    RoundAreaWidget* areaWidget = nullptr;
    QPoint startPoint;
    QPoint endPoint;
    QPoint floatingPos;  // top-left of the floating shape in the picture
    QPoint textAnchor;   // where the text being typed starts in the picture
};
