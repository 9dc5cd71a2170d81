#pragma once

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

// Mouse input delivered straight to a widget, with the buttons held and the screen
// positions a real drag has (the drag handles of the editor follow screen positions).
namespace DiyInput {

inline void send(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                 Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

inline void press(QWidget* widget, QPoint at)
{
    send(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
}

inline void moveTo(QWidget* widget, QPoint at, Qt::MouseButtons held = Qt::LeftButton)
{
    send(widget, QEvent::MouseMove, at, Qt::NoButton, held);
}

inline void release(QWidget* widget, QPoint at)
{
    send(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

// Press at `from`, move through `steps` points to `to`, release there.
inline void drag(QWidget* widget, QPoint from, QPoint to, int steps = 4)
{
    press(widget, from);
    for (int i = 1; i <= steps; ++i)
        moveTo(widget, from + (to - from) * i / steps);
    release(widget, to);
}

// Drags a widget that follows the mouse: press at `from` (its own coordinates), then move
// the mouse by `delta` on the screen in `steps` moves, and release.
inline void dragWidget(QWidget* widget, QPoint from, QPoint delta, int steps = 4)
{
    const QPoint start = widget->mapToGlobal(from);
    press(widget, from);
    for (int i = 1; i <= steps; ++i)
        moveTo(widget, widget->mapFromGlobal(start + delta * i / steps));
    release(widget, widget->mapFromGlobal(start + delta));
}

} // namespace DiyInput
