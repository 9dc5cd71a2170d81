#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QMovie>
#include <QSet>
#include <QSignalSpy>
#include <QtTest>

// The pictures the windows name under ":/images/", as the program embeds them.
class ImagesTest : public QObject
{
    Q_OBJECT
private slots:
    void everyNamedPictureAndNoOther();
    void picture_data();
    void picture();
    void iconsKeepTheirShapeWhenSmall_data();
    void iconsKeepTheirShapeWhenSmall();
    void spinnerPlays();
};

namespace {

struct Expected
{
    const char* name;
    QByteArray format;
    QSize size;
};

const QSize icon(64, 64);
const QSize languageButton(120, 50);

const QList<Expected>& expectedPictures()
{
    static const QList<Expected> pictures = {
        {"2_audio_simple_repeat.png", "png", icon},
        {"A.png", "png", icon},
        {"agt_back.png", "png", icon},
        {"background.jpg", "jpeg", QSize(512, 512)},
        {"blackstyle_04_pointer.png", "png", icon},
        {"clipping_picture.png", "png", icon},
        {"close.png", "png", icon},
        {"close_window.png", "png", icon},
        {"create_new_file.png", "png", icon},
        {"cursor_hand.png", "png", icon},
        {"default_ui.png", "png", icon},
        {"design.png", "png", icon},
        {"download_file.png", "png", icon},
        {"edit_delete.png", "png", icon},
        {"en_us.png", "png", languageButton},
        {"eraser.png", "png", icon},
        {"exit.png", "png", icon},
        {"ic_flowers.png", "png", icon},
        {"import.png", "png", icon},
        {"import_gif.png", "png", icon},
        {"import_media.png", "png", icon},
        {"line.png", "png", icon},
        {"logo.jpg", "jpeg", QSize(480, 160)},
        {"logo2.jpg", "jpeg", QSize(128, 128)},
        {"maximize_window.png", "png", icon},
        {"minimize_window.png", "png", icon},
        {"moins.png", "png", icon},
        {"old_zoom_original.png", "png", icon},
        {"open.png", "png", icon},
        {"paintbrush.png", "png", icon},
        {"paintbrush_1.png", "png", icon},
        {"play.png", "png", icon},
        {"plus.png", "png", icon},
        {"preview.png", "png", icon},
        {"preview_usb.png", "png", icon},
        {"progress.gif", "gif", QSize(72, 72)},
        {"rect.png", "png", icon},
        {"rect_round.png", "png", icon},
        {"restore_window.png", "png", icon},
        {"round.png", "png", icon},
        {"round2.png", "png", icon},
        {"save.png", "png", icon},
        {"stop.png", "png", icon},
        {"text.png", "png", icon},
        {"usbflashcardwithcardreader2.png", "png", icon},
        {"write.png", "png", icon},
        {"xine.png", "png", icon},
        {"zh_cn.png", "png", languageButton},
        {"zh_hk.png", "png", languageButton},
    };
    return pictures;
}

QString resourcePath(const QString& name) { return QStringLiteral(":/images/") + name; }

// The file's own signature, whatever its name says.
QByteArray signatureFormat(const QByteArray& head)
{
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (head.startsWith("\xff\xd8\xff"))
        return "jpeg";
    if (head.startsWith("GIF89a"))
        return "gif";
    return "unknown";
}

int distinctOpaqueColours(const QImage& picture)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(argb.pixel(x, y)) == 255)
                colours.insert(argb.pixel(x, y));
        }
    }
    return int(colours.size());
}

// Lightness spread of the opaque pixels: an icon whose details all blur into one tone
// at its shown size has none left.
int lightnessSpread(const QImage& picture)
{
    int low = 255;
    int high = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor colour = picture.pixelColor(x, y);
            if (colour.alpha() < 255)
                continue;
            low = qMin(low, qGray(colour.rgb()));
            high = qMax(high, qGray(colour.rgb()));
        }
    }
    return high - low;
}

} // namespace

void ImagesTest::everyNamedPictureAndNoOther()
{
    QStringList expected;
    for (const Expected& picture : expectedPictures())
        expected.append(QString::fromLatin1(picture.name));
    QStringList present = QDir(QStringLiteral(":/images")).entryList(QDir::Files);
    expected.sort();
    present.sort();
    QCOMPARE(present, expected);
    QVERIFY(QFile(QStringLiteral(":/images/play.png")).exists());
}

void ImagesTest::picture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");
    for (const Expected& picture : expectedPictures())
        QTest::newRow(picture.name) << QString::fromLatin1(picture.name) << picture.format << picture.size;
}

void ImagesTest::picture()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);

    QFile file(resourcePath(name));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(signatureFormat(file.read(8)), format);
    file.close();

    QImageReader reader(resourcePath(name));
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.format(), format);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);

    // Not blank: more than one colour where the picture is opaque.
    QVERIFY2(distinctOpaqueColours(image) > 1, "the picture is one flat colour");
    if (format == "png") {
        QVERIFY(image.hasAlphaChannel());
        // A toolbar icon stands free on its ground: its corner is see-through, and it
        // still covers a good part of its square.
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        }
        QVERIFY2(opaque * 10 > image.width() * image.height(), "the picture covers less than a tenth of its square");
    } else if (format == "jpeg") {
        QVERIFY(!image.hasAlphaChannel());
    }
}

void ImagesTest::iconsKeepTheirShapeWhenSmall_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("shown");
    for (const Expected& picture : expectedPictures()) {
        if (picture.size == icon)
            QTest::newRow(picture.name) << QString::fromLatin1(picture.name) << QSize(30, 30);
        else if (picture.size == languageButton)
            QTest::newRow(picture.name) << QString::fromLatin1(picture.name) << QSize(60, 25);
    }
    QTest::newRow("plus row button") << QStringLiteral("plus.png") << QSize(16, 16);
    QTest::newRow("minus row button") << QStringLiteral("moins.png") << QSize(16, 16);
}

void ImagesTest::iconsKeepTheirShapeWhenSmall()
{
    QFETCH(QString, name);
    QFETCH(QSize, shown);
    const QImage small = QIcon(resourcePath(name)).pixmap(shown).toImage();
    QCOMPARE(small.size(), shown);
    // Dark outline against its fill, or white glyph against a coloured disc.
    QVERIFY2(lightnessSpread(small) >= 50, qPrintable(QStringLiteral("spread %1").arg(lightnessSpread(small))));
}

void ImagesTest::spinnerPlays()
{
    QMovie movie(resourcePath(QStringLiteral("progress.gif")));
    QVERIFY(movie.isValid());
    QVERIFY2(movie.frameCount() >= 8 && movie.frameCount() <= 12, qPrintable(QString::number(movie.frameCount())));
    QCOMPARE(movie.loopCount(), -1); // forever

    QList<QImage> frames;
    for (int i = 0; i < movie.frameCount(); ++i) {
        QVERIFY(movie.jumpToFrame(i));
        QCOMPARE(movie.currentImage().size(), QSize(72, 72));
        QVERIFY(movie.nextFrameDelay() > 0);
        frames.append(movie.currentImage());
    }
    for (int i = 1; i < frames.size(); ++i)
        QVERIFY2(frames[i] != frames[i - 1], qPrintable(QStringLiteral("frame %1 repeats the one before").arg(i)));

    QMovie playing(resourcePath(QStringLiteral("progress.gif")));
    QSignalSpy changed(&playing, &QMovie::frameChanged);
    playing.start();
    QCOMPARE(playing.state(), QMovie::Running);
    QTRY_VERIFY_WITH_TIMEOUT(changed.count() > playing.frameCount(), 5000); // wrapped round
    playing.stop();
}

QTEST_MAIN(ImagesTest)
#include "tst_images.moc"
