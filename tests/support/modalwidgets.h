#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Calls `act` once, with the first modal widget of type T that shows up while the test waits
// in a modal run of its own. With an `owner`, the watch ends with it if no such widget came.
template <class T>
void whenModal(const std::function<void(T*)>& act, QObject* owner = nullptr)
{
    auto* timer = new QTimer(owner);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(widget);
        }
    });
    timer->start();
}
