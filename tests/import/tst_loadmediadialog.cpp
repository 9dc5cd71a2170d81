#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "app/progressdialog.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "import/getimgelocationdialog.h"
#include "import/loadmediadialog.h"
#include "looper/handlerthread.h"
#include "playlist/customtablemodel.h"
#include "support/modalwidgets.h"
#include "support/testtempdir.h"
#include "support/testvideo.h"

#include <QApplication>
#include <QScreen>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>

namespace {

// The files picture objects keep in the temporary directory.
int objectFileCount()
{
    return int(QDir(AppSettings::tempDir()).entryList(QDir::Files).size());
}

} // namespace

class LoadMediaDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        useTestTempRoot();
        QVERIFY(dir.isValid());
        QVERIFY(TestVideo::makeIndexed(videoPath(), 160, 120, 24, 6.0));
    }

    // The 180 s example: both sliders count to 180; the end slider counts seconds after
    // the start; labels show hours, minutes and seconds.
    void sliderArithmetic()
    {
        LoadMediaDialog dialog;
        dialog.sliderStartTime->setMaximum(180);
        dialog.sliderEndTime->setMaximum(180);
        dialog.changeStartPosition(0);
        QCOMPARE(dialog.startTimeMs, qint64(0));
        QCOMPARE(dialog.endTimeMs, qint64(180000));
        dialog.sliderStartTime->setValue(60);
        QCOMPARE(dialog.sliderEndTime->maximum(), 120);
        QCOMPARE(dialog.sliderEndTime->value(), 120);
        QCOMPARE(dialog.startTimeMs, qint64(60000));
        QCOMPARE(dialog.endTimeMs, qint64(180000));
        dialog.sliderEndTime->setValue(30);
        QCOMPARE(dialog.endTimeMs, qint64(90000));
        QCOMPARE(dialog.lblStartTime->text(), dialog.timeText(60000));
        QCOMPARE(dialog.timeText(3723000), QStringLiteral("1hour2minute3second"));
        QCOMPARE(dialog.lblEndTime->text(), QStringLiteral("0hour1minute30second"));
    }

    // Through the window: the placement on the middle frame, a span of 2 s cut into 21
    // frames in time order, each the frame the video shows at its time, the clip named by
    // the video's own path.
    void cutSpanIntoClip()
    {
        MainWindow window;
        QImage placementPicture;
        whenModal<GetImgeLocationDialog>([&](GetImgeLocationDialog* location) {
            placementPicture = location->findChild<QWidget*>(QStringLiteral("imageWidget"))->grab().toImage();
            auto* dialog = qobject_cast<LoadMediaDialog*>(location->parent());
            QObject::connect(dialog, &LoadMediaDialog::placementDone, dialog, [dialog] {
                dialog->sliderStartTime->setValue(1);
                dialog->sliderEndTime->setValue(2);
                QTimer::singleShot(0, dialog->okBut, &QPushButton::click);
            });
            location->onBtnOk();
        });
        QVERIFY(window.importVideo(videoPath()));
        QCOMPARE(window.clipModel()->rowCount(), 1);
        auto* clip = static_cast<MediaObject*>(window.clipModel()->items().at(0)->object);
        QCOMPARE(clip->name, QDir::toNativeSeparators(videoPath()));
        QCOMPARE(clip->frames.size(), 21);
        // The middle of the 6 s video is frame 72.
        QCOMPARE(QColor(placementPicture.pixel(80, 60)), TestVideo::colourOf(72));
        for (int k = 0; k < 21; ++k) {
            ImageObject* frame = clip->frames[k];
            QCOMPARE(frame->number, k + 1);
            QCOMPARE(frame->kind, int(ImageObject::VideoFrameKind));
            QCOMPARE(qint64(frame->videoTime), qint64(1000 + 100 * k));
            const int shown = int(std::ceil((1000 + 100 * k) * 24 / 1000.0));
            QCOMPARE(QColor(frame->loadThumbnail().pixel(30, 30)), TestVideo::colourOf(shown));
            QCOMPARE(frame->buffer().size(), 114688);
        }
    }

    // A start equal to the end gives one frame; cancelling through the progress box
    // leaves no clip and no file.
    void oneFrameAndCancel()
    {
        auto dialog = std::make_unique<LoadMediaDialog>();
        QSignalSpy placed(dialog.get(), &LoadMediaDialog::placementDone);
        whenModal<GetImgeLocationDialog>([](GetImgeLocationDialog* location) { location->onBtnOk(); });
        QVERIFY(dialog->openMediaFile(videoPath()));
        QVERIFY(placed.wait(30000));
        dialog->sliderStartTime->setValue(3);
        dialog->sliderEndTime->setValue(0);
        QCOMPARE(dialog->startTimeMs, dialog->endTimeMs);
        QTimer::singleShot(0, dialog->okBut, &QPushButton::click);
        QCOMPARE(dialog->exec(), int(QDialog::Accepted));
        QList<ImageObject*> frames = dialog->takeImageObjects();
        QCOMPARE(frames.size(), 1);
        QCOMPARE(QColor(frames[0]->loadThumbnail().pixel(30, 30)), TestVideo::colourOf(72));
        qDeleteAll(frames);

        const int filesBefore = objectFileCount();
        dialog->sliderStartTime->setValue(0);  // the whole video: 61 frames
        QCOMPARE(dialog->endTimeMs, qint64(6000));
        whenModal<ProgressDialog>([&](ProgressDialog* progress) {
            QTRY_VERIFY(progress->textLabel()->text().contains(QStringLiteral("0hour0minute")));
            progress->reject();
        });
        QTimer::singleShot(0, dialog->okBut, &QPushButton::click);
        QCOMPARE(dialog->exec(), int(QDialog::Rejected));
        QVERIFY(dialog->takeImageObjects().isEmpty());
        QCOMPARE(objectFileCount(), filesBefore);
        dialog.reset();
        QCOMPARE(objectFileCount(), filesBefore);
    }

    // The dialog's window closed while frames are being cut: the cut stops, nothing is
    // kept, and destroying the dialog right after frees everything (run it under
    // AddressSanitizer).
    void closedDuringCut()
    {
        const int filesBefore = objectFileCount();
        auto* dialog = new LoadMediaDialog;
        QSignalSpy placed(dialog, &LoadMediaDialog::placementDone);
        whenModal<GetImgeLocationDialog>([](GetImgeLocationDialog* location) { location->onBtnOk(); });
        QVERIFY(dialog->openMediaFile(videoPath()));
        QVERIFY(placed.wait(30000));
        whenModal<ProgressDialog>([dialog](ProgressDialog* progress) {
            QTRY_VERIFY(progress->progressBar()->value() >= 2);
            dialog->close();
        });
        QTimer::singleShot(0, dialog->okBut, &QPushButton::click);
        QCOMPARE(dialog->exec(), int(QDialog::Rejected));
        delete dialog;
        QCOMPARE(objectFileCount(), filesBefore);
    }

    // A file that does not play is named in a box and the dialog closes; a file that is
    // not there is refused at once; so is a stream without a length.
    void fileThatDoesNotPlay()
    {
        const QString text = dir.filePath(QStringLiteral("notes.mp4"));
        QVERIFY(TestVideo::makeNotAVideo(text));
        LoadMediaDialog dialog;
        QVERIFY(!dialog.openMediaFile(dir.filePath(QStringLiteral("missing.mp4"))));
        QString shown;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            shown = box->text();
            box->accept();
        });
        QTimer::singleShot(0, &dialog, [&] { dialog.openMediaFile(text); });
        dialog.exec();
        QCOMPARE(shown, QStringLiteral("loadvideo_player_error"));
        QVERIFY(dialog.takeImageObjects().isEmpty());

        // A raw H.264 stream plays but tells no length: refused with its own message
        // instead of sliders that reach no further than 0 s.
        const QString raw = dir.filePath(QStringLiteral("raw.h264"));
        QVERIFY(TestVideo::makeH264(raw, 160, 120, 24, 2.0));
        LoadMediaDialog rawDialog;
        shown.clear();
        whenModal<QMessageBox>([&](QMessageBox* box) {
            shown = box->text();
            box->accept();
        });
        QTimer::singleShot(0, &rawDialog, [&] { QVERIFY(rawDialog.openMediaFile(raw)); });
        // Without the refusal the placement would open and wait.
        QTimer::singleShot(30000, &rawDialog, [&] {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()); modal && modal != &rawDialog)
                modal->reject();
            rawDialog.reject();
        });
        QCOMPARE(rawDialog.exec(), int(QDialog::Rejected));
        QCOMPARE(shown, QStringLiteral("loadvideo_no_length"));
    }

    // Through the window: a picture named like a video and a sound file are refused by name
    // before anything plays, so no span is asked for and nothing is added or left behind;
    // Escape in the placement of a real video cancels the import.
    void noVideoStreamIsRefusedByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("PNG named .mp4") << "still.mp4" << "%1 is a picture, not a video.";
        QTest::newRow("sound only") << "tone.mp4" << "%1 holds no video stream";
        QTest::newRow("Escape in the placement") << "indexed.mkv" << QString();
    }
    void noVideoStreamIsRefusedByName()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        const QString file = dir.filePath(name);
        if (name == QLatin1String("still.mp4")) {
            QImage still(320, 240, QImage::Format_RGB32);
            still.fill(Qt::darkGreen);
            QVERIFY(still.save(file, "PNG"));
        } else if (name == QLatin1String("tone.mp4")) {
            QVERIFY(TestVideo::makeSoundOnly(file, 2.0));
        }
        const QStringList before = QDir(AppSettings::tempDir()).entryList(QDir::Files);
        AppSettings::language = AppSettings::NoLanguage;  // the window installs its English anew
        MainWindow window;
        window.onBtnEnUsClick();
        QStringList shown;
        bool placed = false;
        bool spanAsked = false;
        // Any box, placement or span dialog that opens is answered or refused as a user would.
        QTimer answer;
        answer.setInterval(20);
        connect(&answer, &QTimer::timeout, &window, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                shown << box->text();
                box->accept();
            } else if (auto* location = qobject_cast<GetImgeLocationDialog*>(modal); location && !placed) {
                placed = true;
                QTest::keyClick(location, Qt::Key_Escape);
            } else if (auto* import = qobject_cast<LoadMediaDialog*>(modal); import && placed) {
                spanAsked = true;  // the import went on after Escape
                import->reject();
            }
        });
        answer.start();
        QVERIFY(!window.importVideo(file));
        QCOMPARE(window.clipModel()->rowCount(), 0);
        QCOMPARE(placed, message.isEmpty());
        QVERIFY(!spanAsked);
        if (message.isEmpty())
            QCOMPARE(shown, QStringList());
        else {
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown.first().startsWith(message.arg(QDir::toNativeSeparators(file))), qPrintable(shown.first()));
        }
        QCOMPARE(QDir(AppSettings::tempDir()).entryList(QDir::Files), before);
    }

    // libVLC that cannot start leaves Import Video refusing with a message; the program
    // and its playlist go on.
    void libraryThatDoesNotStart()
    {
        MainWindow window;
        auto* clip = new MediaObject(0, QStringLiteral("kept"));
        window.addClipObject(clip);
        LoadMediaDialog::playerArguments() = {QStringLiteral("--no-such-gyrolume-option")};
        QString shown;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            shown = box->text();
            box->accept();
        });
        QVERIFY(!window.importVideo(videoPath()));
        LoadMediaDialog::playerArguments().clear();
        QCOMPARE(shown, QStringLiteral("loadvideo_vlc_init_error"));
        QCOMPARE(window.clipModel()->rowCount(), 1);
    }

    // GYROLUME_SCREENSHOTS=DIR: pictures of an import of a moving test video, for people
    // to look at (under Xvfb the video is libVLC's own X11 output, offscreen the pictures
    // libVLC hands over).
    void screenshots()
    {
        const QString out = qEnvironmentVariable("GYROLUME_SCREENSHOTS");
        if (out.isEmpty())
            QSKIP("GYROLUME_SCREENSHOTS is not set");
        QDir().mkpath(out);
        const QString movie = dir.filePath(QStringLiteral("movie.mp4"));
        QVERIFY(TestVideo::makeH264(movie, 640, 360, 25, 12.0));
        const QString prefix = QGuiApplication::platformName() + QLatin1Char('-');
        auto snap = [&](QWidget* widget, const char* name) {
            QPixmap picture = QGuiApplication::platformName() == QLatin1String("xcb")
                                  ? widget->screen()->grabWindow(0, widget->frameGeometry().x(), widget->frameGeometry().y(),
                                                                 widget->frameGeometry().width(), widget->frameGeometry().height())
                                  : widget->grab();
            QVERIFY(picture.save(out + QLatin1Char('/') + prefix + QLatin1String(name)));
        };
        MainWindow window;
        window.chooseStartLanguage(QLocale(QLocale::English, QLocale::UnitedStates));
        window.resize(1000, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        whenModal<GetImgeLocationDialog>([&](GetImgeLocationDialog* location) {
            auto* dialog = qobject_cast<LoadMediaDialog*>(location->parent());
            const QPoint placed = location->pos();
            location->move(dialog->frameGeometry().right() + 20, 0);  // no window manager under Xvfb
            QTest::qWait(1500);
            snap(dialog, "1-dialog-playing.png");
            location->move(placed);
            QTest::qWait(300);
            snap(location, "2-placement-middle-frame.png");
            QObject::connect(dialog, &LoadMediaDialog::placementDone, dialog, [&, dialog] {
                dialog->sliderStartTime->setValue(2);
                dialog->sliderEndTime->setValue(9);  // long enough to be seen under way
                QTest::qWait(1500);
                snap(dialog, "3-span-chosen.png");
                whenModal<ProgressDialog>([&, dialog](ProgressDialog* progress) {
                    QTest::qWait(700);
                    snap(dialog, "4-cut-under-way.png");
                    snap(progress, "4-cut-progress-box.png");
                });
                QTimer::singleShot(0, dialog->okBut, &QPushButton::click);
            });
            location->onBtnOk();
        });
        QVERIFY(window.importVideo(movie));
        window.pressMediaWidget(window.clipModel()->index(0, 0));
        window.onBtnPlayClick();
        QTest::qWait(1300);
        snap(&window, "5-clip-playing-in-preview.png");
        window.onBtnStopClick();
    }

private:
    QString videoPath() const { return dir.filePath(QStringLiteral("indexed.mkv")); }
    QTemporaryDir dir;
};

QTEST_MAIN(LoadMediaDialogTest)
#include "tst_loadmediadialog.moc"
