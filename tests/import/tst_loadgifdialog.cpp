#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "diy/roundareawidget.h"
#include "import/getimgelocationdialog.h"
#include "import/loadgifdialog.h"
#include "playlist/customtablemodel.h"
#include "support/testgif.h"
#include "support/testtempdir.h"
#include "support/testwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBox>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// The number n of a frame file "loadGif_<n>.png".
int fileNumber(const ImageObject* frame)
{
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("loadGif_(\\d+)\\.png$")).match(frame->sourcePath);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The files picture objects keep ("<id>_1.png", "<id>_2.png", "<id>.buf"), not the frame files.
QStringList objectFiles()
{
    return QDir(AppSettings::tempDir()).entryList(QDir::Files).filter(QRegularExpression(QStringLiteral("^\\d+(_1\\.png|_2\\.png|\\.buf)$")));
}

} // namespace

class LoadGifDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void placedFramesBecomeOneClip();
    void placementIsTakenHoweverItCloses();
    void cancelAfterThreeFrames();
    void escapeInThePlacementCancels();
    void keepTheGifsTiming();
    void badFilesAddNothing_data();
    void badFilesAddNothing();
    void screenshots();

private:
    // A GIF of `frames` frames on a `screen`: a red background, then frame k paints a green
    // 10-pixel column at x = 10 k.
    QString makeGif(const QString& name, QSize screen, int frames);
    // Import GIF as a user does it: picks the file, lets `place` act on the placement dialog
    // (then presses Ok unless it closed it), lets `during` watch the import box on every poll,
    // and answers any message. Returns the messages' texts.
    QStringList importThroughWindow(const QString& path,
                                    const std::function<void(GetImgeLocationDialog*, LoadGifDialog*)>& place = {},
                                    const std::function<void(LoadGifDialog*)>& during = {});

    QTemporaryDir files;
    std::unique_ptr<MainWindow> window;
};

void LoadGifDialogTest::initTestCase()
{
    useTestTempRoot();
    QVERIFY(files.isValid());
}

void LoadGifDialogTest::init()
{
    window = showEnglishWindow(QSize());
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(window->actionLoadGif->isEnabled());
}

void LoadGifDialogTest::cleanup()
{
    window.reset();
    // Every frame went with its clip or its cancelled import, files included.
    QCOMPARE(objectFiles(), QStringList());
}

QString LoadGifDialogTest::makeGif(const QString& name, QSize screen, int frames)
{
    QFile file(files.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    TestGifWriter gif(file, screen);
    gif.addFrame(QRect(QPoint(0, 0), screen), TestGifWriter::Red);
    for (int k = 1; k < frames; ++k)
        gif.addFrame(QRect(10 * k, 0, 10, screen.height()), TestGifWriter::Green);
    gif.finish();
    return file.fileName();
}

QStringList LoadGifDialogTest::importThroughWindow(
    const QString& path, const std::function<void(GetImgeLocationDialog*, LoadGifDialog*)>& place,
    const std::function<void(LoadGifDialog*)>& during)
{
    QStringList messages;
    QTimer poll;
    poll.setInterval(20);
    QPointer<QWidget> handled;
    connect(&poll, &QTimer::timeout, this, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || handled == modal)
            return;
        if (auto* picker = qobject_cast<QFileDialog*>(modal)) {
            // Tried again on every poll until the picker takes it.
            picker->findChild<QLineEdit*>("fileNameEdit")->setText(path);
            static_cast<QDialog*>(picker)->accept();
        } else if (auto* location = qobject_cast<GetImgeLocationDialog*>(modal)) {
            handled = location;
            auto* import = qobject_cast<LoadGifDialog*>(location->parentWidget());
            if (place)
                place(location, import);
            if (location->isVisible())
                location->findChild<QPushButton*>("btnOk")->click();
        } else if (auto* import = qobject_cast<LoadGifDialog*>(modal)) {
            if (during)
                during(import);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            handled = box;
            messages << box->text();
            box->accept();
        }
    });
    poll.start();
    window->actionLoadGif->trigger();
    return messages;
}

void LoadGifDialogTest::placedFramesBecomeOneClip()
{
    // One frame of 600 x 600: the window left where it opens cuts (75, 75, 450, 450).
    const QString one = makeGif("one.gif", QSize(600, 600), 1);
    QCOMPARE(importThroughWindow(one, [](GetImgeLocationDialog* location, LoadGifDialog* import) {
                 QCOMPARE(location->windowTitle(),
                          QStringLiteral("Import GIF - Drag the round window to the part the fan shows"));
                 QCOMPARE(location->windowPosition(), QPoint(75, 75));
                 QCOMPARE(import->windowTitle(), QStringLiteral("Tip"));
             }),
             QStringList());
    QCOMPARE(window->clipModel()->rowCount(), 1);
    MediaObject* clip = clipAt(window->clipModel(), 0);
    QVERIFY(clip->isGif);
    QCOMPARE(clip->name, one);
    QCOMPARE(clip->frames.size(), 1);
    ImageObject* frame = clip->frames.first();
    QCOMPARE(frame->number, 1);
    QCOMPARE(frame->kind, int(ImageObject::GifFrameKind));
    QCOMPARE(frame->showTime, 10.0);
    QVERIFY(QFile::exists(frame->bufferFilePath()));
    QCOMPARE(QImage(frame->sourcePath).pixel(225, 225), qRgb(255, 0, 0));
    QCOMPARE(AppSettings::openDir, QFileInfo(one).absoluteFilePath());
    QCOMPARE(window->findChild<QToolBox*>("toolBox")->currentIndex(), 1);

    // Four frames of 600 x 400 while the user drags the window 50 left of the picture. A tick
    // the timer fires while the placement is open must not start the next frame.
    const QString four = makeGif("four.gif", QSize(600, 400), 4);
    QCOMPARE(importThroughWindow(four, [](GetImgeLocationDialog* location, LoadGifDialog* import) {
                 RoundAreaWidget* round = location->roundWindow();
                 const QPoint grab = round->mapToGlobal(QPoint(200, 200));
                 // Drawn larger than the picture, the view reaches every pixel of it.
                 QVERIFY(location->view().scale >= 1);
                 const QPoint drag = location->view().toView(QPoint(-50, -25)) - round->pos();
                 for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseMove}) {
                     const QPoint at = type == QEvent::MouseMove ? grab + drag : grab;
                     QMouseEvent event(type, round->mapFromGlobal(at), at, Qt::LeftButton, Qt::LeftButton,
                                       Qt::NoModifier);
                     QCoreApplication::sendEvent(round, &event);
                 }
                 QCOMPARE(location->windowPosition(), QPoint(-50, -25));
                 import->getGifImage();
                 QVERIFY(import->frames().isEmpty());
             }),
             QStringList());
    QCOMPARE(window->clipModel()->rowCount(), 2);
    clip = clipAt(window->clipModel(), 1);
    QCOMPARE(clip->frames.size(), 4);
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(clip->frames[k]->number, k + 1);
        // Across both imports the files are numbered by one running counter.
        QCOMPARE(fileNumber(clip->frames[k]), fileNumber(frame) + 1 + k);
    }
    // Source (0, 0, 400, 400) centred on the canvas from x = 25; frame 4 shows the green
    // columns at 10 to 39, which land at 35 to 64.
    const QImage last(clip->frames[3]->sourcePath);
    QCOMPARE(last.pixel(24, 225), qRgb(0, 0, 0));
    QCOMPARE(last.pixel(25, 225), qRgb(255, 0, 0));
    QCOMPARE(last.pixel(35, 225), qRgb(0, 255, 0));
    QCOMPARE(last.pixel(65, 225), qRgb(255, 0, 0));
    QCOMPARE(last.pixel(425, 225), qRgb(0, 0, 0));
}

void LoadGifDialogTest::placementIsTakenHoweverItCloses()
{
    // Zoomed in once and closed with the close button: the zoomed placement is used.
    const QString two = makeGif("two.gif", QSize(600, 400), 2);
    importThroughWindow(two, [](GetImgeLocationDialog* location, LoadGifDialog*) {
        location->onBtnZoomIn();
        location->reject();
    });
    QCOMPARE(window->clipModel()->rowCount(), 1);
    const QImage first(clipAt(window->clipModel(), 0)->frames.first()->sourcePath);
    // Shown at 660 x 440 with the window at (105, -5): rows 0 to 439 fill 5 to 444.
    QCOMPARE(first.pixel(225, 4), qRgb(0, 0, 0));
    QCOMPARE(first.pixel(225, 5), qRgb(255, 0, 0));
    QCOMPARE(first.pixel(225, 445), qRgb(0, 0, 0));
}

void LoadGifDialogTest::cancelAfterThreeFrames()
{
    const QString five = makeGif("five.gif", QSize(500, 500), 5);
    QStringList frameFiles;
    importThroughWindow(five, {}, [&](LoadGifDialog* import) {
        if (import->frames().size() < 3)
            return;
        for (ImageObject* frame : import->frames())
            frameFiles << frame->sourcePath;
        import->findChild<QDialogButtonBox*>()->buttons().first()->click();
    });
    QCOMPARE(frameFiles.size(), 3);
    QCOMPARE(window->clipModel()->rowCount(), 0);
    // The frame pictures went; their frame files stay in the temporary directory.
    QCOMPARE(objectFiles(), QStringList());
    for (const QString& file : frameFiles)
        QVERIFY(QFile::exists(file));
}

void LoadGifDialogTest::escapeInThePlacementCancels()
{
    const QString five = makeGif("escape.gif", QSize(200, 150), 5);
    const QStringList before = QDir(AppSettings::tempDir()).entryList(QDir::Files);
    qsizetype converted = 0;
    const QStringList messages = importThroughWindow(
        five, [](GetImgeLocationDialog* location, LoadGifDialog*) { QTest::keyClick(location, Qt::Key_Escape); },
        [&](LoadGifDialog* import) { converted = qMax(converted, import->frames().size()); });
    QCOMPARE(messages, QStringList());
    QCOMPARE(window->clipModel()->rowCount(), 0);
    QCOMPARE(converted, 0);
    // Not a frame file, not a picture file: the temporary directory is as it was.
    QCOMPARE(QDir(AppSettings::tempDir()).entryList(QDir::Files), before);
}

void LoadGifDialogTest::keepTheGifsTiming()
{
    // 20 frames: ten of 0.1 s, then ten of 0.4 s, 5 s in all.
    QFile file(files.filePath("mixed.gif"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    {
        TestGifWriter gif(file, QSize(300, 300));
        for (int k = 0; k < 20; ++k)
            gif.addFrame(QRect(10 * k, 0, 10, 300), k % 2 ? TestGifWriter::Green : TestGifWriter::Blue, 2,
                         k < 10 ? 100 : 400);
        gif.finish();
    }
    file.close();

    // As before unless asked: one record each.
    importThroughWindow(file.fileName(), [](GetImgeLocationDialog* location, LoadGifDialog*) {
        auto* space = location->findChild<QLabel*>("cardSpace");
        QVERIFY(space && space->isVisible());
        QCOMPARE(space->text(), QStringLiteral("20 frames on the card (2 s), 2.2 MB"));
    });
    MediaObject* clip = clipAt(window->clipModel(), 0);
    QCOMPARE(clip->frames.size(), 20);
    QCOMPARE(clip->recordCount(), 20);

    // Kept: the cost is shown before anything is converted; each frame is converted once
    // and fills the records its delay rounds to.
    importThroughWindow(file.fileName(), [](GetImgeLocationDialog* location, LoadGifDialog* import) {
        auto* keep = location->findChild<QCheckBox*>("keepGifTiming");
        QVERIFY(keep && keep->isVisible() && !keep->isChecked());
        QCOMPARE(keep->text(), QStringLiteral("Keep the GIF's timing"));
        QTest::mouseClick(keep, Qt::LeftButton, {}, QPoint(5, keep->height() / 2));
        QCOMPARE(location->findChild<QLabel*>("cardSpace")->text(), QStringLiteral("50 frames on the card (5 s), 5.5 MB"));
        QVERIFY(import->frames().isEmpty());
    });
    QCOMPARE(window->clipModel()->rowCount(), 2);
    clip = clipAt(window->clipModel(), 1);
    QCOMPARE(clip->frames.size(), 20);
    QCOMPARE(clip->recordCount(), 50);
    QCOMPARE(clip->playLengthMs(), qint64(5000));
    QCOMPARE(clip->frames[9]->repeatCount, 1);
    QCOMPARE(clip->frames[10]->repeatCount, 4);
    QCOMPARE(QDir(AppSettings::tempDir()).entryList({"*.buf"}, QDir::Files).size(), 40);  // 20 per import
}

void LoadGifDialogTest::badFilesAddNothing_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a GIF") << "text" << "It is not a GIF picture.";
    QTest::newRow("cut short") << "cut" << "The file ends before frame 3 is complete: it was cut short.";
    QTest::newRow("frame 3 does not decode") << "undecodable" << "Frame 3 of 4 cannot be decoded.";
}

void LoadGifDialogTest::badFilesAddNothing()
{
    QFETCH(QString, damage);
    QFETCH(QString, message);
    const QString path = files.filePath(damage + ".gif");
    QFile file(path);
    {
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (damage == QLatin1String("text")) {
            file.write("hello");
        } else {
            TestGifWriter gif(file, QSize(100, 100));
            gif.addFrame(QRect(0, 0, 100, 100), TestGifWriter::Red);
            gif.addFrame(QRect(0, 0, 10, 10), TestGifWriter::Green);
            const qint64 third = gif.addFrame(QRect(0, 0, 10, 10), TestGifWriter::Blue,
                                              damage == QLatin1String("undecodable") ? 100 : 2);
            gif.addFrame(QRect(0, 0, 10, 10), TestGifWriter::Green);
            gif.finish();
            if (damage == QLatin1String("cut"))
                QVERIFY(file.resize(third + 12));
        }
        file.close();
    }
    bool placed = false;
    const QStringList messages = importThroughWindow(path, [&](GetImgeLocationDialog*, LoadGifDialog*) { placed = true; });
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().startsWith(QStringLiteral("Cannot import the GIF file %1: ").arg(QDir::toNativeSeparators(path))),
             qPrintable(messages.first()));
    QVERIFY2(messages.first().contains(message), qPrintable(messages.first()));
    QVERIFY(messages.first().endsWith(QStringLiteral("Nothing was added to the video list.")));
    QCOMPARE(window->clipModel()->rowCount(), 0);
    // Only a frame that fails after the placement lets the user place the window first.
    QCOMPARE(placed, damage == QLatin1String("undecodable"));

    // A file gone since it was picked starts no import at all.
    LoadGifDialog gone(files.filePath("gone.gif"));
    QCOMPARE(gone.failureMessage(), QStringLiteral("Cannot import the GIF file %1: The file does not exist. Nothing was added to the video list.")
                                        .arg(QDir::toNativeSeparators(files.filePath("gone.gif"))));
    QVERIFY(!gone.timer()->isActive());
}

void LoadGifDialogTest::screenshots()
{
    // With GYROLUME_SCREENSHOTS set to a directory and GYROLUME_SCREENSHOT_GIF to a GIF file,
    // the import is saved there as a user sees it: the placement, the import under way and
    // the clip playing in the round preview.
    const QString dir = qEnvironmentVariable("GYROLUME_SCREENSHOTS");
    const QString gif = qEnvironmentVariable("GYROLUME_SCREENSHOT_GIF");
    if (dir.isEmpty() || gif.isEmpty())
        QSKIP("GYROLUME_SCREENSHOTS or GYROLUME_SCREENSHOT_GIF not set");
    window->resize(1000, 700);
    bool importShot = false;
    importThroughWindow(
        gif,
        [&](GetImgeLocationDialog* location, LoadGifDialog*) {
            location->onBtnZoomIn();
            RoundAreaWidget* round = location->roundWindow();
            round->move(round->pos() + QPoint(-60, 30));
            QTest::qWait(100);
            location->grab().save(dir + "/gif_placement.png");
        },
        [&](LoadGifDialog* import) {
            if (import->frames().size() == 4 && !importShot) {
                importShot = true;
                import->grab().save(dir + "/gif_import_under_way.png");
            }
        });
    QCOMPARE(window->clipModel()->rowCount(), 1);
    auto* table = window->findChild<QTableView*>("tableViewMedia");
    QTRY_VERIFY(table->isVisible() && table->viewport()->width() > 300);
    const QRect cell = table->visualRect(table->model()->index(0, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.topLeft() + QPoint(300, 5));
    QTest::mouseClick(window->findChild<QPushButton*>("btnPlay"), Qt::LeftButton);
    QTest::qWait(700);
    window->grab().save(dir + "/gif_clip_playing.png");
}

QTEST_MAIN(LoadGifDialogTest)
#include "tst_loadgifdialog.moc"
