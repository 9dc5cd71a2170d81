#include "app/appsettings.h"
#include "support/testtempdir.h"
#include "convert/imageobject.h"
#include "convert/polarconversion.h"
#include "support/referencepolar.h"

#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QImage filled(int width, int height, QColor colour)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

QImage noise(int width, int height, QImage::Format format, quint32 seed)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, random.generate() | 0xff000000u);
    return picture.convertToFormat(format);
}

// Noise with every alpha level, so that premultiplied formats hold other colours than
// their straight-alpha sources.
QImage translucentNoise(int width, int height, QImage::Format format, quint32 seed)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, random.generate());
    return picture.convertToFormat(format);
}
} // namespace

class PolarConversionTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void redPictureGivesKnownBytes();
    void recordSizes_data();
    void recordSizes();
    void partialByteAtLineEndIsDropped();
    void fastMatchesReference_data();
    void fastMatchesReference();
    void premultipliedPaintKeepsItsColour();
    void usesOnlyTheCentredSquare();
    void previewShowsUncalibratedColours();
    void singleLedSamplesTheCentre();
    void undecodablePictureGivesCalibratedBlack();
    void convertToPolarWritesFilesAndReleasesMemory();

private:
    QString m_root;
};

void PolarConversionTest::initTestCase()
{
    m_root = useTestTempRoot();
}

void PolarConversionTest::redPictureGivesKnownBytes()
{
    const Polar::Result result = Polar::resample(filled(100, 100, QColor(255, 0, 0)), 112, 450);
    QCOMPARE(result.buffer.size(), 114688);
    // Per LED the calibrated B, G, R are 0, 0, 255: in every plane the bits run 0, 0, 1.
    const QByteArray record = QByteArray::fromHex("249249").repeated(84);
    QCOMPARE(record.size(), 252);
    for (int line = 0; line < 450; ++line)
        QVERIFY2(result.buffer.mid(line * 252, 252) == record, qPrintable(QString::number(line)));
    QCOMPARE(result.buffer.mid(113400), QByteArray(1288, '\0'));
}

void PolarConversionTest::recordSizes_data()
{
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("total");
    QTest::newRow("112x450") << 112 << 450 << 252 << 114688;
    QTest::newRow("36x360") << 36 << 360 << 81 << 114688;
    QTest::newRow("5x300") << 5 << 300 << 11 << 114688;
    QTest::newRow("500x600 no fill") << 500 << 600 << 1125 << 675000;
    QTest::newRow("1x1") << 1 << 1 << 2 << 114688;
}

void PolarConversionTest::recordSizes()
{
    QFETCH(int, leds);
    QFETCH(int, lines);
    QFETCH(int, record);
    QFETCH(int, total);
    QCOMPARE(Polar::recordSize(leds), record);
    QCOMPARE(Polar::bufferSize(leds, lines), total);
    const Polar::Result result = Polar::resample(filled(40, 40, Qt::white), leds, lines);
    QCOMPARE(result.buffer.size(), total);
    // Every byte past the line records is fill.
    const QByteArray fill = result.buffer.mid(record * lines);
    QCOMPARE(fill, QByteArray(fill.size(), '\0'));
    // White calibrates to non-zero levels, so the last record is not fill.
    QVERIFY(result.buffer.mid(record * (lines - 1), record) != QByteArray(record, '\0'));
}

void PolarConversionTest::partialByteAtLineEndIsDropped()
{
    // 5 LEDs: 15 bytes x 6 planes = 90 bits, 11 whole bytes, the last 2 bits dropped.
    const unsigned char sequence[15] = {0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
                                        0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
    QByteArray out;
    Polar::packBitPlanes(sequence, 15, out);
    QCOMPARE(out, QByteArray(11, char(0xff)));
    // Planes follow each other without realignment: bit 7 of three bytes, then bit 6 ...
    const unsigned char three[3] = {0x80, 0x40, 0xc0};  // 3 bytes x 6 planes = 18 bits
    out.clear();
    Polar::packBitPlanes(three, 3, out);
    QCOMPARE(out.size(), 2);
    // plane 0 bits 1,0,1; plane 1 bits 0,1,1; plane 2 bits 0,0,0 ... -> 1010 1100 0000 0000
    QCOMPARE(uchar(out[0]), uchar(0xac));
    QCOMPARE(uchar(out[1]), uchar(0x00));
}

void PolarConversionTest::fastMatchesReference_data()
{
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QImage>("picture");
    QTest::newRow("112x450 photo size") << 112 << 450 << noise(1920, 1080, QImage::Format_RGB32, 1);
    QTest::newRow("36x360 portrait") << 36 << 360 << noise(300, 500, QImage::Format_ARGB32, 2);
    QTest::newRow("5x300 tiny") << 5 << 300 << noise(7, 9, QImage::Format_RGB32, 3);
    QTest::newRow("500x600 rgb888") << 500 << 600 << noise(640, 480, QImage::Format_RGB888, 4);
    QTest::newRow("112x450 indexed") << 112 << 450 << noise(200, 200, QImage::Format_Indexed8, 5);
    QTest::newRow("1 led") << 1 << 450 << noise(64, 64, QImage::Format_RGB32, 6);
    // Translucent pictures: each pixel counts as QImage::pixel reads it, premultiplied
    // where the format (or the way pixel() fetches it) is.
    const QImage::Format formats[] = {
        QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGBA8888,
        QImage::Format_RGBA8888_Premultiplied, QImage::Format_ARGB4444_Premultiplied,
        QImage::Format_ARGB8565_Premultiplied, QImage::Format_A2RGB30_Premultiplied,
        QImage::Format_RGBA64, QImage::Format_RGBA64_Premultiplied, QImage::Format_RGBA16FPx4,
        QImage::Format_Alpha8, QImage::Format_Grayscale16};
    quint32 seed = 20;
    for (QImage::Format format : formats) {
        const QByteArray name = "translucent format " + QByteArray::number(int(format));
        QTest::newRow(name.constData()) << 36 << 360 << translucentNoise(160, 120, format, seed++);
    }
    QImage indexed(90, 90, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(255, 0, 0, 128), qRgba(0, 0, 255, 0), qRgba(20, 200, 90, 255)});
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 90; ++x)
            indexed.setPixel(x, y, (x / 7 + y / 5) % 3);
    QTest::newRow("indexed translucent table") << 36 << 360 << indexed;
}

void PolarConversionTest::fastMatchesReference()
{
    QFETCH(int, leds);
    QFETCH(int, lines);
    QFETCH(QImage, picture);
    const Polar::Result fast = Polar::resample(picture, leds, lines);
    const Polar::Result reference = referenceResample(picture, leds, lines);
    QCOMPARE(fast.buffer.size(), reference.buffer.size());
    QVERIFY(fast.buffer == reference.buffer);
    QCOMPARE(fast.preview.format(), reference.preview.format());
    QCOMPARE(fast.preview.size(), QSize(450, 450));
    QCOMPARE(fast.preview, reference.preview);
}

void PolarConversionTest::premultipliedPaintKeepsItsColour()
{
    // What QPainter leaves in a premultiplied picture: half-transparent red is dark red
    // (128, 0, 0) stored. The fan shows that, not full red.
    QImage picture(60, 60, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.fillRect(picture.rect(), QColor(255, 0, 0, 128));
    painter.end();
    const QRgb stored = picture.pixel(30, 30);
    QVERIFY(qRed(stored) < 140);
    const Polar::Result result = Polar::resample(picture, 112, 450);
    QCOMPARE(result.preview.pixel(225, 225), qRgb(qRed(stored), 0, 0));
    QVERIFY(result.buffer == referenceResample(picture, 112, 450).buffer);
    QVERIFY(result.buffer != Polar::resample(filled(60, 60, Qt::red), 112, 450).buffer);
}

void PolarConversionTest::usesOnlyTheCentredSquare()
{
    // 300 x 200: only the middle 200 x 200 counts; the 50-pixel strips left and right do not.
    QImage picture = noise(300, 200, QImage::Format_RGB32, 9);
    const Polar::Result before = Polar::resample(picture, 112, 450);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            if (x < 50 || x >= 250)
                picture.setPixel(x, y, qRgb(255, 255, 0));
    const Polar::Result after = Polar::resample(picture, 112, 450);
    QVERIFY(before.buffer == after.buffer);
    QCOMPARE(before.preview, after.preview);
    QCOMPARE(Polar::cutSquare(picture), Polar::cutSquare(picture.copy(50, 0, 200, 200)));
}

void PolarConversionTest::previewShowsUncalibratedColours()
{
    const Polar::Result result = Polar::resample(filled(50, 50, QColor(128, 200, 30)), 112, 450);
    // The centre dot shows the colour as it is; the buffer holds calibrated levels (G, B
    // never exceed 128 after calibration, so a byte with G = 200 cannot appear there).
    QCOMPARE(result.preview.pixel(225, 225), qRgb(128, 200, 30));
    QCOMPARE(result.preview.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(qAlpha(result.preview.pixel(0, 0)), 255);
    const Polar::Result expected = referenceResample(filled(50, 50, QColor(128, 200, 30)), 112, 450);
    QVERIFY(result.buffer == expected.buffer);
    QVERIFY(result.buffer != Polar::resample(filled(50, 50, QColor(128, 128, 30)), 112, 450).buffer);
}

void PolarConversionTest::singleLedSamplesTheCentre()
{
    const QPointF centre = Polar::samplePoint(17, 0, 1, 450);
    QCOMPARE(centre, QPointF(225, 225));
    // Line 0 points straight up: the outermost of 112 LEDs reads pixel (225, 1).
    const QPointF top = Polar::samplePoint(0, 111, 112, 450);
    QCOMPARE(Polar::samplePixel(top.x()), 225);
    QCOMPARE(Polar::samplePixel(top.y()), 1);
    // Angles turn counter-clockwise: line 1 is slightly left of straight up.
    QVERIFY(Polar::samplePoint(1, 111, 112, 450).x() < 225);

    QImage picture = filled(450, 450, Qt::black);
    picture.setPixel(225, 225, qRgb(255, 255, 255));
    const Polar::Result result = Polar::resample(picture, 1, 4);
    // 1 LED: white calibrates to B, G, R = 128, 128, 255, so the planes run 111 001 001 ...
    // and the 18 bits of a line keep 16: 0xe4 0x92 on every line.
    QCOMPARE(result.buffer.left(8), QByteArray::fromHex("e492e492e492e492"));
}

void PolarConversionTest::undecodablePictureGivesCalibratedBlack()
{
    const Polar::Result result = Polar::resample(QImage(), 36, 360);
    QCOMPARE(result.buffer, QByteArray(114688, '\0'));  // black calibrates to 0
    QCOMPARE(result.preview, filled(450, 450, Qt::black).convertToFormat(QImage::Format_ARGB32));
}

void PolarConversionTest::convertToPolarWritesFilesAndReleasesMemory()
{
    AppSettings::ledCount = 36;
    AppSettings::lineNumber = 360;
    ImageObject object(3, QString(), 5.0, ImageObject::PictureKind);
    const QImage picture = noise(120, 80, QImage::Format_RGB32, 11);
    convertToPolar(picture, &object);
    QVERIFY(object.polarBuffer.isEmpty());
    QCOMPARE(object.bufferPath, object.bufferFilePath());
    const QByteArray expected = Polar::resample(picture, 36, 360).buffer;
    QFile file(object.bufferPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll() == expected);
    QVERIFY(object.buffer() == expected);
    QCOMPARE(object.loadPreview().convertToFormat(QImage::Format_ARGB32), Polar::resample(picture, 36, 360).preview);
    // The conversion leaves the playlist settings alone.
    QCOMPARE(object.number, 3);
    QCOMPARE(object.showTime, 5.0);
    QCOMPARE(object.kind, 0);
    AppSettings::ledCount = AppSettings::defaultLedCount;
    AppSettings::lineNumber = AppSettings::defaultLineNumber;
}

QTEST_GUILESS_MAIN(PolarConversionTest)
#include "tst_polarconversion.moc"
