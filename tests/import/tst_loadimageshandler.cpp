#include "app/appsettings.h"
#include "convert/imageobject.h"
#include "import/loadimageshandler.h"
#include "import/loadobjectitem.h"
#include "looper/handlerthread.h"
#include "looper/message.h"
#include "looper/messagecodes.h"
#include "support/testtempdir.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

// What a receiver of the handler saw, and the pictures it kept.
struct Receiver : QObject
{
    struct Report
    {
        int what;
        int index;
        int count;
        QString path;
        QImage preview;
        LoadObjectItem::Failure failure;
    };
    QList<Report> reports;
    std::vector<std::unique_ptr<ImageObject>> pictures;
    bool takePictures = true;
    std::function<void(const Report&)> onReport;

    void attach(LoadImagesHandler* handler)
    {
        connect(handler, &LoadImagesHandler::handlerMessage, this, [this](Message* msg) {
            auto* item = static_cast<LoadObjectItem*>(msg->obj);
            Report report{msg->what, item->index, item->count, item->path,
                          item->preview ? *item->preview : QImage(), item->failure};
            if (msg->what == MessageCode::ImageReady && takePictures) {
                pictures.emplace_back(static_cast<ImageObject*>(msg->obj2));
                msg->obj2 = nullptr;
            }
            reports.append(report);
            if (onReport)
                onReport(report);
        });
    }
    QList<int> whats() const
    {
        QList<int> result;
        for (const Report& report : reports)
            result << report.what;
        return result;
    }
};

// Every picture file an ImageObject left in the temporary directory.
QStringList objectFiles()
{
    static const QRegularExpression named(QStringLiteral("^\\d+(_1\\.png|_2\\.png|\\.buf)$"));
    return QDir(AppSettings::tempDir()).entryList(QDir::Files, QDir::Name).filter(named);
}

QStringList filesOf(const std::vector<std::unique_ptr<ImageObject>>& pictures)
{
    QStringList names;
    for (const auto& picture : pictures)
        for (const QString& path : {picture->thumbnailPath(), picture->previewPath(), picture->bufferFilePath()})
            names << QFileInfo(path).fileName();
    names.sort();
    return names;
}

} // namespace

class LoadImagesHandlerTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void squareCuts_data();
    void squareCuts();
    void filesInPickedOrderAndUnreadableSkipped();
    void cancelAtEveryStep();

private:
    // Runs an import to its end and returns what the receiver saw.
    void runImport(const QStringList& paths, Receiver& receiver);
    QTemporaryDir pictures;
};

void LoadImagesHandlerTest::initTestCase()
{
    useTestTempRoot();
    QVERIFY(pictures.isValid());
}

void LoadImagesHandlerTest::runImport(const QStringList& paths, Receiver& receiver)
{
    LoadImagesHandler handler(obtainWorkerThread());
    receiver.attach(&handler);
    bool finished = false;
    receiver.onReport = [&](const Receiver::Report& report) {
        if ((report.what == MessageCode::ImageReady || report.what == MessageCode::ImageUnreadable)
            && report.index == report.count)
            finished = true;
    };
    auto* start = new Message(&handler, MessageCode::LoadImages);
    start->obj = const_cast<QStringList*>(&paths);
    handler.sendHandlerMessage(start);
    QTRY_VERIFY_WITH_TIMEOUT(finished, 30000);
}

void LoadImagesHandlerTest::squareCuts_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("square");
    QTest::newRow("400 x 300") << QSize(400, 300) << QRect(50, 0, 300, 300);
    QTest::newRow("301 x 300, extra column right") << QSize(301, 300) << QRect(0, 0, 300, 300);
    QTest::newRow("300 x 401, extra row below") << QSize(300, 401) << QRect(0, 50, 300, 300);
    QTest::newRow("square whole") << QSize(300, 300) << QRect(0, 0, 300, 300);
}

void LoadImagesHandlerTest::squareCuts()
{
    // Every pixel tells where it came from: red = column, green = row (both below 512).
    QFETCH(QSize, size);
    QFETCH(QRect, square);
    QImage source(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            source.setPixel(x, y, qRgb(x & 0xff, y & 0xff, ((x >> 8) << 4) | (y >> 8)));
    const QString path = pictures.filePath(QStringLiteral("cut_%1x%2.png").arg(size.width()).arg(size.height()));
    QVERIFY(source.save(path));

    Receiver receiver;
    runImport({path}, receiver);
    QCOMPARE(receiver.whats(), (QList<int>{MessageCode::ImageLoaded, MessageCode::ImageConverted,
                                           MessageCode::ImageReady}));
    const QImage preview = receiver.reports.first().preview;
    QCOMPARE(preview.size(), QSize(300, 300));
    QCOMPARE(preview.convertToFormat(QImage::Format_RGB32), source.copy(square));
    QCOMPARE(receiver.pictures.size(), size_t(1));
    ImageObject& picture = *receiver.pictures.front();
    QCOMPARE(picture.cropRect, square);
    QCOMPARE(picture.kind, int(ImageObject::PictureKind));
    QCOMPARE(picture.showTime, 5.0);
    QCOMPARE(picture.sourcePath, path);
    QVERIFY(!picture.buffer().isEmpty());
    QVERIFY(!picture.loadPreview().isNull());
    QCOMPARE(picture.loadThumbnail().size(), QSize(60, 60));
    // The picture was handed to this thread, where the window keeps it.
    QCOMPARE(picture.thread(), thread());
}

void LoadImagesHandlerTest::filesInPickedOrderAndUnreadableSkipped()
{
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
    QStringList good;
    for (int i = 0; i < 3; ++i) {
        QImage image(120, 80, QImage::Format_RGB32);
        image.fill(colours[i]);
        good << pictures.filePath(QStringLiteral("order%1.jpg").arg(i));
        QVERIFY(image.save(good.last(), "JPG"));
    }
    const QString text = pictures.filePath("text.jpg");
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("this is no picture at all");
    file.close();
    // A PNG cut off in the middle of its data.
    QByteArray png;
    {
        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        QVERIFY(image.save(pictures.filePath("whole.png")));
        QFile whole(pictures.filePath("whole.png"));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        png = whole.readAll();
    }
    const QString cut = pictures.filePath("cut.png");
    QFile cutFile(cut);
    QVERIFY(cutFile.open(QIODevice::WriteOnly));
    cutFile.write(png.left(60));
    cutFile.close();
    const QString missing = pictures.filePath("gone.png");

    const QStringList paths = {good[0], text, good[1], missing, cut, good[2]};
    const QStringList before = objectFiles();
    Receiver receiver;
    runImport(paths, receiver);

    using MC = QList<int>;
    QCOMPARE(receiver.whats(), (MC{2, 3, 4, 6, 2, 3, 4, 6, 6, 2, 3, 4}));
    QList<LoadObjectItem::Failure> failures;
    QStringList failedPaths;
    QList<int> indexes;
    for (const auto& report : receiver.reports) {
        QCOMPARE(report.count, 6);
        if (report.what == MessageCode::ImageUnreadable) {
            failures << report.failure;
            failedPaths << report.path;
        }
        if (report.what == MessageCode::ImageReady)
            indexes << report.index;
    }
    QCOMPARE(indexes, (QList<int>{1, 3, 6}));
    QCOMPARE(failedPaths, (QStringList{text, missing, cut}));
    QCOMPARE(failures.at(1), LoadObjectItem::Failure::Missing);
    QVERIFY(failures.at(0) == LoadObjectItem::Failure::UnsupportedFormat
            || failures.at(0) == LoadObjectItem::Failure::Damaged);
    QCOMPARE(failures.at(2), LoadObjectItem::Failure::Damaged);

    // A picture beyond what the decoder may allocate is named for what it is.
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1);  // MB: the 1000 x 1000 picture needs 4
    QImage big(1000, 1000, QImage::Format_RGB32);
    big.fill(Qt::gray);
    const QString bigPath = pictures.filePath("big.png");
    QVERIFY(big.save(bigPath));
    LoadObjectItem::Failure failure = LoadObjectItem::Failure::None;
    QString detail;
    const QImage refused = LoadImagesHandler::decode(bigPath, &failure, &detail);
    QImageReader::setAllocationLimit(limit);
    QVERIFY(refused.isNull());
    QCOMPARE(failure, LoadObjectItem::Failure::TooLarge);

    // The pictures come in the picked order, each from its own file.
    QCOMPARE(receiver.pictures.size(), size_t(3));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(receiver.pictures.at(i)->sourcePath, good[i]);
        const QColor centre = receiver.pictures.at(i)->loadThumbnail().pixelColor(30, 30);
        QVERIFY2(qAbs(centre.red() - colours[i].red()) < 8 && qAbs(centre.green() - colours[i].green()) < 8
                     && qAbs(centre.blue() - colours[i].blue()) < 8,
                 qPrintable(centre.name()));
    }
    // Unreadable files leave no picture and no files behind.
    QStringList expected = before + filesOf(receiver.pictures);
    expected.sort();
    QCOMPARE(objectFiles(), expected);
}

void LoadImagesHandlerTest::cancelAtEveryStep()
{
    // Five photo-sized pictures, so that the worker is in the middle of a decoding or a
    // conversion when the handler goes. The handler is destroyed after the k-th report of
    // the fifteen, for every k: nothing may be freed under the worker (the address
    // sanitizer's part), and every picture made is either kept by the receiver or deleted
    // with its files.
    QStringList paths;
    QRandomGenerator random(3);
    for (int i = 0; i < 5; ++i) {
        QImage photo(1920, 1080, QImage::Format_RGB32);
        for (int y = 0; y < photo.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
            for (int x = 0; x < photo.width(); ++x)
                row[x] = qRgb(x * 255 / 1920, y * 255 / 1080, random.bounded(256));
        }
        paths << pictures.filePath(QStringLiteral("photo%1.jpg").arg(i));
        QVERIFY(photo.save(paths.last(), "JPG", 90));
    }
    const QStringList before = objectFiles();

    for (int cancelAfter = 0; cancelAfter <= 15; ++cancelAfter) {
        Receiver receiver;
        auto* handler = new LoadImagesHandler(obtainWorkerThread());
        QPointer<LoadImagesHandler> alive(handler);
        receiver.attach(handler);
        receiver.onReport = [&](const Receiver::Report&) {
            // Queued behind this report and ahead of the next, which the worker posts once
            // this slot has returned: the worker is then busy with the next step.
            if (receiver.reports.size() == cancelAfter)
                QMetaObject::invokeMethod(&receiver, [handler] { delete handler; }, Qt::QueuedConnection);
        };
        auto* start = new Message(handler, MessageCode::LoadImages);
        start->obj = &paths;
        handler->sendHandlerMessage(start);
        if (cancelAfter == 0) {
            // The worker has taken the job and is decoding the first file.
            QTest::qWait(5);
            delete handler;
        }
        QTRY_VERIFY_WITH_TIMEOUT(alive.isNull(), 30000);
        if (cancelAfter > 0)
            QCOMPARE(receiver.reports.size(), cancelAfter);
        // The pictures handed over are the first ones, in order; no other survived.
        QCOMPARE(int(receiver.pictures.size()), receiver.whats().count(MessageCode::ImageReady));
        for (size_t i = 0; i < receiver.pictures.size(); ++i)
            QCOMPARE(receiver.pictures.at(i)->sourcePath, paths.at(int(i)));
        QStringList expected = before + filesOf(receiver.pictures);
        expected.sort();
        QCOMPARE(objectFiles(), expected);
        QCOMPARE(AppSettings::workerThread->queuedCount(), 0);
    }
    QCOMPARE(objectFiles(), before);

    // A receiver that keeps no picture: the handler deletes each one, files included.
    Receiver refusing;
    refusing.takePictures = false;
    runImport(paths.mid(0, 2), refusing);
    QCOMPARE(refusing.whats().count(MessageCode::ImageReady), 2);
    QCOMPARE(objectFiles(), before);
}

QTEST_GUILESS_MAIN(LoadImagesHandlerTest)
#include "tst_loadimageshandler.moc"
