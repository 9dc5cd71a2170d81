#include "import/clipframing.h"
#include "import/gifframes.h"

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

    void gifFramesAndRefusals()
    {
        QTemporaryDir dir;
        QString error;
        QList<QImage> frames;
        QVERIFY(!readGifFrames(dir.filePath("missing.gif"), frames, error));
        QVERIFY(!error.isEmpty());

        QFile notGif(dir.filePath("bad.gif"));
        QVERIFY(notGif.open(QIODevice::WriteOnly));
        notGif.write("GIF89a this is not a picture");
        notGif.close();
        QVERIFY(!readGifFrames(notGif.fileName(), frames, error));
        QVERIFY(frames.isEmpty());
    }
};

QTEST_GUILESS_MAIN(ClipFramingTest)
#include "tst_clipframing.moc"
