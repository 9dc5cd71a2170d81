#include "app/appsettings.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "convert/polarconversion.h"
#include "device/effectfile.h"
#include "import/clipframing.h"
#include "support/clirun.h"
#include "support/testfiles.h"
#include "support/testtempdir.h"
#include "support/testvideo.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

class CliVideoTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTestTempRoot();
        QVERIFY(dir.isValid());
        QVERIFY(TestVideo::makeIndexed(path("indexed.mkv"), 160, 120, 24, 6.0));
        QImage still(320, 240, QImage::Format_RGB32);
        still.fill(Qt::darkGreen);
        QVERIFY(still.save(path("still.mp4"), "PNG"));
        QVERIFY(TestVideo::makeSoundOnly(path("tone.mp4"), 2.0));
    }

    // The span 1.05 s to 3 s: 20 frames at 1.05, 1.15, ... 2.95 s, each the frame the video
    // shows at its time, framed by the window centred over the video (or where --window
    // puts it), written byte for byte as the window writes such a clip.
    void cutsAsTheDialogCuts_data()
    {
        QTest::addColumn<QStringList>("window");
        QTest::addColumn<QPoint>("position");
        QTest::newRow("centred") << QStringList() << QPoint((160 - 450) / 2, (120 - 450) / 2);
        QTest::newRow("placed") << QStringList{"--window", "100,50"} << QPoint(100, 50);
    }
    void cutsAsTheDialogCuts()
    {
        QFETCH(QStringList, window);
        QFETCH(QPoint, position);
        const ClipPlacement placement = clipPlacement(position, QSize(160, 120));
        auto* clip = new MediaObject(1, path("indexed.mkv"));
        clip->loopCount = 3;
        for (int k = 0; k < 20; ++k) {
            QImage frame(160, 120, QImage::Format_RGB32);
            frame.fill(TestVideo::colourOf(int(std::ceil((1050 + 100 * k) * 24 / 1000.0))));
            clip->frames.append(new ImageObject(k + 1, QString(), 10.0, ImageObject::VideoFrameKind));
            convertToPolar(frameClipPicture(frame, placement), clip->frames.last());
        }
        QVERIFY(EffectFile::download(path("expected.bin"), {}, {clip}).ok());
        delete clip;

        const CliRun run = runCli(QStringList{"build", path("video.bin")} + window
                                  + QStringList{"--video", path("indexed.mkv") + "@1.05-3@3"});
        QVERIFY2(run.status == 0, qPrintable(run.errors));
        QCOMPARE(fileBytes(path("video.bin")), fileBytes(path("expected.bin")));
    }

    // What cannot be cut is named, with status 1 (or 2 for a span that is no span), and
    // nothing is written.
    void refusals_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("end before start") << path("indexed.mkv") + "@3-2" << 2 << "START <= END";
        QTest::newRow("no span") << path("indexed.mkv") << 2 << "FILE@START-END";
        QTest::newRow("after the end") << path("indexed.mkv") + "@5-6.5" << 1 << "ends after the video";
        QTest::newRow("not a video") << path("notes.mp4") + "@0-1" << 1 << "does not play";
        QTest::newRow("missing") << path("missing.mkv") + "@0-1" << 1 << "no such file";
        // Named with the reason, as Import Video names them, not cut into frames of nothing.
        QTest::newRow("PNG named .mp4") << path("still.mp4") + "@0-1" << 1
                                        << "Cannot cut the video " + path("still.mp4") + ": the file is a picture, not a video";
        QTest::newRow("sound only") << path("tone.mp4") + "@0-1" << 1
                                    << "Cannot cut the video " + path("tone.mp4") + ": the file holds no video stream";
    }
    void refusals()
    {
        QFETCH(QString, item);
        QFETCH(int, status);
        QFETCH(QString, message);
        QVERIFY(TestVideo::makeNotAVideo(path("notes.mp4")));
        const CliRun run = runCli({"build", path("refused.bin"), "--video", item});
        QCOMPARE(run.status, status);
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        QVERIFY(!QFile::exists(path("refused.bin")));
    }

private:
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(CliVideoTest)
#include "tst_clivideo.moc"
