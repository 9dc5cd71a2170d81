#pragma once

#include <QItemDelegate>

class HandlerMessage;
class MediaObject;

// Paints the rows of the clip list with style primitives; the row under edit gets a
// MediaObjectWidget. GUI thread only.
class ListMediaItemDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    explicit ListMediaItemDelegate(HandlerMessage* handler, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

signals:
    void mediaIndexChanged(MediaObject* clip, int oldIndex, int newIndex);
    // A press on the editor of a row, which covers the row and so takes the view's press.
    void rowPressed(const QModelIndex& index);

private:
    HandlerMessage* handler;  // not owned
};
