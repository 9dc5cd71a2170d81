#include "diylayout.h"

#include <QDebug>
#include <QFontMetrics>
#include <QLineF>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace DiyLayout {

QRect centredArea(QSize canvas)
{
    const QPoint centred = centredWindowPosition(canvas);
    return QRect(QPoint(std::max(centred.x(), 0), std::max(centred.y(), 0)), QSize(areaSide, areaSide));
}

QSize zoomedSize(QSize base, int level, bool* refused)
{
    // The placement dialog's steps with a view's own cap; a view of nothing shows nothing.
    QSize size = ::zoomedSize(base, level, maxViewSide);
    if (size.isEmpty())
        size = QSize();
    *refused = !size.isValid();
    return size;
}

QRect shapeMargin(QPoint start, QPoint end, int penWidth)
{
    return QRect(std::min(start.x(), end.x()) - penWidth, std::min(start.y(), end.y()) - penWidth,
                 std::abs(end.x() - start.x()) + 2 * penWidth,
                 std::abs(end.y() - start.y()) + 2 * penWidth);
}

namespace {
bool isIdeograph(char32_t c) { return c >= 0x4E00 && c <= 0x9FA5; }
} // namespace

TextLayout layoutText(const QString& text, const QFont& font, int arrangement, int radius,
                      QPoint anchor, QPaintDevice* device)
{
    const QFontMetrics metrics(font, device);
    const int h = metrics.height();
    const int x0 = anchor.x();
    const int y0 = anchor.y();
    TextLayout layout;
    // The box keeps room below the last baseline for the font's descent: letters such as
    // "g" and most ideographs reach below it and would otherwise be cut off.
    const int descent = metrics.descent() + 1;
    QVector<QString> characters;
    for (char32_t c : text.toUcs4())
        characters.append(QString::fromUcs4(&c, 1));
    const int n = characters.size();

    switch (arrangement) {
    case Vertical: {
        int widest = 0;
        for (int i = 0; i < n; ++i) {
            const bool ideograph = isIdeograph(characters[i].toUcs4().value(0));
            const int cw = metrics.horizontalAdvance(ideograph ? QStringLiteral("国") : QStringLiteral("A"));
            widest = std::max(widest, cw);
            layout.pieces.append({characters[i], QPointF(), QRect(x0, y0 + i * h, cw, h)});
        }
        layout.box = QRect(x0, y0, widest, n * h);
        break;
    }
    case Round: {
        const int r = radius;
        QLineF spoke(QPointF(r, r), QPointF(r, 1.0));
        const double step = n > 0 ? 360.0 / n : 0.0;
        for (int i = 0; i < n; ++i) {
            const double angle = 90.0 + i * step;
            if (angle >= 450.0)
                break;
            spoke.setAngle(angle);
            qDebug() << "DiyPainter::onTextPressEnter start point " << spoke.p1() << ", end point "
                     << spoke.p2();
            layout.pieces.append({characters[i], spoke.p2() + QPointF(x0, y0 + h), QRect()});
        }
        layout.box = QRect(x0, y0, metrics.horizontalAdvance(QStringLiteral("国")) + 2 * r,
                           2 * r + h + descent);
        break;
    }
    default:
        layout.pieces.append({text, QPointF(x0, y0 + h), QRect()});
        layout.box = QRect(x0, y0, metrics.horizontalAdvance(text), h + std::max(8, descent));
        break;
    }
    return layout;
}

void drawText(QPainter& painter, const TextLayout& layout)
{
    for (const TextPiece& piece : layout.pieces) {
        if (piece.cell.isValid())
            painter.drawText(piece.cell, Qt::AlignCenter, piece.text);
        else
            painter.drawText(piece.baseline, piece.text);
    }
}

} // namespace DiyLayout
