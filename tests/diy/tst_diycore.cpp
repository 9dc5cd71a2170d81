#include "diy/diyhistory.h"
#include "diy/diylayout.h"

#include <QFontMetrics>
#include <QPainter>
#include <QtTest>

namespace {
QImage transparent(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

int inkPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0;
    return count;
}
} // namespace

class DiyCoreTest : public QObject
{
    Q_OBJECT
private slots:
    void zoomSizes_data();
    void zoomSizes();
    void areaAndShapeMargin();
    void roundTextStartsAtTheTopAndTurnsLeft();
    void verticalCellsAndHorizontalLine();
    void laidOutTextIsNeverCut_data();
    void laidOutTextIsNeverCut();
    void historyKeepsAtMostHundredRecordsAndItsBudget();
};

void DiyCoreTest::zoomSizes_data()
{
    QTest::addColumn<QSize>("base");
    QTest::addColumn<int>("level");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("refused");
    QTest::newRow("one step") << QSize(450, 450) << 1 << QSize(495, 495) << false;
    QTest::newRow("two steps") << QSize(450, 450) << 2 << QSize(540, 540) << false;
    QTest::newRow("from a zoomed base") << QSize(495, 495) << 1 << QSize(544, 544) << false;
    QTest::newRow("out, truncated to zero") << QSize(455, 600) << -1 << QSize(410, 540) << false;
    QTest::newRow("level -9") << QSize(450, 300) << -9 << QSize(45, 30) << false;
    QTest::newRow("level -10 would show nothing") << QSize(450, 300) << -10 << QSize() << true;
    QTest::newRow("level -11 refused") << QSize(450, 300) << -11 << QSize() << true;
    QTest::newRow("beyond a widget's size") << QSize(1920, 1080) << 100000 << QSize() << true;
}

void DiyCoreTest::zoomSizes()
{
    QFETCH(QSize, base);
    QFETCH(int, level);
    QFETCH(QSize, size);
    QFETCH(bool, refused);
    bool wasRefused = !refused;
    QCOMPARE(DiyLayout::zoomedSize(base, level, &wasRefused), size);
    QCOMPARE(wasRefused, refused);
}

void DiyCoreTest::areaAndShapeMargin()
{
    QCOMPARE(DiyLayout::centredArea(QSize(600, 500)), QRect(75, 25, 450, 450));
    QCOMPARE(DiyLayout::centredArea(QSize(450, 450)), QRect(0, 0, 450, 450));
    // A picture narrower than the area keeps the area's left at its own left.
    QCOMPARE(DiyLayout::centredArea(QSize(300, 600)), QRect(0, 75, 450, 450));

    // The rectangle from (10, 10) to (110, 60) with pen 3 floats as 106 x 56 at (7, 7),
    // whichever way it was dragged.
    QCOMPARE(DiyLayout::shapeMargin({10, 10}, {110, 60}, 3), QRect(7, 7, 106, 56));
    QCOMPARE(DiyLayout::shapeMargin({110, 60}, {10, 10}, 3), QRect(7, 7, 106, 56));
    QCOMPARE(DiyLayout::shapeMargin({10, 60}, {110, 10}, 0), QRect(10, 10, 100, 50));
}

void DiyCoreTest::roundTextStartsAtTheTopAndTurnsLeft()
{
    QImage canvas = transparent({800, 800});
    QFont font(QStringLiteral("DejaVu Sans"), 20);
    const int h = QFontMetrics(font, &canvas).height();
    const int wide = QFontMetrics(font, &canvas).horizontalAdvance(QStringLiteral("国"));
    const QPoint anchor(30, 40);
    const DiyLayout::TextLayout layout =
        DiyLayout::layoutText(QStringLiteral("ABCD"), font, DiyLayout::Round, 50, anchor, &canvas);
    // 90, 180, 270 and 360 degrees on a spoke of length 49 about (50, 50), shifted down by
    // the line height: the baselines start there.
    const QPointF expected[] = {{50, 1}, {1, 50}, {50, 99}, {99, 50}};
    QCOMPARE(layout.pieces.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const QPointF at = layout.pieces[i].baseline - QPointF(anchor) - QPointF(0, h);
        QVERIFY2(qAbs(at.x() - expected[i].x()) < 1e-6 && qAbs(at.y() - expected[i].y()) < 1e-6,
                 qPrintable(QStringLiteral("%1: %2, %3").arg(i).arg(at.x()).arg(at.y())));
        QCOMPARE(layout.pieces[i].text, QString(QChar('A' + i)));
    }
    QCOMPARE(layout.box.topLeft(), anchor);
    QCOMPARE(layout.box.width(), wide + 100);
    QVERIFY(layout.box.height() >= 100 + h);

    // No text, nothing laid out; one character sits at the top.
    QVERIFY(DiyLayout::layoutText(QString(), font, DiyLayout::Round, 50, anchor, &canvas).pieces.isEmpty());
    QCOMPARE(DiyLayout::layoutText(QStringLiteral("A"), font, DiyLayout::Round, 80, {0, 0}, &canvas)
                 .pieces.value(0).baseline, QPointF(80, 1 + h));
}

void DiyCoreTest::verticalCellsAndHorizontalLine()
{
    QImage canvas = transparent({400, 400});
    QFont font(QStringLiteral("DejaVu Sans"), 16);
    const QFontMetrics metrics(font, &canvas);
    const int h = metrics.height();
    const int wide = metrics.horizontalAdvance(QStringLiteral("国"));
    const int narrow = metrics.horizontalAdvance(QStringLiteral("A"));
    // Ideographs get the cell of "国", everything else (a surrogate pair included) that of "A".
    const QString text = QStringLiteral("A国") + QString::fromUcs4(U"\U0001F600");
    const DiyLayout::TextLayout vertical =
        DiyLayout::layoutText(text, font, DiyLayout::Vertical, 0, {5, 6}, &canvas);
    QCOMPARE(vertical.pieces.size(), 3);
    QCOMPARE(vertical.pieces[0].cell, QRect(5, 6, narrow, h));
    QCOMPARE(vertical.pieces[1].cell, QRect(5, 6 + h, wide, h));
    QCOMPARE(vertical.pieces[2].cell, QRect(5, 6 + 2 * h, narrow, h));
    QCOMPARE(vertical.box, QRect(5, 6, qMax(wide, narrow), 3 * h));

    const DiyLayout::TextLayout line =
        DiyLayout::layoutText(QStringLiteral("Hello"), font, DiyLayout::Horizontal, 0, {5, 6}, &canvas);
    QCOMPARE(line.pieces.size(), 1);
    QCOMPARE(line.pieces[0].baseline, QPointF(5, 6 + h));
    QCOMPARE(line.box.topLeft(), QPoint(5, 6));
    QCOMPARE(line.box.width(), metrics.horizontalAdvance(QStringLiteral("Hello")));
    QVERIFY(line.box.height() >= h + 8);
}

void DiyCoreTest::laidOutTextIsNeverCut_data()
{
    QTest::addColumn<int>("arrangement");
    QTest::newRow("horizontal") << int(DiyLayout::Horizontal);
    QTest::newRow("vertical") << int(DiyLayout::Vertical);
    QTest::newRow("round") << int(DiyLayout::Round);
}

void DiyCoreTest::laidOutTextIsNeverCut()
{
    // Letters below the baseline ("g", "p", "y") and ideographs keep all their ink inside
    // the box the floating picture is cut to.
    QFETCH(int, arrangement);
    QImage canvas = transparent({1600, 1600});
    const QFont font(QStringLiteral("DejaVu Sans"), 60);
    const DiyLayout::TextLayout layout =
        DiyLayout::layoutText(QStringLiteral("gpy国"), font, arrangement, 150, {200, 200}, &canvas);
    QPainter painter(&canvas);
    painter.setPen(Qt::black);
    painter.setFont(font);
    DiyLayout::drawText(painter, layout);
    painter.end();
    const int all = inkPixels(canvas);
    QVERIFY(all > 1000);
    QCOMPARE(inkPixels(canvas.copy(layout.box)), all);
}

void DiyCoreTest::historyKeepsAtMostHundredRecordsAndItsBudget()
{
    QImage small(10, 10, QImage::Format_ARGB32);
    DiyHistory history;
    for (int i = 0; i < 150; ++i) {
        small.fill(qRgb(i, 0, 0));
        history.append(small);
    }
    QCOMPARE(history.count(), 100);
    int undone = 0;
    while (history.dropLast())
        ++undone;
    QCOMPARE(undone, 99);
    QCOMPARE(history.last().picture.pixel(0, 0), qRgb(50, 0, 0));  // the first 50 records went
    QCOMPARE(history.bytes(), small.sizeInBytes());

    // Redo brings the undone records back, newest undone first, until a new step ends it.
    QCOMPARE(history.redoCount(), 99);
    QVERIFY(history.restoreNext());
    QVERIFY(history.restoreNext());
    QCOMPARE(history.last().picture.pixel(0, 0), qRgb(52, 0, 0));
    QCOMPARE(history.bytes(), 3 * small.sizeInBytes());
    QVERIFY(history.dropLast());
    QCOMPARE(history.last().picture.pixel(0, 0), qRgb(51, 0, 0));
    small.fill(Qt::blue);
    history.append(small);
    QCOMPARE(history.redoCount(), 0);
    QVERIFY(!history.restoreNext());
    QCOMPARE(history.last().picture.pixel(0, 0), qRgb(0, 0, 255));

    // A budget of ten pictures keeps ten, whatever the record count.
    QImage large(100, 100, QImage::Format_ARGB32);
    large.fill(Qt::white);
    DiyHistory bounded(10 * large.sizeInBytes());
    for (int i = 0; i < 30; ++i) {
        large.fill(qRgb(i, 0, 0));
        bounded.append(large.copy());
    }
    QCOMPARE(bounded.count(), 10);
    QCOMPARE(bounded.bytes(), 10 * large.sizeInBytes());
    // A stroke's record that grows past the budget pushes older ones out; the newest stays
    // even when it alone is over the budget.
    bounded.replaceLastPicture(QImage(400, 400, QImage::Format_ARGB32));
    QCOMPARE(bounded.count(), 1);
    QCOMPARE(bounded.last().picture.size(), QSize(400, 400));
    QVERIFY(!bounded.dropLast());
}

QTEST_MAIN(DiyCoreTest)
#include "tst_diycore.moc"
