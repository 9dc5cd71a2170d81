#include "app/mainwindow.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "playlist/customtablemodel.h"
#include "playlist/mediaobjectwidget.h"
#include "support/testtempdir.h"
#include "support/testwindow.h"

#include <QLabel>
#include <QTableView>
#include <QToolBox>
#include <QtTest>

// The clip rows of the window's video list: the painted row and the row's editor show the
// whole "N picture, show L s", L the time one loop plays on the fan, to a tenth.
class ClipRowsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { useTestTempRoot(); }
    void wholeTextAndLength_data();
    void wholeTextAndLength();
};

void ClipRowsTest::wholeTextAndLength_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("repeatedFrom");  // frames from here on fill 4 records each
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("simplified");
    QTest::addColumn<QString>("traditional");
    QTest::newRow("8 frames") << 8 << 8 << "8 picture, show 0.8 s" << "8张图片  显示0.8秒" << "8張圖片  顯示0.8秒";
    QTest::newRow("101 frames") << 101 << 101 << "101 picture, show 10.1 s" << "101张图片  显示10.1秒"
                                << "101張圖片  顯示10.1秒";
    // A GIF of ten 0.1 s frames and ten 0.4 s frames kept at its timing.
    QTest::newRow("kept GIF timing") << 20 << 10 << "20 picture, show 5 s" << "20张图片  显示5秒" << "20張圖片  顯示5秒";
}

void ClipRowsTest::wholeTextAndLength()
{
    QFETCH(int, frames);
    QFETCH(int, repeatedFrom);
    QFETCH(QString, english);
    QFETCH(QString, simplified);
    QFETCH(QString, traditional);
    auto window = showEnglishWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto* clip = new MediaObject(0, QStringLiteral("clip.gif"));
    for (int k = 0; k < frames; ++k) {
        clip->frames.append(new ImageObject(k + 1, QString(), 10.0, ImageObject::GifFrameKind));
        clip->frames.last()->repeatCount = k < repeatedFrom ? 1 : 4;
    }
    window->addClipObject(clip);
    auto* table = window->findChild<QTableView*>("tableViewMedia");
    window->findChild<QToolBox*>("toolBox")->setCurrentIndex(1);
    QTRY_VERIFY(table->isVisible() && table->viewport()->width() > 300);

    const QList<std::pair<void (MainWindow::*)(), QString>> languages{
        {&MainWindow::onBtnEnUsClick, english}, {&MainWindow::onBtnZhCnClick, simplified},
        {&MainWindow::onBtnZhHkClick, traditional}};
    for (const auto& [choose, text] : languages) {
        (window.get()->*choose)();
        table->setCurrentIndex(QModelIndex());
        // The painted row: its text is drawn out to its end, not cut at 120 pixels.
        const QRect cell = table->visualRect(table->model()->index(0, 0));
        const QImage painted = table->viewport()->grab(cell).toImage();
        const int textWidth = table->fontMetrics().horizontalAdvance(text);
        int inkRight = 0;
        for (int y = 10; y < 35; ++y)
            for (int x = 60; x < painted.width(); ++x)
                if (qGray(painted.pixel(x, y)) < 128)
                    inkRight = qMax(inkRight, x);
        QVERIFY2(inkRight >= 60 + textWidth - 4, qPrintable(QStringLiteral("%1: ink to %2 of %3").arg(text).arg(inkRight).arg(60 + textWidth)));

        // The editor opened by a click on the row shows the same, in a box it fits.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.topLeft() + QPoint(20, 20));
        auto* editor = qobject_cast<MediaObjectWidget*>(table->indexWidget(table->model()->index(0, 0)));
        QVERIFY(editor);
        QLabel* label = editor->textLabel();
        QCOMPARE(label->text(), text);
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(text));
    }
}

QTEST_MAIN(ClipRowsTest)
#include "tst_cliprows.moc"
