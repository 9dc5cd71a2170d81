#include "app/appsettings.h"
#include "looper/handlermessage.h"
#include "looper/handlerthread.h"
#include "looper/message.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QRandomGenerator>
#include <QtTest>

#include <atomic>
#include <ctime>
#include <thread>
#include <vector>

namespace {

// Records the code and str of every message it handles, in order.
class RecordingHandler : public HandlerMessage
{
public:
    explicit RecordingHandler(HandlerThread* loop) : HandlerMessage(loop) {}
    ~RecordingHandler() override { stopHandling(); }

    void handleMessage(Message* msg) override
    {
        QMutexLocker locker(&recordLock);
        handled.push_back(QString::number(msg->what) + ':' + msg->str);
    }
    // A fresh list rather than a shared copy: Qt's implicit sharing checks its reference
    // count with relaxed loads, which the thread sanitizer reports as a race.
    QStringList record()
    {
        QMutexLocker locker(&recordLock);
        return QStringList(handled.begin(), handled.end());
    }

private:
    QMutex recordLock;
    std::vector<QString> handled;
};

// A long job that touches its own members until it returns, like a conversion.
class SlowHandler : public HandlerMessage
{
public:
    explicit SlowHandler(HandlerThread* loop, std::atomic<int>* finished)
        : HandlerMessage(loop), finished(finished)
    {
    }
    ~SlowHandler() override
    {
        stopHandling();
        finishedWhenDestroyed = finished->load();
        *observedAtDestruction = finishedWhenDestroyed;
    }

    void handleMessage(Message*) override
    {
        started = true;
        for (int step = 0; step < 30 && isRunning(); ++step)
            QThread::msleep(10);
        QThread::msleep(50);  // one more step after the flag was seen: still inside the job
        payload.fill('x', 1024);
        finished->fetch_add(1);
    }

    std::atomic<bool> started{false};
    int* observedAtDestruction = nullptr;

private:
    std::atomic<int>* finished;
    int finishedWhenDestroyed = 0;
    QByteArray payload;
};

// Asks the GUI thread for something in the middle of its job, as the picture import does.
class AskingHandler : public HandlerMessage
{
public:
    using HandlerMessage::HandlerMessage;
    ~AskingHandler() override { stopHandling(); }

    void handleMessage(Message*) override
    {
        started = true;
        answered = callOnOwnerThread([this] { answerThread = QThread::currentThread(); });
        returned = true;
    }

    std::atomic<bool> started{false};
    std::atomic<bool> returned{false};
    std::atomic<bool> answered{false};
    QThread* answerThread = nullptr;
};

Message* messageWith(HandlerMessage* target, int what, const QString& str)
{
    auto* msg = new Message(target, what);
    msg->str = str;
    return msg;
}

qint64 processCpuMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

} // namespace

class LooperTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        loop = new HandlerThread;
        loop->start();
    }
    void cleanup()
    {
        delete loop;
        loop = nullptr;
    }

    void dueTimeOrderAndArrivalOrder()
    {
        RecordingHandler handler(loop);
        handler.sendMessageDelayed(messageWith(&handler, 20, "300"), 300);
        handler.sendMessageDelayed(messageWith(&handler, 20, "100"), 100);
        handler.sendMessageDelayed(messageWith(&handler, 20, "200"), 200);

        // Same due time: the order in which they were posted.
        const auto due = Message::Clock::now() + std::chrono::milliseconds(400);
        for (const char* name : {"first", "second", "third"}) {
            Message* msg = messageWith(&handler, 21, name);
            msg->when = due;
            handler.sendHandlerMessage(msg);
        }
        QTRY_COMPARE_WITH_TIMEOUT(handler.record().size(), 6, 5000);
        QCOMPARE(handler.record(), QStringList({"20:100", "20:200", "20:300", "21:first",
                                                "21:second", "21:third"}));
    }

    void immediateMessageWakesAWaitingWorker()
    {
        RecordingHandler handler(loop);
        handler.sendMessageDelayed(messageWith(&handler, 30, "late"), 5000);
        QTest::qWait(50);  // the worker is now asleep until the late message is due
        QElapsedTimer timer;
        timer.start();
        handler.sendMessageDelayed(messageWith(&handler, 31, "now"), 0);
        QTRY_COMPARE_WITH_TIMEOUT(handler.record(), QStringList{"31:now"}, 1000);
        QVERIFY2(timer.elapsed() < 1000, "the worker slept through a message that was due");
        QCOMPARE(loop->queuedCount(), 1);
    }

    void removeMessagesGoesByCodeAcrossHandlers()
    {
        RecordingHandler first(loop);
        RecordingHandler second(loop);
        for (RecordingHandler* handler : {&first, &second}) {
            handler->sendMessageDelayed(messageWith(handler, 7, "a"), 150);
            handler->sendMessageDelayed(messageWith(handler, 8, "b"), 150);
            handler->sendMessageDelayed(messageWith(handler, 7, "c"), 160);
        }
        first.removeMessages(7);
        QCOMPARE(loop->queuedCount(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(loop->queuedCount(), 0, 2000);
        QTRY_COMPARE(first.record(), QStringList{"8:b"});
        QTRY_COMPARE(second.record(), QStringList{"8:b"});
    }

    void messagesWithoutTargetOrLoopAreDeleted()
    {
        std::atomic<int> deleted{0};
        auto* orphan = new Message(nullptr, 40);
        connect(orphan, &QObject::destroyed, orphan, [&deleted] { ++deleted; }, Qt::DirectConnection);
        loop->enqueue(orphan);
        QTRY_COMPARE(deleted.load(), 1);

        loop->enqueue(nullptr);  // refused with a debug line
        QCOMPARE(loop->queuedCount(), 0);

        HandlerMessage noLoop(nullptr);
        auto* unsent = new Message(&noLoop, 41);
        connect(unsent, &QObject::destroyed, unsent, [&deleted] { ++deleted; }, Qt::DirectConnection);
        noLoop.sendHandlerMessage(unsent);
        QCOMPARE(deleted.load(), 2);
    }

    void idleWorkerUsesNoProcessor()
    {
        RecordingHandler handler(loop);
        handler.sendEmptyMessage(50);
        QTRY_COMPARE(handler.record().size(), 1);
        const qint64 before = processCpuMicroseconds();
        QThread::msleep(1000);  // nothing queued: the worker must sleep, not poll
        const qint64 used = processCpuMicroseconds() - before;
        QVERIFY2(used < 50000, qPrintable(QString("%1 us of CPU while idle").arg(used)));
    }

    void destroyingAHandlerWaitsForItsRunningJob()
    {
        std::atomic<int> finished{0};
        int observed = -1;
        auto* handler = new SlowHandler(loop, &finished);
        handler->observedAtDestruction = &observed;
        handler->sendEmptyMessage(60);
        handler->sendMessageDelayed(61, 0);  // queued behind the running job: must be dropped
        QTRY_VERIFY(handler->started.load());
        delete handler;
        QCOMPARE(observed, 1);  // the job had returned before the destructor went on
        QCOMPARE(loop->queuedCount(), 0);
        QThread::msleep(100);
        QCOMPARE(finished.load(), 1);  // the second message never ran on the dead handler
    }

    void askingTheOwnerThreadDuringDestructionDoesNotHang()
    {
        // Answered while the owner thread runs its event loop.
        auto* handler = new AskingHandler(loop);
        handler->sendEmptyMessage(70);
        QTRY_VERIFY(handler->returned.load());
        QVERIFY(handler->answered.load());
        QCOMPARE(handler->answerThread, QThread::currentThread());
        delete handler;

        // Destroyed while the job waits for the owner thread, which is busy destroying it.
        handler = new AskingHandler(loop);
        handler->sendEmptyMessage(70);
        while (!handler->started.load())
            QThread::msleep(1);  // no event processing: the question stays unanswered
        delete handler;
        QCoreApplication::processEvents();  // the dropped question must not run now
    }

    void quitEndsTheLoopAndDropsTheQueue()
    {
        std::atomic<int> deleted{0};
        RecordingHandler handler(loop);
        auto* pending = messageWith(&handler, 80, "never");
        connect(pending, &QObject::destroyed, pending, [&deleted] { ++deleted; }, Qt::DirectConnection);
        handler.sendMessageDelayed(pending, 10000);
        loop->quit();
        QVERIFY(loop->wait(2000));
        QCOMPARE(deleted.load(), 1);
        QVERIFY(handler.record().isEmpty());
    }

    void workerThreadIsCreatedOnce()
    {
        std::vector<std::thread> callers;
        std::vector<HandlerThread*> seen(4, nullptr);
        for (int i = 0; i < 4; ++i)
            callers.emplace_back([&seen, i] { seen[i] = obtainWorkerThread(); });
        for (auto& caller : callers)
            caller.join();
        for (HandlerThread* thread : seen)
            QCOMPARE(thread, seen.front());
        QCOMPARE(AppSettings::workerThread, seen.front());
        QVERIFY(seen.front()->isRunning());
    }

    // Several threads post, remove and destroy handlers while jobs run. Run it under the
    // thread and address sanitizers (GYROLUME_SANITIZE) to catch races and use after free.
    void stressPostRemoveDestroy()
    {
        std::atomic<int> jobs{0};
        class CountingHandler : public HandlerMessage
        {
        public:
            CountingHandler(HandlerThread* loop, std::atomic<int>* jobs)
                : HandlerMessage(loop), jobs(jobs) {}
            ~CountingHandler() override { stopHandling(); }
            void handleMessage(Message* msg) override
            {
                values.append(msg->what);  // a member the worker writes: freed too early, ASan sees it
                if (msg->what % 5 == 0)
                    sendMessageDelayed(msg->what + 1, 1);  // a job that posts its next step
                jobs->fetch_add(1);
            }
        private:
            std::atomic<int>* jobs;
            QList<int> values;
        };

        std::vector<std::thread> posters;
        for (int t = 0; t < 4; ++t) {
            posters.emplace_back([this, &jobs, t] {
                QRandomGenerator random(quint32(t + 1));
                for (int round = 0; round < 60; ++round) {
                    auto* handler = new CountingHandler(loop, &jobs);
                    for (int i = 0; i < 20; ++i)
                        handler->sendMessageDelayed(int(random.bounded(20)), int(random.bounded(3)));
                    handler->removeMessages(int(random.bounded(20)));
                    QThread::usleep(random.bounded(500));
                    delete handler;
                }
            });
        }
        for (auto& poster : posters)
            poster.join();
        QTRY_COMPARE(loop->queuedCount(), 0);
        QVERIFY(jobs.load() > 0);
    }

private:
    HandlerThread* loop = nullptr;
};

QTEST_GUILESS_MAIN(LooperTest)
#include "tst_looper.moc"
