#include "listimageitemdelegate.h"

#include "convert/imageobject.h"
#include "customtableitem.h"
#include "imageobjectwidget.h"
#include "rowpainter.h"

#include <QCoreApplication>
#include <QPainter>

ListImageItemDelegate::ListImageItemDelegate(HandlerMessage* handler, QObject* parent)
    : QItemDelegate(parent), handler(handler)
{
}

void ListImageItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    RowPainter::paintSelection(painter, option);
    painter->setPen(Qt::black);
    const QVariant value = index.data(Qt::DisplayRole);
    if (!value.canConvert<CustomTableItem>() || index.column() != 0)
        return;
    auto* picture = qobject_cast<ImageObject*>(value.value<CustomTableItem>().object);
    if (!picture)
        return;

    const int left = option.rect.left();
    const int top = option.rect.top();
    const QImage thumbnail = picture->loadThumbnail();
    // A missing thumbnail leaves its place empty, so the controls stay where the editor has them.
    const QSize thumbSize = thumbnail.isNull() ? QSize(60, 60) : thumbnail.size();
    if (!thumbnail.isNull())
        painter->drawImage(QPoint(left, top), thumbnail);
    const int x = left + thumbSize.width();
    const int y = top + (thumbSize.height() - 25) / 2;

    // The texts the editor shows, from the editor's own context.
    const char* context = "ListImageItemDelegate";
    RowPainter::paintComboBox(painter, option, QRect(x, y, 70, 25),
                              QCoreApplication::translate(context, "imgwidget_lbl_text2").arg(picture->number));
    painter->drawText(QRect(x + 70, y, 35, 25), Qt::AlignCenter,
                      QCoreApplication::translate(context, "imgwidget_lbl_text3"));
    RowPainter::paintLineEdit(painter, option, QRect(x + 105, y, 40, 25), QRect(x + 105 + 5, y + 2, 32, 21),
                              QString::number(picture->showTime, 'g', 6));
    painter->setPen(Qt::black);
    painter->drawText(QRect(x + 145, y, 25, 25), Qt::AlignCenter,
                      QCoreApplication::translate(context, "imgwidget_lbl_text4"));
    RowPainter::paintButton(painter, option, QRect(x + 170, y, 20, 25), true);
    RowPainter::paintButton(painter, option, QRect(x + 190, y, 20, 25), false);
}

QWidget* ListImageItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                             const QModelIndex& index) const
{
    const QVariant value = index.data(Qt::DisplayRole);
    if (!value.canConvert<CustomTableItem>())
        return QItemDelegate::createEditor(parent, option, index);
    if (index.column() != 0)
        return nullptr;
    auto* picture = qobject_cast<ImageObject*>(value.value<CustomTableItem>().object);
    if (!picture)
        return nullptr;
    auto* widget = new ImageObjectWidget(handler, picture, index, parent);
    connect(widget, &ImageObjectWidget::imageIndexChanged, this, &ListImageItemDelegate::imageIndexChanged);
    connect(widget, &ImageObjectWidget::rowPressed, this, &ListImageItemDelegate::rowPressed);
    return widget;
}
