#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "app/playmediahandler.h"
#include "convert/imagecontrast.h"
#include "convert/imageobject.h"
#include "import/updateimagecontract.h"
#include "looper/handlerthread.h"
#include "playlist/customtablemodel.h"
#include "support/modalwidgets.h"
#include "support/testfiles.h"
#include "support/testtempdir.h"
#include "support/testwindow.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSemaphore>
#include <QSlider>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace {

// A small landscape (sky, sun, hill), so that a contrast change shows in every part.
QImage landscape()
{
    QImage image(480, 320, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 320);
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(150, 190, 220));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(240, 200, 80));
    painter.drawEllipse(QPoint(300, 105), 40, 40);
    painter.setBrush(QColor(70, 120, 55));
    painter.drawEllipse(QRect(-100, 180, 700, 300));
    return image;
}

// A top-level window drawn over the main window where it stands, for screenshots.
void drawOver(QImage& shot, QWidget& window, QWidget& top)
{
    QPainter painter(&shot);
    painter.drawPixmap(top.geometry().topLeft() - window.geometry().topLeft(), top.grab());
}

} // namespace

class UpdateImageContractTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sliderRunsOneJobOnceItRests();
    void closingWithAJobQueuedOrRunning();
    void contextMenuAndWindowRefresh();
    void cancelAndEscapeGiveThePictureBack();
    void screenshots();

private:
    ImageObject* listedPicture(const QString& name);
    void openMenuOnRow(int row);

    QTemporaryDir files;
    std::unique_ptr<MainWindow> window;
};

void UpdateImageContractTest::initTestCase()
{
    useTestTempRoot();
    QVERIFY(files.isValid());
}

void UpdateImageContractTest::init()
{
    window = showEnglishWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void UpdateImageContractTest::cleanup()
{
    window.reset();
    QCOMPARE(AppSettings::workerThread->queuedCount(), 0);
}

ImageObject* UpdateImageContractTest::listedPicture(const QString& name)
{
    const QString path = files.filePath(name);
    landscape().save(path);
    if (window->addPictureFile(path) != MainWindow::AddStatus::Added)
        return nullptr;
    return static_cast<ImageObject*>(window->pictureModel()->items().last()->object);
}

void UpdateImageContractTest::openMenuOnRow(int row)
{
    auto* table = window->findChild<QTableView*>("tableView");
    table->setCurrentIndex(table->model()->index(row, 0));
    window->onTableViewMenuRequested(QPoint(10, 10));
}

void UpdateImageContractTest::sliderRunsOneJobOnceItRests()
{
    ImageObject* picture = listedPicture("slider.png");
    QVERIFY(picture);
    const QByteArray firstThumbnail = fileBytes(picture->thumbnailPath());
    auto dialog = std::make_unique<UpdateImageContract>(window->handler(), picture, window.get());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Adjust the contrast"));
    QCOMPARE(dialog->slider()->value(), 10);
    QVERIFY(dialog->sourceLabel()->isHidden());
    // Opening posts nothing.
    QCOMPARE(AppSettings::workerThread->queuedCount(), 0);

    // Taken on this thread, as the window takes it: the signal comes from the worker.
    int changed = 0;
    connect(dialog.get(), &UpdateImageContract::onImageContractChanged, this, [&](QObject* object) {
        QCOMPARE(object, picture);
        ++changed;
    });
    for (int value : {3, 15, 20})
        dialog->slider()->setValue(value);
    QCOMPARE(AppSettings::workerThread->queuedCount(), 1);
    QTRY_COMPARE(changed, 1);
    QCOMPARE(AppSettings::workerThread->queuedCount(), 0);  // the other two never run
    QCOMPARE(picture->contrast, 2.0f);
    QVERIFY(fileBytes(picture->thumbnailPath()) != firstThumbnail);

    dialog->slider()->setValue(7);
    QTRY_COMPARE(changed, 2);
    // "Ok" keeps the last factor, and reopening shows it truncated.
    QAbstractButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QVERIFY(!ok);  // our own text, not the toolkit's
    ok = dialog->findChild<QDialogButtonBox*>()->buttons().first();
    QCOMPARE(ok->text(), QStringLiteral("Ok"));
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    dialog.reset();
    QCOMPARE(picture->contrast, ImageContrast::factorOf(7));
    UpdateImageContract reopened(window->handler(), picture, window.get());
    QCOMPARE(reopened.slider()->value(), 6);

    // Without its source file the dialog still opens and says why nothing changes.
    QVERIFY(QFile::remove(picture->sourcePath));
    UpdateImageContract sourceless(window->handler(), picture, window.get());
    QVERIFY(!sourceless.sourceLabel()->isHidden());
    QVERIFY(sourceless.sourceLabel()->text().contains(picture->sourcePath));
}

void UpdateImageContractTest::closingWithAJobQueuedOrRunning()
{
    ImageObject* picture = listedPicture("closing.png");
    QVERIFY(picture);
    const QByteArray firstThumbnail = fileBytes(picture->thumbnailPath());

    // Queued: closing takes the job away with the dialog.
    auto dialog = std::make_unique<UpdateImageContract>(window->handler(), picture, window.get());
    dialog->slider()->setValue(30);
    QCOMPARE(AppSettings::workerThread->queuedCount(), 1);
    dialog.reset();
    QCOMPARE(AppSettings::workerThread->queuedCount(), 0);
    QCOMPARE(picture->contrast, 1.0f);

    // Running: the job is held at the picture's lock while the dialog goes; the dialog must
    // wait for it, since the job reads the dialog's source picture and emits its signal.
    dialog = std::make_unique<UpdateImageContract>(window->handler(), picture, window.get());
    QSemaphore locked;
    QSemaphore closing;
    std::thread holder([&] {
        picture->lock.lock();
        locked.release();
        closing.acquire();
        // Long enough for a dialog that did not wait to be gone before the job goes on.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        picture->lock.unlock();
    });
    locked.acquire();
    dialog->slider()->setValue(20);
    QTRY_COMPARE(AppSettings::workerThread->queuedCount(), 0);  // taken: the job runs
    closing.release();
    dialog.reset();
    // The job had finished when the dialog was gone.
    const bool finished = fileBytes(picture->thumbnailPath()) != firstThumbnail;
    holder.join();
    QVERIFY(finished);
    QCOMPARE(picture->contrast, 2.0f);
}

void UpdateImageContractTest::contextMenuAndWindowRefresh()
{
    ImageObject* picture = listedPicture("window.png");
    QVERIFY(picture);
    auto* readBack = new ImageObject(2, QString(), 1.0, ImageObject::ReadBackPictureKind);
    window->pictureModel()->appendItems({new CustomTableItem{readBack}});
    auto* menu = window->findChild<QMenu*>("tableMenu");
    QVERIFY(menu);
    QCOMPARE(window->contrastAction->text(), QStringLiteral("Adjust the contrast"));

    openMenuOnRow(1);
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(!window->contrastAction->isEnabled());
    menu->hide();
    openMenuOnRow(0);
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(window->contrastAction->isEnabled());
    menu->hide();

    // Through the menu: the preview follows the slider while the dialog is open.
    const QImage firstPreview = picture->loadPreview();
    bool previewFollowed = false;
    whenModal<UpdateImageContract>([&](UpdateImageContract* dialog) {
        QCOMPARE(dialog->parentWidget(), window.get());
        dialog->slider()->setValue(5);
        auto* wait = new QTimer(dialog);
        connect(wait, &QTimer::timeout, dialog, [&, dialog] {
            if (shownPreview(*window) == picture->loadPreview()) {
                previewFollowed = true;
                dialog->accept();
            }
        });
        wait->start(20);
    }, window.get());
    window->contrastAction->trigger();
    QVERIFY(previewFollowed);
    QCOMPARE(picture->contrast, 0.5f);
    QVERIFY(picture->loadPreview() != firstPreview);
}

void UpdateImageContractTest::cancelAndEscapeGiveThePictureBack()
{
    ImageObject* picture = listedPicture("cancel.png");
    QVERIFY(picture);
    auto* table = window->findChild<QTableView*>("tableView");
    table->setCurrentIndex(table->model()->index(0, 0));
    // First 0.7, kept with Ok.
    whenModal<UpdateImageContract>([&](UpdateImageContract* dialog) {
        QSignalSpy changed(dialog, &UpdateImageContract::onImageContractChanged);
        dialog->slider()->setValue(7);
        QVERIFY(changed.wait(5000));
        QTest::keyClick(dialog, Qt::Key_Return);
    }, window.get());
    window->contrastAction->trigger();
    QCOMPARE(picture->contrast, ImageContrast::factorOf(7));
    const QByteArray buffer = fileBytes(picture->bufferPath);
    const QByteArray preview = fileBytes(picture->previewPath());

    // Slider at 0 with the keyboard: black, but the row's thumbnail stays opaque.
    // Then Cancel (or Escape): the picture as it was before the dialog, to the byte.
    for (const bool byEscape : {false, true}) {
        QImage thumbnailAtZero;
        whenModal<UpdateImageContract>([&](UpdateImageContract* dialog) {
            QSignalSpy changed(dialog, &UpdateImageContract::onImageContractChanged);
            dialog->slider()->setFocus();
            QTest::keyClick(dialog->slider(), Qt::Key_Home);
            QVERIFY(changed.wait(5000));
            thumbnailAtZero = picture->loadThumbnail();
            if (byEscape)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel),
                                  Qt::LeftButton);
        }, window.get());
        window->contrastAction->trigger();
        QVERIFY(!thumbnailAtZero.isNull());
        QCOMPARE(thumbnailAtZero.pixelColor(30, 30), QColor(Qt::black));
        QCOMPARE(picture->contrast, ImageContrast::factorOf(7));
        QCOMPARE(fileBytes(picture->bufferPath), buffer);
        QCOMPARE(fileBytes(picture->previewPath()), preview);
        QCOMPARE(shownPreview(*window), picture->loadPreview());
    }
}

void UpdateImageContractTest::screenshots()
{
    // With GYROLUME_SCREENSHOTS set to a directory, the contrast dialog over the window and
    // the picture list's menu are saved there as a user sees them.
    const QString dir = qEnvironmentVariable("GYROLUME_SCREENSHOTS");
    if (dir.isEmpty())
        QSKIP("GYROLUME_SCREENSHOTS not set");
    ImageObject* picture = listedPicture("shot.png");
    QVERIFY(picture);
    listedPicture("shot2.png");
    auto* table = window->findChild<QTableView*>("tableView");
    for (int language : {int(AppSettings::English), int(AppSettings::SimplifiedChinese)}) {
        const QString suffix = language == AppSettings::English ? "en" : "zh_CN";
        if (language == AppSettings::English)
            window->onBtnEnUsClick();
        else
            window->onBtnZhCnClick();
        table->setCurrentIndex(table->model()->index(0, 0));
        window->showInPreview(picture);

        auto* menu = window->findChild<QMenu*>("tableMenu");
        QCursor::setPos(table->viewport()->mapToGlobal(table->visualRect(table->currentIndex()).center()));
        window->onTableViewMenuRequested(QPoint());
        QTRY_VERIFY(menu->isVisible());
        QTest::qWait(100);
        QImage shot = window->grab().toImage();
        drawOver(shot, *window, *menu);
        shot.save(dir + "/contrast_menu_" + suffix + ".png");
        menu->hide();

        whenModal<UpdateImageContract>([&](UpdateImageContract* dialog) {
            int changed = 0;
            connect(dialog, &UpdateImageContract::onImageContractChanged, this, [&] { ++changed; });
            dialog->slider()->setValue(language == AppSettings::English ? 17 : 6);
            QTRY_COMPARE(changed, 1);
            QTest::qWait(100);  // the window repaints
            QImage shot = window->grab().toImage();
            drawOver(shot, *window, *dialog);
            shot.save(dir + "/contrast_dialog_" + suffix + ".png");
            dialog->reject();
        }, window.get());
        window->updateImageContract();
    }
}

QTEST_MAIN(UpdateImageContractTest)
#include "tst_updateimagecontract.moc"
