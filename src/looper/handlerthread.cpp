#include "handlerthread.h"

#include "app/appsettings.h"
#include "handlermessage.h"
#include "message.h"

#include <QDebug>

#include <mutex>

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
    QMutexLocker locker(&queueLock);
    // After the last message due at the same time or earlier: equal times keep their order.
    int at = queue.size();
    while (at > 0 && msg->when < queue.at(at - 1)->when)
        --at;
    queue.insert(at, msg);
    condition.wakeAll();
}

void HandlerThread::removeMessages(int what)
{
    QMutexLocker locker(&queueLock);
    for (int i = queue.size() - 1; i >= 0; --i) {
        if (queue.at(i)->what == what)
            delete queue.takeAt(i);
    }
}

void HandlerThread::clear()
{
    QMutexLocker locker(&queueLock);
    clearLocked();
}

void HandlerThread::clearLocked()
{
    qDeleteAll(queue);
    queue.clear();
}

void HandlerThread::quit()
{
    QMutexLocker locker(&queueLock);
    quitRequested = true;
    condition.wakeAll();
}

void HandlerThread::detachHandler(HandlerMessage* handler)
{
    QMutexLocker locker(&queueLock);
    for (int i = queue.size() - 1; i >= 0; --i) {
        if (queue.at(i)->target == handler)
            delete queue.takeAt(i);
    }
    if (QThread::currentThread() == this)
        return;  // destroyed from inside its own handleMessage: the caller is the job
    while (handling == handler)
        handlingDone.wait(&queueLock);
}

int HandlerThread::queuedCount()
{
    QMutexLocker locker(&queueLock);
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
    QMutexLocker locker(&queueLock);
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
            locker.unlock();
            if (target)
                target->handleMessage(msg);
            delete msg;
            locker.relock();
            handling = nullptr;
            handlingDone.wakeAll();
            continue;
        }
        if (waitMs < 0)
            condition.wait(&queueLock);
        else
            condition.wait(&queueLock, QDeadlineTimer(waitMs, Qt::PreciseTimer));
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
