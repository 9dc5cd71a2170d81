#include "diy/diyfanpreview.h"
#include "diy/diylayout.h"
#include "diy/diypainter.h"
#include "diy/diyshape.h"
#include "diy/roundareawidget.h"
#include "diyinput.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace DiyInput;

namespace {
QString pictureFile(const QTemporaryDir& dir, const QString& name, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.filePath(name);
    image.save(path);
    return path;
}

bool allPixels(const QImage& image, QRgb value)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != value)
                return false;
    return true;
}

int countColour(const QImage& image, QRgb value)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == value;
    return count;
}
} // namespace

class DiyPainterTest : public QObject
{
    Q_OBJECT
private slots:
    void newAndOpenedCanvas();
    void floatingShapes();
    void strokes();
    void zoomMagnifiesTheViewOnly();
    void undoOfPendingWorkLeavesTheHistory();
    void hundredRecordsDropTheFirst();
    void textArrangements();
    void outputAreaAndBackground();
    void shapeAndAreaDragging();
    void fanPreviewFollowsTheCanvasWithoutFlooding();

private:
    QTemporaryDir dir;
};

void DiyPainterTest::newAndOpenedCanvas()
{
    DiyPainter blank{QString()};
    QCOMPARE(blank.size(), QSize(450, 450));
    QVERIFY(allPixels(blank.picture(), qRgba(255, 255, 255, 0)));
    QCOMPARE(blank.outputArea(), QRect(0, 0, 450, 450));
    QCOMPARE(blank.history().count(), 1);
    QVERIFY(!blank.isModified());
    const QImage output = blank.getImage();
    QCOMPARE(output.size(), QSize(450, 450));
    QVERIFY(allPixels(output, qRgba(255, 255, 255, 255)));

    DiyPainter unreadable(dir.filePath("missing.png"));
    QCOMPARE(unreadable.size(), QSize(450, 450));

    const QString path = pictureFile(dir, "wide.png", {600, 500}, Qt::darkCyan);
    DiyPainter opened(path);
    QCOMPARE(opened.size(), QSize(600, 500));
    QCOMPARE(opened.picture().size(), QSize(600, 500));
    QCOMPARE(opened.outputArea().topLeft(), QPoint(75, 25));
    QVERIFY(allPixels(opened.getImage(), QColor(Qt::darkCyan).rgba()));
}

void DiyPainterTest::floatingShapes()
{
    DiyPainter canvas{QString()};
    canvas.tool = DiyPainter::Rect;
    canvas.penWidth = 3;
    canvas.penColor = Qt::red;
    canvas.brushColor = Qt::blue;
    drag(&canvas, {10, 10}, {110, 60});
    DiyShape* shape = canvas.floatingShape();
    QVERIFY(!shape->isHidden());
    QCOMPARE(shape->pos(), QPoint(7, 7));
    QCOMPARE(shape->size(), QSize(106, 56));
    QCOMPARE(shape->currentImage().size(), QSize(106, 56));
    // Floating: the picture itself is untouched and nothing is recorded yet.
    QVERIFY(allPixels(canvas.picture(), qRgba(255, 255, 255, 0)));
    QCOMPARE(canvas.history().count(), 1);
    QVERIFY(canvas.isModified());
    QVERIFY(canvas.hasPending());

    // A changed colour re-renders the floating shape where it was dragged to.
    shape->move(40, 50);
    canvas.penColor = Qt::green;
    canvas.repaintShape();
    QCOMPARE(shape->pos(), QPoint(40, 50));
    QCOMPARE(shape->currentImage().pixel(3, 28), QColor(Qt::green).rgba());
    QCOMPARE(shape->currentImage().pixel(50, 28), QColor(Qt::blue).rgba());

    // A press elsewhere stamps it there and starts nothing.
    drag(&canvas, {300, 300}, {400, 400});
    QVERIFY(shape->isHidden());
    QVERIFY(shape->currentImage().isNull());
    QCOMPARE(canvas.history().count(), 2);
    QCOMPARE(canvas.picture().pixel(43, 78), QColor(Qt::green).rgba());
    QCOMPARE(canvas.picture().pixel(90, 78), QColor(Qt::blue).rgba());
    QCOMPARE(canvas.picture().pixel(350, 350), qRgba(255, 255, 255, 0));

    // A press and release at one point makes no shape.
    drag(&canvas, {200, 200}, {200, 200}, 0);
    QVERIFY(shape->isHidden());
    QVERIFY(!canvas.enterDiyShape());

    // Every closed shape and the line float the same way, dragged either way.
    for (int tool : {DiyPainter::Line, DiyPainter::RoundRect, DiyPainter::Oval}) {
        canvas.tool = tool;
        drag(&canvas, {200, 160}, {120, 100});
        QVERIFY2(!shape->isHidden(), qPrintable(QString::number(tool)));
        QCOMPARE(shape->geometry(), QRect(117, 97, 86, 66));
        QVERIFY(canvas.enterDiyShape());
    }
    QCOMPARE(canvas.history().count(), 5);

    // A shape far out on a large picture is still drawn when re-rendered.
    DiyPainter large(pictureFile(dir, "large.png", {1500, 1100}, Qt::white));
    large.tool = DiyPainter::Oval;
    large.penWidth = 2;
    drag(&large, {1200, 900}, {1300, 1000});
    large.penColor = Qt::red;
    large.repaintShape();
    QVERIFY(countColour(large.floatingShape()->currentImage(), QColor(Qt::red).rgba()) > 100);
}

void DiyPainterTest::strokes()
{
    DiyPainter canvas{QString()};
    canvas.tool = DiyPainter::Pen;
    canvas.penWidth = 4;
    canvas.penColor = Qt::red;
    // A stroke that starts at (0, 0) is not drawn.
    drag(&canvas, {0, 0}, {100, 100});
    QVERIFY(allPixels(canvas.picture(), qRgba(255, 255, 255, 0)));
    QCOMPARE(canvas.history().count(), 1);
    QVERIFY(!canvas.isModified());

    // One stroke, one record, however many moves.
    drag(&canvas, {20, 30}, {220, 30}, 10);
    QCOMPARE(canvas.picture().pixel(120, 30), QColor(Qt::red).rgba());
    QCOMPARE(canvas.history().count(), 2);
    QVERIFY(canvas.isModified());

    // The eraser paints the background colour with the pen width set earlier.
    canvas.tool = DiyPainter::Eraser;
    drag(&canvas, {120, 10}, {120, 60}, 2);
    QCOMPARE(canvas.picture().pixel(120, 30), qRgba(255, 255, 255, 255));
    QCOMPARE(canvas.picture().pixel(120, 50), qRgba(255, 255, 255, 255));
    QCOMPARE(canvas.picture().pixel(125, 30), QColor(Qt::red).rgba());
    QCOMPARE(canvas.picture().pixel(125, 50), qRgba(255, 255, 255, 0));
    QCOMPARE(canvas.history().count(), 3);

    // Undo while the mouse is still down ends the stroke: its record goes, and the moves
    // that follow draw nothing until the next press.
    canvas.tool = DiyPainter::Pen;
    press(&canvas, {20, 200});
    moveTo(&canvas, {100, 200});
    canvas.revokeCancel();
    QCOMPARE(canvas.history().count(), 3);
    moveTo(&canvas, {200, 200});
    release(&canvas, {200, 200});
    QCOMPARE(canvas.picture().pixel(60, 200), qRgba(255, 255, 255, 0));
    QCOMPARE(canvas.picture().pixel(150, 200), qRgba(255, 255, 255, 0));
    QCOMPARE(canvas.history().count(), 3);
}

void DiyPainterTest::zoomMagnifiesTheViewOnly()
{
    DiyPainter canvas{QString()};
    canvas.tool = DiyPainter::Pen;
    canvas.penColor = Qt::red;
    canvas.penWidth = 4;
    drag(&canvas, {100, 100}, {300, 100});
    const QImage drawn = canvas.picture();
    const QImage output = canvas.getImage();
    QVERIFY(canvas.zoomIn());
    QCOMPARE(canvas.size(), QSize(495, 495));
    QVERIFY(canvas.zoomIn());
    QCOMPARE(canvas.size(), QSize(540, 540));
    QCOMPARE(canvas.zoomLevel(), 2);
    // The drawing, its output area and the fan's picture stay as they were; a zoom step is
    // no undo step.
    QCOMPARE(canvas.picture(), drawn);
    QCOMPARE(canvas.outputArea(), QRect(0, 0, 450, 450));
    QCOMPARE(canvas.getImage(), output);
    QCOMPARE(canvas.outputPreview(), output);
    QCOMPARE(canvas.history().count(), 2);

    // At 540 / 450 the mouse at (240, 120) is over the picture's (200, 100); the pen keeps
    // its width in the picture's pixels.
    canvas.penColor = Qt::blue;
    drag(&canvas, {240, 120}, {240, 360});
    QCOMPARE(canvas.picture().size(), QSize(450, 450));
    QCOMPARE(canvas.picture().pixel(200, 200), QColor(Qt::blue).rgba());
    QCOMPARE(canvas.picture().pixel(203, 200), qRgba(255, 255, 255, 0));
    // A shape floats where it was drawn in the picture, shown at the view's size.
    canvas.tool = DiyPainter::Rect;
    canvas.brushColor = Qt::green;
    drag(&canvas, {120, 300}, {240, 420});
    QCOMPARE(canvas.floatingShape()->geometry(), QRect(115, 295, 130, 130));
    QVERIFY(canvas.enterDiyShape());
    QCOMPARE(canvas.picture().pixel(150, 300), QColor(Qt::green).rgba());
    const QImage drawnAtZoom = canvas.picture();

    // Out to the last step that still shows something: level -9, a tenth of the size.
    while (canvas.zoomOut()) {
    }
    QCOMPARE(canvas.zoomLevel(), -9);
    QCOMPARE(canvas.size(), QSize(45, 45));
    QCOMPARE(canvas.picture(), drawnAtZoom);
    // Undo goes back through the drawing, not through the zoom.
    canvas.revokeCancel();
    canvas.revokeCancel();
    QCOMPARE(canvas.picture(), drawn);
    QCOMPARE(canvas.zoomLevel(), -9);
    QCOMPARE(canvas.size(), QSize(45, 45));

    // A picture opened for editing keeps its size under the zoom as well.
    DiyPainter opened(pictureFile(dir, "photo.png", {1920, 1080}, Qt::darkCyan));
    const QImage photoOutput = opened.getImage();
    QVERIFY(opened.zoomOut());
    QCOMPARE(opened.size(), QSize(1728, 972));
    QCOMPARE(opened.picture().size(), QSize(1920, 1080));
    QCOMPARE(opened.outputArea(), QRect(735, 315, 450, 450));
    QCOMPARE(opened.getImage(), photoOutput);
}

void DiyPainterTest::undoOfPendingWorkLeavesTheHistory()
{
    DiyPainter canvas{QString()};
    canvas.textFont = QFont(QStringLiteral("DejaVu Sans"), 20);
    canvas.tool = DiyPainter::Text;
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    press(&canvas, {30, 40});
    release(&canvas, {30, 40});
    QLineEdit* field = canvas.textField();
    QVERIFY(field->isVisible());
    QCOMPARE(field->pos(), QPoint(30, 40));
    QTest::keyClicks(field, QStringLiteral("AB"));
    canvas.revokeCancel();
    QVERIFY(field->isHidden());
    QCOMPARE(canvas.history().count(), 1);
    QVERIFY(canvas.floatingShape()->isHidden());

    canvas.tool = DiyPainter::Rect;
    drag(&canvas, {10, 10}, {60, 60});
    QVERIFY(canvas.floatingShape()->isVisible());
    canvas.revokeCancel();
    QVERIFY(canvas.floatingShape()->isHidden());
    QCOMPARE(canvas.history().count(), 1);
    QVERIFY(allPixels(canvas.picture(), qRgba(255, 255, 255, 0)));
    // With one record left, undo does nothing.
    canvas.revokeCancel();
    QCOMPARE(canvas.history().count(), 1);
    QCOMPARE(canvas.size(), QSize(450, 450));
}

void DiyPainterTest::hundredRecordsDropTheFirst()
{
    DiyPainter canvas{QString()};
    canvas.tool = DiyPainter::Pen;
    canvas.penWidth = 1;
    for (int i = 0; i < 100; ++i)
        drag(&canvas, {10 + i * 4, 100}, {10 + i * 4, 120}, 1);
    QCOMPARE(canvas.history().count(), 100);
    for (int i = 0; i < 150; ++i)
        canvas.revokeCancel();
    QCOMPARE(canvas.history().count(), 1);
    // The oldest picture left holds the first stroke: the blank canvas is gone.
    QCOMPARE(canvas.picture().pixel(10, 110), qRgba(0, 0, 0, 255));
    QCOMPARE(canvas.picture().pixel(14, 110), qRgba(255, 255, 255, 0));
}

void DiyPainterTest::textArrangements()
{
    DiyPainter canvas{QString()};
    canvas.resize(450, 450);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    canvas.textFont = QFont(QStringLiteral("DejaVu Sans"), 24);
    canvas.textColor = Qt::red;
    canvas.tool = DiyPainter::Text;
    const int h = QFontMetrics(canvas.textFont).height();
    const int wide = QFontMetrics(canvas.textFont).horizontalAdvance(QStringLiteral("国"));

    press(&canvas, {20, 30});
    QTest::keyClicks(canvas.textField(), QStringLiteral("ABCD"));
    QTest::keyClick(canvas.textField(), Qt::Key_Return);
    DiyShape* shape = canvas.floatingShape();
    QVERIFY(canvas.textField()->isHidden());
    QVERIFY(shape->isVisible());
    QCOMPARE(shape->pos(), QPoint(20, 30));
    QCOMPARE(shape->height(), qMax(h + 8, h + QFontMetrics(canvas.textFont).descent() + 1));

    // Re-arranged while it floats: round text with radius 50 at the floating shape's place.
    shape->move(60, 70);
    canvas.textArrangement = DiyLayout::Round;
    canvas.textRadius = 50;
    canvas.repaintShape();
    QCOMPARE(shape->pos(), QPoint(60, 70));
    QCOMPARE(shape->width(), wide + 100);
    QVERIFY(shape->height() >= 100 + h);
    // Four letters: ink near the top, left, bottom and right spokes of the circle.
    const QImage round = shape->currentImage();
    auto inkIn = [&round](QRect where) {
        const QImage part = round.copy(where);
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x)
                if (qAlpha(part.pixel(x, y)) > 128)
                    return true;
        return false;
    };
    QVERIFY(inkIn(QRect(50, h - 25, 20, 25)));       // "A" above (50, 1)
    QVERIFY(inkIn(QRect(1, 50 + h - 25, 20, 25)));   // "B" at the left
    QVERIFY(inkIn(QRect(50, 99 + h - 25, 20, 25)));  // "C" below
    QVERIFY(inkIn(QRect(99, 50 + h - 25, 20, 25)));  // "D" at the right
    QVERIFY(!inkIn(QRect(40, 40 + h, 20, 20)));      // nothing in the middle

    QVERIFY(canvas.commitPending());
    QCOMPARE(canvas.history().count(), 2);
    QVERIFY(!canvas.hasPending());
}

void DiyPainterTest::outputAreaAndBackground()
{
    DiyPainter canvas(pictureFile(dir, "area.png", {700, 600}, Qt::white));
    canvas.tool = DiyPainter::Pen;
    canvas.penColor = Qt::blue;
    canvas.penWidth = 1;
    drag(&canvas, {300, 300}, {300, 301}, 1);
    QCOMPARE(canvas.outputArea().topLeft(), QPoint(125, 75));

    // Move mode: the round area is dragged; the preview follows at once, the picture when
    // Move mode ends.
    canvas.enterMoveMode();
    RoundAreaWidget* area = canvas.roundArea();
    QVERIFY(area->isVisibleTo(&canvas));
    QCOMPARE(area->pos(), QPoint(125, 75));
    dragWidget(area, {200, 200}, {-50, 10});
    QCOMPARE(area->pos(), QPoint(75, 85));
    QCOMPARE(canvas.outputPreview().pixel(225, 215), QColor(Qt::blue).rgba());
    // A release over the area reaches the canvas, which ignores it in Move mode.
    QCOMPARE(canvas.history().count(), 2);
    const QImage output = canvas.getImage();
    QVERIFY(!canvas.isMoveMode());
    QCOMPARE(canvas.outputArea(), QRect(75, 85, 450, 450));
    QCOMPARE(output.pixel(225, 215), QColor(Qt::blue).rgba());

    // A transparent canvas shows the background colour; past the canvas's origin stays
    // transparent. A floating shape is in the preview, not in the picture.
    DiyPainter blank{QString()};
    blank.setBackgroundColor(QColor(0, 0, 255));
    QVERIFY(allPixels(blank.getImage(), qRgb(0, 0, 255)));
    blank.enterMoveMode();
    blank.roundArea()->move(-50, -40);
    blank.tool = DiyPainter::Rect;
    blank.leaveMoveMode();
    const QImage shifted = blank.getImage();
    QCOMPARE(shifted.pixel(10, 10), qRgba(0, 0, 0, 0));
    QCOMPARE(shifted.pixel(60, 60), qRgb(0, 0, 255));
    blank.penColor = Qt::red;
    drag(&blank, {100, 100}, {200, 200});
    QCOMPARE(blank.outputPreview().pixel(200, 200), qRgb(0, 0, 0));  // the brush is black
    QCOMPARE(blank.getImage().pixel(200, 200), qRgb(0, 0, 255));
}

void DiyPainterTest::shapeAndAreaDragging()
{
    QWidget parent;
    parent.resize(300, 300);
    DiyShape shape(&parent);
    QImage picture(20, 10, QImage::Format_ARGB32);
    picture.fill(Qt::yellow);
    shape.setCurrentImage(picture);
    QCOMPARE(shape.size(), QSize(20, 10));
    shape.move(100, 100);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QSignalSpy moved(&shape, &DiyShape::signalPointChanged);
    dragWidget(&shape, {5, 5}, {30, -10}, 2);
    QCOMPARE(shape.pos(), QPoint(130, 90));
    QCOMPARE(moved.size(), 2);
    QCOMPARE(moved.at(0).at(0).toPoint(), QPoint(115, 95));
    QCOMPARE(moved.at(1).at(0).toPoint(), QPoint(130, 90));
    // Without the left button nothing moves.
    moveTo(&shape, {15, 15}, Qt::NoButton);
    QCOMPARE(shape.pos(), QPoint(130, 90));
    QCOMPARE(moved.size(), 2);
    // The frame is drawn in red over the picture.
    QImage shot = shape.grab().toImage();
    QCOMPARE(QColor(shot.pixel(5, 0)), QColor(Qt::red));
    QCOMPARE(QColor(shot.pixel(10, 5)), QColor(Qt::yellow));
    // An empty picture keeps the size and paints nothing.
    shape.setCurrentImage(QImage());
    QCOMPARE(shape.size(), QSize(20, 10));
    shot = shape.grab().toImage();
    QVERIFY(shot.pixel(5, 0) != QColor(Qt::red).rgb() && shot.pixel(10, 5) != QColor(Qt::yellow).rgb());
}

void DiyPainterTest::fanPreviewFollowsTheCanvasWithoutFlooding()
{
    DiyPainter canvas{QString()};
    DiyFanPreview preview;
    preview.resize(124, 124);
    preview.setSource([&canvas] { return canvas.outputPreview(); });
    connect(&canvas, &DiyPainter::pictureChanged, &preview, &DiyFanPreview::requestRefresh);
    QTRY_COMPARE(preview.refreshCount(), 1);
    QCOMPARE(preview.preview().pixel(225, 225), qRgb(255, 255, 255));

    canvas.tool = DiyPainter::Pen;
    canvas.penColor = Qt::red;
    canvas.penWidth = 20;
    drag(&canvas, {200, 225}, {250, 225});
    QTRY_COMPARE(preview.preview().pixel(225, 225), qRgb(255, 0, 0));
    canvas.setBackgroundColor(Qt::green);
    QTRY_COMPARE(preview.preview().pixel(225, 100), qRgb(0, 255, 0));

    // A source slower than the requests: refreshes take at most half of the time.
    int calls = 0;
    preview.setSource([&] {
        ++calls;
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 20) {
        }
        return canvas.outputPreview();
    });
    QTRY_VERIFY(calls >= 1);
    QElapsedTimer window;
    window.start();
    calls = 0;
    while (window.elapsed() < 400) {
        preview.requestRefresh();
        QCoreApplication::processEvents();
    }
    QVERIFY2(calls >= 2 && calls <= 400 / 40 + 1, qPrintable(QString::number(calls)));
}

QTEST_MAIN(DiyPainterTest)
#include "tst_diypainter.moc"
