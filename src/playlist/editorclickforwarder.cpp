#include "editorclickforwarder.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

EditorClickForwarder::EditorClickForwarder(QAbstractItemView* view)
    : QObject(view), viewport(view->viewport())
{
    viewport->installEventFilter(this);
}

bool EditorClickForwarder::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != viewport)
        return false;
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const QPoint pos = mouse->position().toPoint();
    if (event->type() == QEvent::MouseButtonPress) {
        // The viewport sees a press only where no editor was open.
        pressPos = pos;
        pressOnViewport = true;
    } else if (pressOnViewport) {
        pressOnViewport = false;
        // After the view has handled the release: it may move the focus once more.
        QTimer::singleShot(0, this, [this, at = pressPos] { forwardClick(at); });
    }
    return false;
}

void EditorClickForwarder::forwardClick(QPoint viewportPos)
{
    QPointer<QWidget> target = viewport->childAt(viewportPos);
    // Only a control inside an editor: the editor's own background has nothing to click.
    if (!target || target->parentWidget() == viewport)
        return;
    const QPointF local = target->mapFrom(viewport, viewportPos);
    const QPointF global = viewport->mapToGlobal(QPointF(viewportPos));
    if (target->focusPolicy() & Qt::ClickFocus)
        target->setFocus(Qt::MouseFocusReason);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    if (!target)
        return;
    // Released as late as a hand releases it: a plus button's first step must have left
    // for the worker before the release takes the rest back.
    QTimer::singleShot(clickLengthMs, target, [target = target.data(), local, global] {
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(target, &release);
    });
}
