#include "handlerthread.h"

#include "app/appsettings.h"
#include "handlermessage.h"
#include "message.h"

#include <QDebug>


HandlerThread::HandlerThread() = default;

HandlerThread::~HandlerThread()
{
    quit();
    wait();
    clear();
}

void HandlerThread::enqueue(Message* msg)
{
    if (!msg) {
        qDebug() << "#LOOP# enqueue() msg is null!";
        return;
    }
    std::unique_lock locker(queueLock);
    // After the last message due at the same time or earlier: equal times keep their order.
    int at = queue.size();
    while (at > 0 && msg->when < queue.at(at - 1)->when)
        --at;
    queue.insert(at, msg);
    condition.notify_all();
}

void HandlerThread::removeMessages(int what)
{
    std::unique_lock locker(queueLock);
    removeLocked(what);
}

void HandlerThread::removeLocked(int what)
{
    for (int i = queue.size() - 1; i >= 0; --i) {
        if (queue.at(i)->what == what)
            delete queue.takeAt(i);
    }
}

void HandlerThread::removeMessagesAndWait(int what)
{
    std::unique_lock locker(queueLock);
    removeLocked(what);
    if (QThread::currentThread() == this)
        return;  // called by a job: it is the one running
    handlingDone.wait(locker, [&] { return handling == nullptr || handlingWhat != what; });
}

void HandlerThread::clear()
{
    std::unique_lock locker(queueLock);
    clearLocked();
}

void HandlerThread::clearLocked()
{
    qDeleteAll(queue);
    queue.clear();
}

void HandlerThread::quit()
{
    std::unique_lock locker(queueLock);
    quitRequested = true;
    condition.notify_all();
}

void HandlerThread::detachHandler(HandlerMessage* handler)
{
    std::unique_lock locker(queueLock);
    for (int i = queue.size() - 1; i >= 0; --i) {
        if (queue.at(i)->target == handler)
            delete queue.takeAt(i);
    }
    if (QThread::currentThread() == this)
        return;  // destroyed from inside its own handleMessage: the caller is the job
    handlingDone.wait(locker, [&] { return handling != handler; });
}

int HandlerThread::queuedCount()
{
    std::unique_lock locker(queueLock);
    return queue.size();
}

Message* HandlerThread::nextMessage(int& waitMs)
{
    if (queue.isEmpty()) {
        waitMs = -1;
        return nullptr;
    }
    const auto now = Message::Clock::now();
    const auto due = queue.first()->when;
    if (now < due) {
        // Round up so that the wake-up never comes a millisecond early and spins.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - now).count();
        waitMs = int(qMin<qint64>(left, std::numeric_limits<int>::max()));
        return nullptr;
    }
    waitMs = 0;
    return queue.takeFirst();
}

void HandlerThread::run()
{
    std::unique_lock locker(queueLock);
    for (;;) {
        if (quitRequested) {
            clearLocked();
            qDebug() << "#LOOP# exit!";
            return;
        }
        int waitMs = 0;
        Message* msg = nextMessage(waitMs);
        if (msg) {
            HandlerMessage* target = msg->target;
            handling = target;
            handlingWhat = msg->what;
            locker.unlock();
            if (target)
                target->handleMessage(msg);
            delete msg;
            locker.lock();
            handling = nullptr;
            handlingDone.notify_all();
            continue;
        }
        if (waitMs < 0)
            condition.wait(locker);
        else
            condition.wait_for(locker, std::chrono::milliseconds(waitMs));
    }
}

HandlerThread* obtainWorkerThread()
{
    static std::once_flag created;
    std::call_once(created, [] {
        // Never stopped: it ends with the process, like every handler's work.
        auto* thread = new HandlerThread;
        thread->start(QThread::InheritPriority);
        AppSettings::workerThread = thread;
    });
    return AppSettings::workerThread;
}
