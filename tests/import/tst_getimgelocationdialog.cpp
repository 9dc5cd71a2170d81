#include "diy/roundareawidget.h"
#include "import/getimgelocationdialog.h"

#include <QPixmap>

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
    void wholePictureAndWindowAreSeen_data();
    void wholePictureAndWindowAreSeen();
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
    // The view may draw it larger or smaller; the placement is in the picture's own pixels.
    const qreal scale = dialog.view().scale;
    QCOMPARE(dialog.imageWidget()->size(), dialog.view().viewSize(QSize(600, 400)));
    QCOMPARE(dialog.windowPosition(), QPoint(75, -25));
    QCOMPARE(dialog.placement().source, QRect(75, 0, 450, 400));

    auto* zoomIn = dialog.findChild<QPushButton*>(QStringLiteral("btnZoomIn"));
    auto* zoomOut = dialog.findChild<QPushButton*>(QStringLiteral("btnZoomOut"));
    QVERIFY(zoomIn && zoomOut);
    zoomIn->click();
    QCOMPARE(dialog.shownSize(), QSize(660, 440));
    QCOMPARE(dialog.windowPosition(), QPoint(105, -5));

    // Dragged away, the window comes back to the centre at the next zoom. A drag in the
    // view moves the window by as many of the picture's pixels as the view shows there.
    const QPoint grab = round->mapToGlobal(QPoint(200, 200));
    const qreal zoomedScale = dialog.view().scale;
    sendMouse(round, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    sendMouse(round, QEvent::MouseMove, grab + QPoint(qRound(-300 * zoomedScale), qRound(120 * zoomedScale)),
              Qt::LeftButton);
    QCOMPARE(dialog.windowPosition(), QPoint(-195, 115));
    QCOMPARE(dialog.placement().source, QRect(0, 115, 255, 325));
    zoomIn->click();
    QCOMPARE(dialog.shownSize(), QSize(720, 480));
    QCOMPARE(dialog.windowPosition(), QPoint(135, 15));

    zoomOut->click();
    zoomOut->click();
    QCOMPARE(dialog.zoomStep(), 0);
    QCOMPARE(dialog.view().scale, scale);
    // Back at step 0 the picture shown is the base itself, not a scaled copy of a scaled copy.
    const QImage shown = dialog.imageWidget()->palette().brush(QPalette::Window).textureImage();
    const QImage expected = QPixmap::fromImage(base.scaled(dialog.imageWidget()->size(), Qt::IgnoreAspectRatio,
                                                           Qt::SmoothTransformation))
                                .toImage();
    QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    zoomOut->click();
    QCOMPARE(dialog.shownSize(), QSize(540, 360));
    QCOMPARE(dialog.windowPosition(), QPoint(45, -45));

    // Ok accepts; the close button rejects; both leave the placement to be read.
    QPushButton* ok = dialog.findChild<QPushButton*>(QStringLiteral("btnOk"));
    ok->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.placement().displaySize, QSize(540, 360));
    QVERIFY(!dialog.cancelled());
    // Escape cancels: the importing dialog imports nothing.
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(dialog.cancelled());
}

void GetImgeLocationDialogTest::wholePictureAndWindowAreSeen_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<bool>("drawnLarger");
    QTest::newRow("GIF smaller than the window") << QSize(200, 160) << true;
    QTest::newRow("720p video") << QSize(1280, 720) << false;
    QTest::newRow("tall picture") << QSize(300, 1500) << false;
}

void GetImgeLocationDialogTest::wholePictureAndWindowAreSeen()
{
    QFETCH(QSize, picture);
    QFETCH(bool, drawnLarger);
    GetImgeLocationDialog dialog;
    dialog.setImage(testPicture(picture.width(), picture.height()));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // Both drawn whole: nothing of either is cut off by the view or by another widget.
    for (QWidget* widget : {dialog.imageWidget(), static_cast<QWidget*>(dialog.roundWindow())}) {
        QCOMPARE(widget->visibleRegion().boundingRect(), widget->rect());
        QVERIFY(!widget->rect().isEmpty());
    }
    QCOMPARE(dialog.view().scale > 1, drawnLarger);
    QCOMPARE(dialog.roundWindow()->size(), QSize(qRound(450 * dialog.view().scale), qRound(450 * dialog.view().scale)));
    // Opening the view changes nothing of what is cut.
    QCOMPARE(dialog.placement().source, centredClipPlacement(picture).source);
    QCOMPARE(dialog.placement().displaySize, picture);
    // A bigger dialog draws the same placement larger.
    const qreal before = dialog.view().scale;
    dialog.resize(1100, 900);
    QTRY_VERIFY(dialog.view().scale > before);
    QCOMPARE(dialog.windowPosition(), centredWindowPosition(picture));
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
