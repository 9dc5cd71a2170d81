// What the user types, clicks and deletes in the playlist's rows is what the rows get.
#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "looper/handlerthread.h"
#include "playlist/customtablemodel.h"
#include "playlist/imageobjectwidget.h"
#include "playlist/listimageitemdelegate.h"
#include "playlist/mediaobjectwidget.h"
#include "support/testtempdir.h"
#include "support/testwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBox>
#include <QStatusBar>
#include <QToolButton>
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
    void heldButtonsRepeatUntilLetGoAnywhere();
    void rowsMoveByDraggingTheirThumbnails();
    void tabReachesEveryControlAndNothingEmpty();

private:
    QString addPictures(int count);
    void addClips(int count);
    QTableView* pictureTable() const { return window->findChild<QTableView*>("tableView"); }
    QTableView* clipTable() const { return window->findChild<QTableView*>("tableViewMedia"); }
    template<typename Editor>
    Editor* openEditor(QTableView* table, int row);
    QPoint rowPoint(QTableView* table, int row, int x) const;

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

QPoint PlaylistEditsTest::rowPoint(QTableView* table, int row, int x) const
{
    const QRect cell = table->visualRect(table->model()->index(row, 0));
    return QPoint(cell.left() + x, cell.top() + 30);
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
    // 0 and an empty field are never stored; leaving the field shows the kept time again.
    retype(time, "0.1");
    QCOMPARE(picture->showTime, 0.1);
    retype(time, "4");
    for (const QString& unfinished : {QStringLiteral("0"), QStringLiteral("0.0"), QString()}) {
        retype(time, unfinished);
        QCOMPARE(picture->showTime, 4.0);
        QTest::keyClick(time, Qt::Key_Tab);
        QCOMPARE(time->text(), QStringLiteral("4"));
        QVERIFY(window->statusBar()->currentMessage().contains("0.1 to 100"));
    }

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
    retype(loop, "0");
    QCOMPARE(clip->loopCount, 25);
    QTest::keyClick(loop, Qt::Key_Return);
    QCOMPARE(loop->text(), QStringLiteral("25"));
    QVERIFY(window->statusBar()->currentMessage().contains("1 to 255"));
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

void PlaylistEditsTest::heldButtonsRepeatUntilLetGoAnywhere()
{
    addPictures(3);
    QTableView* table = pictureTable();
    QTRY_VERIFY(table->isVisible() && table->viewport()->width() > 300);
    QWidget* viewport = table->viewport();
    ImageObject* second = pictureAt(window->pictureModel(), 1);

    // Held on the plus of a row not chosen yet: it repeats as on the chosen one, and ends
    // when the mouse is let go over another row.
    QTest::mousePress(viewport, Qt::LeftButton, {}, rowPoint(table, 1, 240));
    QTRY_VERIFY_WITH_TIMEOUT(second->showTime >= 5.6, 3000);
    QTest::mouseMove(viewport, rowPoint(table, 2, 240));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowPoint(table, 2, 240));
    QTest::qWait(50);  // a bounce on its way still steps once
    const double released = second->showTime;
    QTest::qWait(500);
    QCOMPARE(second->showTime, released);
    QTRY_COMPARE(AppSettings::workerThread->queuedCount(), 0);

    // Pressed on a thumbnail, let go over another row: the row is chosen once, and nothing
    // goes on choosing it afterwards.
    QSignalSpy pressed(table, &QTableView::pressed);
    QSignalSpy editorPressed(window->findChild<ListImageItemDelegate*>(), &ListImageItemDelegate::rowPressed);
    QTest::mousePress(viewport, Qt::LeftButton, {}, rowPoint(table, 0, 30));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowPoint(table, 1, 30));
    QTest::qWait(500);
    QCOMPARE(pressed.size(), 1);
    QCOMPARE(editorPressed.size(), 0);
    QCOMPARE(shownPreview(*window), pictureAt(window->pictureModel(), 0)->loadPreview());

    // Held on an open row, which is then hidden (the other list is shown), or whose window
    // loses the keyboard to another: the chain ends at once.
    auto* editor = openEditor<ImageObjectWidget>(table, 2);
    QVERIFY(editor);
    ImageObject* third = editor->imageObject();
    for (int way = 0; way < 2; ++way) {
        QTest::mousePress(editor->plusButton(), Qt::LeftButton);
        const double before = third->showTime;
        QTRY_VERIFY(third->showTime > before + 0.3);
        QWidget other;
        if (way == 0) {
            window->findChild<QToolBox*>("toolBox")->setCurrentIndex(1);
        } else {
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
        }
        QTest::qWait(250);
        const double after = third->showTime;
        QTest::qWait(500);
        QCOMPARE(third->showTime, after);
        QTest::mouseRelease(editor->plusButton(), Qt::LeftButton);
        window->findChild<QToolBox*>("toolBox")->setCurrentIndex(0);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    QTRY_COMPARE(AppSettings::workerThread->queuedCount(), 0);
}

void PlaylistEditsTest::rowsMoveByDraggingTheirThumbnails()
{
    addPictures(4);
    QTableView* table = pictureTable();
    QTRY_VERIFY(table->isVisible() && table->viewport()->width() > 300);
    QWidget* viewport = table->viewport();
    QList<ImageObject*> order;
    for (int row = 0; row < 4; ++row)
        order << pictureAt(window->pictureModel(), row);
    auto drag = [&](int from, int to) {
        QTest::mousePress(viewport, Qt::LeftButton, {}, rowPoint(table, from, 30));
        QTest::mouseMove(viewport, rowPoint(table, from, 30) + QPoint(0, 10));
        QTest::mouseMove(viewport, rowPoint(table, to, 30));
        QVERIFY(viewport->findChild<QWidget*>("rowDropIndicator")->isVisible());
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowPoint(table, to, 30));
    };
    auto numbersInOrder = [&] {
        for (int row = 0; row < window->pictureModel()->rowCount(); ++row)
            QCOMPARE(pictureAt(window->pictureModel(), row)->number, row + 1);
    };

    // The first row onto the third: it takes the third place, one move.
    drag(0, 2);
    QCOMPARE(pictureAt(window->pictureModel(), 2), order.at(0));
    QCOMPARE(pictureAt(window->pictureModel(), 0), order.at(1));
    numbersInOrder();
    QCOMPARE(table->currentIndex().row(), 2);
    QCOMPARE(shownPreview(*window), order.at(0)->loadPreview());
    // Up again, from an open row's thumbnail (the press lands on its editor).
    QVERIFY(table->indexWidget(table->model()->index(2, 0)));
    drag(2, 0);
    QCOMPARE(pictureAt(window->pictureModel(), 0), order.at(0));
    numbersInOrder();
    // Escape while dragging keeps the order.
    QTest::mousePress(viewport, Qt::LeftButton, {}, rowPoint(table, 3, 30));
    QTest::mouseMove(viewport, rowPoint(table, 1, 30));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowPoint(table, 1, 30));
    QCOMPARE(pictureAt(window->pictureModel(), 3), order.at(3));

    // Clips alike.
    addClips(3);
    window->findChild<QToolBox*>("toolBox")->setCurrentIndex(1);
    QTableView* clips = clipTable();
    QTRY_VERIFY(clips->isVisible() && clips->viewport()->width() > 300);
    MediaObject* last = clipAt(window->clipModel(), 2);
    table = clips;
    viewport = clips->viewport();
    drag(2, 0);
    QCOMPARE(clipAt(window->clipModel(), 0), last);
    QCOMPARE(window->selectedClip(), last);
}

void PlaylistEditsTest::tabReachesEveryControlAndNothingEmpty()
{
    addPictures(2);
    QTableView* table = pictureTable();
    QTRY_VERIFY(table->isVisible());
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    table->setFocus();
    table->setCurrentIndex(table->model()->index(1, 0));
    window->pressImageWidget(table->currentIndex());

    QStringList visited;
    for (int i = 0; i < 30; ++i) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        QString name = focus->objectName();
        if (auto* button = qobject_cast<QAbstractButton*>(focus); button && !name.startsWith("btn"))
            name = button->text();
        if (name.isEmpty())
            name = QString::fromLatin1(focus->metaObject()->className());
        visited << name;
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    // Each toolbar action, each language, both page titles, the picture list's buttons, the
    // list and its row's controls; the empty clip list and the hidden play button are skipped.
    for (const QString& stop : {"New DIY", "Import Picture", "Import Video", "Import GIF Picture", "Download",
                                "Preview", "Reset", "btnZhCn", "btnZhHk", "btnEnUs", "Picture List",
                                "btnEditImage", "btnDelImage", "tableView", "QComboBox", "QLineEdit", "Video List"})
        QVERIFY2(visited.contains(stop), qPrintable(stop + " not in " + visited.join(',')));
    for (const QString& never : {"tableViewMedia", "btnPlay", "QScrollArea", "previewWidget", "btnDelMedia"})
        QVERIFY2(!visited.contains(never), qPrintable(never + " in " + visited.join(',')));
    const int first = int(visited.indexOf("New DIY"));
    QCOMPARE(visited.mid(first, 3), (QStringList{"New DIY", "Import Picture", "Import Video"}));
    // Shift+Tab walks back the same way.
    QWidget* here = QApplication::focusWidget();
    QTest::keyClick(here, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), here);
}

QTEST_MAIN(PlaylistEditsTest)
#include "tst_playlistedits.moc"
