#pragma once

#include <QList>
#include <QThread>

#include <condition_variable>
#include <mutex>

class HandlerMessage;
class Message;

// The worker thread: a queue of messages ordered by due time, handed one at a time to the
// handleMessage of their target.
//
// Threads: any thread may enqueue, remove or clear; only the worker takes messages.
// `queueLock` guards `queue`, `quitRequested` and `handling`. The worker checks the queue
// and starts waiting under the same lock, so a message queued in between always wakes it.
class HandlerThread : public QThread
{
    Q_OBJECT
public:
    HandlerThread();
    ~HandlerThread() override;

    // Takes ownership. Inserted after every queued message due at the same time or earlier.
    void enqueue(Message* msg);
    // Removes and deletes every queued message with the code, whatever its target.
    void removeMessages(int what);
    // Like removeMessages and, unless called on the worker itself, waits until a running
    // handleMessage of a message with the code has returned: afterwards no message of the
    // code touches what its sender is about to free.
    void removeMessagesAndWait(int what);
    // Removes and deletes every queued message.
    void clear();
    void quit();

    // Removes the handler's queued messages and, unless called on the worker itself, waits
    // until a handleMessage of that handler that is running has returned. After it the
    // worker never touches the handler again.
    void detachHandler(HandlerMessage* handler);

    // Under queueLock: the head when it is due (taken out of the queue, waitMs = 0), else
    // null with waitMs = milliseconds until the head is due, or -1 for an empty queue.
    Message* nextMessage(int& waitMs);

    int queuedCount();

protected:
    void run() override;

private:
    void clearLocked();
    void removeLocked(int what);

    // Standard primitives rather than Qt's: the thread sanitizer sees their waits.
    bool quitRequested = false;
    std::condition_variable condition;     // a message was queued or quit was requested
    std::condition_variable handlingDone;  // handleMessage returned
    std::mutex queueLock;
    QList<Message*> queue;
    HandlerMessage* handling = nullptr;  // target of the message being handled
    int handlingWhat = 0;                // and its code
};

// The one worker thread every handler shares, created and started on first use.
HandlerThread* obtainWorkerThread();
