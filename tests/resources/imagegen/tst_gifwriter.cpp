#include "resources/imagegen/gifwriter.h"

#include <QBuffer>
#include <QImageReader>
#include <QtTest>

Q_DECLARE_METATYPE(QList<GifFrame>)

// Our GIF writer against the toolkit's GIF reader: every frame must come back with its
// exact palette colours, transparency, delay and the loop count.
class GifWriterTest : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void loopCountIsStored();
    void widthGrowsOneCodeAfterTheTableFills();
    void refusals_data();
    void refusals();
    void unwritableDeviceFails();
};

namespace {

// Deterministic noise, so that a failing case can be replayed.
class Noise
{
public:
    explicit Noise(quint32 seed) : state(seed) {}
    quint32 next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }

private:
    quint32 state;
};

QList<QRgb> makePalette(int count)
{
    QList<QRgb> palette;
    for (int i = 0; i < count; ++i)
        palette.append(qRgb((i * 37) & 0xff, (i * 91 + 13) & 0xff, i & 0xff));
    return palette;
}

// A frame of palette colours; transparentShare of 0 gives an opaque frame.
QImage makeFrame(const QSize& size, const QList<QRgb>& palette, int transparentShare, quint32 seed, bool runs)
{
    QImage frame(size, QImage::Format_ARGB32);
    Noise noise(seed);
    QRgb current = palette.first();
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            // Runs of one colour give the coder long strings; noise gives short ones.
            if (!runs || noise.next() % 7 == 0)
                current = palette.at(int(noise.next() % quint32(palette.size())));
            const bool transparent = transparentShare > 0 && int(noise.next() % 100) < transparentShare;
            frame.setPixel(x, y, transparent ? qRgba(12, 34, 56, int(noise.next() % 128)) : current);
        }
    }
    return frame;
}

void compareFrames(const QImage& written, const QImage& read, int frame)
{
    QCOMPARE(read.size(), written.size());
    for (int y = 0; y < written.height(); ++y) {
        for (int x = 0; x < written.width(); ++x) {
            const QRgb want = written.pixel(x, y);
            const QRgb got = read.pixel(x, y);
            if (qAlpha(want) < 128) {
                if (qAlpha(got) != 0)
                    QFAIL(qPrintable(QStringLiteral("frame %1 (%2, %3): should be transparent, is %4")
                                         .arg(frame).arg(x).arg(y).arg(got, 8, 16, QLatin1Char('0'))));
            } else if (got != (want | 0xff000000u)) {
                QFAIL(qPrintable(QStringLiteral("frame %1 (%2, %3): wrote %4, read %5")
                                     .arg(frame).arg(x).arg(y)
                                     .arg(want, 8, 16, QLatin1Char('0')).arg(got, 8, 16, QLatin1Char('0'))));
            }
        }
    }
}

} // namespace

void GifWriterTest::roundTrip_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("colours");
    QTest::addColumn<int>("transparentShare");
    QTest::addColumn<int>("frameCount");
    QTest::addColumn<bool>("runs");
    QTest::addColumn<int>("delayMs");
    QTest::newRow("one pixel") << QSize(1, 1) << 1 << 0 << 1 << false << 100;
    QTest::newRow("one colour, table of two") << QSize(5, 3) << 1 << 0 << 2 << true << 50;
    QTest::newRow("two colours") << QSize(7, 5) << 2 << 0 << 3 << false << 80;
    QTest::newRow("three colours and transparency") << QSize(9, 4) << 3 << 30 << 2 << false << 120;
    QTest::newRow("five colours, code size 3") << QSize(31, 17) << 5 << 0 << 2 << false << 40;
    QTest::newRow("transparency only") << QSize(6, 6) << 1 << 100 << 2 << false << 60;
    // Noise over a full table fills the 4,096-code dictionary many times per frame.
    QTest::newRow("256 opaque colours, noise") << QSize(200, 150) << 256 << 0 << 2 << false << 80;
    QTest::newRow("255 colours and transparency") << QSize(123, 77) << 255 << 10 << 3 << false << 30;
    QTest::newRow("long runs") << QSize(300, 40) << 17 << 5 << 2 << true << 100;
    QTest::newRow("delay rounds to 10 ms") << QSize(8, 8) << 4 << 0 << 2 << false << 84;
}

void GifWriterTest::roundTrip()
{
    QFETCH(QSize, size);
    QFETCH(int, colours);
    QFETCH(int, transparentShare);
    QFETCH(int, frameCount);
    QFETCH(bool, runs);
    QFETCH(int, delayMs);

    const QList<QRgb> palette = makePalette(colours);
    QList<GifFrame> frames;
    for (int i = 0; i < frameCount; ++i)
        frames.append(GifFrame{makeFrame(size, palette, transparentShare, quint32(i * 7919 + 1), runs), delayMs});

    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QCOMPARE(GifWriter::write(buffer, frames), GifWriter::Status::Ok);
    buffer.close();
    QVERIFY(buffer.data().startsWith("GIF89a"));
    QVERIFY(buffer.data().endsWith('\x3b'));

    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QImageReader reader(&buffer, "gif");
    QCOMPARE(reader.imageCount(), frameCount);
    QCOMPARE(reader.loopCount(), -1);
    for (int i = 0; i < frameCount; ++i) {
        QImage read;
        QVERIFY2(reader.read(&read), qPrintable(reader.errorString()));
        compareFrames(frames.at(i).image, read, i);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(reader.nextImageDelay(), (delayMs + 5) / 10 * 10);
    }
    QImage past;
    QVERIFY(!reader.read(&past));
}

void GifWriterTest::loopCountIsStored()
{
    QImage frame(4, 4, QImage::Format_ARGB32);
    frame.fill(qRgb(200, 10, 10));
    QImage second = frame;
    second.setPixel(1, 1, qRgb(0, 0, 255));
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QCOMPARE(GifWriter::write(buffer, {{frame, 100}, {second, 100}}, 3), GifWriter::Status::Ok);
    buffer.close();
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QImageReader reader(&buffer, "gif");
    QCOMPARE(reader.loopCount(), 3);
}

void GifWriterTest::widthGrowsOneCodeAfterTheTableFills()
{
    // Four zeros with two-bit colours: clear (4), 0, 6 = "00", 0 in three bits, and then
    // the table has reached 8 entries, so the end code (5) takes four bits.
    const QByteArray codes = GifWriter::lzwCompress(QByteArray(4, '\0'), 2);
    QCOMPARE(codes, QByteArray("\x84\x51", 2));
    // Nothing to code: clear and end.
    QCOMPARE(GifWriter::lzwCompress(QByteArray(), 2), QByteArray("\x2c", 1));
}

void GifWriterTest::refusals_data()
{
    QImage small(4, 4, QImage::Format_ARGB32);
    small.fill(Qt::red);
    QImage other(5, 4, QImage::Format_ARGB32);
    other.fill(Qt::red);
    QImage crowded(16, 17, QImage::Format_ARGB32);
    for (int i = 0; i < 16 * 17; ++i)
        crowded.setPixel(i % 16, i / 16, qRgb(i & 0xff, i >> 8, 7)); // 257 colours
    QImage full(16, 16, QImage::Format_ARGB32);
    for (int i = 0; i < 256; ++i)
        full.setPixel(i % 16, i / 16, qRgb(i, 0, 0));
    QImage fullAndClear = full;
    fullAndClear.setPixel(0, 0, qRgba(0, 0, 0, 0)); // keeps 255 colours: still fits
    QImage fullPlusClear(16, 17, QImage::Format_ARGB32);
    fullPlusClear.fill(Qt::transparent);
    for (int i = 0; i < 256; ++i)
        fullPlusClear.setPixel(i % 16, i / 16, qRgb(i, 0, 0)); // 256 colours + transparency

    QTest::addColumn<QList<GifFrame>>("frames");
    QTest::addColumn<int>("status");
    QTest::newRow("no frames") << QList<GifFrame>{} << int(GifWriter::Status::NoFrames);
    QTest::newRow("null frame") << QList<GifFrame>{{small, 100}, {QImage(), 100}} << int(GifWriter::Status::NullFrame);
    QTest::newRow("sizes differ") << QList<GifFrame>{{small, 100}, {other, 100}} << int(GifWriter::Status::SizeMismatch);
    QTest::newRow("257 colours") << QList<GifFrame>{{crowded, 100}} << int(GifWriter::Status::TooManyColours);
    QTest::newRow("256 colours and transparency") << QList<GifFrame>{{fullPlusClear, 100}}
                                                  << int(GifWriter::Status::TooManyColours);
    QTest::newRow("colours spread over frames") << QList<GifFrame>{{full, 100}, {fullPlusClear.copy(0, 1, 16, 16), 100}}
                                                << int(GifWriter::Status::TooManyColours);
    QTest::newRow("256 colours fit") << QList<GifFrame>{{full, 100}} << int(GifWriter::Status::Ok);
    QTest::newRow("255 colours and transparency fit") << QList<GifFrame>{{fullAndClear, 100}}
                                                      << int(GifWriter::Status::Ok);
}

void GifWriterTest::refusals()
{
    QFETCH(QList<GifFrame>, frames);
    QFETCH(int, status);
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    const GifWriter::Status result = GifWriter::write(buffer, frames);
    QCOMPARE(int(result), status);
    QVERIFY(!GifWriter::statusText(result).isEmpty());
    // A refused animation leaves nothing behind.
    if (result != GifWriter::Status::Ok)
        QVERIFY(buffer.data().isEmpty());
}

void GifWriterTest::unwritableDeviceFails()
{
    QImage frame(2, 2, QImage::Format_ARGB32);
    frame.fill(Qt::green);
    QBuffer closed;
    QCOMPARE(GifWriter::write(closed, {{frame, 100}}), GifWriter::Status::WriteFailed);
    QBuffer readOnly;
    QVERIFY(readOnly.open(QIODevice::ReadOnly));
    QCOMPARE(GifWriter::write(readOnly, {{frame, 100}}), GifWriter::Status::WriteFailed);
}

QTEST_GUILESS_MAIN(GifWriterTest)
#include "tst_gifwriter.moc"
