#include "app/playmediahandler.h"
#include "looper/handlerthread.h"
#include "looper/message.h"
#include "looper/messagecodes.h"

#include <QtTest>

#include <memory>

class PlayMediaHandlerTest : public QObject
{
    Q_OBJECT
private slots:
    void bouncesRepeatCodes_data();
    void bouncesRepeatCodes();
    void otherCodesAreNotBounced();
    void destructionStopsPendingWork();
};

void PlayMediaHandlerTest::bouncesRepeatCodes_data()
{
    QTest::addColumn<int>("what");
    for (int what : {MessageCode::ClipFrame, MessageCode::TimeAdd, MessageCode::TimeDel,
                     MessageCode::LoopAdd, MessageCode::LoopDel})
        QTest::newRow(qPrintable(QString::number(what))) << what;
}

void PlayMediaHandlerTest::bouncesRepeatCodes()
{
    QFETCH(int, what);
    PlayMediaHandler handler(obtainWorkerThread());
    QList<Message*> replies;
    connect(&handler, &PlayMediaHandler::handlerMessage, this, [&](Message* msg) { replies.append(msg); });
    int object = 0;
    auto* msg = new Message(&handler, what);
    msg->obj = &object;
    handler.sendHandlerMessage(msg);
    QTRY_COMPARE(replies.size(), 1);
    std::unique_ptr<Message> reply(replies.first());
    // A new message, for the same handler, code and object, delivered on our thread.
    QVERIFY(reply.get() != msg);
    QCOMPARE(reply->what, what);
    QCOMPARE(reply->obj, static_cast<void*>(&object));
    QCOMPARE(reply->target, &handler);
}

void PlayMediaHandlerTest::otherCodesAreNotBounced()
{
    PlayMediaHandler handler(obtainWorkerThread());
    // Received on this thread (a spy would record on the worker while we read it).
    QList<int> replies;
    connect(&handler, &PlayMediaHandler::handlerMessage, this, [&](Message* msg) {
        replies.append(msg->what);
        delete msg;
    });
    QTest::ignoreMessage(QtDebugMsg, "#PlayMediaHandler# no job for message 42");
    handler.sendEmptyMessage(42);
    handler.sendEmptyMessage(MessageCode::TimeAdd);
    QTRY_COMPARE(replies.size(), 1);
    QCOMPARE(replies.first(), int(MessageCode::TimeAdd));
}

void PlayMediaHandlerTest::destructionStopsPendingWork()
{
    // A repeat still queued when the handler goes is never delivered to anyone.
    auto handler = std::make_unique<PlayMediaHandler>(obtainWorkerThread());
    int delivered = 0;
    connect(handler.get(), &PlayMediaHandler::handlerMessage, this, [&](Message* msg) {
        ++delivered;
        delete msg;
    });
    handler->sendMessageDelayed(MessageCode::ClipFrame, 100);
    handler.reset();
    QCOMPARE(obtainWorkerThread()->queuedCount(), 0);
    QTest::qWait(250);
    QCOMPARE(delivered, 0);
}

QTEST_GUILESS_MAIN(PlayMediaHandlerTest)
#include "tst_playmediahandler.moc"
