#include "listmediaitemdelegate.h"

#include "cliprowtext.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "customtableitem.h"
#include "mediaobjectwidget.h"
#include "rowbuttons.h"
#include "rowpainter.h"

#include <QCoreApplication>
#include <QPainter>

ListMediaItemDelegate::ListMediaItemDelegate(HandlerMessage* handler, QObject* parent)
    : QItemDelegate(parent), handler(handler)
{
}

void ListMediaItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    RowPainter::paintSelection(painter, option);
    painter->setPen(Qt::black);
    const QVariant value = index.data(Qt::DisplayRole);
    if (!value.canConvert<CustomTableItem>() || index.column() != 0)
        return;
    auto* clip = qobject_cast<MediaObject*>(value.value<CustomTableItem>().object);
    if (!clip)
        return;

    const int left = option.rect.left();
    const int top = option.rect.top();
    const int frames = clip->frames.size();
    const QImage thumbnail = frames > 0 ? clip->frames.first()->loadThumbnail() : QImage();
    if (!thumbnail.isNull())
        painter->drawImage(QPoint(left, top), thumbnail);
    const int w = left + (thumbnail.isNull() ? 60 : thumbnail.width());

    // Centred in their boxes, as the editor's labels are, so that opening the editor
    // moves nothing.
    const int alignment = Qt::AlignLeft | Qt::AlignVCenter;
    const QString text = ClipRowText::text("ListMediaItemDelegate", *clip);
    painter->drawText(QRect(w, top + 10, ClipRowText::boxWidth(option.fontMetrics, text), 25), alignment, text);
    // The editor's loop label has no text of the delegate's own.
    const QString loopText = QCoreApplication::translate("MediaObjectWidget", "videowidget_lbl_loopcount");
    const int loopWidth = RowButtons::loopLabelWidth(option.fontMetrics, loopText);
    painter->drawText(QRect(w, top + 30, loopWidth, 25), alignment, loopText);
    const int edit = w + loopWidth;
    RowPainter::paintLineEdit(painter, option, QRect(edit, top + 30, 40, 25),
                              QRect(edit + 5, top + 32, 32, 21), QString::number(clip->loopCount));
    RowPainter::paintButton(painter, option, QRect(edit + 40, top + 30, 20, 25), true);
    RowPainter::paintButton(painter, option, QRect(edit + 60, top + 30, 20, 25), false);
}

QWidget* ListMediaItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                             const QModelIndex& index) const
{
    const QVariant value = index.data(Qt::DisplayRole);
    if (!value.canConvert<CustomTableItem>())
        return QItemDelegate::createEditor(parent, option, index);
    if (index.column() != 0)
        return nullptr;
    auto* clip = qobject_cast<MediaObject*>(value.value<CustomTableItem>().object);
    if (!clip)
        return nullptr;
    auto* widget = new MediaObjectWidget(handler, clip, index, parent);
    connect(widget, &MediaObjectWidget::mediaIndexChanged, this, &ListMediaItemDelegate::mediaIndexChanged);
    connect(widget, &MediaObjectWidget::rowPressed, this, &ListMediaItemDelegate::rowPressed);
    return widget;
}
