#pragma once

#include <QtGlobal>

class HandlerMessage;
class Message;
class QObject;

// The press-and-hold repeat of a row's plus and minus buttons. A press posts the code
// with the row widget as obj and a token of this press as obj2; the handler bounces it and
// the window steps again only while isHolding() it. Releasing, or the widget going away
// while held, removes the queued step, which ends the chain.
class PressAndHold
{
public:
    PressAndHold(HandlerMessage* handler, QObject* owner) : handler(handler), owner(owner) {}
    ~PressAndHold();

    void press(int what);
    void release(int what);
    bool isHolding(const Message* msg) const;

private:
    HandlerMessage* handler;
    QObject* owner;
    int heldCode = 0;
    quintptr pressToken = 0;  // tells the messages of one press from those of another
};
