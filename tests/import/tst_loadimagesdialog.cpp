#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "convert/imageobject.h"
#include "import/loadimagesdialog.h"
#include "import/loadimageshandler.h"
#include "import/loadobjectitem.h"
#include "looper/handlerthread.h"
#include "looper/message.h"
#include "looper/messagecodes.h"
#include "playlist/customtablemodel.h"
#include "support/testtempdir.h"
#include "support/testwindow.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) < 10 && qAbs(a.green() - b.green()) < 10 && qAbs(a.blue() - b.blue()) < 10;
}

// The files picture objects keep in the temporary directory ("<id>_1.png" and so on).
QStringList objectFiles(const QString& suffix)
{
    const QRegularExpression named(QStringLiteral("^\\d+") + QRegularExpression::escape(suffix) + '$');
    return QDir(AppSettings::tempDir()).entryList(QDir::Files, QDir::Name).filter(named);
}

const QColor colours[] = {QColor(220, 40, 40), QColor(40, 180, 60), QColor(40, 70, 220), QColor(230, 200, 30),
                          QColor(30, 200, 210)};

} // namespace

class LoadImagesDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void threeFilesFillTheLabelsInOrder();
    void cancelDuringSecondOfFive();
    void limitIsCheckedOnlyBeforeTheDialog();
    void unreadableFileIsReportedAndSkipped();
    void outcomeNamesDamagedPicturesAndAsks_data();
    void outcomeNamesDamagedPicturesAndAsks();

private:
    QStringList pictureFiles(int count, QSize size = QSize(400, 300));
    // Import Picture as a user does it: picks the files, waits for "Import completed" and
    // presses it, and answers any message with the button named `answer` (OK if none).
    // Returns the texts of the messages.
    QStringList importThroughWindow(const QStringList& names, const QString& answer = QString());

    QTemporaryDir files;
    std::unique_ptr<MainWindow> window;
};

void LoadImagesDialogTest::initTestCase()
{
    useTestTempRoot();
    QVERIFY(files.isValid());
}

void LoadImagesDialogTest::init()
{
    window = showEnglishWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void LoadImagesDialogTest::cleanup()
{
    window.reset();
    QCOMPARE(AppSettings::workerThread->queuedCount(), 0);
    // Every picture went with the window, files included.
    QCOMPARE(objectFiles("_1.png") + objectFiles("_2.png") + objectFiles(".buf"), QStringList());
}

QStringList LoadImagesDialogTest::pictureFiles(int count, QSize size)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colours[i % 5]);
        paths << files.filePath(QStringLiteral("pick%1_%2x%3.png").arg(i).arg(size.width()).arg(size.height()));
        image.save(paths.last());
    }
    return paths;
}

void LoadImagesDialogTest::threeFilesFillTheLabelsInOrder()
{
    const QStringList paths = pictureFiles(3);
    LoadImagesDialog dialog(paths, window.get(), window.get());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Import Image"));
    QCOMPARE(dialog.completedButton()->text(), QStringLiteral("Import completed"));
    QCOMPARE(dialog.cancelButton()->text(), QStringLiteral("Cancel"));
    QVERIFY(!dialog.completedButton()->isEnabled());

    QStringList tips;
    QStringList shownPaths;
    QList<bool> enabledAfterPicture;
    QList<int> rowsAfterPicture;
    const QString shots = qEnvironmentVariable("GYROLUME_SCREENSHOTS");
    // Connected after the dialog: runs once the dialog's own slot has handled the report.
    connect(dialog.handler(), &LoadImagesHandler::handlerMessage, this, [&](Message* msg) {
        auto* item = static_cast<LoadObjectItem*>(msg->obj);
        if (msg->what == MessageCode::ImageLoaded) {
            tips << dialog.tipLabel()->text();
            shownPaths << dialog.pathLabel()->text();
            QCOMPARE(dialog.previewLabel()->pixmap().size(), QSize(300, 300));
            if (item->index == 2 && !shots.isEmpty())
                dialog.grab().save(shots + "/loadimages_mid_import.png");
        } else if (msg->what == MessageCode::ImageReady) {
            enabledAfterPicture << dialog.completedButton()->isEnabled();
            rowsAfterPicture << window->pictureModel()->rowCount();
            if (item->index == item->count)
                QMetaObject::invokeMethod(dialog.completedButton(), "click", Qt::QueuedConnection);
        }
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));

    QCOMPARE(tips, (QStringList{"Importing picture 1 of 3", "Importing picture 2 of 3", "Importing picture 3 of 3"}));
    QCOMPARE(shownPaths.at(1), "Picture file: " + QDir::toNativeSeparators(paths.at(1)));
    QCOMPARE(enabledAfterPicture, (QList<bool>{false, false, true}));
    QCOMPARE(rowsAfterPicture, (QList<int>{1, 2, 3}));
    QVERIFY(dialog.outcomeReport().isEmpty());
    // In the picked order, numbered as they came, each from a copy in the temporary directory.
    for (int i = 0; i < 3; ++i) {
        ImageObject* picture = pictureAt(window->pictureModel(), i);
        QCOMPARE(picture->number, i + 1);
        QVERIFY(picture->sourcePath.startsWith(AppSettings::tempDir()));
        QVERIFY(near(picture->loadThumbnail().pixelColor(30, 30), colours[i]));
    }
}

void LoadImagesDialogTest::cancelDuringSecondOfFive()
{
    const QStringList paths = pictureFiles(5, QSize(1200, 900));
    auto dialog = std::make_unique<LoadImagesDialog>(paths, window.get(), window.get());
    connect(dialog->handler(), &LoadImagesHandler::handlerMessage, this, [&](Message* msg) {
        auto* item = static_cast<LoadObjectItem*>(msg->obj);
        if (msg->what == MessageCode::ImageLoaded && item->index == 2)
            QMetaObject::invokeMethod(dialog->cancelButton(), "click", Qt::QueuedConnection);
    });
    QCOMPARE(dialog->exec(), int(QDialog::Rejected));
    // Destroying the dialog ends the job: what is in the list now is all there will be.
    dialog.reset();
    const int rows = window->pictureModel()->rowCount();
    QVERIFY2(rows == 1 || rows == 2, qPrintable(QString::number(rows)));
    for (int i = 0; i < rows; ++i)
        QVERIFY(near(pictureAt(window->pictureModel(), i)->loadThumbnail().pixelColor(30, 30), colours[i]));
    QCOMPARE(objectFiles("_1.png").size(), rows);
    QCOMPARE(objectFiles(".buf").size(), rows);
    QTest::qWait(300);
    QCOMPARE(window->pictureModel()->rowCount(), rows);
}

QStringList LoadImagesDialogTest::importThroughWindow(const QStringList& names, const QString& answer)
{
    QStringList messages;
    QTimer poll;
    poll.setInterval(20);
    QPointer<QWidget> handled;
    connect(&poll, &QTimer::timeout, this, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto* picker = qobject_cast<QFileDialog*>(modal)) {
            if (handled == picker)
                return;
            handled = picker;
            picker->setDirectory(files.path());
            QString line;
            for (const QString& name : names)
                line += '"' + name + "\" ";
            picker->findChild<QLineEdit*>("fileNameEdit")->setText(line.trimmed());
            static_cast<QDialog*>(picker)->accept();
        } else if (auto* import = qobject_cast<LoadImagesDialog*>(modal)) {
            if (import->completedButton()->isEnabled())
                QTest::mouseClick(import->completedButton(), Qt::LeftButton);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (handled == box)
                return;
            handled = box;
            messages << box->text();
            QAbstractButton* press = box->button(QMessageBox::Ok);
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == answer)
                    press = button;
            }
            if (press)
                QTest::mouseClick(press, Qt::LeftButton);
            else
                box->reject();
        }
    });
    poll.start();
    window->actionOpenImage->trigger();
    return messages;
}

void LoadImagesDialogTest::limitIsCheckedOnlyBeforeTheDialog()
{
    const QStringList sources = pictureFiles(3);
    for (int i = 0; i < 49; ++i)
        window->addPictureObject(new ImageObject(0, sources.first(), 5.0, ImageObject::PictureKind));
    QStringList names;
    for (const QString& path : sources)
        names << QFileInfo(path).fileName();
    // 49 pictures: the three picked all join, beyond the limit.
    QCOMPARE(importThroughWindow(names), QStringList());
    QCOMPARE(window->pictureModel()->rowCount(), 52);
    QCOMPARE(pictureAt(window->pictureModel(), 51)->number, 52);
    QVERIFY(near(pictureAt(window->pictureModel(), 50)->loadThumbnail().pixelColor(30, 30), colours[1]));
    QCOMPARE(QDir(AppSettings::openDir).canonicalPath(), QDir(files.path()).canonicalPath());
    // Now the list is full: only the message, no file dialog.
    QCOMPARE(importThroughWindow(names), QStringList{QStringLiteral("The picture list can hold at most 50 pictures!")});
    QCOMPARE(window->pictureModel()->rowCount(), 52);
}

void LoadImagesDialogTest::unreadableFileIsReportedAndSkipped()
{
    const QStringList sources = pictureFiles(2);
    QFile bad(files.filePath("broken.jpg"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("definitely not a JPEG");
    bad.close();
    const QStringList messages = importThroughWindow(
        {QFileInfo(sources[0]).fileName(), "broken.jpg", QFileInfo(sources[1]).fileName()});
    QCOMPARE(window->pictureModel()->rowCount(), 2);
    QVERIFY(near(pictureAt(window->pictureModel(), 0)->loadThumbnail().pixelColor(30, 30), colours[0]));
    QVERIFY(near(pictureAt(window->pictureModel(), 1)->loadThumbnail().pixelColor(30, 30), colours[1]));
    QCOMPARE(messages.size(), 1);
    const QString& report = messages.first();
    QVERIFY2(report.contains(QDir::toNativeSeparators(bad.fileName())), qPrintable(report));
    QVERIFY2(!report.contains(QFileInfo(sources[0]).fileName()), qPrintable(report));
    QVERIFY2(report.contains("not a PNG or JPG picture") || report.contains("damaged"), qPrintable(report));
}

void LoadImagesDialogTest::outcomeNamesDamagedPicturesAndAsks_data()
{
    // Files by kind: "good" a plain JPG, "cut" a JPG cut to a third of its bytes (it decodes,
    // the rest grey), "text" a text file named .png. In the message, {name} stands for that
    // file's path.
    QTest::addColumn<QStringList>("picked");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QString>("message");
    const QString notRead = "%1 file(s) could not be read and were not imported:\n";
    const QString check = "\nCheck these files, or save them again as PNG or JPG, and import them again.\n\n";
    const QString damaged = "\n\nThese pictures were decoded with errors: part of each is missing and shows as a "
                            "grey or black area:\n";
    const QString ask = "\nKeep them in the picture list, or remove them?";
    const QString notPicture = "{text.png}: it is not a PNG or JPG picture";
    QTest::newRow("only a non-picture")
        << QStringList{"text"} << "" << QStringList{}
        << notRead.arg(1) + notPicture + check + "No picture was imported.";
    QTest::newRow("a non-picture among pictures")
        << QStringList{"good1", "text", "good2"} << "" << QStringList{"good1", "good2"}
        << notRead.arg(1) + notPicture + check + "2 picture(s) were imported.";
    QTest::newRow("damaged, kept") << QStringList{"good1", "cut1"} << "Keep" << QStringList{"good1", "cut1"}
                                   << "2 picture(s) were imported." + damaged + "{cut1.jpg}" + ask;
    QTest::newRow("damaged, removed") << QStringList{"good1", "cut1", "good2"} << "Remove"
                                      << QStringList{"good1", "good2"}
                                      << "3 picture(s) were imported." + damaged + "{cut1.jpg}" + ask;
    QTest::newRow("all damaged, removed") << QStringList{"cut1", "cut2"} << "Remove" << QStringList{}
                                          << "2 picture(s) were imported." + damaged + "{cut1.jpg}\n{cut2.jpg}" + ask;
    QTest::newRow("every kind, closed") << QStringList{"text", "cut1", "good1"} << "" << QStringList{"cut1", "good1"}
                                        << notRead.arg(1) + notPicture + check + "2 picture(s) were imported."
                                               + damaged + "{cut1.jpg}" + ask;
}

void LoadImagesDialogTest::outcomeNamesDamagedPicturesAndAsks()
{
    QFETCH(QStringList, picked);
    QFETCH(QString, answer);
    QFETCH(QStringList, kept);
    QFETCH(QString, message);
    // A photograph-like picture, so that its JPG has data to lose.
    QImage photo(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x % 256, (y * 3) % 256, (x * y) % 256));
    QStringList names;
    for (const QString& kind : picked) {
        names << kind + (kind == "text" ? ".png" : ".jpg");
        const QString path = files.filePath(names.last());
        message.replace('{' + names.last() + '}', QDir::toNativeSeparators(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (kind == "text") {
            file.write("These are my notes, not a picture.\n");
            continue;
        }
        QImage picture = photo;
        if (kind.startsWith("good"))
            picture.fill(colours[kind.back().digitValue()]);
        QVERIFY(picture.save(&file, "JPG", 95));
        if (kind.startsWith("cut"))
            QVERIFY(file.resize(file.size() / 3));
    }
    const QDir temp(AppSettings::tempDir());
    const qsizetype copiesBefore = temp.entryList({"image_*"}, QDir::Files).size();

    QCOMPARE(importThroughWindow(names, answer), message.isEmpty() ? QStringList() : QStringList{message});
    // The pictures kept are in the list in the picked order; the removed ones took their
    // files and the window's copy with them.
    QCOMPARE(window->pictureModel()->rowCount(), kept.size());
    for (int row = 0; row < kept.size(); ++row) {
        ImageObject* picture = pictureAt(window->pictureModel(), row);
        QCOMPARE(picture->number, row + 1);
        if (kept[row].startsWith("good"))
            QVERIFY(near(picture->loadThumbnail().pixelColor(30, 30), colours[kept[row].back().digitValue()]));
    }
    QCOMPARE(objectFiles("_1.png").size(), kept.size());
    QCOMPARE(objectFiles(".buf").size(), kept.size());
    QCOMPARE(temp.entryList({"image_*"}, QDir::Files).size(), copiesBefore + kept.size());
}

QTEST_MAIN(LoadImagesDialogTest)
#include "tst_loadimagesdialog.moc"
