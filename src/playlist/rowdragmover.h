#pragma once

#include <QObject>
#include <QPoint>

class QAbstractItemView;
class QWidget;

// Moves a playlist row by dragging it by its thumbnail: a line shows where the row will go,
// the release asks for the move (rowMoved), Escape cancels. Presses that bubble up from an
// open row editor count as presses on the row. Installed on a view's viewport; GUI thread
// only.
class RowDragMover : public QObject
{
    Q_OBJECT
public:
    explicit RowDragMover(QAbstractItemView* view);

    // Presses this far from the row's left edge take the row: the thumbnail.
    static constexpr int handleWidth = 60;

    // The row a drop at this point of the viewport gives the dragged row `from`.
    int targetRow(QPoint viewportPos) const;

signals:
    void rowMoved(int from, int to);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showIndicator(int to);
    void endDrag();

    QAbstractItemView* view;
    QWidget* viewport;  // kept: see EditorClickForwarder
    QWidget* indicator;
    int pressedRow = -1;
    QPoint pressPos;
    bool dragging = false;
};
