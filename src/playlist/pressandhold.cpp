#include "pressandhold.h"

#include "looper/handlermessage.h"
#include "looper/message.h"

PressAndHold::~PressAndHold()
{
    // Closed while a button is held: its release never comes, so end the chain here.
    if (heldCode != 0 && handler)
        handler->removeMessages(heldCode);
}

void PressAndHold::press(int what)
{
    heldCode = what;
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
    if (heldCode == what)
        heldCode = 0;
    if (handler)
        handler->removeMessages(what);
}

bool PressAndHold::isHolding(const Message* msg) const
{
    return heldCode != 0 && heldCode == msg->what && msg->obj2 == reinterpret_cast<void*>(pressToken);
}
