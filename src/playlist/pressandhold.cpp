#include "pressandhold.h"

#include "looper/handlermessage.h"
#include "looper/message.h"

#include <QAbstractButton>

PressAndHold::~PressAndHold()
{
    // Closed while a button is held: its release never comes, so end the chain here.
    if (heldCode != 0 && handler)
        handler->removeMessages(heldCode);
}

void PressAndHold::press(int what, const QAbstractButton* button)
{
    heldCode = what;
    heldButton = button;
    firstStepBack = false;
    ++pressToken;
    if (!handler)
        return;
    auto* msg = new Message(handler, what);
    msg->obj = owner;
    msg->obj2 = reinterpret_cast<void*>(pressToken);
    handler->sendHandlerMessage(msg);
}

void PressAndHold::release(int what)
{
    if (heldCode != what)
        return;
    heldCode = 0;
    heldButton = nullptr;
    if (firstStepBack && handler)
        handler->removeMessages(what);
}

bool PressAndHold::buttonHeld() const
{
    return heldButton && heldButton->isDown() && heldButton->isVisible()
           && heldButton->window()->isActiveWindow();
}

bool PressAndHold::stepArrived(const Message* msg)
{
    if (msg->obj2 != reinterpret_cast<void*>(pressToken))
        return false;  // a step of an earlier press, already on its way at its release
    firstStepBack = true;
    if (heldCode == msg->what && buttonHeld())
        return true;
    // Hidden, dragged off or left for another window: no release may ever come.
    heldCode = 0;
    heldButton = nullptr;
    return false;
}
