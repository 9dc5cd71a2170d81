// What the user types, clicks and deletes in the playlist's rows is what the rows get.
#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "looper/handlerthread.h"
#include "playlist/customtablemodel.h"
#include "playlist/imageobjectwidget.h"
#include "playlist/mediaobjectwidget.h"
#include "support/testtempdir.h"
#include "support/testwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBox>
#include <QtTest>

#include <memory>

namespace {

void retype(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

} // namespace

class PlaylistEditsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void typedValuesStayWithinWhatTheCardHolds();
    void clickOnAClosedRowReachesItsControl();
    void everyRowCanBeMovedAndDeleted();

private:
    QString addPictures(int count);
    void addClips(int count);
    QTableView* pictureTable() const { return window->findChild<QTableView*>("tableView"); }
    QTableView* clipTable() const { return window->findChild<QTableView*>("tableViewMedia"); }
    template<typename Editor>
    Editor* openEditor(QTableView* table, int row);

    QTemporaryDir files;
    QString source;
    std::unique_ptr<MainWindow> window;
};

void PlaylistEditsTest::initTestCase()
{
    useTestTempRoot();
    QImage image(80, 60, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    source = files.filePath("p.png");
    QVERIFY(image.save(source));
}

void PlaylistEditsTest::init()
{
    window = showEnglishWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void PlaylistEditsTest::cleanup()
{
    window.reset();
    QCOMPARE(AppSettings::workerThread->queuedCount(), 0);
}

QString PlaylistEditsTest::addPictures(int count)
{
    for (int i = 0; i < count; ++i)
        window->addPictureObject(new ImageObject(0, source, 5.0, ImageObject::PictureKind));
    window->findChild<QToolBox*>("toolBox")->setCurrentIndex(0);
    return source;
}

void PlaylistEditsTest::addClips(int count)
{
    for (int i = 0; i < count; ++i) {
        auto* clip = new MediaObject(0, QStringLiteral("clip%1.gif").arg(i));
        clip->frames.append(new ImageObject(1, source, 0.2, ImageObject::GifFrameKind));
        window->addClipObject(clip);
    }
}

template<typename Editor>
Editor* PlaylistEditsTest::openEditor(QTableView* table, int row)
{
    const QModelIndex index = table->model()->index(row, 0);
    table->setCurrentIndex(index);
    return qobject_cast<Editor*>(table->indexWidget(index));
}

void PlaylistEditsTest::typedValuesStayWithinWhatTheCardHolds()
{
    addPictures(1);
    ImageObject* picture = pictureAt(window->pictureModel(), 0);
    auto* editor = openEditor<ImageObjectWidget>(pictureTable(), 0);
    QVERIFY(editor);
    QLineEdit* time = editor->timeEdit();

    // Decimals as the buttons step them; the point whatever the system's language.
    retype(time, "2.5");
    QCOMPARE(time->text(), QStringLiteral("2.5"));
    QCOMPARE(picture->showTime, 2.5);
    retype(time, "2.55");  // one decimal only
    QCOMPARE(time->text(), QStringLiteral("2.5"));
    retype(time, "100");
    QCOMPARE(picture->showTime, 100.0);
    retype(time, "101");  // above the top: the last digit is refused
    QCOMPARE(time->text(), QStringLiteral("10"));
    QCOMPARE(picture->showTime, 10.0);
    retype(time, "100.5");
    QCOMPARE(picture->showTime, 100.0);
    retype(time, "999");
    QCOMPARE(time->text(), QStringLiteral("99"));
    retype(time, "1e2");
    QCOMPARE(time->text(), QStringLiteral("12"));
    retype(time, "-3");
    QCOMPARE(time->text(), QStringLiteral("3"));

    addClips(1);
    MediaObject* clip = clipAt(window->clipModel(), 0);
    window->findChild<QToolBox*>("toolBox")->setCurrentIndex(1);
    auto* clipEditor = openEditor<MediaObjectWidget>(clipTable(), 0);
    QVERIFY(clipEditor);
    auto* loop = clipEditor->findChild<QLineEdit*>();
    QVERIFY(loop);
    retype(loop, "255");
    QCOMPARE(clip->loopCount, 255);
    // 256 would reach the card as 0, 999 as 231.
    retype(loop, "256");
    QCOMPARE(loop->text(), QStringLiteral("25"));
    QCOMPARE(clip->loopCount, 25);
    retype(loop, "999");
    QCOMPARE(clip->loopCount, 99);
    retype(loop, "2.5");
    QCOMPARE(clip->loopCount, 25);
}

void PlaylistEditsTest::clickOnAClosedRowReachesItsControl()
{
    addPictures(3);
    QTableView* table = pictureTable();
    QTRY_VERIFY(table->isVisible() && table->viewport()->width() > 300);
    auto clickRow = [table](int row, int x) {
        const QRect cell = table->visualRect(table->model()->index(row, 0));
        const QPoint at(cell.left() + x, cell.top() + 30);
        QTest::mousePress(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, at);
    };

    // The time field of row 2 (x 165..205): the keyboard goes to it, so a digit typed next
    // changes the time and leaves the picture in its place.
    ImageObject* second = pictureAt(window->pictureModel(), 1);
    clickRow(1, 185);
    auto* editor = qobject_cast<ImageObjectWidget*>(table->indexWidget(table->model()->index(1, 0)));
    QVERIFY(editor);
    QTRY_COMPARE(QApplication::focusWidget(), editor->timeEdit());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClicks(QApplication::focusWidget(), "3");
    QCOMPARE(second->showTime, 3.0);
    QCOMPARE(pictureAt(window->pictureModel(), 1), second);
    QCOMPARE(second->number, 2);

    // The plus button of row 3 (x 230..250): one step.
    ImageObject* third = pictureAt(window->pictureModel(), 2);
    clickRow(2, 240);
    QTRY_COMPARE(third->showTime, 5.2);
    QTest::qWait(300);  // a held button would step again by now
    QCOMPARE(third->showTime, 5.2);

    // The thumbnail of row 1 has no control: the row is chosen, nothing else.
    clickRow(0, 30);
    QTRY_VERIFY(table->indexWidget(table->model()->index(0, 0)));
    QCOMPARE(pictureAt(window->pictureModel(), 0)->showTime, 5.0);
    QVERIFY(window->findChild<QPushButton*>("btnDelImage")->isEnabled());
}

void PlaylistEditsTest::everyRowCanBeMovedAndDeleted()
{
    // More than 50 pictures (a read-back file or several imports): the last can still be
    // moved to any place, and to the last place.
    addPictures(55);
    auto* editor = openEditor<ImageObjectWidget>(pictureTable(), 53);
    QVERIFY(editor);
    QCOMPARE(editor->numberCombo()->count(), 55);
    QCOMPARE(editor->numberCombo()->currentText(), QStringLiteral("54 "));
    ImageObject* moved = pictureAt(window->pictureModel(), 53);
    editor->numberCombo()->setCurrentIndex(54);
    QCOMPARE(pictureAt(window->pictureModel(), 54), moved);
    QCOMPARE(moved->number, 55);

    // Rows 2 to 4 selected: Del removes the three, and the rest are numbered anew.
    QList<ImageObject*> kept;
    for (int row : {0, 4, 5})
        kept.append(pictureAt(window->pictureModel(), row));
    QTableView* table = pictureTable();
    table->setCurrentIndex(table->model()->index(1, 0));
    table->selectionModel()->select(QItemSelection(table->model()->index(1, 0), table->model()->index(3, 0)),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    window->pressImageWidget(table->model()->index(3, 0));  // as the shift-click's press does
    QTest::mouseClick(window->findChild<QPushButton*>("btnDelImage"), Qt::LeftButton);
    QCOMPARE(window->pictureModel()->rowCount(), 52);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(pictureAt(window->pictureModel(), i == 0 ? 0 : i), kept.at(i));
    QCOMPARE(pictureAt(window->pictureModel(), 51)->number, 52);

    // The clip list alike.
    addClips(4);
    MediaObject* last = clipAt(window->clipModel(), 3);
    QTableView* clips = clipTable();
    clips->setCurrentIndex(clips->model()->index(0, 0));
    clips->selectionModel()->select(QItemSelection(clips->model()->index(0, 0), clips->model()->index(2, 0)),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    window->pressMediaWidget(clips->model()->index(2, 0));
    QTest::mouseClick(window->findChild<QPushButton*>("btnDelMedia"), Qt::LeftButton);
    QCOMPARE(window->clipModel()->rowCount(), 1);
    QCOMPARE(clipAt(window->clipModel(), 0), last);
}

QTEST_MAIN(PlaylistEditsTest)
#include "tst_playlistedits.moc"
