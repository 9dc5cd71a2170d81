#include "app/appsettings.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "convert/polarconversion.h"
#include "support/clirun.h"
#include "device/effectfile.h"
#include "device/readbackobjects.h"
#include "import/clipframing.h"
#include "import/gifframes.h"
#include "resources/imagegen/gifwriter.h"
#include "support/testgif.h"
#include "support/testfiles.h"
#include "support/testtempdir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage testPicture(int width, int height, int seed)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb((x * seed) % 256, (y * 3 + seed) % 256, (x + y) % 256));
    return picture;
}

} // namespace

class CliEffectFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTestTempRoot();
        QVERIFY(testPicture(400, 300, 5).save(path("wide.png")));
        QVERIFY(testPicture(200, 260, 9).save(path("tall.jpg")));

        // A three-frame GIF of 600 x 400 with a few colours: a bar moving across.
        QList<GifFrame> frames;
        for (int f = 0; f < 3; ++f) {
            QImage frame(600, 400, QImage::Format_ARGB32);
            frame.fill(qRgb(20, 40 * f, 200));
            for (int y = 50; y < 350; ++y)
                for (int x = 100 + 150 * f; x < 200 + 150 * f; ++x)
                    frame.setPixel(x, y, qRgb(250, 200, 10));
            frames.append({frame, 100});
        }
        QFile gif(path("bar.gif"));
        QVERIFY(gif.open(QIODevice::WriteOnly));
        QCOMPARE(GifWriter::write(gif, frames), GifWriter::Status::Ok);
    }

    void buildMatchesTheWindowsDownload()
    {
        // The window's way: imported pictures (centred square, conversion) written by the download.
        AppSettings::ledCount = 36;
        AppSettings::lineNumber = 360;
        GifFrameReader gif(path("bar.gif"));
        QVERIFY2(gif.ok(), qPrintable(gif.errorString()));
        QCOMPARE(gif.frameCount(), 3);
        auto* clip = new MediaObject(1, path("bar.gif"));
        clip->loopCount = 4;
        const ClipPlacement placement = centredClipPlacement(gif.frameSize());
        while (!gif.atEnd()) {
            clip->frames.append(new ImageObject(int(clip->frames.size()) + 1, QString(), 10.0, ImageObject::GifFrameKind));
            convertToPolar(frameClipPicture(gif.readFrame(), placement), clip->frames.last());
        }
        QVERIFY(gif.ok());
        QList<ImageObject*> pictures;
        for (const auto& [name, time] : {std::pair{"wide.png", 2.5}, std::pair{"tall.jpg", 30.0}}) {
            const QImage source(path(name));
            auto* object = new ImageObject(0, path(name), time, ImageObject::PictureKind);
            convertToPolar(source.copy(centredSquare(source.size())), object);
            pictures.append(object);
        }
        QVERIFY(EffectFile::download(path("window.bin"), pictures, {clip}).ok());
        qDeleteAll(pictures);
        delete clip;
        AppSettings::ledCount = AppSettings::defaultLedCount;
        AppSettings::lineNumber = AppSettings::defaultLineNumber;

        // Clips after pictures whatever the order given.
        const CliRun run = runCli({"build", path("tool.bin"), "--leds", "36", "--lines", "360",
                                "--clip", path("bar.gif") + "@4", path("wide.png") + "@2.5",
                                path("tall.jpg") + "@30"});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.errors.isEmpty(), qPrintable(run.errors));
        QCOMPARE(fileBytes(path("tool.bin")), fileBytes(path("window.bin")));

        const CliRun info = runCli({"info", path("tool.bin"), "--leds", "36", "--lines", "360", "--json"});
        QCOMPARE(info.status, 0);
        const QJsonObject description = QJsonDocument::fromJson(info.output).object();
        QCOMPARE(description["layout"].toString(), QString("download"));
        const QJsonArray listed = description["pictures"].toArray();
        QCOMPARE(listed.size(), 2);
        QCOMPARE(listed[0].toObject()["showTime"].toDouble(), 2.5);
        QCOMPARE(listed[1].toObject()["showTime"].toDouble(), 25.5);  // the longest the file holds
        const QJsonArray clips = description["clips"].toArray();
        QCOMPARE(clips.size(), 1);
        QCOMPARE(clips[0].toObject()["frames"].toInt(), 3);
        QCOMPARE(clips[0].toObject()["loopCount"].toInt(), 4);
        QVERIFY(description["problems"].toArray().isEmpty());
    }

    void windowPlacesEachClip()
    {
        // What the window makes of bar.gif (600 x 400) with the round window at (-50, 75), unzoomed.
        AppSettings::ledCount = 36;
        AppSettings::lineNumber = 360;
        auto framedClip = [&](const ClipPlacement& placement) {
            auto* clip = new MediaObject(1, path("bar.gif"));
            GifFrameReader gif(path("bar.gif"));
            while (!gif.atEnd()) {
                clip->frames.append(new ImageObject(int(clip->frames.size()) + 1, QString(), 10.0, ImageObject::GifFrameKind));
                convertToPolar(frameClipPicture(gif.readFrame(), placement), clip->frames.last());
            }
            return clip;
        };
        MediaObject* placed = framedClip(clipPlacement(QPoint(-50, 75), QSize(600, 400)));
        MediaObject* centred = framedClip(centredClipPlacement(QSize(600, 400)));
        QVERIFY(EffectFile::download(path("placed.bin"), {}, {placed, centred}).ok());
        delete placed;
        delete centred;
        AppSettings::ledCount = AppSettings::defaultLedCount;
        AppSettings::lineNumber = AppSettings::defaultLineNumber;

        // --window places only the clip after it; the next one opens centred again.
        const CliRun run = runCli({"build", path("window.bin"), "--leds", "36", "--lines", "360", "--window", "-50,75",
                                   "--clip", path("bar.gif"), "--clip", path("bar.gif")});
        QCOMPARE(run.status, 0);
        QCOMPARE(fileBytes(path("window.bin")), fileBytes(path("placed.bin")));
        // The centred window given by hand is the default.
        const CliRun same = runCli({"build", path("centred.bin"), "--leds", "36", "--lines", "360", "--window", "75,-25",
                                    "--clip", path("bar.gif"), "--clip", path("bar.gif")});
        QCOMPARE(same.status, 0);
        const int clipBytes = 3 * 114688;
        const QByteArray centredClip = fileBytes(path("placed.bin")).right(clipBytes);
        QCOMPARE(fileBytes(path("centred.bin")).mid(4096, clipBytes), centredClip);
        QVERIFY(fileBytes(path("placed.bin")).mid(4096, clipBytes) != centredClip);
    }

    // --keep-gif-timing: a GIF of ten 0.1 s and ten 0.4 s frames fills 50 records, as
    // Import GIF keeps it; said in --help.
    void keepGifTiming()
    {
        QList<GifFrame> frames;
        for (int f = 0; f < 20; ++f) {
            QImage frame(100, 100, QImage::Format_ARGB32);
            frame.fill(qRgb(12 * f, 100, 250 - 12 * f));
            frames.append({frame, f < 10 ? 100 : 400});
        }
        QFile gif(path("mixed.gif"));
        QVERIFY(gif.open(QIODevice::WriteOnly));
        QCOMPARE(GifWriter::write(gif, frames), GifWriter::Status::Ok);
        gif.close();

        const CliRun run = runCli({"build", path("kept.bin"), "--leds", "36", "--lines", "360", "--keep-gif-timing",
                                   "--clip", path("mixed.gif")});
        QCOMPARE(run.status, 0);
        const CliRun info = runCli({"info", path("kept.bin"), "--leds", "36", "--lines", "360", "--json"});
        QCOMPARE(QJsonDocument::fromJson(info.output).object()["clips"].toArray()[0].toObject()["frames"].toInt(), 50);
        const CliRun help = runCli({"build", "--help"});
        QVERIFY(QString::fromUtf8(help.output).contains("--keep-gif-timing"));
        QVERIFY(QString::fromUtf8(help.output).contains("Keep the GIF's timing"));
    }

    void readBackBuildInfoAndRender()
    {
        const CliRun run = runCli({"build", "--layout", "readback", path("factory.bin"), "--leds", "36",
                                "--lines", "360", path("wide.png") + "@1", path("tall.jpg")});
        QCOMPARE(run.status, 0);
        QCOMPARE(QFileInfo(path("factory.bin")).size(), qint64(120 + 100 * 38880));

        const CliRun info = runCli({"info", path("factory.bin"), "--leds", "36", "--lines", "360", "--json"});
        const QJsonObject description = QJsonDocument::fromJson(info.output).object();
        QCOMPARE(description["layout"].toString(), QString("readback"));
        QCOMPARE(description["pictures"].toArray().size(), 2);
        QCOMPARE(description["pictures"].toArray()[0].toObject()["showTime"].toDouble(), 1.0);

        // render draws what the window's preview of the same file shows.
        const CliRun render = runCli({"render", path("factory.bin"), path("frames"), "--leds", "36", "--lines", "360"});
        QCOMPARE(render.status, 0);
        AppSettings::ledCount = 36;
        AppSettings::lineNumber = 360;
        ReadBackObjects objects;
        QVERIFY(readEffectFile(path("factory.bin"), {36, 360, {}, {}}, objects).opened);
        QCOMPARE(objects.pictures.size(), 2);
        for (int i = 0; i < 2; ++i)
            QCOMPARE(QImage(path(QString("frames/picture-00%1.png").arg(i + 1))).convertToFormat(QImage::Format_RGB32),
                     objects.pictures[i]->loadPreview().convertToFormat(QImage::Format_RGB32));
        objects.deleteAll();
        AppSettings::ledCount = AppSettings::defaultLedCount;
        AppSettings::lineNumber = AppSettings::defaultLineNumber;
    }

    void badInputsLeaveNoFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QFile text(path("notes.png"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a picture");
        text.close();
        QFile gif(path("broken.gif"));
        QVERIFY(gif.open(QIODevice::WriteOnly));
        gif.write("GIF89a\x01\x00\x01\x00");
        gif.close();
        // Ten frames, the file cut inside the seventh; and three whose second does not decode.
        QFile cut(path("cut.gif"));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        qint64 seventh = 0;
        {
            TestGifWriter writer(cut, QSize(60, 40));
            for (int frame = 0; frame < 10; ++frame) {
                const qint64 start = writer.addFrame(QRect(frame * 5, 0, 5, 40), TestGifWriter::Green);
                if (frame == 6)
                    seventh = start;
            }
        }
        QVERIFY(cut.resize(seventh + 30));
        cut.close();
        QFile undecodable(path("undecodable.gif"));
        QVERIFY(undecodable.open(QIODevice::WriteOnly));
        {
            TestGifWriter writer(undecodable, QSize(60, 40));
            writer.addFrame(QRect(0, 0, 60, 40), TestGifWriter::Red);
            writer.addFrame(QRect(0, 0, 10, 10), TestGifWriter::Blue, 100);
            writer.addFrame(QRect(0, 0, 10, 10), TestGifWriter::Green);
            writer.finish();
        }
        undecodable.close();
        const QString out = path("refused.bin");
        QTest::newRow("GIF cut short") << QStringList{"build", out, path("wide.png"), "--clip", path("cut.gif")} << 1
                                       << "cut.gif: the file ends before frame 7 is complete";
        QTest::newRow("read-back GIF cut short")
            << QStringList{"build", "--layout", "readback", out, "--clip", path("cut.gif")} << 1 << "frame 7";
        QTest::newRow("GIF frame that does not decode")
            << QStringList{"build", out, "--clip", path("bar.gif"), "--clip", path("undecodable.gif")} << 1
            << "undecodable.gif: frame 2 of 3 does not decode";
        QTest::newRow("window beside the frame")
            << QStringList{"build", out, "--window", "600,0", "--clip", path("bar.gif")} << 1 << "does not overlap";
        QTest::newRow("window not a pair") << QStringList{"build", out, "--window", "5", "--clip", path("bar.gif")} << 2
                                           << "--window takes X,Y";
        QTest::newRow("window after its clip") << QStringList{"build", out, "--clip", path("bar.gif"), "--window", "1,2"}
                                               << 2 << "before the --clip";
        QTest::newRow("missing file") << QStringList{"build", out, path("missing.png")} << 1 << "missing.png";
        QTest::newRow("not a picture") << QStringList{"build", out, path("notes.png")} << 1 << "notes.png";
        QTest::newRow("GIF that does not decode") << QStringList{"build", out, "--clip", path("broken.gif")} << 1 << "broken.gif";
        QTest::newRow("time out of range") << QStringList{"build", out, path("wide.png") + "@0"} << 2 << "show time";
        QTest::newRow("read-back time") << QStringList{"build", "--layout", "readback", out, path("wide.png") + "@52"} << 2 << "show time";
        QTest::newRow("loops out of range") << QStringList{"build", out, "--clip", path("broken.gif") + "@256"} << 2 << "loop count";
        QTest::newRow("unknown option") << QStringList{"build", out, "--fast", path("wide.png")} << 2 << "--fast";
        QTest::newRow("unknown layout") << QStringList{"build", "--layout", "zip", out, path("wide.png")} << 2 << "--layout";
        QTest::newRow("nothing to build") << QStringList{"build", out} << 2 << "Usage";
        QTest::newRow("info of a missing file") << QStringList{"info", path("missing.bin")} << 1 << "missing.bin";
        QTest::newRow("info of a tiny file") << QStringList{"info", path("notes.png")} << 1 << "not an effect file";
        QTest::newRow("render without OUTDIR") << QStringList{"render", path("notes.png")} << 2 << "Usage";
    }
    void badInputsLeaveNoFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        const CliRun run = runCli(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        QVERIFY(!QFile::exists(path("refused.bin")));
    }

private:
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(CliEffectFilesTest)
#include "tst_clieffectfiles.moc"
