#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "app/updateledcountdialog.h"
#include "app/updatelinenumberdialog.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "convert/polarconversion.h"
#include "looper/handlerthread.h"
#include "playlist/customtablemodel.h"
#include "support/testtempdir.h"
#include "support/testwindow.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Answers the modal windows that open, one step per window, in order; records each.
struct ModalScript
{
    using Step = std::function<void(QWidget*)>;
    QList<Step> steps;
    QStringList seen;  // class name, and the text of a message box
    QTimer poll;
    QPointer<QWidget> last;

    // The modal windows of the next action go to another script.
    void stop() { poll.stop(); }

    void start()
    {
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, &poll, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == last)
                return;
            last = modal;
            QString name = QString::fromLatin1(modal->metaObject()->className());
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                name += ':' + box->text();
            seen << name;
            if (steps.isEmpty()) {
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
                return;
            }
            steps.takeFirst()(modal);
        });
        poll.start();
    }
};

// Types the text into the dialog's field and presses "确定".
ModalScript::Step enter(const QString& text)
{
    return [text](QWidget* modal) {
        auto* dialog = qobject_cast<UpdateGeometryDialog*>(modal);
        QVERIFY(dialog);
        dialog->field()->clear();
        QTest::keyClicks(dialog->field(), text);
        // Queued: a refusal opens its message inside the click.
        QMetaObject::invokeMethod(dialog->buttonBox()->buttons().first(), "click", Qt::QueuedConnection);
    };
}

ModalScript::Step answer(QMessageBox::StandardButton button)
{
    return [button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        QMetaObject::invokeMethod(box->button(button), "click", Qt::QueuedConnection);
    };
}

} // namespace

class GeometryDialogsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fields();
    void currentValueAsksNothing();
    void emptyFieldIsRefusedAndTheQuestionDefaultsToCancel();
    void cancelledQuestionChangesNothing();
    void zeroIsRefusedAndTheDialogStays();
    void confirmedChangeEmptiesBothListsWithTheirFiles();
    void screenshots();

private:
    void fillPlaylist();
    QStringList statusTexts() const;

    QTemporaryDir files;
    std::unique_ptr<MainWindow> window;
};

void GeometryDialogsTest::initTestCase()
{
    useTestTempRoot();
}

void GeometryDialogsTest::init()
{
    AppSettings::ledCount = AppSettings::defaultLedCount;
    AppSettings::lineNumber = AppSettings::defaultLineNumber;
    window = showEnglishWindow(QSize());
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void GeometryDialogsTest::cleanup()
{
    window.reset();
    QCOMPARE(AppSettings::workerThread->queuedCount(), 0);
}

void GeometryDialogsTest::fillPlaylist()
{
    QImage image(80, 60, QImage::Format_RGB32);
    image.fill(Qt::darkYellow);
    const QString source = files.filePath("p.png");
    QVERIFY(image.save(source));
    QCOMPARE(window->addPictureFile(source), MainWindow::AddStatus::Added);
    QCOMPARE(window->addPictureFile(source), MainWindow::AddStatus::Added);
    auto* clip = new MediaObject(0, "clip.gif");
    for (int i = 0; i < 2; ++i) {
        auto* frame = new ImageObject(i + 1, source, 10.0, ImageObject::GifFrameKind);
        convertToPolar(image, frame);
        clip->frames.append(frame);
    }
    window->addClipObject(clip);
}

QStringList GeometryDialogsTest::statusTexts() const
{
    QStringList texts;
    for (const QLabel* label : window->statusBar()->findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

void GeometryDialogsTest::fields()
{
    UpdateLedCountDialog leds(window.get());
    QCOMPARE(leds.windowTitle(), QStringLiteral("Change the LED Count"));
    QCOMPARE(leds.label()->text(), QStringLiteral("LEDs:"));
    QCOMPARE(leds.label()->width(), 100);
    QCOMPARE(leds.field()->text(), QStringLiteral("112"));
    QCOMPARE(leds.buttonBox()->buttons().size(), 2);
    leds.field()->clear();
    QTest::keyClicks(leds.field(), "501");
    QCOMPARE(leds.field()->text(), QStringLiteral("50"));
    leds.field()->clear();
    QTest::keyClicks(leds.field(), "500");
    QCOMPARE(leds.value(), 500);
    leds.field()->clear();
    QCOMPARE(leds.value(), 40);

    UpdateLineNumberDialog lines(window.get());
    QCOMPARE(lines.windowTitle(), QStringLiteral("Change the Resolution"));
    QCOMPARE(lines.label()->text(), QStringLiteral("Resolution:"));
    QCOMPARE(lines.field()->text(), QStringLiteral("450"));
    lines.field()->clear();
    QTest::keyClicks(lines.field(), "600");
    QCOMPARE(lines.value(), 600);
    lines.field()->clear();
    QTest::keyClicks(lines.field(), "601");
    QCOMPARE(lines.field()->text(), QStringLiteral("60"));
    lines.field()->clear();
    QTest::keyClicks(lines.field(), "-5");
    QCOMPARE(lines.field()->text(), QStringLiteral("5"));
}

void GeometryDialogsTest::currentValueAsksNothing()
{
    fillPlaylist();
    ModalScript script;
    script.steps = {enter("112")};
    script.start();
    window->actionLedCount->trigger();
    script.stop();
    QCOMPARE(script.seen, QStringList{"UpdateLedCountDialog"});
    QCOMPARE(AppSettings::ledCount, 112);
    QCOMPARE(window->pictureModel()->rowCount(), 2);
    QCOMPARE(window->clipModel()->rowCount(), 1);

    // Cancel in the dialog changes nothing either, whatever the field holds.
    ModalScript cancelled;
    cancelled.steps = {[](QWidget* modal) {
        auto* dialog = qobject_cast<UpdateGeometryDialog*>(modal);
        dialog->field()->setText("300");
        dialog->buttonBox()->buttons().last()->click();
    }};
    cancelled.start();
    window->actionLineNumber->trigger();
    QCOMPARE(cancelled.seen, QStringList{"UpdateLineNumberDialog"});
    QCOMPARE(AppSettings::lineNumber, 450);
    QCOMPARE(window->pictureModel()->rowCount(), 2);
}

void GeometryDialogsTest::emptyFieldIsRefusedAndTheQuestionDefaultsToCancel()
{
    // An empty field is refused as a number out of range is; the question that would empty
    // the playlist answers Cancel to a plain Return.
    fillPlaylist();
    const QString refusal = "QMessageBox:The number of LEDs must be from 1 to 500. Enter a number in this range.";
    ModalScript script;
    script.steps = {enter(""), answer(QMessageBox::Ok), enter("40"), [](QWidget* modal) {
                        auto* box = qobject_cast<QMessageBox*>(modal);
                        QCOMPARE(box->windowTitle(), QStringLiteral("Tip"));
                        QCOMPARE(box->informativeText(), QStringLiteral("All the pictures and clips in the playlist will be deleted. Continue?"));
                        QCOMPARE(box->defaultButton(), box->button(QMessageBox::Cancel));
                        QTest::keyClick(box, Qt::Key_Return);
                    }};
    script.start();
    window->onBtnLedCount();
    script.stop();
    QCOMPARE(script.seen, (QStringList{"UpdateLedCountDialog", refusal, "UpdateLedCountDialog",
                                       "QMessageBox:The number of LEDs has been changed."}));
    QCOMPARE(AppSettings::ledCount, 112);
    QCOMPARE(window->pictureModel()->rowCount(), 2);
    QVERIFY2(statusTexts().contains(" LED:112"), qPrintable(statusTexts().join('|')));

    ModalScript lines;
    lines.steps = {enter(""), answer(QMessageBox::Ok), enter("360"), answer(QMessageBox::Ok)};
    lines.start();
    window->onBtnLineNumber();
    QCOMPARE(lines.seen.at(1), "QMessageBox:The resolution (lines per turn) must be from 1 to 600. Enter a number in this range.");
    QCOMPARE(lines.seen.last(), "QMessageBox:The resolution has been changed.");
    QCOMPARE(AppSettings::lineNumber, 360);
    QVERIFY(statusTexts().contains(" LINE:360"));
    QCOMPARE(window->pictureModel()->rowCount(), 0);
}

void GeometryDialogsTest::cancelledQuestionChangesNothing()
{
    fillPlaylist();
    ModalScript script;
    script.steps = {enter("96"), answer(QMessageBox::Cancel)};
    script.start();
    window->onBtnLedCount();
    QCOMPARE(script.seen.size(), 2);
    QCOMPARE(AppSettings::ledCount, 112);
    QCOMPARE(window->pictureModel()->rowCount(), 2);
    QCOMPARE(window->clipModel()->rowCount(), 1);
    QVERIFY(statusTexts().contains(" LED:112"));
}

void GeometryDialogsTest::zeroIsRefusedAndTheDialogStays()
{
    // 0 and 000 are refused with a message and the dialog comes back with the field as
    // typed; a valid number then goes through.
    fillPlaylist();
    QPointer<QWidget> first;
    QList<bool> sameDialog;
    auto again = [&](const QString& text) {
        return [&, text](QWidget* modal) {
            sameDialog << (modal == first);
            enter(text)(modal);
        };
    };
    ModalScript script;
    script.steps = {[&](QWidget* modal) {
                        first = modal;
                        enter("0")(modal);
                    },
                    answer(QMessageBox::Ok), again("000"), answer(QMessageBox::Ok), again("8"),
                    answer(QMessageBox::Ok)};
    script.start();
    window->onBtnLineNumber();
    script.stop();
    const QString refusal =
        "QMessageBox:The resolution (lines per turn) must be from 1 to 600. Enter a number in this range.";
    QCOMPARE(script.seen, (QStringList{"UpdateLineNumberDialog", refusal, "UpdateLineNumberDialog", refusal,
                                       "UpdateLineNumberDialog", "QMessageBox:The resolution has been changed."}));
    QCOMPARE(sameDialog, (QList<bool>{true, true}));
    QCOMPARE(AppSettings::lineNumber, 8);
    QCOMPARE(window->pictureModel()->rowCount(), 0);

    // The LED dialog refuses 0 in its own words; cancelling it afterwards keeps 112.
    ModalScript leds;
    leds.steps = {enter("0"), answer(QMessageBox::Ok), [](QWidget* modal) {
                      qobject_cast<QDialog*>(modal)->reject();
                  }};
    leds.start();
    window->onBtnLedCount();
    QCOMPARE(leds.seen.size(), 3);
    QCOMPARE(leds.seen.at(1), "QMessageBox:The number of LEDs must be from 1 to 500. Enter a number in this range.");
    QCOMPARE(AppSettings::ledCount, 112);
}

void GeometryDialogsTest::confirmedChangeEmptiesBothListsWithTheirFiles()
{
    fillPlaylist();
    QStringList paths;
    for (const CustomTableItem* item : window->pictureModel()->items()) {
        auto* picture = static_cast<ImageObject*>(item->object);
        paths << picture->thumbnailPath() << picture->previewPath() << picture->bufferPath;
    }
    auto* clip = static_cast<MediaObject*>(window->clipModel()->items().first()->object);
    for (const ImageObject* frame : clip->frames)
        paths << frame->thumbnailPath() << frame->previewPath() << frame->bufferPath;
    for (const QString& path : paths)
        QVERIFY2(QFile::exists(path), qPrintable(path));

    ModalScript script;
    script.steps = {enter("64"), answer(QMessageBox::Ok)};
    script.start();
    window->onBtnLedCount();
    QCOMPARE(AppSettings::ledCount, 64);
    QCOMPARE(window->pictureModel()->rowCount(), 0);
    QCOMPARE(window->clipModel()->rowCount(), 0);
    QVERIFY(!window->selectedClip());
    for (const QString& path : paths)
        QVERIFY2(!QFile::exists(path), qPrintable(path));
    QVERIFY(!window->findChild<QPushButton*>("btnDelImage")->isEnabled());
    QVERIFY(!window->findChild<QPushButton*>("btnDelMedia")->isEnabled());
    QVERIFY(window->findChild<QPushButton*>("btnPlay")->isHidden());

    // Pictures converted afterwards use the new geometry.
    fillPlaylist();
    auto* picture = static_cast<ImageObject*>(window->pictureModel()->items().first()->object);
    QCOMPARE(picture->buffer().size(), Polar::bufferSize(64, 450));
}

void GeometryDialogsTest::screenshots()
{
    const QString dir = qEnvironmentVariable("GYROLUME_SCREENSHOTS");
    if (dir.isEmpty())
        QSKIP("GYROLUME_SCREENSHOTS not set");
    UpdateLedCountDialog leds(window.get());
    leds.setFixedSize(250, 100);
    leds.show();
    QVERIFY(QTest::qWaitForWindowExposed(&leds));
    leds.grab().save(dir + "/ledcount_dialog.png");
    UpdateLineNumberDialog lines(window.get());
    lines.setFixedSize(250, 100);
    lines.show();
    QVERIFY(QTest::qWaitForWindowExposed(&lines));
    lines.grab().save(dir + "/linenumber_dialog.png");
}

QTEST_MAIN(GeometryDialogsTest)
#include "tst_geometrydialogs.moc"
