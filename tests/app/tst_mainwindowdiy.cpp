#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "convert/imageobject.h"
#include "diy/diyfanpreview.h"
#include "diy/diyform.h"
#include "diy/diypainter.h"
#include "diy/modalscript.h"
#include "diy/diyinput.h"
#include "playlist/customtablemodel.h"
#include "support/testtempdir.h"
#include "support/testwindow.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBox>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {
// Draws a red rectangle in the form that has just opened and ends it with Ok, No.
ModalScript::Step drawAndFinish(QRect rect, QSize* canvasSize = nullptr)
{
    return [rect, canvasSize](QWidget* modal) {
        auto* form = qobject_cast<DiyForm*>(modal);
        QVERIFY(form);
        if (canvasSize)
            *canvasSize = form->canvas()->size();
        form->findChild<QToolButton*>("btnShapeRect")->click();
        form->canvas()->brushColor = Qt::red;
        form->canvas()->penColor = Qt::red;
        DiyInput::drag(form->canvas(), rect.topLeft(), rect.bottomRight());
        // Queued: the question it opens is answered by the next step of the script.
        QMetaObject::invokeMethod(form->findChild<QPushButton*>("okBut"), "click", Qt::QueuedConnection);
    };
}
} // namespace

class MainWindowDiyTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void newDiyAddsADiyPicture();
    void pictureEditingConvertsInPlace();
    void editingALargePictureShowsItsOutputArea();
    void screenshots();

private:
    QTemporaryDir files;
    std::unique_ptr<MainWindow> window;
};

void MainWindowDiyTest::initTestCase()
{
    useTestTempRoot();
    QVERIFY(files.isValid());
}

void MainWindowDiyTest::init()
{
    window = showEnglishWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void MainWindowDiyTest::cleanup()
{
    window.reset();
}

void MainWindowDiyTest::newDiyAddsADiyPicture()
{
    QVERIFY(window->actionNewDiy->isEnabled());
    // Given up: nothing joins the list.
    {
        ModalScript script({[](QWidget* modal) { static_cast<QDialog*>(modal)->close(); }});
        window->actionNewDiy->trigger();
        QCOMPARE(script.seen, QStringList{"DiyForm"});
    }
    QCOMPARE(window->pictureModel()->rowCount(), 0);

    QSize formSize;
    {
        ModalScript script({[&formSize](QWidget* modal) {
                                formSize = modal->size();
                                drawAndFinish(QRect(QPoint(200, 200), QPoint(250, 250)))(modal);
                            },
                            ModalScript::answer(QMessageBox::No)});
        window->actionNewDiy->trigger();
        QCOMPARE(script.seen.size(), 2);
    }
    QCOMPARE(formSize, window->size());
    QCOMPARE(window->pictureModel()->rowCount(), 1);
    ImageObject* picture = pictureAt(window->pictureModel(), 0);
    QCOMPARE(picture->kind, int(ImageObject::DiyKind));
    QCOMPARE(picture->number, 1);
    QCOMPARE(picture->showTime, 5.0);
    QCOMPARE(picture->sourcePath, AppSettings::tempDir() + "diy_1.png");
    const QImage saved(picture->sourcePath);
    QCOMPARE(saved.size(), QSize(450, 450));
    QCOMPARE(saved.pixel(225, 225), qRgb(255, 0, 0));
    QCOMPARE(saved.pixel(100, 100), qRgb(255, 255, 255));
    QCOMPARE(picture->buffer().size(), 114688);
    // The fan's centre shows the red drawing.
    QCOMPARE(picture->loadPreview().pixel(225, 225), qRgb(255, 0, 0));
    QVERIFY(QFileInfo::exists(picture->thumbnailPath()));
    QCOMPARE(window->findChild<QToolBox*>("toolBox")->currentIndex(), 0);

    // The next DIY picture gets the next file and number.
    {
        ModalScript script({drawAndFinish(QRect(QPoint(10, 10), QPoint(30, 30))),
                            ModalScript::answer(QMessageBox::No)});
        window->actionNewDiy->trigger();
    }
    QCOMPARE(window->pictureModel()->rowCount(), 2);
    QCOMPARE(pictureAt(window->pictureModel(), 1)->sourcePath, AppSettings::tempDir() + "diy_2.png");
    QCOMPARE(pictureAt(window->pictureModel(), 1)->number, 2);
}

void MainWindowDiyTest::pictureEditingConvertsInPlace()
{
    QImage photo(600, 500, QImage::Format_RGB32);
    photo.fill(Qt::darkBlue);
    const QString path = files.filePath("photo.png");
    QVERIFY(photo.save(path));
    QCOMPARE(window->addPictureFile(path), MainWindow::AddStatus::Added);
    ImageObject* picture = pictureAt(window->pictureModel(), 0);
    const QString source = picture->sourcePath;
    const QByteArray before = picture->buffer();
    QCOMPARE(picture->loadPreview().pixel(225, 225), QColor(Qt::darkBlue).rgb());

    auto* table = window->findChild<QTableView*>("tableView");
    auto* edit = window->findChild<QPushButton*>("btnEditImage");
    const QModelIndex index = table->model()->index(0, 0);
    table->setCurrentIndex(index);
    window->pressImageWidget(index);
    QVERIFY(edit->isEnabled());

    QSize canvasSize;
    {
        ModalScript script({drawAndFinish(QRect(QPoint(280, 230), QPoint(320, 270)), &canvasSize),
                            ModalScript::answer(QMessageBox::No)});
        edit->click();
        QCOMPARE(script.seen.size(), 2);
    }
    // The editor opened the picture's own file; the file now holds the output area.
    QCOMPARE(canvasSize, QSize(600, 500));
    QCOMPARE(window->pictureModel()->rowCount(), 1);
    QCOMPARE(picture->sourcePath, source);
    const QImage rewritten(source);
    QCOMPARE(rewritten.size(), QSize(450, 450));
    QCOMPARE(rewritten.pixel(225, 225), qRgb(255, 0, 0));
    QCOMPARE(rewritten.pixel(20, 20), QColor(Qt::darkBlue).rgb());
    QCOMPARE(picture->kind, int(ImageObject::PictureKind));
    QVERIFY(picture->buffer() != before);
    QCOMPARE(picture->buffer().size(), 114688);
    QCOMPARE(picture->loadPreview().pixel(225, 225), qRgb(255, 0, 0));
    QCOMPARE(picture->loadThumbnail().size(), QSize(60, 60));
    QCOMPARE(picture->loadThumbnail().pixel(30, 30), qRgb(255, 0, 0));
    // The window's preview shows the new picture.
    auto* preview = window->findChild<QWidget*>("previewWidget");
    QCOMPARE(preview->palette().brush(QPalette::Active, QPalette::Window).textureImage().pixel(225, 225),
             qRgb(255, 0, 0));

    // Given up: the picture stays as it is.
    const QByteArray edited = picture->buffer();
    {
        ModalScript script({[](QWidget* modal) { static_cast<QDialog*>(modal)->close(); }});
        edit->click();
    }
    QVERIFY(picture->buffer() == edited);

    // A picture read back from a drive cannot be edited.
    auto* readBack = new ImageObject(2, QString(), 1.0, ImageObject::ReadBackPictureKind);
    window->addPictureObject(readBack);
    window->showInPreview(readBack);
    QVERIFY(!edit->isEnabled());
}

void MainWindowDiyTest::editingALargePictureShowsItsOutputArea()
{
    // The window at the size it starts with.
    window = showEnglishWindow(QSize());
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QImage photo(1920, 1080, QImage::Format_RGB32);
    photo.fill(Qt::darkBlue);
    const QString path = files.filePath("wide.png");
    QVERIFY(photo.save(path));
    QCOMPARE(window->addPictureFile(path), MainWindow::AddStatus::Added);
    QCOMPARE(window->addPictureFile(path), MainWindow::AddStatus::Added);
    ImageObject* picture = pictureAt(window->pictureModel(), 0);

    auto* table = window->findChild<QTableView*>("tableView");
    const QModelIndex index = table->model()->index(0, 0);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
    QTRY_VERIFY(table->indexWidget(index));  // the row editor is open

    // Looked at in the form, asserted once it has closed (a failed check must not leave it open).
    QRect area;
    QRect view;
    bool previewShowsTheStroke = false;
    ModalScript script({[&](QWidget* modal) {
                            auto* form = qobject_cast<DiyForm*>(modal);
                            DiyPainter* canvas = form->canvas();
                            QWidget* viewport = form->findChild<QScrollArea*>("scrollArea")->viewport();
                            area = QRect(canvas->mapTo(viewport, canvas->outputArea().topLeft()), QSize(450, 450));
                            view = viewport->rect();
                            // A stroke across the middle of the view.
                            QTest::mouseClick(form->findChild<QToolButton*>("btnShapePen"), Qt::LeftButton);
                            canvas->penColor = Qt::red;
                            canvas->penWidth = 40;
                            const QPoint middle = canvas->mapFrom(viewport, viewport->rect().center());
                            DiyInput::drag(canvas, middle - QPoint(100, 0), middle + QPoint(100, 0));
                            auto* preview = form->findChild<DiyFanPreview*>("fanPreview");
                            previewShowsTheStroke = QTest::qWaitFor(
                                [preview] { return preview->preview().pixel(225, 225) == qRgb(255, 0, 0); });
                            QMetaObject::invokeMethod(form->findChild<QPushButton*>("okBut"), "click",
                                                      Qt::QueuedConnection);
                        },
                        ModalScript::answer(QMessageBox::No)});
    QTest::mouseClick(window->findChild<QPushButton*>("btnEditImage"), Qt::LeftButton);
    QCOMPARE(script.seen.size(), 2);
    // The output area was in view, and the stroke drawn there reached the fan preview.
    QVERIFY2(view.contains(area), qPrintable(QStringLiteral("%1,%2 in %3x%4")
                                                 .arg(area.x()).arg(area.y()).arg(view.width()).arg(view.height())));
    QVERIFY(previewShowsTheStroke);
    QCOMPARE(QImage(picture->sourcePath).pixel(225, 225), qRgb(255, 0, 0));

    // The row shows the new thumbnail, in its open editor and painted once the editor closes.
    auto redInRow = [table, index] {
        const QImage row = table->viewport()->grab(table->visualRect(index)).toImage();
        int red = 0;
        for (int y = 0; y < row.height(); ++y)
            for (int x = 0; x < qMin(row.width(), 80); ++x)
                red += QColor(row.pixel(x, y)) == QColor(Qt::red);
        return red;
    };
    QVERIFY(table->indexWidget(index));
    QTRY_VERIFY(redInRow() > 10);
    const QModelIndex next = table->model()->index(1, 0);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(next).center());
    QTRY_VERIFY(!table->indexWidget(index));
    QTRY_VERIFY(redInRow() > 10);
}

void MainWindowDiyTest::screenshots()
{
    // With GYROLUME_SCREENSHOTS set, the window after New DIY: the new row and its preview.
    const QString shots = qEnvironmentVariable("GYROLUME_SCREENSHOTS");
    if (shots.isEmpty())
        QSKIP("GYROLUME_SCREENSHOTS not set");
    ModalScript script({[](QWidget* modal) {
                            auto* form = qobject_cast<DiyForm*>(modal);
                            DiyPainter* canvas = form->canvas();
                            canvas->setBackgroundColor(QColor(20, 24, 60));
                            form->findChild<QToolButton*>("btnShapeRound")->click();
                            canvas->brushColor = QColor(255, 200, 0);
                            canvas->penColor = QColor(255, 120, 0);
                            DiyInput::drag(canvas, {125, 125}, {325, 325});
                            form->findChild<QToolButton*>("btnShapeRect")->click();
                            canvas->brushColor = QColor(40, 120, 255);
                            DiyInput::drag(canvas, {60, 200}, {120, 250});
                            QMetaObject::invokeMethod(form->findChild<QPushButton*>("okBut"), "click",
                                                      Qt::QueuedConnection);
                        },
                        ModalScript::answer(QMessageBox::No)});
    window->actionNewDiy->trigger();
    auto* table = window->findChild<QTableView*>("tableView");
    const QModelIndex index = table->model()->index(0, 0);
    table->setCurrentIndex(index);
    window->pressImageWidget(index);
    QTest::qWait(200);
    window->grab().save(shots + "/mainwindow_diy_en.png");
}

QTEST_MAIN(MainWindowDiyTest)
#include "tst_mainwindowdiy.moc"
