#include "editorclickforwarder.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QScopedValueRollback>

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
    // A forwarded event that the control left to its parents: the view has had this press.
    if (forwarding)
        return true;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const QPoint pos = mouse->position().toPoint();
    if (event->type() == QEvent::MouseButtonPress) {
        pressOnViewport = !viewport->childAt(pos);
        pressPos = pos;
        pressedControl = nullptr;
        // After the view has handled the press: that is when it opens the editor.
        if (pressOnViewport)
            QMetaObject::invokeMethod(this, &EditorClickForwarder::forwardPress, Qt::QueuedConnection);
    } else if (pressOnViewport) {
        pressOnViewport = false;
        QMetaObject::invokeMethod(this, &EditorClickForwarder::forwardRelease, Qt::QueuedConnection);
    }
    return false;
}

QWidget* EditorClickForwarder::controlAt(QPoint viewportPos) const
{
    QWidget* target = viewport->childAt(viewportPos);
    // The editor's own background and its labels have nothing to click.
    if (!target || target->parentWidget() == viewport)
        return nullptr;
    if (target->focusPolicy() == Qt::NoFocus && !qobject_cast<QAbstractButton*>(target))
        return nullptr;
    return target;
}

void EditorClickForwarder::forwardPress()
{
    QWidget* control = controlAt(pressPos);
    if (!control)
        return;  // no editor under the press yet: it may open on the release
    pressedControl = control;
    send(control, true);
}

void EditorClickForwarder::forwardRelease()
{
    if (pressedControl) {
        QWidget* control = pressedControl;
        pressedControl = nullptr;
        send(control, false);
        return;
    }
    // A press on the row being chosen already opens its editor; one already current opens
    // its editor on the release, and gets the whole click now.
    QPointer<QWidget> control = controlAt(pressPos);
    if (!control)
        return;
    send(control, true);
    if (control)
        send(control, false);
}

void EditorClickForwarder::send(QWidget* control, bool press)
{
    const QPointF local = control->mapFrom(viewport, QPointF(pressPos));
    const QPointF global = viewport->mapToGlobal(QPointF(pressPos));
    if (press && (control->focusPolicy() & Qt::ClickFocus))
        control->setFocus(Qt::MouseFocusReason);
    // At the press's place both times: a button dragged off is let go as released there.
    QMouseEvent event(press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, local, global,
                      Qt::LeftButton, press ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    const QScopedValueRollback<bool> guard(forwarding, true);
    QCoreApplication::sendEvent(control, &event);
}
