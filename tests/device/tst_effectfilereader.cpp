#include "app/appsettings.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "convert/polarconversion.h"
#include "convert/polarrender.h"
#include "convert/testcolorutil.h"
#include "convert/testvalue.h"
#include "device/effectfile.h"
#include "device/effectfilereader.h"
#include "device/readbackobjects.h"
#include "device/readbackwriter.h"
#include "support/testtempdir.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

using namespace EffectFile;

namespace {

// A read-back file: header bytes, then the picture slots and clip frames given, each frame
// filled with one byte value so that records can be told apart.
struct ReadBackFile
{
    int ledCount = 112;
    int lineNumber = 450;
    int pictureCount = 0;
    QList<int> pictureTimes;
    QList<int> clipFrames{0, 0, 0, 0, 0};
    QList<int> clipLoops{0, 0, 0, 0, 0};
    int slotsWritten = 100;
    QList<int> clipFramesWritten;  // defaults to clipFrames

    int frameSize() const { return ledCount * lineNumber * 3; }
    QByteArray bytes() const
    {
        QByteArray file(readBackHeaderSize, '\0');
        for (int k = 0; k < 5; ++k) {
            file[7 + k] = char(clipFrames[k]);
            file[12 + k] = char(clipLoops[k]);
        }
        file[19] = char(pictureCount);
        for (int i = 0; i < pictureTimes.size(); ++i)
            file[20 + i] = char(pictureTimes[i]);
        for (int slot = 0; slot < slotsWritten; ++slot)
            file.append(QByteArray(frameSize(), char(slot + 1)));
        const QList<int> written = clipFramesWritten.isEmpty() ? clipFrames : clipFramesWritten;
        for (int k = 0; k < 5; ++k)
            for (int m = 0; m < written[k]; ++m)
                file.append(QByteArray(frameSize(), char(0x80 + 16 * k + m)));
        return file;
    }
};

Contents readBytes(const QByteArray& bytes, int ledCount = 112, int lineNumber = 450)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ReadOptions options;
    options.ledCount = ledCount;
    options.lineNumber = lineNumber;
    return readLayout(buffer, options);
}

// The record the layout places at `offset`, fetched as the readers fetch it.
QByteArray recordAt(const QByteArray& bytes, const Contents& contents, qint64 offset)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readRecord(buffer, contents, offset);
}

void appendWord(QByteArray& bytes, int value)
{
    bytes.append(char((value >> 8) & 0xff));
    bytes.append(char(value & 0xff));
}

// A download file built by hand from its entries, records of `recordSize` bytes.
QByteArray downloadFile(const QList<QList<int>>& entries, int total, int records, int recordSize)
{
    QByteArray file = QByteArray::fromHex("0011223344556677");
    appendWord(file, total);
    file.append(6, '\0');
    for (const QList<int>& entry : entries) {
        appendWord(file, entry[0]);
        appendWord(file, entry[1]);
        file.append(char(entry[2]));
        file.append(char(entry[3]));
    }
    file.append(6 * (maxEntries - int(entries.size())), '\0');
    file.append(QByteArray::fromHex("00000000000000007766554433221100"));
    file.append(headerSize - int(file.size()), '\0');
    for (int r = 0; r < records; ++r)
        file.append(QByteArray(recordSize, char(r + 1)));
    return file;
}

} // namespace

class EffectFileReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTestTempRoot(); }

    void readBackPicturesAndTimes()
    {
        ReadBackFile file;
        file.pictureCount = 3;
        file.pictureTimes = {25, 10, 1};
        const Contents contents = readBytes(file.bytes());
        QCOMPARE(contents.layout, Layout::ReadBack);
        QCOMPARE(contents.recordSize, 151200);
        QCOMPARE(contents.pictures.size(), 3);
        QCOMPARE(contents.pictures[0].showTime, 5.0);
        QCOMPARE(contents.pictures[1].showTime, 2.0);
        QCOMPARE(contents.pictures[2].showTime, 0.2);
        QCOMPARE(recordAt(file.bytes(), contents, contents.pictures[2].offset), QByteArray(151200, char(3)));
        QVERIFY(contents.clips.isEmpty());
        QVERIFY2(contents.problems.isEmpty(), qPrintable(contents.problems.join("; ")));

        // Without the unused slots the pictures are there, the shortfall is named.
        file.slotsWritten = 3;
        const Contents shorter = readBytes(file.bytes());
        QCOMPARE(shorter.pictures.size(), 3);
        QCOMPARE(shorter.problems.size(), 1);
    }

    void readBackLimitsAndClips()
    {
        ReadBackFile file;
        file.ledCount = 36;
        file.lineNumber = 360;
        file.pictureCount = 60;  // only 50 are shown; slots 50 to 59 are skipped
        file.clipFrames = {2, 0, 3, 0, 4};
        file.clipLoops = {7, 9, 255, 0, 1};
        file.clipFramesWritten = {2, 0, 3, 0, 1};  // the file ends inside the last clip
        QByteArray bytes = file.bytes();
        bytes.append(100, '\x55');
        const Contents contents = readBytes(bytes, 36, 360);
        QCOMPARE(contents.recordSize, 38880);
        QCOMPARE(contents.pictures.size(), 50);
        QCOMPARE(recordAt(bytes, contents, contents.pictures[49].offset).at(0), char(50));
        QCOMPARE(contents.clips.size(), 3);
        QCOMPARE(contents.clips[0].number, 0);
        QCOMPARE(contents.clips[0].loopCount, 7);
        QCOMPARE(contents.clips[1].number, 2);
        QCOMPARE(contents.clips[1].loopCount, 255);
        QCOMPARE(contents.clips[1].frames, 3);
        QCOMPARE(recordAt(bytes, contents, contents.frameOffset(contents.clips[1], 2)).at(0), char(0x80 + 32 + 2));
        // Clip 5 has one frame and then 100 bytes of a second: the frame before stays.
        QCOMPARE(contents.clips[2].frames, 1);
        QVERIFY(contents.truncated);
        QCOMPARE(contents.trailingBytes, 0);
        QVERIFY(contents.problems.join(" ").contains("inside frame 2 of clip 5"));
    }

    void veryShortAndEmptyFiles()
    {
        QCOMPARE(readBytes(QByteArray(119, '\0')).layout, Layout::Unknown);
        QCOMPARE(readBytes(QByteArray()).layout, Layout::Unknown);
        const Contents headerOnly = readBytes(QByteArray(120, '\0'));
        QCOMPARE(headerOnly.layout, Layout::ReadBack);
        QVERIFY(headerOnly.pictures.isEmpty() && headerOnly.clips.isEmpty());
    }

    void downloadLayoutWorkedExample()
    {
        // Two pictures of 5 s and 0.2 s and one clip of three frames looping twice.
        const QByteArray file = downloadFile({{1, 1, 50, 1}, {2, 2, 2, 1}, {3, 5, 1, 2}}, 5, 5, 114688);
        QCOMPARE(file.size(), 577536);
        const Contents contents = readBytes(file);
        QCOMPARE(contents.layout, Layout::Download);
        QCOMPARE(contents.form, RecordForm::BitPlanes);
        QCOMPARE(contents.recordSize, 114688);
        QCOMPARE(contents.pictures.size(), 2);
        QCOMPARE(contents.pictures[0].showTime, 5.0);
        QCOMPARE(contents.pictures[1].timeByte, 2);
        QCOMPARE(contents.clips.size(), 1);
        QCOMPARE(contents.clips[0].loopCount, 2);
        QCOMPARE(contents.clips[0].frames, 3);
        QCOMPARE(recordAt(file, contents, contents.frameOffset(contents.clips[0], 2)), QByteArray(114688, char(5)));
        QVERIFY2(contents.problems.isEmpty(), qPrintable(contents.problems.join("; ")));

        // An empty clip between two others, and raw frames of pictures read back earlier.
        const int raw = 36 * 360 * 3;
        const Contents mixed = readBytes(downloadFile({{1, 1, 1, 1}, {2, 1, 1, 3}, {2, 3, 1, 4}}, 3, 3, raw), 36, 360);
        QCOMPARE(mixed.form, RecordForm::RawFrame);
        QCOMPARE(mixed.pictures.size(), 1);
        QCOMPARE(mixed.clips.size(), 2);
        QCOMPARE(mixed.clips[0].frames, 0);
        QCOMPARE(mixed.clips[1].frames, 2);
        QVERIFY(mixed.problems.isEmpty());

        const Contents empty = readBytes(downloadFile({}, 0, 0, 0));
        QCOMPARE(empty.layout, Layout::Download);
        QVERIFY(empty.pictures.isEmpty() && empty.clips.isEmpty() && empty.problems.isEmpty());
    }

    void downloadLayoutProblems()
    {
        QByteArray file = downloadFile({{1, 1, 50, 1}, {2, 2, 50, 1}}, 2, 2, 114688);
        file.chop(1001);  // no even split into records either
        const Contents cut = readBytes(file);
        QCOMPARE(cut.pictures.size(), 1);
        QVERIFY(!cut.problems.isEmpty());

        // The total disagrees with the entries; the size fits no geometry.
        const Contents wrong = readBytes(downloadFile({{1, 1, 50, 1}}, 4, 1, 1000));
        QVERIFY(wrong.problems.size() >= 2);

        // Bytes after the last record are the only oddity: the records are all there.
        const Contents longer = readBytes(downloadFile({{1, 1, 50, 1}, {2, 3, 1, 2}}, 3, 3, 114688) + "tail");
        QCOMPARE(longer.clips[0].frames, 2);
        QVERIFY(!longer.truncated);
        QCOMPARE(longer.trailingBytes, 4);
        QCOMPARE(longer.problems, QStringList{"4 bytes follow the last clip"});

        // A header cut short is still recognised by its magic and end marker only when whole.
        QCOMPARE(readBytes(downloadFile({}, 0, 0, 0).left(3000)).layout, Layout::ReadBack);
    }

    void cancellingStopsBetweenRecords()
    {
        ReadBackFile file;
        file.ledCount = 36;
        file.lineNumber = 360;
        file.pictureCount = 10;
        QTemporaryDir dir;
        QFile out(dir.filePath("ten.bin"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file.bytes());
        out.close();
        int asked = 0;
        ReadOptions options{36, 360, {}, {}};
        options.running = [&asked] { return ++asked <= 2; };
        ReadBackObjects objects;
        const ReadBackResult result = readEffectFile(out.fileName(), options, objects);
        QVERIFY(result.opened && !result.incomplete);
        QCOMPARE(objects.pictures.size(), 2);
        objects.deleteAll();
    }

    void colourOrderAndSingleLed()
    {
        // G, R, B per LED: (0, 255, 0) is red.
        QByteArray frame;
        for (int dot = 0; dot < 36 * 360; ++dot)
            frame.append(QByteArray::fromHex("00ff00"));
        const QImage red = renderRecord(frame, RecordForm::RawFrame, 36, 360);
        QCOMPARE(red.size(), QSize(450, 450));
        QCOMPARE(red.pixel(225, 96), qRgb(255, 0, 0));  // LED 20 of line 0
        QCOMPARE(red.pixel(225, 1), qRgb(255, 0, 0));  // the 225-pixel radius reaches the top row
        QCOMPARE(red.pixel(10, 10), qRgb(0, 0, 0));

        // One LED: every line draws at the centre.
        const QImage centre = renderRecord(QByteArray(360 * 3, '\x7f'), RecordForm::RawFrame, 1, 360);
        QCOMPARE(centre.pixel(225, 225), qRgb(0x7f, 0x7f, 0x7f));
        QCOMPARE(centre.pixel(225, 200), qRgb(0, 0, 0));
    }

    void bitPlanesGiveBackTheCalibratedLevels()
    {
        QImage picture(300, 200, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, random.generate() | 0xff000000u);
        for (const auto& [leds, lines] : {std::pair{112, 450}, std::pair{36, 360}}) {
            const auto geometry = Polar::Geometry::get(leds, lines);
            const QVector<QRgb> colours = Polar::sampleColours(picture, *geometry);
            const QByteArray buffer = Polar::resample(picture, leds, lines).buffer;
            const QVector<QRgb> decoded = Polar::bitPlaneColours(buffer, leds, lines);
            const TestColorUtil* table = TestColorUtil::instance();
            auto level = [](int v) { return (v & 0xfc) | ((v & 0xfc) >> 6); };
            for (int dot = 0; dot < colours.size(); ++dot) {
                const QRgb expected = qRgb(level(table->getTestRValue(qRed(colours[dot]))),
                                           level(table->getTestGValue(qGreen(colours[dot]))),
                                           level(table->getTestBValue(qBlue(colours[dot]))));
                if (decoded[dot] != expected)
                    QFAIL(qPrintable(QString("dot %1 of %2 x %3").arg(dot).arg(leds).arg(lines)));
            }
        }
    }

    void hugeFilesAreLaidOutNotRead()
    {
        // 65,535 records of 114,688 bytes, a size the header allows: 7.5 GB, sparse on disk.
        // The layout reads the header only; a record is fetched when it is asked for.
        QTemporaryDir dir;
        QFile file(dir.filePath("huge.bin"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.write(downloadFile({{1, 1, 50, 1}, {2, 0xffff, 1, 9}}, 0xffff, 0, 0)) == headerSize);
        const qint64 size = headerSize + qint64(0xffff) * 114688;
        QVERIFY(file.resize(size - 1));
        QVERIFY(file.seek(size - 1));
        QVERIFY(file.putChar('\x5a'));
        QVERIFY(file.seek(0));
        const Contents contents = readLayout(file, {});
        QVERIFY2(contents.problems.isEmpty(), qPrintable(contents.problems.join("; ")));
        QCOMPARE(contents.pictures.size(), 1);
        QCOMPARE(contents.clips.size(), 1);
        QCOMPARE(contents.clips[0].frames, 0xfffe);
        QCOMPARE(contents.recordCount(), 0xffff);
        const QByteArray last = readRecord(file, contents, contents.frameOffset(contents.clips[0], 0xfffd));
        QCOMPARE(last.size(), 114688);
        QCOMPARE(last.back(), '\x5a');

        // A file cut since its layout was read gives no record rather than a short one.
        QVERIFY(file.resize(size - 10));
        QVERIFY(readRecord(file, contents, contents.frameOffset(contents.clips[0], 0xfffd)).isNull());
    }

    void bitPlanesComeBackInTheChosenColours()
    {
        // Each level the LEDs emit is shown as the middle of the band(s) of the calibration
        // table that give it: with the factory table a level comes back in its own band, or
        // (where several bands give the same stored level) in the middle of those bands.
        const TestColorUtil* table = TestColorUtil::instance();
        auto band = [](int level) { return TestColorUtil::bandKey(level); };
        for (int channel = 0; channel < 3; ++channel) {
            for (int level = 0; level < 256; ++level) {
                int (TestColorUtil::*output)(int) const = channel == 0 ? &TestColorUtil::getTestRValue
                                                                 : channel == 1 ? &TestColorUtil::getTestGValue
                                                                                : &TestColorUtil::getTestBValue;
                const int stored = (table->*output)(level) & 0xfc;
                QList<int> sharing;  // the bands whose output is stored as the same bits
                for (int other = 1; other <= TestColorUtil::bandCount; ++other)
                    if (((table->*output)(8 * other) & 0xfc) == stored)
                        sharing << other;
                const QRgb emitted = qRgb(stored | stored >> 6, stored | stored >> 6, stored | stored >> 6);
                const QRgb shown = Polar::uncalibratedColours({emitted}).first();
                const int back = channel == 0 ? qRed(shown) : channel == 1 ? qGreen(shown) : qBlue(shown);
                if (band(back) < sharing.first() || band(back) > sharing.last() || !sharing.contains(band(level))
                    || (sharing.size() == 1 && band(back) != band(level)))
                    QFAIL(qPrintable(QString("channel %1 level %2 came back as %3").arg(channel).arg(level).arg(back)));
            }
        }

        // A converted picture drawn from its bit planes: white stays white, yellow yellow.
        QImage picture(100, 100, QImage::Format_RGB32);
        picture.fill(QColor(255, 255, 0));
        const QImage yellow = renderRecord(Polar::resample(picture, 112, 450).buffer, RecordForm::BitPlanes, 112, 450);
        QCOMPARE(yellow.pixelColor(225, 100), QColor(252, 252, 16));
        picture.fill(Qt::white);
        const QImage white = renderRecord(Polar::resample(picture, 36, 360).buffer, RecordForm::BitPlanes, 36, 360);
        QCOMPARE(white.pixelColor(225, 96), QColor(252, 252, 252));  // LED 20 of line 0

        // An edited table is the one read back through: red output 200 for band 32.
        TestValue* top = table->values.value(32);
        const int keptRed = top->r;
        top->r = 200;
        const QImage edited = renderRecord(Polar::resample(picture, 36, 360).buffer, RecordForm::BitPlanes, 36, 360);
        top->r = keptRed;
        QCOMPARE(edited.pixelColor(225, 96), QColor(252, 252, 252));
    }

    void objectsKeepTheirRecordsInTheTemporaryDirectory()
    {
        AppSettings::ledCount = 36;
        AppSettings::lineNumber = 360;
        ReadBackFile file;
        file.ledCount = 36;
        file.lineNumber = 360;
        file.pictureCount = 2;
        file.pictureTimes = {5, 1};
        file.clipFrames = {4, 0, 0, 0, 0};
        file.clipLoops = {3, 0, 0, 0, 0};
        QTemporaryDir dir;
        QFile out(dir.filePath("default.bin"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file.bytes());
        out.close();

        ReadOptions options{36, 360, {}, {}};
        QList<int> progress;
        options.progress = [&progress](int done, int total) { progress << done << total; };
        ReadBackObjects objects;
        const ReadBackResult result = readEffectFile(out.fileName(), options, objects);
        QVERIFY(result.opened);
        QCOMPARE(objects.pictures.size(), 2);
        QCOMPARE(objects.clips.size(), 1);
        ImageObject* first = objects.pictures[0];
        QCOMPARE(first->kind, int(ImageObject::ReadBackPictureKind));
        QCOMPARE(first->number, 1);
        QCOMPARE(first->showTime, 1.0);
        // One record in memory at a time: each goes to the object's buffer file once drawn.
        QVERIFY(first->polarBuffer.isEmpty());
        QVERIFY(QFile::exists(first->bufferFilePath()));
        QCOMPARE(first->buffer(), QByteArray(38880, char(1)));
        QCOMPARE(first->loadThumbnail().size(), QSize(60, 60));
        QCOMPARE(first->loadPreview().size(), QSize(450, 450));
        MediaObject* clip = objects.clips[0];
        QCOMPARE(clip->loopCount, 3);
        QCOMPARE(clip->frames.size(), 4);
        QCOMPARE(clip->frames[3]->number, 4);
        QCOMPARE(clip->frames[3]->kind, int(ImageObject::ReadBackFrameKind));
        QCOMPARE(progress.mid(progress.size() - 2), QList<int>({6, 6}));  // 2 pictures and 4 frames
        objects.deleteAll();

        ReadBackObjects none;
        QVERIFY(!readEffectFile(dir.filePath("missing.bin"), options, none).opened);
        AppSettings::ledCount = AppSettings::defaultLedCount;
        AppSettings::lineNumber = AppSettings::defaultLineNumber;
    }

    void readBackWriterRoundTrip()
    {
        QImage picture(120, 90, QImage::Format_RGB32);
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 120; ++x)
                picture.setPixel(x, y, qRgb(x * 2, y * 2, 77));
        const QByteArray frame = Polar::rawFrame(picture, 36, 360);
        QCOMPARE(frame.size(), 38880);
        QCOMPARE(Polar::rawFrameColours(frame, 36, 360),
                 Polar::sampleColours(picture, *Polar::Geometry::get(36, 360)));

        QList<ReadBackPictureIn> pictures{{25, frame}, {255, QByteArray(38880, '\x11')}};
        QList<ReadBackClipIn> clips{{3, {frame, frame}}, {255, {QByteArray(38880, '\x22')}}};
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(writeReadBack(out, pictures, clips, 38880).isEmpty());
        QCOMPARE(out.data().size(), 120 + 100 * 38880 + 3 * 38880);
        const Contents contents = readBytes(out.data(), 36, 360);
        QVERIFY2(contents.problems.isEmpty(), qPrintable(contents.problems.join("; ")));
        QCOMPARE(contents.pictures.size(), 2);
        QCOMPARE(recordAt(out.data(), contents, contents.pictures[0].offset), frame);
        QCOMPARE(contents.pictures[1].showTime, 51.0);
        QCOMPARE(contents.clips.size(), 2);
        QCOMPARE(contents.clips[0].loopCount, 3);
        QCOMPARE(recordAt(out.data(), contents, contents.frameOffset(contents.clips[1], 0)), QByteArray(38880, '\x22'));

        // What the layout cannot hold is refused before anything is written.
        const ReadBackPictureIn one{5, frame};
        QVERIFY(!readBackLimitProblem(QList<ReadBackPictureIn>(51, one), {}, 38880).isEmpty());
        QVERIFY(!readBackLimitProblem({}, QList<ReadBackClipIn>(6, {1, {frame}}), 38880).isEmpty());
        QVERIFY(!readBackLimitProblem({}, {{1, QList<QByteArray>(256, frame)}}, 38880).isEmpty());
        QVERIFY(!readBackLimitProblem({}, {{1, {}}}, 38880).isEmpty());
        QVERIFY(!readBackLimitProblem({{256, frame}}, {}, 38880).isEmpty());
        QVERIFY(!readBackLimitProblem({{5, frame.left(100)}}, {}, 38880).isEmpty());
        QVERIFY(readBackLimitProblem(QList<ReadBackPictureIn>(50, one), QList<ReadBackClipIn>(5, {255, {frame}}), 38880).isEmpty());
    }

    void arbitraryBytesNeverCrash()
    {
        QRandomGenerator random(11);
        for (int round = 0; round < 200; ++round) {
            QByteArray bytes(int(random.bounded(6000)), '\0');
            for (char& byte : bytes)
                byte = char(random.bounded(256));
            if (round % 2)
                bytes = downloadFile({}, 0, 0, 0).left(3032) + bytes;  // magic and marker, junk entries
            if (round % 4 == 1)
                for (int i = 16; i < 3016 && i < bytes.size(); ++i)
                    bytes[i] = char(random.bounded(4));
            const Contents contents = readBytes(bytes, 1 + int(random.bounded(8)), 1 + int(random.bounded(8)));
            QVERIFY(contents.pictures.size() <= 500);
        }
    }
};

QTEST_GUILESS_MAIN(EffectFileReaderTest)
#include "tst_effectfilereader.moc"
