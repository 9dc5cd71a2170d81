#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "app/playmediahandler.h"
#include "app/progressdialog.h"
#include "import/loadimagesdialog.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "convert/polarconversion.h"
#include "looper/handlerthread.h"
#include "looper/message.h"
#include "playlist/customtablemodel.h"
#include "playlist/imageobjectwidget.h"
#include "playlist/listimageitemdelegate.h"
#include "playlist/mediaobjectwidget.h"
#include "support/modalwidgets.h"
#include "support/testtempdir.h"
#include "support/testwindow.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBox>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

QList<int> numbers(CustomTableModel* model)
{
    QList<int> result;
    for (const CustomTableItem* item : model->items())
        result.append(item->object->number);
    return result;
}

// Closes the next modal window to appear and tells what it was.
struct ModalCatcher
{
    QString className;
    QString text;

    void arm()
    {
        whenModal<QWidget>([this](QWidget* modal) {
            className = QString::fromLatin1(modal->metaObject()->className());
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                text = box->text();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        });
    }
};

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pictureLimit();
    void numbersOfNewPicturesAndClips();
    void reorderPictures();
    void deleteRowDeletesFilesAndRenumbers();
    void clipPlaybackLoopsAndStopsOnSelection();
    void showTimeSteps();
    void loopCountSteps();
    void releaseBeforeFirstBounceStepsOnce();
    void rowEditors();
    void pressOnOpenEditorChoosesRow();
    void paintedRows();
    void importPictureFiles();
    void languages();
    void geometryLabelsAndDisabledActions();
    void progressDialog();
    void screenshots();

private:
    QString pictureFile(const QString& name, const QColor& colour, QSize size = QSize(80, 60));
    MediaObject* makeClip(int frameCount);
    ImageObjectWidget* openPictureEditor(int row);
    MediaObjectWidget* openClipEditor(int row);
    void pressRow(QTableView* table, int row);

    QTemporaryDir files;
    std::unique_ptr<MainWindow> window;
};

void MainWindowTest::initTestCase()
{
    useTestTempRoot();
    QVERIFY(files.isValid());
    qRegisterMetaType<ImageObject*>();
}

void MainWindowTest::init()
{
    // One window per process in the program: each test starts as the program does.
    AppSettings::ledCount = AppSettings::defaultLedCount;
    AppSettings::lineNumber = AppSettings::defaultLineNumber;
    window = showEnglishWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void MainWindowTest::cleanup()
{
    window.reset();
    QCOMPARE(AppSettings::workerThread->queuedCount(), 0);
}

QString MainWindowTest::pictureFile(const QString& name, const QColor& colour, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    // A mark off the centre, so that pictures of one colour still differ from an empty one.
    for (int y = 0; y < size.height() / 4; ++y)
        for (int x = 0; x < size.width() / 4; ++x)
            image.setPixelColor(x + size.width() / 2, y + size.height() / 2, Qt::white);
    const QString path = files.filePath(name);
    image.save(path);
    return path;
}

MediaObject* MainWindowTest::makeClip(int frameCount)
{
    static const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan};
    auto* clip = new MediaObject(0, QStringLiteral("clip.gif"));
    for (int i = 0; i < frameCount; ++i) {
        const QString path = pictureFile(QStringLiteral("frame%1.png").arg(i), colours[i % 5]);
        auto* frame = new ImageObject(i + 1, path, 10.0, ImageObject::GifFrameKind);
        convertToPolar(QImage(path), frame);
        clip->frames.append(frame);
    }
    return clip;
}

void MainWindowTest::pressRow(QTableView* table, int row)
{
    // A page of the tool box just shown is laid out on the next turn of the event loop.
    QTRY_VERIFY(table->isVisible() && table->viewport()->width() > 300);
    // On the thumbnail, where a user takes a row.
    const QRect cell = table->visualRect(table->model()->index(row, 0));
    QTest::mousePress(table->viewport(), Qt::LeftButton, {}, cell.topLeft() + QPoint(30, 30));
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, cell.topLeft() + QPoint(30, 30));
}

ImageObjectWidget* MainWindowTest::openPictureEditor(int row)
{
    auto* table = window->findChild<QTableView*>("tableView");
    const QModelIndex index = table->model()->index(row, 0);
    table->setCurrentIndex(index);
    return qobject_cast<ImageObjectWidget*>(table->indexWidget(index));
}

MediaObjectWidget* MainWindowTest::openClipEditor(int row)
{
    auto* table = window->findChild<QTableView*>("tableViewMedia");
    window->findChild<QToolBox*>("toolBox")->setCurrentIndex(1);
    const QModelIndex index = table->model()->index(row, 0);
    table->setCurrentIndex(index);
    return qobject_cast<MediaObjectWidget*>(table->indexWidget(index));
}

void MainWindowTest::pictureLimit()
{
    const QString source = pictureFile("limit.png", Qt::darkCyan);
    for (int i = 0; i < 49; ++i)
        window->addPictureObject(new ImageObject(0, source, 5.0, ImageObject::PictureKind));
    QCOMPARE(window->pictureModel()->rowCount(), 49);

    // 49 pictures: the file dialog opens.
    ModalCatcher below;
    below.arm();
    window->onActionOpenImage();
    QVERIFY2(below.className.contains("QFileDialog"), qPrintable(below.className));

    // 50 pictures: the limit message, and no file dialog.
    window->addPictureObject(new ImageObject(0, source, 5.0, ImageObject::PictureKind));
    ModalCatcher at;
    at.arm();
    window->onActionOpenImage();
    QCOMPARE(at.className, QStringLiteral("QMessageBox"));
    QCOMPARE(at.text, QStringLiteral("The picture list can hold at most 50 pictures!"));
    QCOMPARE(window->pictureModel()->rowCount(), 50);
    QCOMPARE(numbers(window->pictureModel()).last(), 50);
}

void MainWindowTest::numbersOfNewPicturesAndClips()
{
    const QString source = pictureFile("n.png", Qt::magenta);
    QCOMPARE(window->addPictureFile(source), MainWindow::AddStatus::Added);
    QCOMPARE(window->addPictureFile(source), MainWindow::AddStatus::Added);
    QCOMPARE(numbers(window->pictureModel()), (QList<int>{1, 2}));

    // The copy in the temporary directory is what the picture is made from, and it converts.
    ImageObject* first = pictureAt(window->pictureModel(), 0);
    QVERIFY(first->sourcePath.startsWith(AppSettings::tempDir() + "image_"));
    QVERIFY(first->sourcePath.endsWith(".png"));
    QVERIFY(QFile::exists(first->sourcePath));
    QVERIFY(QFile::exists(first->previewPath()));
    QCOMPARE(first->buffer().size(), Polar::bufferSize(112, 450));
    QCOMPARE(first->showTime, 5.0);
    QCOMPARE(first->kind, int(ImageObject::PictureKind));
    QVERIFY(first->sourcePath != pictureAt(window->pictureModel(), 1)->sourcePath);

    // The largest number plus one, whatever the count.
    pictureAt(window->pictureModel(), 1)->number = 7;
    window->addPictureObject(new ImageObject(0, source, 5.0, ImageObject::PictureKind));
    QCOMPARE(numbers(window->pictureModel()), (QList<int>{1, 7, 8}));

    // Bad input adds nothing.
    QFile text(files.filePath("not-a-picture.png"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("hello");
    text.close();
    QCOMPARE(window->addPictureFile(text.fileName()), MainWindow::AddStatus::NotAPicture);
    QCOMPARE(window->addPictureFile(files.filePath("missing.png")), MainWindow::AddStatus::CopyFailed);
    QCOMPARE(window->pictureModel()->rowCount(), 3);

    // Clips count from 1, as pictures do and as clips read from a drive do.
    window->addClipObject(makeClip(1));
    window->addClipObject(makeClip(1));
    QCOMPARE(numbers(window->clipModel()), (QList<int>{1, 2}));
    QCOMPARE(window->findChild<QToolBox*>("toolBox")->currentIndex(), 1);
}

void MainWindowTest::reorderPictures()
{
    const QString source = pictureFile("r.png", Qt::darkYellow);
    QList<ImageObject*> pictures;
    for (int i = 0; i < 5; ++i) {
        auto* picture = new ImageObject(0, source, 5.0, ImageObject::PictureKind);
        pictures.append(picture);
        window->addPictureObject(picture);
    }

    // The third to place 1, through its row's number combo.
    ImageObjectWidget* editor = openPictureEditor(2);
    QVERIFY(editor);
    QCOMPARE(editor->numberCombo()->currentIndex(), 2);
    QSignalSpy moved(window->findChild<QTableView*>("tableView")->itemDelegate(),
                     SIGNAL(imageIndexChanged(ImageObject*, int, int)));
    editor->numberCombo()->setCurrentIndex(0);
    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved.first().at(1).toInt(), 3);
    QCOMPARE(moved.first().at(2).toInt(), 1);
    QCOMPARE(numbers(window->pictureModel()), (QList<int>{1, 2, 3, 4, 5}));
    QCOMPARE(pictureAt(window->pictureModel(), 0), pictures.at(2));
    QCOMPARE(pictureAt(window->pictureModel(), 1), pictures.at(0));
    QCOMPARE(pictureAt(window->pictureModel(), 2), pictures.at(1));
    QCOMPARE(pictures.at(0)->number, 2);
    QCOMPARE(pictures.at(1)->number, 3);

    // Place 9 in a list of five is place 5.
    QTRY_VERIFY(!window->findChild<ImageObjectWidget*>());  // the reset closed the editor
    editor = openPictureEditor(1);
    QVERIFY(editor);
    QCOMPARE(editor->imageObject(), pictures.at(0));
    editor->numberCombo()->setCurrentIndex(8);
    QCOMPARE(pictures.at(0)->number, 5);
    QCOMPARE(pictureAt(window->pictureModel(), 4), pictures.at(0));
    QCOMPARE(numbers(window->pictureModel()), (QList<int>{1, 2, 3, 4, 5}));
    QCOMPARE(pictureAt(window->pictureModel(), 0), pictures.at(2));
    QCOMPARE(pictureAt(window->pictureModel(), 1), pictures.at(1));
}

void MainWindowTest::deleteRowDeletesFilesAndRenumbers()
{
    for (const QColor& colour : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)})
        QCOMPARE(window->addPictureFile(pictureFile(colour.name() + ".png", colour)),
                 MainWindow::AddStatus::Added);
    auto* table = window->findChild<QTableView*>("tableView");
    auto* del = window->findChild<QPushButton*>("btnDelImage");
    QVERIFY(!del->isEnabled());

    ImageObject* middle = pictureAt(window->pictureModel(), 1);
    const QStringList middleFiles{middle->thumbnailPath(), middle->previewPath(), middle->bufferFilePath()};
    for (const QString& file : middleFiles)
        QVERIFY2(QFile::exists(file), qPrintable(file));
    const QImage middlePreview = middle->loadPreview();

    pressRow(table, 1);
    QCOMPARE(shownPreview(*window), middlePreview);
    QVERIFY(del->isEnabled());
    QTest::mouseClick(del, Qt::LeftButton);

    QCOMPARE(window->pictureModel()->rowCount(), 2);
    for (const QString& file : middleFiles)
        QVERIFY2(!QFile::exists(file), qPrintable(file));
    QCOMPARE(numbers(window->pictureModel()), (QList<int>{1, 2}));
    // The row that took its place is chosen: highlight, preview and buttons agree.
    QCOMPARE(table->currentIndex().row(), 1);
    QVERIFY(table->selectionModel()->isRowSelected(1, QModelIndex()));
    QCOMPARE(shownPreview(*window), pictureAt(window->pictureModel(), 1)->loadPreview());
    QVERIFY(del->isEnabled());
    // The Delete key does what Del does, the last row left then the list empty.
    QTest::keyClick(table, Qt::Key_Delete);
    QCOMPARE(window->pictureModel()->rowCount(), 1);
    QCOMPARE(table->currentIndex().row(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QCOMPARE(window->pictureModel()->rowCount(), 0);
    QVERIFY(!del->isEnabled());

    // A clip goes with its frames' files.
    window->addClipObject(makeClip(2));
    const QString frameFile = static_cast<MediaObject*>(window->clipModel()->items().at(0)->object)
                                  ->frames.at(1)->previewPath();
    QVERIFY(QFile::exists(frameFile));
    auto* clips = window->findChild<QTableView*>("tableViewMedia");
    pressRow(clips, 0);
    QTest::mouseClick(window->findChild<QPushButton*>("btnDelMedia"), Qt::LeftButton);
    QCOMPARE(window->clipModel()->rowCount(), 0);
    QVERIFY(!QFile::exists(frameFile));
    QCOMPARE(window->selectedClip(), nullptr);
    QVERIFY(!window->findChild<QPushButton*>("btnDelMedia")->isEnabled());
}

void MainWindowTest::clipPlaybackLoopsAndStopsOnSelection()
{
    QCOMPARE(window->addPictureFile(pictureFile("still.png", Qt::white)), MainWindow::AddStatus::Added);
    MediaObject* clip = makeClip(3);
    window->addClipObject(clip);
    QList<QImage> frames;
    for (ImageObject* frame : clip->frames)
        frames.append(frame->loadPreview());
    QVERIFY(frames.at(0) != frames.at(1) && frames.at(1) != frames.at(2));

    auto* play = window->findChild<QPushButton*>("btnPlay");
    auto* stop = window->findChild<QPushButton*>("btnStop");
    QVERIFY(play->isHidden());
    pressRow(window->findChild<QTableView*>("tableViewMedia"), 0);
    QCOMPARE(window->selectedClip(), clip);
    QVERIFY(play->isVisible());
    QCOMPARE(shownPreview(*window), frames.at(0));

    // Which frame the preview shows, each time it changes.
    QList<int> shown;
    QList<qint64> at;
    QElapsedTimer clock;
    QTimer sampler;
    sampler.setInterval(5);
    connect(&sampler, &QTimer::timeout, this, [&] {
        const int frame = int(frames.indexOf(shownPreview(*window)));
        if (shown.isEmpty() || shown.last() != frame) {
            shown.append(frame);
            at.append(clock.elapsed());
        }
    });
    shown.append(0);
    at.append(0);
    clock.start();
    sampler.start();
    QTest::mouseClick(play, Qt::LeftButton);
    QVERIFY(window->isPlaying());
    QVERIFY(stop->isVisible() && play->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(shown.size() >= 6, 5000);
    // The first frame shows at once (it already did), then one frame per 200 ms.
    QCOMPARE(shown.mid(0, 6), (QList<int>{0, 1, 2, 0, 1, 2}));
    for (int i = 2; i < 6; ++i)
        QVERIFY2(at.at(i) - at.at(i - 1) >= 150, qPrintable(QString::number(at.at(i) - at.at(i - 1))));

    // Choosing a picture stops it for good.
    window->findChild<QToolBox*>("toolBox")->setCurrentIndex(0);
    pressRow(window->findChild<QTableView*>("tableView"), 0);
    QVERIFY(!window->isPlaying());
    const int changes = shown.size();
    QTest::qWait(700);
    QCOMPARE(shown.size(), changes + 1);  // only the picture itself
    QCOMPARE(shown.last(), -1);
    QCOMPARE(AppSettings::workerThread->queuedCount(), 0);
    QVERIFY(play->isHidden() && stop->isHidden());

    // Play, then Stop, then play again: one chain only, still one frame per 200 ms.
    window->findChild<QToolBox*>("toolBox")->setCurrentIndex(1);
    pressRow(window->findChild<QTableView*>("tableViewMedia"), 0);
    // Stop while the first frame's bounce is already on its way back, then play again.
    std::atomic<int> bounced{0};
    auto counter = connect(window->handler(), &PlayMediaHandler::handlerMessage,
                           [&bounced](Message*) { ++bounced; });
    QTest::mouseClick(play, Qt::LeftButton);
    QElapsedTimer waited;
    waited.start();
    while (bounced.load() == 0 && waited.elapsed() < 5000)
        QThread::msleep(1);
    QTest::mouseClick(stop, Qt::LeftButton);
    QTest::mouseClick(play, Qt::LeftButton);
    while (bounced.load() < 2 && waited.elapsed() < 5000)
        QThread::msleep(1);
    disconnect(counter);
    shown = {int(frames.indexOf(shownPreview(*window)))};
    at = {0};
    clock.restart();
    QTest::qWait(1100);
    // A second chain would show two frames per step: the frames would skip.
    QVERIFY2(shown.size() >= 4 && shown.size() <= 7, qPrintable(QString::number(shown.size())));
    for (int i = 1; i < shown.size(); ++i)
        QCOMPARE(shown.at(i), (shown.at(i - 1) + 1) % 3);
    QTest::mouseClick(stop, Qt::LeftButton);
    QVERIFY(!window->isPlaying());
    QVERIFY(play->isVisible());
}

void MainWindowTest::showTimeSteps()
{
    window->addPictureObject(new ImageObject(0, pictureFile("t.png", Qt::gray), 99.9, ImageObject::PictureKind));
    ImageObject* picture = pictureAt(window->pictureModel(), 0);
    ImageObjectWidget* editor = openPictureEditor(0);
    QVERIFY(editor);
    QCOMPARE(editor->timeEdit()->text(), QStringLiteral("99.9"));

    QTest::mousePress(editor->plusButton(), Qt::LeftButton);
    QTRY_COMPARE(editor->timeEdit()->text(), QStringLiteral("100.1"));
    QCOMPARE(picture->showTime, 100.1);
    QTRY_COMPARE(editor->timeEdit()->text(), QStringLiteral("100"));
    QTest::qWait(450);  // two more steps: it stays
    QCOMPARE(picture->showTime, 100.0);
    QTest::mouseRelease(editor->plusButton(), Qt::LeftButton);

    picture->showTime = 0.6;
    QTest::mousePress(editor->minusButton(), Qt::LeftButton);
    QTRY_COMPARE(editor->timeEdit()->text(), QStringLiteral("0.4"));
    QTRY_COMPARE(editor->timeEdit()->text(), QStringLiteral("0.2"));
    QTest::qWait(450);
    QTest::mouseRelease(editor->minusButton(), Qt::LeftButton);
    QCOMPARE(picture->showTime, 0.2);
    QTest::qWait(300);
    QCOMPARE(picture->showTime, 0.2);
    QTRY_COMPARE(AppSettings::workerThread->queuedCount(), 0);

    // Typing: what parses is stored, an empty field changes nothing.
    editor->timeEdit()->setText("42");
    QCOMPARE(picture->showTime, 42.0);
    editor->timeEdit()->clear();
    QCOMPARE(picture->showTime, 42.0);
}

void MainWindowTest::loopCountSteps()
{
    MediaObject* clip = makeClip(1);
    clip->loopCount = 253;
    window->addClipObject(clip);
    MediaObjectWidget* editor = openClipEditor(0);
    QVERIFY(editor);
    QCOMPARE(editor->loopEdit()->text(), QStringLiteral("253"));

    QTest::mousePress(editor->plusButton(), Qt::LeftButton);
    QTRY_COMPARE(clip->loopCount, 255);
    QTest::qWait(650);
    QCOMPARE(clip->loopCount, 255);
    QTest::mouseRelease(editor->plusButton(), Qt::LeftButton);
    QCOMPARE(editor->loopEdit()->text(), QStringLiteral("255"));

    clip->loopCount = 3;
    QTest::mousePress(editor->minusButton(), Qt::LeftButton);
    QTRY_COMPARE(clip->loopCount, 1);
    QTest::qWait(650);
    QCOMPARE(clip->loopCount, 1);
    QTest::mouseRelease(editor->minusButton(), Qt::LeftButton);
    QCOMPARE(editor->loopEdit()->text(), QStringLiteral("1"));

    // The clip's editor closed while its button is held ends the chain.
    QTest::mousePress(editor->plusButton(), Qt::LeftButton);
    QTRY_COMPARE(clip->loopCount, 2);
    window->findChild<QTableView*>("tableViewMedia")->setCurrentIndex(QModelIndex());
    QTRY_VERIFY(!window->findChild<MediaObjectWidget*>());
    const int after = clip->loopCount;
    QTest::qWait(500);
    QCOMPARE(clip->loopCount, after);
    QCOMPARE(AppSettings::workerThread->queuedCount(), 0);
}

void MainWindowTest::releaseBeforeFirstBounceStepsOnce()
{
    window->addPictureObject(new ImageObject(0, pictureFile("b.png", Qt::gray), 5.0, ImageObject::PictureKind));
    ImageObject* picture = pictureAt(window->pictureModel(), 0);
    ImageObjectWidget* editor = openPictureEditor(0);
    QVERIFY(editor);

    // Count the bounces on the worker itself, before the window has seen them.
    std::atomic<int> bounced{0};
    auto counter = connect(window->handler(), &PlayMediaHandler::handlerMessage,
                           [&bounced](Message*) { ++bounced; });
    QTest::mousePress(editor->plusButton(), Qt::LeftButton);
    QElapsedTimer waited;
    waited.start();
    while (bounced.load() == 0 && waited.elapsed() < 5000)
        QThread::msleep(1);
    QCOMPARE(bounced.load(), 1);
    QTest::mouseRelease(editor->plusButton(), Qt::LeftButton);
    QCOMPARE(picture->showTime, 5.0);  // the bounce has not arrived yet

    QTRY_COMPARE(editor->timeEdit()->text(), QStringLiteral("5.2"));
    QTest::qWait(600);
    QCOMPARE(picture->showTime, 5.2);
    QCOMPARE(bounced.load(), 1);
    disconnect(counter);
}

void MainWindowTest::rowEditors()
{
    // A clip frame in the picture list: only the thumbnail in its editor.
    window->addPictureObject(new ImageObject(0, pictureFile("f.png", Qt::gray), 10.0, ImageObject::GifFrameKind));
    ImageObjectWidget* frameEditor = openPictureEditor(0);
    QVERIFY(frameEditor);
    QVERIFY(!frameEditor->numberCombo());
    QVERIFY(!frameEditor->timeEdit());
    QVERIFY(frameEditor->plusButton()->isHidden() && frameEditor->minusButton()->isHidden());

    // Entry 5 of the picture numbered 2 asks for (picture, 2, 5).
    window->addPictureObject(new ImageObject(0, pictureFile("g.png", Qt::gray), 5.0, ImageObject::PictureKind));
    ImageObjectWidget* editor = openPictureEditor(1);
    QVERIFY(editor);
    QCOMPARE(editor->numberCombo()->count(), 50);
    QCOMPARE(editor->numberCombo()->itemText(4), QStringLiteral("5 "));
    QSignalSpy changed(editor, &ImageObjectWidget::imageIndexChanged);
    editor->numberCombo()->setCurrentIndex(4);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().at(0).value<ImageObject*>(), pictureAt(window->pictureModel(), 1));
    QCOMPARE(changed.first().at(1).toInt(), 2);
    QCOMPARE(changed.first().at(2).toInt(), 5);

    // 25 frames: "25 picture, show 2.5 s".
    window->addClipObject(makeClip(25));
    MediaObjectWidget* clipEditor = openClipEditor(0);
    QVERIFY(clipEditor);
    QCOMPARE(clipEditor->textLabel()->text(), QStringLiteral("25 picture, show 2.5 s"));
    window->onBtnZhCnClick();
    window->findChild<QTableView*>("tableViewMedia")->setCurrentIndex(QModelIndex());
    clipEditor = openClipEditor(0);
    QVERIFY(clipEditor);
    QCOMPARE(clipEditor->textLabel()->text(), QStringLiteral("25张图片  显示2.5秒"));
}

void MainWindowTest::pressOnOpenEditorChoosesRow()
{
    QCOMPARE(window->addPictureFile(pictureFile("p1.png", Qt::darkMagenta)), MainWindow::AddStatus::Added);
    window->addClipObject(makeClip(2));
    const QImage picturePreview = pictureAt(window->pictureModel(), 0)->loadPreview();

    // The picture's editor stays open while a clip is chosen on the other page.
    window->findChild<QToolBox*>("toolBox")->setCurrentIndex(0);
    pressRow(window->findChild<QTableView*>("tableView"), 0);
    ImageObjectWidget* editor = qobject_cast<ImageObjectWidget*>(
        window->findChild<QTableView*>("tableView")->indexWidget(window->pictureModel()->index(0, 0)));
    QVERIFY(editor);
    window->findChild<QToolBox*>("toolBox")->setCurrentIndex(1);
    pressRow(window->findChild<QTableView*>("tableViewMedia"), 0);
    QVERIFY(shownPreview(*window) != picturePreview);

    // Back on the pictures, a press lands on the editor, and still chooses its row.
    window->findChild<QToolBox*>("toolBox")->setCurrentIndex(0);
    QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(30, 30));
    QCOMPARE(shownPreview(*window), picturePreview);
    QVERIFY(window->findChild<QPushButton*>("btnDelImage")->isEnabled());
    QVERIFY(window->findChild<QPushButton*>("btnPlay")->isHidden());
}

void MainWindowTest::paintedRows()
{
    const QString source = pictureFile("painted.png", QColor(200, 30, 30), QSize(60, 60));
    for (int i = 0; i < 4; ++i)
        window->addPictureObject(new ImageObject(0, source, 5.0, ImageObject::PictureKind));
    window->addPictureObject(new ImageObject(0, source, 10.0, ImageObject::GifFrameKind));
    auto* table = window->findChild<QTableView*>("tableView");
    openPictureEditor(1);
    table->selectRow(1);

    // One row under edit owns widgets; the others are painted.
    QCOMPARE(table->findChildren<ImageObjectWidget*>().size(), 1);
    QCOMPARE(table->findChildren<QComboBox*>().size(), 1);

    const QImage shot = table->viewport()->grab().toImage();
    const QColor background = shot.pixelColor(table->viewport()->width() - 5, 4 * 60 + 30);
    for (int row : {0, 2, 3, 4}) {
        const int top = row * 60;
        QCOMPARE(shot.pixelColor(5, top + 5), QColor(200, 30, 30));  // the thumbnail
        // The combo, the time panel and the buttons are drawn, for a clip frame too.
        for (int x : {60 + 35, 60 + 105 + 2, 60 + 170 + 10}) {
            bool drawn = false;
            for (int y = top + 17; y < top + 42 && !drawn; ++y)
                drawn = shot.pixelColor(x, y) != background;
            QVERIFY2(drawn, qPrintable(QString("row %1 x %2").arg(row).arg(x)));
        }
    }
    // The row under edit is the editor's blue.
    QCOMPARE(shot.pixelColor(table->viewport()->width() - 5, 60 + 30), QColor(40, 100, 220));

}

void MainWindowTest::importPictureFiles()
{
    // Import Picture with a picture and a file that is none: the picture joins the list,
    // the other is named in a message, and the next dialog starts in the pictures' folder.
    QDir().mkpath(files.filePath("import"));
    const QString good = files.filePath("import/good.png");
    QVERIFY(QFile::copy(pictureFile("good-source.png", Qt::darkGreen), good));
    QFile bad(files.filePath("import/bad.jpg"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();

    QStringList seen;
    QString message;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, this, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* import = qobject_cast<LoadImagesDialog*>(modal)) {
            if (import->completedButton()->isEnabled())
                import->completedButton()->click();
        }
        if (!modal || (!seen.isEmpty() && seen.last() == modal->metaObject()->className()))
            return;
        seen << modal->metaObject()->className();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            dialog->setDirectory(files.filePath("import"));
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText("\"good.png\" \"bad.jpg\"");
            static_cast<QDialog*>(dialog)->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            message = box->text();
            box->accept();
        }
    });
    poll.start();
    window->actionOpenImage->trigger();
    poll.stop();

    QCOMPARE(seen, (QStringList{"QFileDialog", "LoadImagesDialog", "QMessageBox"}));
    QCOMPARE(window->pictureModel()->rowCount(), 1);
    QCOMPARE(pictureAt(window->pictureModel(), 0)->number, 1);
    QVERIFY2(message.contains("bad.jpg") && !message.contains("good.png"), qPrintable(message));
    QCOMPARE(QDir(AppSettings::openDir).canonicalPath(), QDir(files.filePath("import")).canonicalPath());
    QCOMPARE(window->findChild<QToolBox*>("toolBox")->currentIndex(), 0);
}

void MainWindowTest::languages()
{
    // Start-up: China gives Simplified Chinese, Taiwan and everywhere else English.
    window.reset();
    AppSettings::language = AppSettings::NoLanguage;
    window = std::make_unique<MainWindow>();
    window->chooseStartLanguage(QLocale(QLocale::Chinese, QLocale::China));
    QCOMPARE(AppSettings::language, int(AppSettings::SimplifiedChinese));
    QCOMPARE(window->actionDownload->text(), QStringLiteral("下载到U盘"));
    auto* toolBox = window->findChild<QToolBox*>("toolBox");
    QCOMPARE(toolBox->itemText(0), QStringLiteral("图片列表"));
    QCOMPARE(toolBox->itemText(1), QStringLiteral("视频列表"));
    QVERIFY(window->windowTitle() != QStringLiteral("Gyrolume"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));

    window.reset();
    AppSettings::language = AppSettings::NoLanguage;
    window = std::make_unique<MainWindow>();
    window->chooseStartLanguage(QLocale(QLocale::Chinese, QLocale::Taiwan));
    QCOMPARE(AppSettings::language, int(AppSettings::English));
    QCOMPARE(window->windowTitle(), QStringLiteral("Gyrolume"));
    toolBox = window->findChild<QToolBox*>("toolBox");
    QCOMPARE(toolBox->itemText(0), QStringLiteral("Picture List"));

    // The button of the current language does nothing: nothing is reloaded or retranslated.
    window->actionDownload->setText("changed");
    QTest::mouseClick(window->findChild<QPushButton*>("btnEnUs"), Qt::LeftButton);
    QCOMPARE(window->actionDownload->text(), QStringLiteral("changed"));

    // Traditional Chinese, toolkit texts included; English brings the toolkit's back.
    QTest::mouseClick(window->findChild<QPushButton*>("btnZhHk"), Qt::LeftButton);
    QCOMPARE(AppSettings::language, int(AppSettings::TraditionalChinese));
    QCOMPARE(window->actionDownload->text(), QStringLiteral("下載到U盤"));
    QCOMPARE(toolBox->itemText(0), QStringLiteral("圖片列表"));
    QCOMPARE(window->findChild<QPushButton*>("btnDelMedia")->text(), QStringLiteral("刪除視頻"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Gyrolume 旋轉LED屏編輯工具"));
    QDialogButtonBox chinese(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(chinese.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));

    QTest::mouseClick(window->findChild<QPushButton*>("btnEnUs"), Qt::LeftButton);
    QCOMPARE(AppSettings::language, int(AppSettings::English));
    QCOMPARE(window->actionDownload->text(), QStringLiteral("Download"));
    QCOMPARE(window->findChild<QPushButton*>("btnDelMedia")->text(), QStringLiteral("Del"));
    QDialogButtonBox english(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(english.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));

    QTest::mouseClick(window->findChild<QPushButton*>("btnZhCn"), Qt::LeftButton);
    QCOMPARE(window->findChild<QPushButton*>("btnEditImage")->text(), QStringLiteral("编辑图片"));
    QCOMPARE(toolBox->itemText(0), QStringLiteral("图片列表"));
    QCOMPARE(window->actionLedCount->text(), QStringLiteral("LED数量"));
    // The language buttons stay as they were.
    for (const char* name : {"btnZhCn", "btnZhHk", "btnEnUs"})
        QVERIFY(window->findChild<QPushButton*>(name)->isCheckable());
}

void MainWindowTest::geometryLabelsAndDisabledActions()
{
    const auto labels = window->statusBar()->findChildren<QLabel*>();
    QStringList texts;
    for (const QLabel* label : labels)
        texts << label->text();
    QVERIFY2(texts.contains(" Ver: 20170421_0.25"), qPrintable(texts.join('|')));
    QVERIFY(texts.contains(" LINE:450"));
    QVERIFY(texts.contains(" LED:112"));

    AppSettings::ledCount = 36;
    AppSettings::lineNumber = 360;
    window->refreshGeometryLabels();
    texts.clear();
    for (const QLabel* label : labels)
        texts << label->text();
    QVERIFY(texts.contains(" LINE:360"));
    QVERIFY(texts.contains(" LED:36"));

    // Every action works: the picture, GIF and video imports, the drive jobs, the settings,
    // the contrast and the drawing editor.
    for (QAction* action : {window->actionOpenImage, window->actionDownload, window->actionPreview,
                            window->actionRestoreFactory, window->actionSettingColor,
                            window->actionLedCount, window->actionLineNumber, window->contrastAction,
                            window->actionLoadGif, window->actionLoadMedia, window->actionNewDiy})
        QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
    QVERIFY(!window->findChild<QPushButton*>("btnEditImage")->isEnabled());
    QVERIFY(window->findChild<QPushButton*>("btnEditMedia")->isHidden());
}

void MainWindowTest::progressDialog()
{
    // The job's end closes the box without the user.
    QTimer::singleShot(100, window.get(), [this] {
        QVERIFY(window->progressDialog());
        QVERIFY(window->progressDialog()->isVisible());
        window->progressDialog()->setProgress(3, 10);
        QCOMPARE(window->progressDialog()->progressBar()->text(), QStringLiteral("3 / 10"));
        window->closeProgressDialog();
    });
    QCOMPARE(window->runProgressDialog("working"), int(QDialog::Accepted));
    QVERIFY(!window->progressDialog());

    // Cancel closes it at once; the job's later end finds nothing to close.
    QPointer<ProgressDialog> shown;
    QTimer::singleShot(100, window.get(), [&] {
        shown = window->progressDialog();
        QCOMPARE(shown->windowTitle(), QStringLiteral("Tip"));
        QVERIFY(shown->progressBar()->isHidden());
        QCOMPARE(shown->buttonBox()->buttons().size(), 1);
        QCOMPARE(shown->buttonBox()->buttons().first()->text(), QStringLiteral("Cancel"));
        QTest::mouseClick(shown->buttonBox()->buttons().first(), Qt::LeftButton);
    });
    QCOMPARE(window->runProgressDialog("reading"), int(QDialog::Rejected));
    QVERIFY(!window->progressDialog());
    QVERIFY(shown.isNull());
    window->closeProgressDialog();

    // Totals beyond an int still read right.
    ProgressDialog big("bytes");
    big.setProgress(3'000'000'000LL, 6'000'000'000LL);
    QCOMPARE(big.progressBar()->text(), QStringLiteral("3000000000 / 6000000000"));
    QCOMPARE(big.progressBar()->value() * 2, big.progressBar()->maximum());
}

void MainWindowTest::screenshots()
{
    // With GYROLUME_SCREENSHOTS set to a directory, the window is saved there as a user
    // sees it, in English and Simplified Chinese.
    const QString dir = qEnvironmentVariable("GYROLUME_SCREENSHOTS");
    if (dir.isEmpty())
        QSKIP("GYROLUME_SCREENSHOTS not set");
    const QColor colours[] = {QColor(230, 60, 40), QColor(40, 160, 70), QColor(40, 90, 220), QColor(240, 200, 40)};
    for (int i = 0; i < 4; ++i)
        window->addPictureFile(pictureFile(QStringLiteral("shot%1.png").arg(i), colours[i], QSize(300, 200)));
    pictureAt(window->pictureModel(), 1)->showTime = 12.4;
    window->addClipObject(makeClip(3));
    window->addClipObject(makeClip(25));
    window->resize(1000, 700);
    for (int language : {int(AppSettings::English), int(AppSettings::SimplifiedChinese)}) {
        if (language == AppSettings::English)
            window->onBtnEnUsClick();
        else
            window->onBtnZhCnClick();
        const QString suffix = language == AppSettings::English ? "en" : "zh_CN";
        auto* toolBox = window->findChild<QToolBox*>("toolBox");
        toolBox->setCurrentIndex(0);
        pressRow(window->findChild<QTableView*>("tableView"), 1);
        QTest::qWait(100);
        window->grab().save(dir + "/mainwindow_pictures_" + suffix + ".png");
        toolBox->setCurrentIndex(1);
        pressRow(window->findChild<QTableView*>("tableViewMedia"), 0);
        QTest::qWait(100);
        window->grab().save(dir + "/mainwindow_clips_" + suffix + ".png");
        window->resize(800, 600);
        QTest::qWait(100);
        window->grab().save(dir + "/mainwindow_min_" + suffix + ".png");
        window->resize(1000, 700);
        QTimer::singleShot(300, window.get(), [this, dir, suffix] {
            window->progressDialog()->setProgress(12, 40);
            window->progressDialog()->grab().save(dir + "/progress_" + suffix + ".png");
            window->closeProgressDialog();
        });
        window->runProgressDialog(QCoreApplication::translate("MainWindow", "dialog_title_downloading"));
    }
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
