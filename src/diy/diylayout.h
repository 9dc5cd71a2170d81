#pragma once

#include <QFont>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

#include "import/clipframing.h"

class QPainter;
class QPaintDevice;

// The arithmetic of the drawing editor, free of widgets: where the round output area sits,
// the sizes of zoom steps, the margin cut around a dragged shape and the layout of text.
namespace DiyLayout {

constexpr int areaSide = clipWindowSide;  // the fan's picture, and the round output area over the canvas

enum TextArrangement { Horizontal = 0, Vertical = 1, Round = 2 };

// The output area centred on a picture, its top-left kept inside the picture.
QRect centredArea(QSize canvas);

// The largest side a view of the picture may have (the toolkit's limit for a widget).
constexpr int maxViewSide = (1 << 24) - 1;

// The size a picture of size `base` is shown at, `level` zoom steps (of 10 % of its size
// each) away from its own; an invalid size when a side would be empty or longer than
// maxViewSide, and the step is then refused.
QSize zoomedSize(QSize base, int level, bool* refused);

// The part of the canvas that holds a shape dragged from `start` to `end` with a pen of
// this width: the shape's box widened by the pen width on every side.
QRect shapeMargin(QPoint start, QPoint end, int penWidth);

// One character (or the whole line, for Horizontal) of laid-out text.
struct TextPiece
{
    QString text;
    QPointF baseline;  // where the text's baseline starts; unused when `cell` is valid
    QRect cell;        // Vertical: the cell the character is centred in
};

struct TextLayout
{
    QVector<TextPiece> pieces;
    QRect box;  // the floating picture cut from the canvas, anchored at the text's anchor
};

// Lays the text out from `anchor` (the text field's top-left) in one of the three
// arrangements. The line height is the font's height; vertical cells are as wide as "国"
// for CJK ideographs and as "A" for everything else; round text starts at the top of a
// circle of `radius` and goes counter-clockwise, each character upright. Metrics are those
// of the font on `device`, the picture the text is drawn into.
TextLayout layoutText(const QString& text, const QFont& font, int arrangement, int radius,
                      QPoint anchor, QPaintDevice* device);
void drawText(QPainter& painter, const TextLayout& layout);

} // namespace DiyLayout
