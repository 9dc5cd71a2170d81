#include "playmediahandler.h"

#include "looper/message.h"
#include "looper/messagecodes.h"

#include <QDebug>
#include <QMetaMethod>

PlayMediaHandler::PlayMediaHandler(HandlerThread* loop) : HandlerMessage(loop)
{
    // Replies cross to the GUI thread as queued calls.
    qRegisterMetaType<Message*>();
}

PlayMediaHandler::~PlayMediaHandler()
{
    // A job still running on the worker must be finished before our members go.
    stopHandling();
}

void PlayMediaHandler::handleMessage(Message* msg)
{
    switch (msg->what) {
    case MessageCode::ClipFrame:
    case MessageCode::TimeAdd:
    case MessageCode::TimeDel:
    case MessageCode::LoopAdd:
    case MessageCode::LoopDel:
        echo(msg);
        break;
    default:
        qDebug() << "#PlayMediaHandler# no job for message" << msg->what;
        break;
    }
}

void PlayMediaHandler::echo(const Message* msg)
{
    // Nobody to own the reply: it would only leak.
    if (!isRunning() || !isSignalConnected(QMetaMethod::fromSignal(&PlayMediaHandler::handlerMessage)))
        return;
    auto* reply = new Message(this, msg->what);
    reply->obj = msg->obj;
    reply->obj2 = msg->obj2;
    reply->str = msg->str;
    emit handlerMessage(reply);
}
