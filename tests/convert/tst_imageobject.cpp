#include "app/appsettings.h"
#include "support/testtempdir.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class ImageObjectTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void consecutiveObjectsHaveTheirOwnFiles();
    void centredSquareAndThumbnail_data();
    void centredSquareAndThumbnail();
    void emptyPathWritesNothing();
    void undecodableSourceWritesNoThumbnail();
    void bufferComesFromMemoryThenFile();
    void deletingRemovesAllFiles();
    void deletingClipRemovesFramesFiles();

private:
    QString writePicture(const QString& name, int width, int height);
    QString m_root;
    QTemporaryDir m_pictures;
};

void ImageObjectTest::initTestCase()
{
    m_root = useTestTempRoot();
}

QString ImageObjectTest::writePicture(const QString& name, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const QString path = m_pictures.filePath(name);
    picture.save(path);
    return path;
}

void ImageObjectTest::consecutiveObjectsHaveTheirOwnFiles()
{
    const QString source = writePicture(QStringLiteral("a.png"), 80, 80);
    ImageObject first(1, source, 5.0, ImageObject::PictureKind);
    ImageObject second(2, source, 5.0, ImageObject::PictureKind);
    QCOMPARE(second.id, first.id + 1);
    QVERIFY(first.thumbnailPath() != second.thumbnailPath());
    QCOMPARE(QFileInfo(first.thumbnailPath()).fileName(), QStringLiteral("%1_1.png").arg(first.id));
    QCOMPARE(QFileInfo(first.previewPath()).fileName(), QStringLiteral("%1_2.png").arg(first.id));
    QCOMPARE(QFileInfo(first.bufferFilePath()).fileName(), QStringLiteral("%1.buf").arg(first.id));
    QVERIFY(first.thumbnailPath().startsWith(m_root));
    QVERIFY(QFile::exists(first.thumbnailPath()));
    QVERIFY(QFile::exists(second.thumbnailPath()));
    QCOMPARE(first.showTime, 5.0);
    QCOMPARE(first.contrast, 1.0f);
    QCOMPARE(first.videoTime, 0.0f);
}

void ImageObjectTest::centredSquareAndThumbnail_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QRect>("crop");
    QTest::newRow("300x200") << 300 << 200 << QRect(QPoint(50, 0), QPoint(249, 199));
    QTest::newRow("200x300") << 200 << 300 << QRect(QPoint(0, 50), QPoint(199, 249));
    QTest::newRow("301x300") << 301 << 300 << QRect(QPoint(0, 0), QPoint(299, 299));
    QTest::newRow("square") << 64 << 64 << QRect(QPoint(0, 0), QPoint(63, 63));
}

void ImageObjectTest::centredSquareAndThumbnail()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QRect, crop);
    ImageObject object(1, writePicture(QStringLiteral("p.png"), width, height), 5.0, 0);
    QCOMPARE(object.cropRect, crop);
    const QImage thumbnail = object.loadThumbnail();
    QCOMPARE(thumbnail.size(), QSize(60, 60));
}

void ImageObjectTest::emptyPathWritesNothing()
{
    ImageObject object(1, QString(), 0.2, ImageObject::ReadBackFrameKind);
    QVERIFY(!QFile::exists(object.thumbnailPath()));
    QVERIFY(!QFile::exists(object.previewPath()));
    QVERIFY(object.cropRect.isNull());
    QVERIFY(object.loadThumbnail().isNull());
    QCOMPARE(object.saveThumbnail(QImage()), -1);
    QVERIFY(!QFile::exists(object.thumbnailPath()));
}

void ImageObjectTest::undecodableSourceWritesNoThumbnail()
{
    const QString path = m_pictures.filePath(QStringLiteral("broken.png"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    ImageObject object(1, path, 5.0, 0);
    QVERIFY(!QFile::exists(object.thumbnailPath()));
    QVERIFY(object.cropRect.isNull());
}

void ImageObjectTest::bufferComesFromMemoryThenFile()
{
    ImageObject object(1, QString(), 5.0, 0);
    QVERIFY(object.buffer().isEmpty());
    object.flushBuffer();  // nothing to flush: no file
    QVERIFY(object.bufferPath.isEmpty());

    const QByteArray bytes("\x01\x02\x00\x03", 4);
    object.polarBuffer = bytes;
    QCOMPARE(object.buffer(), bytes);
    object.flushBuffer();
    QVERIFY(object.polarBuffer.isEmpty());
    QCOMPARE(object.bufferPath, object.bufferFilePath());
    QCOMPARE(object.buffer(), bytes);

    QVERIFY(QFile::remove(object.bufferPath));  // removed outside the program
    QVERIFY(object.buffer().isEmpty());
}

void ImageObjectTest::deletingRemovesAllFiles()
{
    auto object = std::make_unique<ImageObject>(1, writePicture(QStringLiteral("d.png"), 90, 70), 5.0, 0);
    object->polarBuffer = QByteArray(10, 'x');
    object->flushBuffer();
    QCOMPARE(object->savePreview(QImage(450, 450, QImage::Format_ARGB32)), 0);
    const QStringList files = {object->thumbnailPath(), object->previewPath(), object->bufferFilePath()};
    for (const QString& file : files)
        QVERIFY2(QFile::exists(file), qPrintable(file));
    const QString source = object->sourcePath;
    object.reset();
    for (const QString& file : files)
        QVERIFY2(!QFile::exists(file), qPrintable(file));
    QVERIFY(QFile::exists(source));  // the source belongs to the user
}

void ImageObjectTest::deletingClipRemovesFramesFiles()
{
    auto clip = std::make_unique<MediaObject>(1, QStringLiteral("clip.gif"));
    QCOMPARE(clip->loopCount, 1);
    QVERIFY(!clip->isGif);
    QStringList files;
    for (int i = 0; i < 3; ++i) {
        auto* frame = new ImageObject(i + 1, writePicture(QStringLiteral("f%1.png").arg(i), 50, 50), 10.0,
                                      ImageObject::GifFrameKind);
        frame->polarBuffer = QByteArray(4, 'y');
        frame->flushBuffer();
        files << frame->thumbnailPath() << frame->bufferFilePath();
        clip->frames.append(frame);
    }
    for (const QString& file : files)
        QVERIFY(QFile::exists(file));
    clip.reset();
    for (const QString& file : files)
        QVERIFY2(!QFile::exists(file), qPrintable(file));
}

QTEST_GUILESS_MAIN(ImageObjectTest)
#include "tst_imageobject.moc"
