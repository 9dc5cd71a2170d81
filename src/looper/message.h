#pragma once

#include <QObject>
#include <QString>

#include <chrono>

class HandlerMessage;

// One job for the worker thread, or one result coming back from it.
//
// Ownership passes along: the creator, then the queue (from enqueue until the worker takes
// it), then the worker during handleMessage, which deletes it afterwards. A message a
// handler emits to the GUI thread belongs to the receiving slot, which deletes it or sends
// it again.
class Message : public QObject
{
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;

    Message(HandlerMessage* target, int what);

    HandlerMessage* target;  // not owned; a message without target is dropped unhandled
    // Due time on the monotonic clock: a time of day would make a message due just before
    // midnight look a day away once the clock has passed 00:00.
    Clock::time_point when;
    int what;
    void* obj = nullptr;   // not owned
    void* obj2 = nullptr;  // not owned
    QString str;
};
