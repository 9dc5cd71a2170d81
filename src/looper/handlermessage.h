#pragma once

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

class HandlerThread;
class Message;

// Base of the objects that receive messages on the worker thread.
//
// Threads: a handler lives on the GUI thread, which posts and removes its messages;
// handleMessage runs on the worker thread. Lock order: `sendLock`, then the thread's queue
// lock.
//
// Lifetime: stopHandling() clears `running`, wakes a job waiting in waitForJob() or
// callOnOwnerThread(), removes the handler's queued messages and waits until a running
// handleMessage of this handler has returned; afterwards messages sent to it are deleted
// unsent. A subclass whose handleMessage uses its own members calls stopHandling() first
// thing in its destructor; the base destructor calls it again for the rest.
class HandlerMessage : public QObject
{
    Q_OBJECT
public:
    explicit HandlerMessage(HandlerThread* loop);
    ~HandlerMessage() override;

    // Takes ownership of msg. It is due at the time it was made.
    void sendHandlerMessage(Message* msg);
    void sendMessageDelayed(Message* msg, int delayMs);
    void sendMessageDelayed(int what, int delayMs);
    void sendEmptyMessage(int what);
    void removeMessages(int what);
    // removeMessages, then waits for a running job of the code (HandlerThread). Not under
    // sendLock, so that the job waited for may still post.
    void removeMessagesAndWait(int what);

    // Runs on the worker thread; msg is deleted after it returns.
    virtual void handleMessage(Message* msg);

    bool isRunning() const { return running.load(); }
    void stopHandling();

protected:
    // For a job on the worker: sleeps up to timeoutMs or until woken by wakeJob() or
    // stopHandling(). Returns isRunning().
    bool waitForJob(int timeoutMs);
    void wakeJob();
    // For a job on the worker: runs fn on the handler's own thread and waits until it has
    // run. Returns false, without waiting any longer, once the handler is being destroyed;
    // fn is then never called.
    bool callOnOwnerThread(const std::function<void()>& fn);

    HandlerThread* loop;
    std::mutex sendLock;
    std::mutex jobLock;
    std::condition_variable jobCondition;

private slots:
    // Runs the call that callOnOwnerThread left in ownerCall.
    void runOwnerCall();

private:
    std::atomic<bool> running{true};
    bool detached = false;  // guarded by sendLock
    // The call waiting for the owner's thread and whether it has run, guarded by jobLock.
    // The function travels through here rather than inside the queued call: the toolkit's
    // event queue locks in an uninstrumented library, so the thread sanitizer would not see
    // the worker's writes ordered before the owner's reads.
    std::function<void()> ownerCall;
    bool ownerCallDone = false;
};
