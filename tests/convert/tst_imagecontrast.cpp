#include "app/appsettings.h"
#include "convert/imagecontrast.h"
#include "convert/imageobject.h"
#include "convert/polarconversion.h"
#include "support/testfiles.h"
#include "support/testtempdir.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// A picture with some structure, so that its thumbnail, preview and buffer tell factors apart.
QImage scene(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgba(x * 255 / size.width(), y * 255 / size.height(), 60, 255));
    return image;
}

} // namespace

class ImageContrastTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void reopenedSliderValues();
    void everyChannelScaled_data();
    void everyChannelScaled();
    void jobRemakesThumbnailPreviewAndBuffer();
    void sourceThatCannotBeReadChangesNothing();

private:
    QString save(const QString& name, const QImage& image);
    QTemporaryDir m_pictures;
};

void ImageContrastTest::initTestCase()
{
    useTestTempRoot();
    QVERIFY(m_pictures.isValid());
}

QString ImageContrastTest::save(const QString& name, const QImage& image)
{
    const QString path = m_pictures.filePath(name);
    if (!image.save(path))
        qWarning() << "cannot save" << path;
    return path;
}

void ImageContrastTest::reopenedSliderValues()
{
    // The factor is kept as a 32-bit float, so for these values it lies just below v / 10
    // and the dialog reopens one step lower.
    const QList<int> oneLess = {7,  9,  13, 14, 18, 19, 21, 23, 26, 28, 31, 33, 36, 38, 41, 42, 46, 47, 51, 52,
                                56, 57, 61, 62, 66, 67, 71, 72, 76, 77, 82, 84, 87, 89, 92, 94, 97, 99};
    for (int value = 0; value <= 100; ++value) {
        const int expected = oneLess.contains(value) ? value - 1 : value;
        QVERIFY2(ImageContrast::sliderValueOf(ImageContrast::factorOf(value)) == expected,
                 qPrintable(QStringLiteral("slider %1").arg(value)));
    }
    QVERIFY(ImageContrast::factorOf(7) < 0.7);
    // A fresh picture opens at 10.
    QCOMPARE(ImageContrast::sliderValueOf(1.0f), 10);
}

void ImageContrastTest::everyChannelScaled_data()
{
    QTest::addColumn<QString>("fileFormat");  // how the source is stored
    QTest::addColumn<int>("value");
    QTest::addColumn<QRgb>("pixel");
    QTest::addColumn<QRgb>("expected");
    const QRgb sample = qRgba(100, 200, 30, 255);
    QTest::newRow("20 doubles up to 255") << "argb" << 20 << sample << qRgba(200, 255, 60, 255);
    QTest::newRow("0 is black, alpha kept") << "argb" << 0 << sample << qRgba(0, 0, 0, 255);
    QTest::newRow("10 restores the source") << "argb" << 10 << sample << sample;
    QTest::newRow("3 rounds to nearest") << "argb" << 3 << qRgba(100, 200, 31, 250) << qRgba(30, 60, 9, 250);
    QTest::newRow("100 saturates") << "argb" << 100 << qRgba(10, 26, 0, 1) << qRgba(100, 255, 0, 1);
    // Sources of other layouts than 4 bytes per pixel are brought to ARGB32 first.
    QTest::newRow("palette file") << "indexed" << 20 << sample << qRgba(200, 255, 60, 255);
    QTest::newRow("grey file") << "grey" << 15 << qRgba(90, 90, 90, 255) << qRgba(135, 135, 135, 255);
    QTest::newRow("16-bit file") << "rgba64" << 20 << sample << qRgba(200, 255, 60, 255);
    QTest::newRow("jpeg 0 stays opaque") << "jpg" << 0 << qRgba(128, 128, 128, 255) << qRgba(0, 0, 0, 255);
}

void ImageContrastTest::everyChannelScaled()
{
    QFETCH(QString, fileFormat);
    QFETCH(int, value);
    QFETCH(QRgb, pixel);
    QFETCH(QRgb, expected);

    // Odd width: rows of 3-byte and 1-byte layouts are padded, which a 4-byte view would misread.
    QImage image(7, 5, QImage::Format_ARGB32);
    image.fill(pixel);
    QString suffix = QStringLiteral(".png");
    if (fileFormat == "indexed") {
        image = QImage(image.size(), QImage::Format_Indexed8);
        image.setColorTable({pixel});
        image.fill(0);
    } else if (fileFormat == "grey")
        image = image.convertToFormat(QImage::Format_Grayscale8);
    else if (fileFormat == "rgba64")
        image = image.convertToFormat(QImage::Format_RGBA64);
    else if (fileFormat == "jpg")
        suffix = QStringLiteral(".jpg");
    const QString path = save(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_') + suffix, image);
    const QImage loaded(path);
    if (fileFormat != "argb" && fileFormat != "jpg")
        QVERIFY2(loaded.depth() != 32, "the file should load in a layout without 4 bytes per pixel");

    ImageObject picture(1, path, 5.0, ImageObject::PictureKind);
    ImageContrast contrast(&picture);
    QVERIFY(contrast.hasSource());
    const QImage result = contrast.adjusted(ImageContrast::factorOf(value));
    QCOMPARE(result.size(), QSize(7, 5));
    QCOMPARE(result.format(), QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x)
            QCOMPARE(QColor::fromRgba(result.pixel(x, y)), QColor::fromRgba(expected));
}

void ImageContrastTest::jobRemakesThumbnailPreviewAndBuffer()
{
    const QImage source = scene(QSize(300, 200));
    const QString path = save("scene.png", source);
    ImageObject picture(1, path, 5.0, ImageObject::PictureKind);
    convertToPolar(source, &picture);
    const QByteArray originalBuffer = picture.buffer();
    const QByteArray originalPreview = fileBytes(picture.previewPath());

    ImageContrast contrast(&picture);
    QSignalSpy changed(&contrast, &ImageContrast::onImageContractChanged);
    contrast.addImageContract(20);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().value<QObject*>(), &picture);
    QCOMPARE(picture.contrast, 2.0f);
    // The row, the preview and the download all read the doubled picture, the polar form
    // made from the whole picture and not from the thumbnail's square.
    const QImage doubled = contrast.adjusted(2.0f);
    QCOMPARE(picture.loadThumbnail(), thumbnailOf(doubled));
    const Polar::Result expected = Polar::resample(doubled, AppSettings::ledCount, AppSettings::lineNumber);
    QCOMPARE(picture.buffer(), expected.buffer);
    QCOMPARE(picture.loadPreview(), expected.preview.convertToFormat(QImage::Format_RGB32));

    // Factors are absolute: 10 after 20 gives the source back.
    contrast.addImageContract(10);
    QCOMPARE(picture.buffer(), originalBuffer);
    QCOMPARE(fileBytes(picture.previewPath()), originalPreview);
}

void ImageContrastTest::sourceThatCannotBeReadChangesNothing()
{
    const QString path = save("gone.png", scene(QSize(80, 80)));
    ImageObject picture(1, path, 5.0, ImageObject::PictureKind);
    convertToPolar(QImage(path), &picture);
    QVERIFY(QFile::remove(path));
    const QByteArray thumbnail = fileBytes(picture.thumbnailPath());
    const QByteArray buffer = picture.buffer();

    ImageContrast contrast(&picture);
    QVERIFY(!contrast.hasSource());
    QSignalSpy changed(&contrast, &ImageContrast::onImageContractChanged);
    contrast.addImageContract(7);
    // The factor is kept; the picture stays as it was and nobody is told of a change.
    QCOMPARE(picture.contrast, ImageContrast::factorOf(7));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(fileBytes(picture.thumbnailPath()), thumbnail);
    QCOMPARE(picture.buffer(), buffer);
}

QTEST_GUILESS_MAIN(ImageContrastTest)
#include "tst_imagecontrast.moc"
