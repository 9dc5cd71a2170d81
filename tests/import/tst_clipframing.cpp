#include "import/clipframing.h"
#include "import/gifframes.h"

#include "support/testgif.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

class ClipFramingTest : public QObject
{
    Q_OBJECT

private slots:
    void placement_data()
    {
        QTest::addColumn<QPoint>("window");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<QRect>("source");
        QTest::addColumn<QRect>("target");
        QTest::newRow("inside") << QPoint(75, 75) << QSize(600, 600) << QRect(75, 75, 450, 450) << QRect(0, 0, 450, 450);
        QTest::newRow("left out") << QPoint(-50, 75) << QSize(600, 600) << QRect(0, 75, 400, 450) << QRect(25, 0, 400, 450);
        QTest::newRow("narrow") << QPoint(-75, -75) << QSize(300, 300) << QRect(0, 0, 300, 300) << QRect(75, 75, 300, 300);
        QTest::newRow("right out") << QPoint(300, 0) << QSize(600, 450) << QRect(300, 0, 300, 450) << QRect(75, 0, 300, 450);
        QTest::newRow("beside") << QPoint(700, 0) << QSize(600, 450) << QRect(700, 0, 0, 450) << QRect(225, 0, 0, 450);
    }
    void placement()
    {
        QFETCH(QPoint, window);
        QFETCH(QSize, shown);
        QFETCH(QRect, source);
        QFETCH(QRect, target);
        const ClipPlacement placement = clipPlacement(window, shown);
        QCOMPARE(placement.source, source);
        QCOMPARE(placement.target, target);
        QCOMPARE(placement.cut(), QRect(QPoint(0, 0), source.size()));
    }

    void zoomAndStart_data()
    {
        QTest::addColumn<QSize>("base");
        QTest::addColumn<int>("step");
        QTest::addColumn<QSize>("shown");  // invalid: the step is refused
        QTest::addColumn<QPoint>("window");
        QTest::newRow("unzoomed") << QSize(600, 400) << 0 << QSize(600, 400) << QPoint(75, -25);
        QTest::newRow("one in") << QSize(600, 400) << 1 << QSize(660, 440) << QPoint(105, -5);
        QTest::newRow("two in") << QSize(600, 400) << 2 << QSize(720, 480) << QPoint(135, 15);
        QTest::newRow("one out") << QSize(600, 400) << -1 << QSize(540, 360) << QPoint(45, -45);
        // Each step is 10 % of the base, truncated: 15 + 1 is 16, never 16.5 rounded twice.
        QTest::newRow("truncated") << QSize(15, 15) << 1 << QSize(16, 16) << QPoint(-217, -217);
        QTest::newRow("smaller than the window") << QSize(300, 300) << 0 << QSize(300, 300) << QPoint(-75, -75);
        // Halves truncate toward zero: a picture one pixel narrower than the window starts at 0.
        QTest::newRow("one pixel short") << QSize(449, 451) << 0 << QSize(449, 451) << QPoint(0, 0);
        QTest::newRow("ten out is empty") << QSize(600, 400) << -10 << QSize(0, 0) << QPoint(-225, -225);
        QTest::newRow("eleven out refused") << QSize(600, 400) << -11 << QSize(-1, -1) << QPoint();
        QTest::newRow("too large refused") << QSize(4000, 3000) << 11 << QSize(-1, -1) << QPoint();
        QTest::newRow("many steps do not overflow") << QSize(30000, 20) << 100000 << QSize(-1, -1) << QPoint();
    }
    void zoomAndStart()
    {
        QFETCH(QSize, base);
        QFETCH(int, step);
        QFETCH(QSize, shown);
        QFETCH(QPoint, window);
        QCOMPARE(zoomedSize(base, step), shown);
        if (shown.isValid())
            QCOMPARE(centredWindowPosition(shown), window);
    }

    // The view draws the picture and the window where it opens whole, centred, at one scale;
    // a point in the view maps back to the picture's own pixels.
    void placementViewFits_data()
    {
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<QSize>("view");
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QPoint>("origin");
        // A GIF smaller than the window: the window decides, and the view is drawn larger.
        QTest::newRow("small GIF") << QSize(200, 150) << QSize(900, 540) << 1.2 << QPoint(330, 180);
        // A 720p video: the picture decides, and is drawn smaller.
        QTest::newRow("720p video") << QSize(1280, 720) << QSize(640, 540) << 0.5 << QPoint(0, 90);
        QTest::newRow("wide and low") << QSize(900, 100) << QSize(450, 450) << 0.5 << QPoint(0, 200);
        QTest::newRow("no picture") << QSize(0, 0) << QSize(450, 450) << 1.0 << QPoint(225, 225);
    }
    void placementViewFits()
    {
        QFETCH(QSize, shown);
        QFETCH(QSize, view);
        QFETCH(qreal, scale);
        QFETCH(QPoint, origin);
        const PlacementView drawn = placementView(shown, view);
        QCOMPARE(drawn.scale, scale);
        QCOMPARE(drawn.pictureOrigin, origin);
        // A drag of d view pixels moves the window d / scale of the picture's own.
        QCOMPARE(drawn.toPicture(drawn.toView(QPoint(0, 0)) + QPoint(60, -30)),
                 QPoint(qRound(60 / scale), qRound(-30 / scale)));
    }

    // Kept at the GIF's own timing, frame k fills the records from its rounded start to its
    // rounded end.
    void keptTiming_data()
    {
        QTest::addColumn<QVector<int>>("delaysMs");
        QTest::addColumn<QVector<int>>("records");
        QTest::newRow("0.1 s each") << QVector<int>{100, 100, 100} << QVector<int>{1, 1, 1};
        QTest::newRow("mixed") << QVector<int>{100, 400, 100, 400} << QVector<int>{1, 4, 1, 4};
        // 150 ms frames alternate 2 and 1 records: 4.5 s stay 4.5 s, not 6.
        QTest::newRow("halves") << QVector<int>{150, 150, 150, 150} << QVector<int>{2, 1, 2, 1};
        // 40 ms frames (25 per second): the card shows every other or third, on time.
        QTest::newRow("fast") << QVector<int>{40, 40, 40, 40, 40} << QVector<int>{0, 1, 0, 1, 0};
        // No delay, or 10 ms: 100 ms, as browsers play them.
        QTest::newRow("no delay") << QVector<int>{0, 10, 0} << QVector<int>{1, 1, 1};
        QTest::newRow("too short for a record") << QVector<int>{20} << QVector<int>{1};
        QTest::newRow("none") << QVector<int>{} << QVector<int>{};
    }
    void keptTiming()
    {
        QFETCH(QVector<int>, delaysMs);
        QFETCH(QVector<int>, records);
        QCOMPARE(keptTimingRecords(delaysMs), records);

        // The delays come from the file's blocks, without decoding.
        QBuffer bytes;
        bytes.open(QIODevice::ReadWrite);
        TestGifWriter gif(bytes, QSize(20, 20));
        for (int delay : delaysMs)
            gif.addFrame(QRect(0, 0, 20, 20), TestGifWriter::Red, 2, delay);
        gif.finish();
        bytes.seek(0);
        QCOMPARE(scanGifLayout(bytes).delaysMs, delaysMs);
    }

    void centredWindowAndFraming()
    {
        // A 600 x 400 frame: the window opens at (75, -25), the 400 rows sit centred.
        const ClipPlacement placement = centredClipPlacement(QSize(600, 400));
        QCOMPARE(placement.source, QRect(75, 0, 450, 400));
        QCOMPARE(placement.target, QRect(0, 25, 450, 400));

        QImage frame(600, 400, QImage::Format_RGB32);
        frame.fill(Qt::blue);
        frame.setPixel(75, 0, qRgb(255, 255, 0));  // the first pixel under the window
        const QImage framed = frameClipPicture(frame, placement);
        QCOMPARE(framed.size(), QSize(450, 450));
        QCOMPARE(framed.pixel(0, 24), qRgb(0, 0, 0));
        QCOMPARE(framed.pixel(0, 25), qRgb(255, 255, 0));
        QCOMPARE(framed.pixel(449, 424), qRgb(0, 0, 255));
        QCOMPARE(framed.pixel(449, 425), qRgb(0, 0, 0));

        // Later frames of another size are first scaled to the size the first was shown at.
        QImage small(300, 200, QImage::Format_RGB32);
        small.fill(Qt::green);
        QCOMPARE(frameClipPicture(small, placement).pixel(225, 225), qRgb(0, 255, 0));
        QCOMPARE(frameClipPicture(QImage(), placement).pixel(225, 225), qRgb(0, 0, 0));
    }

    void gifFramesOneAtATime()
    {
        // A 600 x 400 animation: red everywhere, then a green and a blue patch over it.
        QTemporaryDir dir;
        QFile file(dir.filePath("three.gif"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        TestGifWriter gif(file, QSize(600, 400));
        gif.addFrame(QRect(0, 0, 600, 400), TestGifWriter::Red);
        gif.addFrame(QRect(100, 100, 50, 50), TestGifWriter::Green);
        gif.addFrame(QRect(300, 0, 10, 400), TestGifWriter::Blue);
        gif.finish();
        file.close();

        GifFrameReader reader(file.fileName());
        QVERIFY2(reader.ok(), qPrintable(reader.errorString()));
        QCOMPARE(reader.frameCount(), 3);
        QCOMPARE(reader.frameSize(), QSize(600, 400));
        QCOMPARE(reader.readFrame().pixel(120, 120), qRgb(255, 0, 0));
        QCOMPARE(reader.readFrame().pixel(120, 120), qRgb(0, 255, 0));
        // Frames come composed, as the animation shows them.
        const QImage third = reader.readFrame();
        QCOMPARE(third.pixel(305, 200), qRgb(0, 0, 255));
        QCOMPARE(third.pixel(120, 120), qRgb(0, 255, 0));
        QVERIFY(reader.atEnd());
        QVERIFY(reader.readFrame().isNull());
        QVERIFY(reader.ok());
    }

    void gifRefusals_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<int>("failure");
        QTest::addColumn<int>("failedFrame");
        QTest::addColumn<int>("framesRead");  // before the failure
        QTest::addColumn<QString>("text");
        using F = GifFrameReader::Failure;
        QTest::newRow("missing") << "missing" << int(F::Missing) << -1 << 0 << "does not exist";
        QTest::newRow("not a GIF") << "png" << int(F::NotAGif) << -1 << 0 << "not a GIF";
        QTest::newRow("no frames") << "empty" << int(F::NoFrames) << -1 << 0 << "no frames";
        QTest::newRow("cut inside frame 2") << "cut" << int(F::CutShort) << 1 << 0 << "before frame 2 is complete";
        QTest::newRow("cut before the end marker") << "no end" << int(F::CutShort) << 3 << 0 << "cut short";
        QTest::newRow("damaged block") << "damaged" << int(F::Damaged) << 1 << 0 << "damaged where frame 2";
        QTest::newRow("frame 2 does not decode") << "undecodable" << int(F::FrameUndecodable) << 1 << 1
                                                 << "frame 2 of 3 does not decode";
        QTest::newRow("garbage after the signature") << "garbage" << int(F::Damaged) << 0 << 0 << "damaged where frame 1";
        QTest::newRow("a directory") << "directory" << int(F::CannotOpen) << -1 << 0 << "not a regular file";
    }
    void gifRefusals()
    {
        QFETCH(QString, damage);
        QFETCH(int, failure);
        QFETCH(int, failedFrame);
        QFETCH(int, framesRead);
        QFETCH(QString, text);
        QTemporaryDir dir;
        QBuffer bytes;
        bytes.open(QIODevice::WriteOnly);
        QList<qint64> frameStarts;
        {
            TestGifWriter gif(bytes, QSize(60, 40));
            frameStarts << gif.addFrame(QRect(0, 0, 60, 40), TestGifWriter::Red);
            if (damage != QLatin1String("empty")) {
                frameStarts << gif.addFrame(QRect(10, 10, 20, 20), TestGifWriter::Green,
                                            damage == QLatin1String("undecodable") ? 100 : 2);
                frameStarts << gif.addFrame(QRect(20, 20, 20, 10), TestGifWriter::Blue);
            }
            gif.finish();
        }
        QByteArray data = bytes.data();
        if (damage == QLatin1String("empty"))
            data = data.left(frameStarts[0]) + ';';
        else if (damage == QLatin1String("cut"))
            data = data.left(frameStarts[1] + 20);
        else if (damage == QLatin1String("no end"))
            data.chop(1);
        else if (damage == QLatin1String("damaged"))
            data[frameStarts[1]] = char(0x99);
        else if (damage == QLatin1String("garbage"))
            data = QByteArray("GIF89a this is not a picture");
        else if (damage == QLatin1String("png"))
            data = QByteArray("\x89PNG\r\n\x1a\n and more");
        QString path = dir.filePath("clip.gif");
        if (damage == QLatin1String("directory"))
            QVERIFY(QDir(dir.path()).mkdir("clip.gif"));
        else if (damage != QLatin1String("missing")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(data);
        }

        GifFrameReader reader(path);
        int read = 0;
        while (!reader.atEnd() && !reader.readFrame().isNull())
            ++read;
        QCOMPARE(int(reader.failure()), failure);
        QCOMPARE(reader.failedFrame(), failedFrame);
        QCOMPARE(read, framesRead);
        QVERIFY2(reader.errorString().contains(text), qPrintable(reader.errorString()));
        QVERIFY(reader.readFrame().isNull());  // nothing more after a failure
    }
};

QTEST_GUILESS_MAIN(ClipFramingTest)
#include "tst_clipframing.moc"
