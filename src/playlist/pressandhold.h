#pragma once

#include <QPointer>
#include <QtGlobal>

class HandlerMessage;
class Message;
class QAbstractButton;
class QObject;

// The press-and-hold repeat of a row's plus and minus buttons. A press posts the code
// with the row widget as obj and a token of this press as obj2; the handler bounces it, the
// window steps and asks stepArrived() whether to send the next one. The chain ends when the
// button is released, leaves the mouse (dragged off), is hidden, its window loses the focus,
// or the widget goes away.
//
// The press's own step always arrives, however short the click: a release before it has
// come back leaves it queued, and only the repeats after it are taken back.
class PressAndHold
{
public:
    PressAndHold(HandlerMessage* handler, QObject* owner) : handler(handler), owner(owner) {}
    ~PressAndHold();

    void press(int what, const QAbstractButton* button);
    void release(int what);
    // For a step of this widget that came back: true while the press that sent it still
    // holds its button, so the next step is to be sent.
    bool stepArrived(const Message* msg);

private:
    bool buttonHeld() const;

    HandlerMessage* handler;
    QObject* owner;
    int heldCode = 0;
    QPointer<const QAbstractButton> heldButton;
    quintptr pressToken = 0;  // tells the messages of one press from those of another
    bool firstStepBack = false;  // the press's own step has come back: what is queued is a repeat
};
