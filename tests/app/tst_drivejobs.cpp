#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "app/playmediahandler.h"
#include "app/progressdialog.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "convert/polarconversion.h"
#include "convert/polarrender.h"
#include "device/drivelist.h"
#include "device/effectfilereader.h"
#include "device/getsavefiledialog.h"
#include "device/readbackwriter.h"
#include "device/selectusbpathdialog.h"
#include "import/loadimagesdialog.h"
#include "playlist/customtablemodel.h"
#include "support/testtempdir.h"
#include "support/testwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Counts a job's end signal as the window's thread receives it, after the window's own
// slot. The worker may emit it while the progress box is still closing, before a test
// could start waiting; a spy's wait() would then wait for a second one, and a spy
// connected directly would be filled on the worker while the test reads it.
template<typename Signal>
std::shared_ptr<int> countOnWindowThread(MainWindow& window, Signal signal)
{
    auto count = std::make_shared<int>(0);
    QObject::connect(window.handler(), signal, &window, [count] { ++*count; }, Qt::QueuedConnection);
    return count;
}

// Answers the modal windows the window opens, in order: each step waits for a modal
// window of its class and acts on it. A modal window of another class fails the test.
class DialogScript : public QObject
{
public:
    using Action = std::function<void(QWidget*)>;
    void expect(const char* className, Action action) { steps.append({className, std::move(action)}); }
    void start()
    {
        // Only the script started last answers: an earlier one left running would
        // otherwise say yes to the questions a later one is there to answer.
        current = this;
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (current != this || !modal || modal == lastHandled)
                return;
            // A question before a job ("replace the playlist?") is answered yes unless a
            // step is for a message box.
            auto* question = qobject_cast<QMessageBox*>(modal);
            if (question && question->button(QMessageBox::Yes)
                && (steps.isEmpty() || !modal->inherits(steps.first().first))) {
                lastHandled = modal;
                question->button(QMessageBox::Yes)->click();
                return;
            }
            if (steps.isEmpty())
                return;
            // The progress box of a job comes and goes by itself unless a step is for it.
            if (!modal->inherits(steps.first().first) && modal->inherits("ProgressDialog"))
                return;
            const auto step = steps.takeFirst();
            seen << QString::fromLatin1(modal->metaObject()->className());
            if (modal->inherits(step.first))
                step.second(modal);
            else if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            lastHandled = modal;
        });
        timer.start();
    }
    bool done() const { return steps.isEmpty(); }
    QStringList seen;

private:
    QList<QPair<const char*, Action>> steps;
    QTimer timer;
    QPointer<QWidget> lastHandled;
    static inline QPointer<DialogScript> current;
};

// The drive dialog: the drive at `path` is chosen.
void expectDrive(DialogScript& script, const QString& path)
{
    script.expect("SelectUsbPathDialog", [path](QWidget* dialog) {
        static_cast<SelectUsbPathDialog*>(dialog)->addFolder(path);
        static_cast<SelectUsbPathDialog*>(dialog)->onBtnOkClick();
    });
}

// With GYROLUME_SCREENSHOTS set, the widget is saved there as NAME.png.
void screenshot(QWidget* widget, const QString& name)
{
    const QString dir = qEnvironmentVariable("GYROLUME_SCREENSHOTS");
    if (!dir.isEmpty())
        widget->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// Import Picture: the file dialog picks `names` in `folder`, the import dialog is closed
// once every picture is converted.
void expectImport(DialogScript& script, const QString& folder, const QString& names)
{
    script.expect("QFileDialog", [folder, names](QWidget* widget) {
        auto* dialog = static_cast<QFileDialog*>(widget);
        dialog->setDirectory(folder);
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(names);
        static_cast<QDialog*>(dialog)->accept();
    });
    script.expect("LoadImagesDialog", [](QWidget* widget) {
        auto* dialog = static_cast<LoadImagesDialog*>(widget);
        auto* poll = new QTimer(dialog);
        QObject::connect(poll, &QTimer::timeout, dialog, [dialog] {
            if (dialog->completedButton()->isEnabled())
                dialog->completedButton()->click();
        });
        poll->start(20);
    });
}

// Download: the drive at `drive`, the name `name`, the result box answered.
void expectDownload(DialogScript& script, const QString& drive, const QString& name, QString* result)
{
    expectDrive(script, drive);
    script.expect("GetSaveFileDialog", [name](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("txtFileName")->setText(name);
        static_cast<GetSaveFileDialog*>(dialog)->onBtnOkClick();
    });
    script.expect("QMessageBox", [result](QWidget* box) {
        *result = static_cast<QMessageBox*>(box)->text();
        static_cast<QDialog*>(box)->accept();
    });
}

// An effect file as the reader sees it, with every record fetched.
struct ReadFile
{
    EffectFile::Contents contents;
    QList<QByteArray> pictures;
    QList<QList<QByteArray>> clips;
};

ReadFile readWhole(const QString& path, int ledCount, int lineNumber)
{
    ReadFile read;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return read;
    read.contents = EffectFile::readLayout(file, {ledCount, lineNumber, {}, {}});
    for (const EffectFile::Picture& picture : read.contents.pictures)
        read.pictures.append(EffectFile::readRecord(file, read.contents, picture.offset));
    for (const EffectFile::Clip& clip : read.contents.clips) {
        read.clips.append(QList<QByteArray>());
        for (int m = 0; m < clip.frames; ++m)
            read.clips.last().append(EffectFile::readRecord(file, read.contents, read.contents.frameOffset(clip, m)));
    }
    return read;
}

void reject(QWidget* widget) { static_cast<QDialog*>(widget)->reject(); }
void pressYes(QWidget* box) { static_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click(); }
void pressNo(QWidget* box) { static_cast<QMessageBox*>(box)->button(QMessageBox::No)->click(); }
void accept(QWidget* widget) { static_cast<QDialog*>(widget)->accept(); }

// The window speaks English in these tests, whatever the machine's locale.
struct EnglishWindow : MainWindow
{
    EnglishWindow() { chooseStartLanguage(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

// A read-back file for 36 LEDs and 360 lines: `pictures` pictures (times 5, 1, 1, ...)
// and one clip of `frames` frames looping 3 times.
void writeFactoryFile(const QString& path, int pictures, int frames)
{
    QList<EffectFile::ReadBackPictureIn> stills;
    for (int i = 0; i < pictures; ++i)
        stills.append({i == 0 ? 5 : 1, QByteArray(38880, char(i + 1))});
    QList<EffectFile::ReadBackClipIn> clips;
    if (frames > 0)
        clips.append({3, QList<QByteArray>(frames, QByteArray(38880, '\x40'))});
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(EffectFile::writeReadBack(file, stills, clips, 38880).isEmpty());
}

} // namespace

class DriveJobsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTestTempRoot();
        QImage picture(320, 240, QImage::Format_RGB32);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                picture.setPixel(x, y, qRgb(x % 256, y, (x * y) % 256));
        QVERIFY(picture.save(sources.filePath("a.png")));
        picture.fill(Qt::magenta);
        QVERIFY(picture.save(sources.filePath("b.png")));
    }

    void init()
    {
        AppSettings::ledCount = AppSettings::defaultLedCount;
        AppSettings::lineNumber = AppSettings::defaultLineNumber;
        appDir = std::make_unique<QTemporaryDir>();
        AppSettings::appDir = appDir->path();
        AppSettings::language = AppSettings::NoLanguage;  // each window installs its tables anew
    }

    void restoreWithoutFactoryFile()
    {
        EnglishWindow window;
        QCOMPARE(window.addPictureFile(sources.filePath("a.png")), MainWindow::AddStatus::Added);
        DialogScript script;
        QString message;
        script.expect("QMessageBox", [&message](QWidget* box) {
            message = static_cast<QMessageBox*>(box)->text();
            accept(box);
        });
        script.start();
        window.onActionRestoreFactory();
        QVERIFY(script.done());
        QCOMPARE(message, QString("The system default file does not exist!\nThe fan was set to the factory blade of "
                                  "36 LEDs and 360 lines all the same."));
        QCOMPARE(AppSettings::ledCount, 36);  // changed all the same
        QCOMPARE(AppSettings::lineNumber, 360);
        QCOMPARE(window.pictureModel()->rowCount(), 1);
    }

    void restoreReadsTheFactoryFile()
    {
        writeFactoryFile(appDir->filePath("default.bin"), 2, 4);
        EnglishWindow window;
        QCOMPARE(window.addPictureFile(sources.filePath("a.png")), MainWindow::AddStatus::Added);
        DialogScript script;
        script.expect("QMessageBox", pressYes);  // the playlist may go
        script.start();
        window.onActionRestoreFactory();  // modal until the job has replied
        QVERIFY(script.done());
        QCOMPARE(window.pictureModel()->rowCount(), 2);
        QCOMPARE(pictureAt(window.pictureModel(), 0)->number, 1);
        QCOMPARE(pictureAt(window.pictureModel(), 1)->number, 2);
        QCOMPARE(pictureAt(window.pictureModel(), 0)->showTime, 1.0);
        QCOMPARE(pictureAt(window.pictureModel(), 1)->buffer().size(), 38880);
        QCOMPARE(pictureAt(window.pictureModel(), 1)->kind, int(ImageObject::ReadBackPictureKind));
        QCOMPARE(window.clipModel()->rowCount(), 1);
        MediaObject* clip = clipAt(window.clipModel(), 0);
        QCOMPARE(clip->loopCount, 3);
        QCOMPARE(clip->frames.size(), 4);
        QCOMPARE(clip->frames.last()->number, 4);
        QVERIFY(!window.findChild<QPushButton*>("btnDelImage")->isEnabled());
        QVERIFY(!window.progressDialog());
    }

    void cancelledRestoreLeavesAnEmptyPlaylist()
    {
        writeFactoryFile(appDir->filePath("default.bin"), 50, 200);
        EnglishWindow window;
        QCOMPARE(window.addPictureFile(sources.filePath("a.png")), MainWindow::AddStatus::Added);
        const std::shared_ptr<int> over = countOnWindowThread(window, &PlayMediaHandler::restoreFactoryOver);
        DialogScript script;
        script.expect("QMessageBox", pressYes);
        script.expect("ProgressDialog", reject);
        script.start();
        window.onActionRestoreFactory();
        QTRY_COMPARE_WITH_TIMEOUT(*over, 1, 20000);  // the job stops at its next record and reports
        QCOMPARE(window.pictureModel()->rowCount(), 0);
        QCOMPARE(window.clipModel()->rowCount(), 0);
    }

    void downloadThenPreviewGivesThePlaylistBack()
    {
        QTemporaryDir drive;
        EnglishWindow window;
        QCOMPARE(window.addPictureFile(sources.filePath("a.png")), MainWindow::AddStatus::Added);
        QCOMPARE(window.addPictureFile(sources.filePath("b.png")), MainWindow::AddStatus::Added);
        pictureAt(window.pictureModel(), 0)->showTime = 2.5;
        pictureAt(window.pictureModel(), 1)->showTime = 30.0;  // more than the file holds
        auto* clip = new MediaObject(1, "clip");
        clip->loopCount = 7;
        for (const char* name : {"a.png", "b.png"}) {
            auto* frame = new ImageObject(int(clip->frames.size()) + 1, QString(), 0.2, ImageObject::GifFrameKind);
            convertToPolar(QImage(sources.filePath(name)), frame);
            clip->frames.append(frame);
        }
        window.addClipObject(clip);
        window.drives()->AddDisk(drive.path());

        auto download = [&](const QString& name, bool timeQuestion) -> QString {
            DialogScript script;
            if (timeQuestion)
                script.expect("QMessageBox", pressYes);  // 30 s is written as 25.5 s
            expectDrive(script, drive.path());
            script.expect("GetSaveFileDialog", [name](QWidget* dialog) {
                dialog->findChild<QLineEdit*>("txtFileName")->setText(name);
                static_cast<GetSaveFileDialog*>(dialog)->onBtnOkClick();
            });
            QString result;
            script.expect("QMessageBox", [&result](QWidget* box) {
                result = static_cast<QMessageBox*>(box)->text();
                accept(box);
            });
            script.start();
            window.onActionDownToUsb();  // modal until the result box was answered
            return script.done() ? result : QString("dialogs missing: ") + script.seen.join(", ");
        };
        QSignalSpy progress(window.handler(), &PlayMediaHandler::jobProgress);
        const QString result = download("Z1", true);
        QVERIFY2(result.contains(drive.filePath("Z1.bin")), qPrintable(result));
        QVERIFY(!progress.isEmpty());  // records written, of all
        QCOMPARE(progress.last().at(0).toLongLong(), 4);
        QCOMPARE(progress.last().at(1).toLongLong(), 4);
        QFile written(drive.filePath("Z1.bin"));
        QCOMPARE(written.size(), qint64(4096 + 4 * 114688));
        const QByteArray firstRecord = pictureAt(window.pictureModel(), 0)->buffer();

        DialogScript script;
        expectDrive(script, drive.path());
        script.expect("QMessageBox", pressYes);
        script.start();
        window.onActionPreviewFromUsb();
        QVERIFY(script.done());
        QCOMPARE(window.pictureModel()->rowCount(), 2);
        QCOMPARE(pictureAt(window.pictureModel(), 0)->showTime, 2.5);
        QCOMPARE(pictureAt(window.pictureModel(), 1)->showTime, 25.5);
        QCOMPARE(pictureAt(window.pictureModel(), 0)->buffer(), firstRecord);
        QCOMPARE(window.clipModel()->rowCount(), 1);
        QCOMPARE(clipAt(window.clipModel(), 0)->loopCount, 7);
        QCOMPARE(clipAt(window.clipModel(), 0)->frames.size(), 2);

        // Downloading what was previewed writes the same file again.
        QVERIFY(download("Z2", false).contains("Z2.bin"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QFile again(drive.filePath("Z2.bin"));
        QVERIFY(again.open(QIODevice::ReadOnly));
        QVERIFY(again.readAll() == written.readAll());
    }

    void cancelledPreviewKeepsThePlaylist()
    {
        QTemporaryDir drive;
        AppSettings::ledCount = 36;
        AppSettings::lineNumber = 360;
        writeFactoryFile(drive.filePath("Z1.bin"), 50, 200);
        EnglishWindow window;
        QCOMPARE(window.addPictureFile(sources.filePath("a.png")), MainWindow::AddStatus::Added);
        const std::shared_ptr<int> over = countOnWindowThread(window, &PlayMediaHandler::previewUsbOver);
        DialogScript script;
        expectDrive(script, drive.path());
        script.expect("QMessageBox", pressYes);
        script.expect("ProgressDialog", reject);
        script.start();
        window.onActionPreviewFromUsb();
        QTRY_COMPARE_WITH_TIMEOUT(*over, 1, 20000);
        QCOMPARE(window.pictureModel()->rowCount(), 1);
        QCOMPARE(pictureAt(window.pictureModel(), 0)->kind, int(ImageObject::PictureKind));
    }

    void previewOfADriveWithoutEffectFile()
    {
        QTemporaryDir drive;
        EnglishWindow window;
        DialogScript script;
        expectDrive(script, drive.path());
        QString message;
        script.expect("QMessageBox", [&message](QWidget* box) {
            message = static_cast<QMessageBox*>(box)->text();
            accept(box);
        });
        script.start();
        window.onActionPreviewFromUsb();
        QVERIFY(script.done());
        QCOMPARE(message, QString("No effect of U disk file, please select another U disk!"));
    }

    void readsReplaceThePlaylistOnlyWhenTheUserAgrees()
    {
        QTemporaryDir drive;
        writeFactoryFile(appDir->filePath("default.bin"), 2, 3);
        {
            QFile z1(drive.filePath("Z1.bin"));
            QVERIFY(z1.open(QIODevice::WriteOnly));
            QVERIFY(EffectFile::writeReadBack(z1, {{5, QByteArray(38880, '\x30')}}, {}, 38880).isEmpty());
        }
        EnglishWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.addPictureFile(sources.filePath("a.png")), MainWindow::AddStatus::Added);
        auto* clip = new MediaObject(0, "clip");
        window.addClipObject(clip);
        ImageObject* mine = pictureAt(window.pictureModel(), 0);
        auto* resetButton = window.findChild<QToolBar*>("mainToolBar")->widgetForAction(window.actionRestoreFactory);
        auto statusBarShows = [&window] {
            QString geometry;
            for (QLabel* label : window.statusBar()->findChildren<QLabel*>())
                geometry += label->text().startsWith(" L") ? label->text() : QString();
            return geometry;
        };

        // Reset, answered No: the playlist and the blade stay as they are. The question
        // says what the blade would become.
        QString question;
        DialogScript keep;
        keep.expect("QMessageBox", [&question](QWidget* box) {
            question = static_cast<QMessageBox*>(box)->text();
            QTest::mouseClick(static_cast<QMessageBox*>(box)->button(QMessageBox::No), Qt::LeftButton);
        });
        keep.start();
        QTest::mouseClick(resetButton, Qt::LeftButton);
        QVERIFY(keep.done());
        QCOMPARE(question, QString("Reset sets the fan to the factory blade of 36 LEDs and 360 lines (now 112 LEDs and "
                                   "450 lines); pictures imported afterwards are made for it.\n\nThe playlist holds 1 "
                                   "picture(s) and 1 clip(s). What is read replaces them all. Continue?"));
        QCOMPARE(pictureAt(window.pictureModel(), 0), mine);
        QCOMPARE(clipAt(window.clipModel(), 0), clip);
        QCOMPARE(AppSettings::ledCount, AppSettings::defaultLedCount);
        QCOMPARE(statusBarShows(), QString(" LINE:450 LED:112"));

        // Preview, answered No: likewise; the drive's file is not read.
        DialogScript keepToo;
        expectDrive(keepToo, drive.path());
        keepToo.expect("QMessageBox", pressNo);
        keepToo.start();
        window.onActionPreviewFromUsb();
        QVERIFY(keepToo.done());
        QCOMPARE(window.pictureModel()->rowCount(), 1);
        QCOMPARE(pictureAt(window.pictureModel(), 0), mine);

        // Yes: the factory effect takes the playlist's place, and the status bar shows its
        // blade. Once it is the factory blade, the question has nothing to say about it.
        DialogScript replace;
        replace.expect("QMessageBox", pressYes);
        replace.expect("QMessageBox", [&question](QWidget* box) {
            question = static_cast<QMessageBox*>(box)->text();
            pressNo(box);
        });
        replace.start();
        QTest::mouseClick(resetButton, Qt::LeftButton);
        QCOMPARE(window.pictureModel()->rowCount(), 2);
        QCOMPARE(clipAt(window.clipModel(), 0)->frames.size(), 3);
        QCOMPARE(AppSettings::ledCount, 36);
        QCOMPARE(statusBarShows(), QString(" LINE:360 LED:36"));
        QTest::mouseClick(resetButton, Qt::LeftButton);
        QVERIFY(replace.done());
        QCOMPARE(question, QString("The playlist holds 2 picture(s) and 1 clip(s). What is read replaces them all. Continue?"));
    }

    void downloadAsksBeforeWritingWhatTheUserMayNotWant()
    {
        QTemporaryDir drive;
        EnglishWindow window;
        window.drives()->AddDisk(drive.path());
        auto nameIs = [](const QString& name) {
            return [name](QWidget* dialog) {
                dialog->findChild<QLineEdit*>("txtFileName")->setText(name);
                static_cast<GetSaveFileDialog*>(dialog)->onBtnOkClick();
            };
        };
        QStringList asked;
        auto answer = [&asked](bool yes) {
            return [&asked, yes](QWidget* widget) {
                auto* box = static_cast<QMessageBox*>(widget);
                asked << box->text();
                if (!box->button(QMessageBox::Yes))
                    accept(box);  // not a question: the test fails on its text
                else
                    yes ? pressYes(box) : pressNo(box);
            };
        };

        // An empty playlist: said so before a drive is chosen; No writes nothing.
        DialogScript empty;
        empty.expect("QMessageBox", answer(false));
        empty.start();
        window.onActionDownToUsb();
        QVERIFY(empty.done());
        QCOMPARE(asked.value(0), QString("The playlist is empty: the file would hold no picture and the display "
                                       "would show nothing. Download all the same?"));
        QVERIFY(QDir(drive.path()).isEmpty());

        // Times the file cannot hold: each such picture and what it gets; No writes nothing.
        QCOMPARE(window.addPictureFile(sources.filePath("a.png")), MainWindow::AddStatus::Added);
        QCOMPARE(window.addPictureFile(sources.filePath("b.png")), MainWindow::AddStatus::Added);
        QCOMPARE(window.addPictureFile(sources.filePath("b.png")), MainWindow::AddStatus::Added);
        pictureAt(window.pictureModel(), 0)->showTime = 0;
        pictureAt(window.pictureModel(), 1)->showTime = 25.5;  // held exactly
        pictureAt(window.pictureModel(), 2)->showTime = 99.9;
        DialogScript times;
        times.expect("QMessageBox", answer(false));
        times.start();
        window.onActionDownToUsb();
        QVERIFY(times.done());
        QCOMPARE(asked.value(1), QString("The file holds show times from 0.1 s to 25.5 s. These pictures will get "
                                       "another time:\nPicture 1: 0 s becomes 0 s\nPicture 3: 99.9 s becomes "
                                       "25.5 s\nDownload all the same?"));
        QVERIFY(QDir(drive.path()).isEmpty());

        // A file of the same name on the drive: kept on No, replaced on Yes.
        pictureAt(window.pictureModel(), 0)->showTime = 5;
        pictureAt(window.pictureModel(), 2)->showTime = 5;
        QFile old(drive.filePath("Z1.bin"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the user's other effect");
        old.close();
        DialogScript keep;
        expectDrive(keep, drive.path());
        keep.expect("GetSaveFileDialog", nameIs("Z1"));
        keep.expect("QMessageBox", answer(false));
        keep.start();
        window.onActionDownToUsb();
        QVERIFY(keep.done());
        QCOMPARE(asked.value(2), QString("%1 is already on the drive. Replace it?")
                                   .arg(QDir::toNativeSeparators(drive.filePath("Z1.bin"))));
        QCOMPARE(QFileInfo(old).size(), qint64(23));
        DialogScript replace;
        expectDrive(replace, drive.path());
        replace.expect("GetSaveFileDialog", nameIs("Z1"));
        replace.expect("QMessageBox", answer(true));
        replace.expect("QMessageBox", [&asked](QWidget* box) {  // the result
            asked << static_cast<QMessageBox*>(box)->text();
            accept(box);
        });
        replace.start();
        window.onActionDownToUsb();
        QVERIFY(replace.done());
        QVERIFY2(asked.value(4).startsWith("Download success"), qPrintable(asked.join(" / ")));
        QCOMPARE(QFileInfo(old).size(), qint64(4096 + 3 * 114688));
    }

    void folderDialogSaysWhatItChoosesFor()
    {
        QTemporaryDir drive;
        EnglishWindow window;
        QCOMPARE(window.addPictureFile(sources.filePath("a.png")), MainWindow::AddStatus::Added);
        QString title;
        QString startedIn;
        auto chooseFolder = [] {
            return [](QWidget* widget) {
                // Later: the folder dialog is modal in turn, and the script must answer it.
                QTimer::singleShot(0, widget, [widget] {
                    static_cast<SelectUsbPathDialog*>(widget)->onBtnFolderClick();
                    static_cast<SelectUsbPathDialog*>(widget)->onBtnOkClick();
                });
            };
        };
        auto fileDialog = [&](const QString& folder) {
            return [&, folder](QWidget* widget) {
                auto* dialog = static_cast<QFileDialog*>(widget);
                title = dialog->windowTitle();
                startedIn = dialog->directory().absolutePath();
                dialog->setDirectory(folder);
                // Typed, as a user does: selectFile() leaves a focused name field as it is,
                // and the dialog would then answer the folder above.
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText(folder);
                static_cast<QDialog*>(dialog)->accept();
            };
        };
        DialogScript preview;
        preview.expect("SelectUsbPathDialog", chooseFolder());
        preview.expect("QFileDialog", fileDialog(drive.path()));
        preview.expect("QMessageBox", accept);  // no effect file there
        preview.start();
        window.onActionPreviewFromUsb();
        QVERIFY2(preview.done(), qPrintable(preview.seen.join(", ")));
        QCOMPARE(title, QString("Choose the folder that holds the effect file Z1.bin"));

        // The download's dialog says so, and starts where the last folder was chosen.
        DialogScript download;
        download.expect("SelectUsbPathDialog", chooseFolder());
        download.expect("QFileDialog", fileDialog(drive.path()));
        download.expect("GetSaveFileDialog", reject);
        download.start();
        window.onActionDownToUsb();
        QVERIFY2(download.done(), qPrintable(download.seen.join(", ")));
        QCOMPARE(title, QString("Choose the folder to save the effect file in"));
        QCOMPARE(startedIn, QDir(drive.path()).absolutePath());
    }

    void driveDialogStartsWhereTheLastJobWasDone()
    {
        QTemporaryDir stickA, stickB, folder;
        EnglishWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.drives()->AddDisk(stickA.path());
        window.drives()->AddDisk(stickB.path());
        QCOMPARE(window.addPictureFile(sources.filePath("a.png")), MainWindow::AddStatus::Added);
        auto* toolBar = window.findChild<QToolBar*>("mainToolBar");
        // Clicks `action`, notes how the drive dialog opens, lets `choose` answer it (Cancel
        // if none) and `more` add the steps that follow.
        struct Opened
        {
            QString current;
            QStringList paths;
            QString note;  // empty while hidden
        };
        using Choice = std::function<void(SelectUsbPathDialog*)>;
        auto openDialog = [&](QAction* action, const Choice& choose, const std::function<void(DialogScript&)>& more) {
            Opened opened;
            DialogScript script;
            script.expect("SelectUsbPathDialog", [&](QWidget* widget) {
                auto* dialog = static_cast<SelectUsbPathDialog*>(widget);
                auto* note = dialog->findChild<QLabel*>("previewNote");
                opened = {dialog->selectedPath(), dialog->paths(), note && note->isVisible() ? note->text() : QString()};
                choose ? choose(dialog) : dialog->reject();
            });
            if (more)
                more(script);
            script.start();
            QTest::mouseClick(toolBar->widgetForAction(action), Qt::LeftButton);
            if (!script.done())
                opened.current = "dialogs missing: " + script.seen.join(", ");
            return opened;
        };
        auto pressOk = [](SelectUsbPathDialog* dialog) {
            QTest::mouseClick(dialog->findChild<QPushButton*>("okBut"), Qt::LeftButton);
        };

        // Download into a folder picked with "Choose folder...".
        const Opened download = openDialog(window.actionDownload, [](SelectUsbPathDialog* dialog) {
            QTimer::singleShot(0, dialog, [dialog] {  // the folder dialog is modal in turn
                QTest::mouseClick(dialog->findChild<QPushButton*>("folderBut"), Qt::LeftButton);
                QTest::mouseClick(dialog->findChild<QPushButton*>("okBut"), Qt::LeftButton);
            });
        }, [&folder](DialogScript& script) {
            script.expect("QFileDialog", [&folder](QWidget* dialog) {
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText(folder.path());
                static_cast<QDialog*>(dialog)->accept();
            });
            script.expect("GetSaveFileDialog", [](QWidget* dialog) {
                dialog->findChild<QLineEdit*>("txtFileName")->setText("Z1");
                static_cast<GetSaveFileDialog*>(dialog)->onBtnOkClick();
            });
            script.expect("QMessageBox", accept);  // the result
        });
        QCOMPARE(download.note, QString());
        QVERIFY(QFile::exists(folder.filePath("Z1.bin")));

        // Preview starts in that folder and says which file it reads; Ok reads it.
        const QString chosen = QDir::cleanPath(folder.path());
        const Opened preview = openDialog(window.actionPreview, [&](SelectUsbPathDialog* dialog) {
            dialog->selectedPath() == chosen ? pressOk(dialog) : dialog->reject();
        }, {});
        QCOMPARE(preview.current, chosen);
        QCOMPARE(preview.note, QString("Preview reads only the file \"Z1.bin\" at the top of the chosen drive or folder, "
                                       "not in its subfolders."));
        QCOMPARE(pictureAt(window.pictureModel(), 0)->kind, int(ImageObject::ReadBackPictureKind));

        // A drive picked in one job is where the next starts.
        openDialog(window.actionPreview, [pressOk](SelectUsbPathDialog* dialog) {
            auto* list = dialog->findChild<QListWidget*>("listWidget");
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
            pressOk(dialog);
        }, [](DialogScript& script) { script.expect("QMessageBox", accept); });  // no effect file there
        QCOMPARE(openDialog(window.actionDownload, {}, {}).current, stickB.path());

        // A drive that went is not offered again, even where its folder stays, nor is a
        // folder that was deleted: the dialog starts at the first drive.
        window.drives()->DeleteDisk(stickB.path());
        QCOMPARE(openDialog(window.actionPreview, {}, {}).current, stickA.path());
        window.drives()->rememberChoice(folder.path());
        QVERIFY(folder.remove());
        QCOMPARE(openDialog(window.actionPreview, {}, {}).paths, QStringList{stickA.path()});
    }

    void importDownloadPreviewResetImport()
    {
        // The whole road through the window's own actions and dialogs.
        QTemporaryDir drive;
        writeFactoryFile(appDir->filePath("default.bin"), 2, 3);
        EnglishWindow window;
        window.drives()->AddDisk(drive.path());

        // Import two pictures and download them.
        DialogScript importing;
        expectImport(importing, sources.path(), "\"a.png\" \"b.png\"");
        importing.start();
        window.actionOpenImage->trigger();
        QVERIFY2(importing.done(), qPrintable(importing.seen.join(", ")));
        QCOMPARE(window.pictureModel()->rowCount(), 2);
        QList<QByteArray> imported;
        for (int row = 0; row < 2; ++row)
            imported << pictureAt(window.pictureModel(), row)->buffer();
        QString result;
        DialogScript downloading;
        expectDownload(downloading, drive.path(), "Z1", &result);
        downloading.start();
        window.actionDownload->trigger();
        QVERIFY2(downloading.done() && result.contains("Z1.bin"), qPrintable(downloading.seen.join(", ") + result));
        const ReadFile first = readWhole(drive.filePath("Z1.bin"), 112, 450);
        QCOMPARE(first.contents.layout, EffectFile::Layout::Download);
        QCOMPARE(first.contents.form, EffectFile::RecordForm::BitPlanes);
        QVERIFY2(first.contents.problems.isEmpty(), qPrintable(first.contents.problems.join("; ")));
        QCOMPARE(first.pictures, imported);

        // Preview of the card: the same pictures back, in the colours they were made of.
        DialogScript previewing;
        expectDrive(previewing, drive.path());
        previewing.start();
        window.actionPreview->trigger();
        QVERIFY(previewing.done());
        QCOMPARE(window.pictureModel()->rowCount(), 2);
        for (int row = 0; row < 2; ++row) {
            ImageObject* picture = pictureAt(window.pictureModel(), row);
            QCOMPARE(picture->kind, int(ImageObject::ReadBackPictureKind));
            QCOMPARE(picture->showTime, 5.0);
            QCOMPARE(picture->buffer(), imported[row]);
        }
        // b.png is magenta (255, 0, 255): it comes back as the middles of the bands that
        // give its levels, not as the calibrated (255, 0, 128) the LEDs emit.
        const QImage magenta = pictureAt(window.pictureModel(), 1)->loadPreview();
        QCOMPARE(magenta.pixelColor(225, 100), QColor(252, 16, 252));
        window.resize(1000, 700);
        window.pressImageWidget(window.pictureModel()->index(1, 0));
        screenshot(&window, "preview_of_downloaded_pictures_en");

        // Reset: the factory blade and its pictures; a picture imported now is made for it.
        DialogScript resetting;
        resetting.start();
        window.actionRestoreFactory->trigger();
        QCOMPARE(window.pictureModel()->rowCount(), 2);
        QCOMPARE(window.clipModel()->rowCount(), 1);
        QCOMPARE(clipAt(window.clipModel(), 0)->number, 1);
        DialogScript importingOne;
        expectImport(importingOne, sources.path(), "a.png");
        importingOne.start();
        window.actionOpenImage->trigger();
        QVERIFY(importingOne.done());
        QCOMPARE(window.pictureModel()->rowCount(), 3);
        const QByteArray own = pictureAt(window.pictureModel(), 2)->buffer();
        QCOMPARE(own.size(), 114688);
        QCOMPARE(own.mid(360 * 81), QByteArray(114688 - 360 * 81, '\0'));
        const QVector<QRgb> sampled = Polar::sampleColours(QImage(sources.filePath("a.png")),
                                                           *Polar::Geometry::get(36, 360));
        QCOMPARE(own, Polar::calibratedBuffer(sampled, 36, 360));

        // Downloading the factory pictures with it: one form in the file, the raw frames
        // converted to the bit planes they stand for.
        const QByteArray factoryFrame(38880, char(1));
        DialogScript downloadingMixed;
        expectDownload(downloadingMixed, drive.path(), "Z3", &result);
        downloadingMixed.start();
        window.actionDownload->trigger();
        QVERIFY2(downloadingMixed.done() && result.contains("Z3.bin"), qPrintable(result));
        const ReadFile mixed = readWhole(drive.filePath("Z3.bin"), 36, 360);
        QCOMPARE(mixed.contents.form, EffectFile::RecordForm::BitPlanes);
        QCOMPARE(mixed.contents.recordSize, 114688);
        QVERIFY2(mixed.contents.problems.isEmpty(), qPrintable(mixed.contents.problems.join("; ")));
        QCOMPARE(mixed.pictures.size(), 3);
        QCOMPARE(mixed.pictures[0], Polar::calibratedBuffer(Polar::rawFrameColours(factoryFrame, 36, 360), 36, 360));
        QCOMPARE(mixed.pictures[2], own);
        QCOMPARE(mixed.clips.size(), 1);
        QCOMPARE(mixed.clips[0].size(), 3);
        QVERIFY(QFileInfo(drive.filePath("Z3.bin")).size() == 4096 + 6 * 114688);
    }

    void mixedRecordSizesAreRefused()
    {
        // Factory pictures kept for 36 x 360 beside a picture made for 112 x 450: nothing
        // converts one into the other exactly, so the download names the rows and stops.
        QTemporaryDir drive;
        writeFactoryFile(appDir->filePath("default.bin"), 2, 3);
        EnglishWindow window;
        window.drives()->AddDisk(drive.path());
        window.onActionRestoreFactory();
        AppSettings::ledCount = 112;
        AppSettings::lineNumber = 450;
        QCOMPARE(window.addPictureFile(sources.filePath("a.png")), MainWindow::AddStatus::Added);
        DialogScript script;
        QString message;
        script.expect("QMessageBox", [&message](QWidget* box) {
            message = static_cast<QMessageBox*>(box)->text();
            screenshot(box, "download_mixed_sizes_en");
            accept(box);
        });
        script.start();
        window.onActionDownToUsb();
        QVERIFY2(script.done(), qPrintable(script.seen.join(", ")));
        QVERIFY2(message.contains("picture rows 1-2; clip rows 1: 38880 bytes each"), qPrintable(message));
        QVERIFY2(message.contains("picture rows 3: 114688 bytes each"), qPrintable(message));
        QVERIFY(QDir(drive.path()).entryList(QDir::Files).isEmpty());
    }

    void readFailuresSayWhatHappened_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QByteArray factory;
        {
            QTemporaryDir dir;
            writeFactoryFile(dir.filePath("f.bin"), 1, 0);
            QFile file(dir.filePath("f.bin"));
            file.open(QIODevice::ReadOnly);
            factory = file.readAll();
        }
        QTest::newRow("empty") << QByteArray() << "is empty";
        QTest::newRow("short") << QByteArray(50, '\1') << "only 50 bytes long";
        QTest::newRow("no pictures") << QByteArray(120 + 100 * 38880, '\0') << "holds no pictures or clips";
        QTest::newRow("cut before the first picture") << factory.left(1000) << "Nothing could be read";
        QTest::newRow("bytes after the last clip") << factory + QByteArray(7, '\0')
                                                   << "The 7 bytes after its last clip";
        QTest::newRow("cut after the first picture") << factory.left(120 + 38880 + 5)
                                                     << "could not be read completely";
    }

    void readFailuresSayWhatHappened()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString path = appDir->filePath("default.bin");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        EnglishWindow window;
        DialogScript script;
        QString shown;
        script.expect("QMessageBox", [&shown](QWidget* box) {
            shown = static_cast<QMessageBox*>(box)->text();
            screenshot(box, QStringLiteral("reset_%1_en").arg(QString(QTest::currentDataTag()).replace(' ', '_')));
            accept(box);
        });
        script.start();
        window.onActionRestoreFactory();
        QTRY_VERIFY(script.done());
        QVERIFY2(shown.contains(message), qPrintable(shown));
        QVERIFY2(!shown.contains("U disk"), qPrintable(shown));
    }

    void screenshotsOfTheReadMessages()
    {
        // With GYROLUME_SCREENSHOTS set: the note on bytes after the last clip and the
        // refusal of mixed sizes, in each language.
        if (qEnvironmentVariable("GYROLUME_SCREENSHOTS").isEmpty())
            QSKIP("GYROLUME_SCREENSHOTS not set");
        writeFactoryFile(appDir->filePath("default.bin"), 2, 3);
        QFile factory(appDir->filePath("default.bin"));
        QVERIFY(factory.open(QIODevice::Append));
        factory.write(QByteArray(7, '\0'));
        factory.close();
        const QList<QPair<const char*, void (MainWindow::*)()>> languages{
            {"zh_CN", &MainWindow::onBtnZhCnClick}, {"zh_HK", &MainWindow::onBtnZhHkClick}, {"en", &MainWindow::onBtnEnUsClick}};
        for (const auto& [name, choose] : languages) {
            AppSettings::ledCount = AppSettings::defaultLedCount;
            AppSettings::lineNumber = AppSettings::defaultLineNumber;
            EnglishWindow window;
            (window.*choose)();
            DialogScript script;
            script.expect("QMessageBox", [name = QString(name)](QWidget* box) {
                screenshot(box, "reset_bytes_after_the_last_clip_" + name);
                accept(box);
            });
            script.expect("QMessageBox", [name = QString(name)](QWidget* box) {
                screenshot(box, "download_mixed_sizes_" + name);
                accept(box);
            });
            script.start();
            window.onActionRestoreFactory();
            AppSettings::ledCount = 112;
            AppSettings::lineNumber = 450;
            QCOMPARE(window.addPictureFile(sources.filePath("a.png")), MainWindow::AddStatus::Added);
            window.onActionDownToUsb();
            QVERIFY(script.done());
        }
    }

    void screenshotOfTheFactoryEffect()
    {
        // With GYROLUME_SCREENSHOTS set, the window after a restore of the program's own
        // factory file is saved there.
        const QString dir = qEnvironmentVariable("GYROLUME_SCREENSHOTS");
        const QString factory = qEnvironmentVariable("GYROLUME_FACTORY_EFFECT");
        if (dir.isEmpty() || !QFile::exists(factory))
            QSKIP("GYROLUME_SCREENSHOTS or GYROLUME_FACTORY_EFFECT not set");
        QVERIFY(QFile::copy(factory, appDir->filePath("default.bin")));
        EnglishWindow window;
        window.resize(1000, 700);
        window.show();
        window.onActionRestoreFactory();
        QCOMPARE(window.pictureModel()->rowCount(), 3);
        window.pressImageWidget(window.pictureModel()->index(0, 0));
        QTest::qWait(100);
        window.grab().save(dir + "/mainwindow_factory_en.png");
    }

private:
    QTemporaryDir sources;
    std::unique_ptr<QTemporaryDir> appDir;
};

QTEST_MAIN(DriveJobsTest)
#include "tst_drivejobs.moc"
