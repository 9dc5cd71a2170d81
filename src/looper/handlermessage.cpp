#include "handlermessage.h"

#include "handlerthread.h"
#include "message.h"

#include <QDebug>
#include <QThread>

#include <utility>

HandlerMessage::HandlerMessage(HandlerThread* loop) : loop(loop) {}

HandlerMessage::~HandlerMessage()
{
    stopHandling();
}

void HandlerMessage::stopHandling()
{
    {
        std::unique_lock job(jobLock);
        running = false;
        jobCondition.notify_all();
    }
    {
        std::unique_lock locker(sendLock);
        detached = true;
    }
    // Not under sendLock: the job we wait for may still post or remove messages.
    if (loop)
        loop->detachHandler(this);
}

void HandlerMessage::sendHandlerMessage(Message* msg)
{
    if (!msg)
        return;
    if (!loop) {
        qDebug() << "#Handler# sendHandlerMessage() loop is NULL!";
        delete msg;
        return;
    }
    std::unique_lock locker(sendLock);
    if (detached) {
        qDebug() << "#Handler# sendHandlerMessage() handler is stopping, message" << msg->what
                 << "dropped";
        delete msg;
        return;
    }
    loop->enqueue(msg);
}

void HandlerMessage::sendMessageDelayed(Message* msg, int delayMs)
{
    if (msg)
        msg->when = Message::Clock::now() + std::chrono::milliseconds(delayMs);
    sendHandlerMessage(msg);
}

void HandlerMessage::sendMessageDelayed(int what, int delayMs)
{
    sendMessageDelayed(new Message(this, what), delayMs);
}

void HandlerMessage::sendEmptyMessage(int what)
{
    sendMessageDelayed(what, 0);
}

void HandlerMessage::removeMessages(int what)
{
    std::unique_lock locker(sendLock);
    if (loop)
        loop->removeMessages(what);
}

void HandlerMessage::removeMessagesAndWait(int what)
{
    if (loop)
        loop->removeMessagesAndWait(what);
}

void HandlerMessage::handleMessage(Message*) {}

bool HandlerMessage::waitForJob(int timeoutMs)
{
    std::unique_lock job(jobLock);
    if (running)
        jobCondition.wait_for(job, std::chrono::milliseconds(timeoutMs));
    return running;
}

void HandlerMessage::wakeJob()
{
    std::unique_lock job(jobLock);
    jobCondition.notify_all();
}

bool HandlerMessage::callOnOwnerThread(const std::function<void()>& fn)
{
    if (QThread::currentThread() == thread()) {
        if (running)
            fn();
        return running;
    }
    std::unique_lock job(jobLock);
    if (!running)
        return false;
    ownerCall = fn;
    ownerCallDone = false;
    // Queued by name, with the handler as context: once the handler is gone Qt drops it,
    // and while it is being destroyed (on its own thread) the call cannot run.
    QMetaObject::invokeMethod(this, "runOwnerCall", Qt::QueuedConnection);
    jobCondition.wait(job, [&] { return ownerCallDone || !running; });
    ownerCall = nullptr;  // not run when the handler stopped first
    return ownerCallDone && running;
}

void HandlerMessage::runOwnerCall()
{
    std::unique_lock job(jobLock);
    const std::function<void()> call = std::exchange(ownerCall, nullptr);
    job.unlock();
    if (call && running)
        call();
    job.lock();
    ownerCallDone = true;
    jobCondition.notify_all();
}
