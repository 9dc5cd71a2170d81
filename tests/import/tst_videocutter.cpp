#include "import/videocutter.h"
#include "import/videospancut.h"
#include "support/testvideo.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <thread>

class VideoCutterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(TestVideo::makeIndexed(indexedPath(), 160, 120, 24, 6.0));
        // The same frames in ASF, whose frame rate libVLC cannot tell.
        QVERIFY(TestVideo::makeIndexed(noRatePath(), 160, 120, 24, 6.0));
    }

    void marks_data()
    {
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("end");
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("last");
        QTest::newRow("whole 180 s video") << qint64(0) << qint64(180000) << 1801 << qint64(180000);
        QTest::newRow("start equals end") << qint64(60000) << qint64(60000) << 1 << qint64(60000);
        QTest::newRow("2 s span") << qint64(1000) << qint64(3000) << 21 << qint64(3000);
        QTest::newRow("end between marks") << qint64(0) << qint64(250) << 3 << qint64(200);
        QTest::newRow("end before start") << qint64(3000) << qint64(2000) << 0 << qint64(-1);
        // 64-bit times: a span near the top of 32 bits does not wrap.
        QTest::newRow("beyond 32 bits") << qint64(2147483600) << qint64(2147483800) << 3 << qint64(2147483800);
    }
    void marks()
    {
        QFETCH(qint64, start);
        QFETCH(qint64, end);
        QFETCH(int, count);
        QFETCH(qint64, last);
        const QVector<qint64> times = VideoMarks::marks(start, end);
        QCOMPARE(times.size(), count);
        if (count) {
            QCOMPARE(times.first(), start);
            QCOMPARE(times.last(), last);
        }
    }

    // Every mark gives the frame the video shows from that time on, with its exact
    // colours, whatever the order of the seeks; times past the end give the last frame
    // libVLC shows.
    void framesAtMarks()
    {
        VideoCutter cutter;
        QCOMPARE(cutter.open(indexedPath()), VideoCutter::Status::Ok);
        QCOMPARE(cutter.frameSize(), QSize(160, 120));
        QCOMPARE(cutter.lengthMs(), qint64(6000));
        QVERIFY(std::abs(cutter.frameRate() - 24.0) < 0.01);
        QVector<qint64> times = VideoMarks::marks(1000, 3000);
        times += {5000, 1100, 0, 5900, 6000, 2000};
        for (qint64 t : times) {
            QImage picture;
            const VideoCutter::Status status = cutter.frameAt(t, picture);
            QVERIFY2(status == VideoCutter::Status::Ok, qPrintable(QStringLiteral("no frame at %1 ms").arg(t)));
            const int expected = qMin(142, int(std::ceil(t * 24 / 1000.0)));
            QCOMPARE(picture.size(), QSize(160, 120));
            const int index = TestVideo::indexOf(picture.pixel(80, 60));
            QCOMPARE(picture.pixel(0, 0), picture.pixel(159, 119));
            // Within the last three frames libVLC at times shows the one before them.
            if (t < 6000 - 125)
                QCOMPARE(index, expected);
            else
                QVERIFY2(index >= 140 && index <= expected, qPrintable(QString::number(index)));
        }
    }

    // A span cut on several lanes gives every mark's frame in time order, also for a video
    // without a frame rate, and stops at the first failure or when cancelled.
    void spanCutInTimeOrder_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("lanes");
        QTest::newRow("three lanes") << QStringLiteral("indexed.mkv") << 3;
        QTest::newRow("frame rate 0, two lanes") << QStringLiteral("indexed.wmv") << 2;
    }
    void spanCutInTimeOrder()
    {
        QFETCH(QString, file);
        QFETCH(int, lanes);
        const QString path = dir.filePath(file);
        if (file.endsWith(QLatin1String(".wmv"))) {
            VideoCutter cutter;
            QCOMPARE(cutter.open(path), VideoCutter::Status::Ok);
            QCOMPARE(cutter.frameRate(), 0.0);
            QCOMPARE(cutter.lengthMs(), qint64(6000));
        }
        const QVector<qint64> marks = VideoMarks::marks(1000, 3000);
        VideoSpanCut spanCut(path, marks, lanes);
        for (qint64 t : marks) {
            QImage picture;
            QCOMPARE(spanCut.next(picture), VideoCutter::Status::Ok);
            QCOMPARE(spanCut.lastMark(), t);
            QCOMPARE(TestVideo::indexOf(picture.pixel(80, 60)), int(std::ceil(t * 24 / 1000.0)));
        }
        QVERIFY(spanCut.atEnd());
    }

    void spanCutStops()
    {
        const QString text = dir.filePath(QStringLiteral("notes.mkv"));
        QVERIFY(TestVideo::makeNotAVideo(text));
        VideoSpanCut broken(text, VideoMarks::marks(0, 1000), 2);
        QImage picture;
        QCOMPARE(broken.next(picture), VideoCutter::Status::NotPlayable);
        QCOMPARE(broken.lastMark(), qint64(0));
        QCOMPARE(broken.next(picture), VideoCutter::Status::NotPlayable);
        QVERIFY(picture.isNull());

        // Cancelled while the lanes wait for their pictures to be taken, and while one is
        // waited for: next() returns at once, and the lanes end with the cut.
        VideoSpanCut spanCut(indexedPath(), VideoMarks::marks(0, 5000), 2);
        QCOMPARE(spanCut.next(picture), VideoCutter::Status::Ok);
        std::thread canceller([&] { spanCut.cancel(); });
        canceller.join();
        QCOMPARE(spanCut.next(picture), VideoCutter::Status::Cancelled);
        QCOMPARE(spanCut.next(picture), VideoCutter::Status::Cancelled);
    }

    void refusesWhatDoesNotPlay()
    {
        const QString text = dir.filePath(QStringLiteral("notes.mp4"));
        QVERIFY(TestVideo::makeNotAVideo(text));
        for (const QString& path : {text, dir.filePath(QStringLiteral("missing.mkv"))}) {
            VideoCutter cutter;
            QCOMPARE(cutter.open(path, 3000), VideoCutter::Status::NotPlayable);
            // Refused at once, without waiting for a picture that cannot come.
            QElapsedTimer refusal;
            refusal.start();
            QImage picture;
            QCOMPARE(cutter.frameAt(0, picture), VideoCutter::Status::NotPlayable);
            QVERIFY(refusal.elapsed() < 1000);
            QVERIFY(picture.isNull());
        }
        // Cancelled from another thread while opening: it returns without waiting out its time.
        VideoCutter cutter;
        QElapsedTimer timer;
        timer.start();
        std::thread canceller([&] { cutter.cancel(); });
        const VideoCutter::Status status = cutter.open(indexedPath(), 60000);
        canceller.join();
        QVERIFY(status == VideoCutter::Status::Cancelled || status == VideoCutter::Status::Ok);
        QImage picture;
        QCOMPARE(cutter.frameAt(1000, picture), VideoCutter::Status::Cancelled);
        QVERIFY(timer.elapsed() < 20000);
    }

private:
    QString indexedPath() const { return dir.filePath(QStringLiteral("indexed.mkv")); }
    QString noRatePath() const { return dir.filePath(QStringLiteral("indexed.wmv")); }
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(VideoCutterTest)
#include "tst_videocutter.moc"
