#include "rowpainter.h"

#include "rowbuttons.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>

namespace RowPainter {

namespace {
QStyle* styleOf(const QStyleOptionViewItem& option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}
} // namespace

void paintSelection(QPainter* painter, const QStyleOptionViewItem& option)
{
    if (!(option.state & QStyle::State_Selected))
        return;
    QPalette::ColorGroup group = QPalette::Disabled;
    if (option.state & QStyle::State_Enabled)
        group = (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
}

void paintComboBox(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect,
                   const QString& text)
{
    QStyleOptionComboBox box;
    box.initFrom(option.widget);
    box.rect = rect;
    box.state = QStyle::State_Enabled;
    box.currentText = text;
    box.editable = false;
    box.frame = true;
    QStyle* style = styleOf(option);
    style->drawComplexControl(QStyle::CC_ComboBox, &box, painter, option.widget);
    style->drawControl(QStyle::CE_ComboBoxLabel, &box, painter, option.widget);
}

void paintLineEdit(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect,
                   const QRect& textRect, const QString& text)
{
    QStyleOptionFrame frame;
    frame.initFrom(option.widget);
    frame.rect = rect;
    frame.state = QStyle::State_Enabled | QStyle::State_Sunken;
    QStyle* style = styleOf(option);
    frame.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, option.widget);
    frame.midLineWidth = 0;
    style->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, painter, option.widget);
    painter->save();
    painter->setPen(frame.palette.color(QPalette::Active, QPalette::Text));
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, text);
    painter->restore();
}

void paintButton(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect, bool plus)
{
    QStyleOptionButton button;
    button.initFrom(option.widget);
    button.rect = rect;
    button.state = QStyle::State_Enabled | QStyle::State_Raised;
    button.features = QStyleOptionButton::Flat;
    button.icon = plus ? RowButtons::plusIcon() : RowButtons::minusIcon();
    button.iconSize = QSize(16, 16);
    button.text = RowButtons::fallbackText(button.icon, plus);
    styleOf(option)->drawControl(QStyle::CE_PushButton, &button, painter, option.widget);
}

} // namespace RowPainter
