#include "rowdragmover.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

RowDragMover::RowDragMover(QAbstractItemView* view)
    : QObject(view), view(view), viewport(view->viewport()), indicator(new QWidget(viewport))
{
    indicator->setObjectName(QStringLiteral("rowDropIndicator"));
    indicator->setAttribute(Qt::WA_TransparentForMouseEvents);
    indicator->setStyleSheet(QStringLiteral("background: palette(highlight);"));
    indicator->hide();
    viewport->installEventFilter(this);
}

int RowDragMover::targetRow(QPoint viewportPos) const
{
    const int rows = view->model() ? view->model()->rowCount() : 0;
    if (rows == 0)
        return -1;
    const QModelIndex index = view->indexAt(viewportPos);
    if (index.isValid())
        return index.row();
    // Above the first row or below the last: the end it is nearest to.
    return viewportPos.y() < view->visualRect(view->model()->index(0, 0)).top() ? 0 : rows - 1;
}

bool RowDragMover::eventFilter(QObject* watched, QEvent* event)
{
    // Escape while dragging, wherever the keyboard is: the row stays where it was.
    if (event->type() == QEvent::KeyPress && dragging
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        endDrag();
        return true;
    }
    if (watched != viewport)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint pos = mouse->position().toPoint();
        const QModelIndex index = view->indexAt(pos);
        pressedRow = -1;
        if (mouse->button() == Qt::LeftButton && index.isValid()
            && pos.x() - view->visualRect(index).left() < handleWidth) {
            pressedRow = index.row();
            pressPos = pos;
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (pressedRow < 0 || !(mouse->buttons() & Qt::LeftButton))
            return false;
        const QPoint pos = mouse->position().toPoint();
        if (!dragging && (pos - pressPos).manhattanLength() < QApplication::startDragDistance())
            return false;
        if (!dragging) {
            dragging = true;
            viewport->setCursor(Qt::ClosedHandCursor);
            qApp->installEventFilter(this);
        }
        showIndicator(targetRow(pos));
        return true;  // the view would start selecting rows
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        const bool wasDragging = dragging;
        const int from = pressedRow;
        endDrag();
        if (!wasDragging)
            return false;
        const int to = targetRow(mouse->position().toPoint());
        if (to >= 0 && to != from)
            emit rowMoved(from, to);
        return true;
    }
    default:
        return false;
    }
}

void RowDragMover::showIndicator(int to)
{
    if (to < 0)
        return;
    const QRect row = view->visualRect(view->model()->index(to, 0));
    // Above the row it takes the place of when moving up, below it when moving down.
    const int y = to < pressedRow ? row.top() : row.bottom() - 1;
    indicator->setGeometry(0, y, viewport->width(), 3);
    indicator->show();
    indicator->raise();
}

void RowDragMover::endDrag()
{
    if (dragging) {
        viewport->unsetCursor();
        qApp->removeEventFilter(this);
    }
    dragging = false;
    pressedRow = -1;
    indicator->hide();
}
