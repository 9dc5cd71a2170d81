#pragma once

#include <QItemDelegate>

class HandlerMessage;
class ImageObject;

// Paints the rows of the picture list with style primitives, so that a row costs no widgets
// until it is edited; the row under edit gets an ImageObjectWidget. The editors' number
// changes come out of the delegate's own imageIndexChanged signal. GUI thread only.
class ListImageItemDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    explicit ListImageItemDelegate(HandlerMessage* handler, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

signals:
    void imageIndexChanged(ImageObject* picture, int oldIndex, int newIndex);
    // A press on the editor of a row, which covers the row and so takes the view's press.
    void rowPressed(const QModelIndex& index);

private:
    HandlerMessage* handler;  // not owned
};
