#include "diy/roundareawidget.h"
#include "import/getimgelocationdialog.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QtTest>

namespace {

// A mouse event at a screen position, as a drag delivers it.
void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& global, Qt::MouseButtons buttons,
               bool* accepted = nullptr)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(widget->mapFromGlobal(global)), QPointF(global), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
    if (accepted)
        *accepted = event.isAccepted();
}

QImage testPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    return picture;
}

} // namespace

class GetImgeLocationDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void zoomStepsFromTheBaseAndRecentre();
    void dragRules();
    void emptyAndShrunkPictures();
};

void GetImgeLocationDialogTest::zoomStepsFromTheBaseAndRecentre()
{
    GetImgeLocationDialog dialog;
    QCOMPARE(dialog.size(), QSize(800, 600));
    const QImage base = testPicture(600, 400);
    dialog.setImage(base);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    RoundAreaWidget* round = dialog.roundWindow();
    QVERIFY(round);
    QCOMPARE(round->parentWidget(), dialog.imageWidget());
    QCOMPARE(dialog.imageWidget()->size(), QSize(600, 400));
    QCOMPARE(dialog.windowPosition(), QPoint(75, -25));
    QCOMPARE(dialog.placement().source, QRect(75, 0, 450, 400));

    auto* zoomIn = dialog.findChild<QPushButton*>(QStringLiteral("btnZoomIn"));
    auto* zoomOut = dialog.findChild<QPushButton*>(QStringLiteral("btnZoomOut"));
    QVERIFY(zoomIn && zoomOut);
    zoomIn->click();
    QCOMPARE(dialog.shownSize(), QSize(660, 440));
    QCOMPARE(dialog.windowPosition(), QPoint(105, -5));

    // Dragged away, the window comes back to the centre at the next zoom.
    const QPoint grab = round->mapToGlobal(QPoint(200, 200));
    sendMouse(round, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    sendMouse(round, QEvent::MouseMove, grab + QPoint(-300, 120), Qt::LeftButton);
    QCOMPARE(dialog.windowPosition(), QPoint(-195, 115));
    QCOMPARE(dialog.placement().source, QRect(0, 115, 255, 325));
    zoomIn->click();
    QCOMPARE(dialog.shownSize(), QSize(720, 480));
    QCOMPARE(dialog.windowPosition(), QPoint(135, 15));

    zoomOut->click();
    zoomOut->click();
    QCOMPARE(dialog.zoomStep(), 0);
    // Back at step 0 the picture shown is the base itself, not a scaled copy of a scaled copy.
    const QImage shown = dialog.imageWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.pixel(599, 399), base.pixel(599, 399));
    QCOMPARE(shown.pixel(123, 321), base.pixel(123, 321));
    zoomOut->click();
    QCOMPARE(dialog.shownSize(), QSize(540, 360));
    QCOMPARE(dialog.windowPosition(), QPoint(45, -45));

    // Ok accepts; the close button rejects; both leave the placement to be read.
    QPushButton* ok = dialog.findChild<QPushButton*>(QStringLiteral("btnOk"));
    ok->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.placement().displaySize, QSize(540, 360));
}

void GetImgeLocationDialogTest::dragRules()
{
    QWidget parent;
    parent.resize(800, 800);
    RoundAreaWidget round(false, &parent);
    QCOMPARE(round.size(), QSize(450, 450));
    round.move(100, 100);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));

    const QPoint grab = round.mapToGlobal(QPoint(10, 10));
    sendMouse(&round, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    sendMouse(&round, QEvent::MouseMove, grab + QPoint(30, -10), Qt::LeftButton);
    QCOMPARE(round.pos(), QPoint(130, 90));
    // Each move goes from the press, not from the last move.
    sendMouse(&round, QEvent::MouseMove, grab + QPoint(-400, -300), Qt::LeftButton);
    QCOMPARE(round.pos(), QPoint(-300, -200));
    // Without the left button held a move changes nothing.
    sendMouse(&round, QEvent::MouseMove, grab, Qt::RightButton);
    QCOMPARE(round.pos(), QPoint(-300, -200));
    bool accepted = true;
    sendMouse(&round, QEvent::MouseButtonRelease, grab, Qt::NoButton, &accepted);
    QVERIFY(!accepted);  // the release passes on to the parent
}

void GetImgeLocationDialogTest::emptyAndShrunkPictures()
{
    {
        GetImgeLocationDialog dialog;
        dialog.setImage(QImage());
        QCOMPARE(dialog.imageWidget()->size(), QSize(0, 0));
        QCOMPARE(dialog.windowPosition(), QPoint(-225, -225));
        QVERIFY(dialog.placement().source.isEmpty());
    }
    {
        // Ten steps out show nothing; the eleventh is refused.
        GetImgeLocationDialog dialog;
        dialog.setImage(testPicture(20, 10));
        for (int step = 0; step < 11; ++step)
            dialog.onBtnZoomOut();
        QCOMPARE(dialog.zoomStep(), -10);
        QCOMPARE(dialog.shownSize(), QSize(0, 0));
        QCOMPARE(dialog.windowPosition(), QPoint(-225, -225));
        dialog.onBtnZoomIn();
        QCOMPARE(dialog.shownSize(), QSize(2, 1));
    }
    {
        // Zooming in stops before the picture grows past what can be shown.
        GetImgeLocationDialog dialog;
        dialog.setImage(testPicture(2000, 100));
        for (int step = 0; step < 40; ++step)
            dialog.onBtnZoomIn();
        QCOMPARE(dialog.zoomStep(), 30);
        QCOMPARE(dialog.shownSize(), QSize(8000, 400));
    }
}

QTEST_MAIN(GetImgeLocationDialogTest)
#include "tst_getimgelocationdialog.moc"
