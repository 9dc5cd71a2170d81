#include "message.h"

Message::Message(HandlerMessage* target, int what) : target(target), when(Clock::now()), what(what) {}
