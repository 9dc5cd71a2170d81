#pragma once

#include <QRect>
#include <QString>

class QPainter;
class QStyleOptionViewItem;

// Style-drawn pictures of the row widgets' controls, for the rows not under edit.
namespace RowPainter {

// The selection highlight of a row, in the colour group its state asks for.
void paintSelection(QPainter* painter, const QStyleOptionViewItem& option);
void paintComboBox(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect,
                   const QString& text);
// A line edit's panel with its text in `textRect`.
void paintLineEdit(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect,
                   const QRect& textRect, const QString& text);
void paintButton(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect, bool plus);

} // namespace RowPainter
