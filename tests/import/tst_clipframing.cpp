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
