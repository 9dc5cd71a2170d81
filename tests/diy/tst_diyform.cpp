#include "app/appsettings.h"
#include "app/translations.h"
#include "diy/diyfanpreview.h"
#include "diy/diyform.h"
#include "diy/diylayout.h"
#include "diy/diypainter.h"
#include "diy/diyshape.h"
#include "diy/roundareawidget.h"
#include "diyinput.h"
#include "modalscript.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPainter>
#include <QRawFont>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

#include <memory>

using namespace DiyInput;

class DiyFormTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void opensInMoveModeWithItsPanels();
    void textFontsResolveToInstalledFonts();
    void keepsItsSizeWhateverTheTool();
    void okStampsWhatFloatsAndSavesACopy();
    void closingAsksOnlyAfterDrawing();
    void zoomFromMoveModeAndToolChanges();
    void keyboard();
    void colourAndFontDialogs();
    void screenshots();

private:
    void useLanguage(int language);
    std::unique_ptr<DiyForm> openForm(const QString& path = QString());
    template<typename T> T* child(const char* name) { return form->findChild<T*>(QLatin1String(name)); }
    void drawRect(QPoint from, QPoint to);

    QTemporaryDir dir;
    QTranslator translator;
    std::unique_ptr<DiyForm> form;
};

void DiyFormTest::initTestCase()
{
    QVERIFY(dir.isValid());
    // The save dialog starts in the working directory, or where the toolkit's settings say
    // the last one ended: both are kept to this test's own small folder.
    QVERIFY(QDir::setCurrent(dir.path()));
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
}

void DiyFormTest::init()
{
    useLanguage(AppSettings::English);
}

void DiyFormTest::cleanup()
{
    form.reset();
}

void DiyFormTest::useLanguage(int language)
{
    QCoreApplication::removeTranslator(&translator);
    QVERIFY(translator.load(Translations::programTable(language)));
    QCoreApplication::installTranslator(&translator);
    AppSettings::language = language;
}

std::unique_ptr<DiyForm> DiyFormTest::openForm(const QString& path)
{
    auto opened = std::make_unique<DiyForm>(path, AppSettings::language);
    opened->resize(1000, 700);
    opened->show();
    if (!QTest::qWaitForWindowExposed(opened.get()))
        qWarning("the form did not show");
    return opened;
}

void DiyFormTest::drawRect(QPoint from, QPoint to)
{
    child<QToolButton>("btnShapeRect")->click();
    drag(form->canvas(), from, to);
}

void DiyFormTest::opensInMoveModeWithItsPanels()
{
    form = openForm();
    DiyPainter* canvas = form->canvas();
    QCOMPARE(form->windowTitle(), QStringLiteral("DIY"));
    QCOMPARE(child<QLabel>("label_8")->text(), QStringLiteral("Drawing tools"));
    QCOMPARE(child<QPushButton>("okBut")->text(), QStringLiteral("Ok"));
    QCOMPARE(child<QPushButton>("cancelBut")->text(), QStringLiteral("Cancel"));
    QCOMPARE(child<QToolButton>("btnShapeRectRound")->text(), QStringLiteral("RRect"));
    QCOMPARE(child<QToolButton>("btnShapePen")->toolTip(), QStringLiteral("Pen: draw freehand strokes"));
    QCOMPARE(child<QComboBox>("textStyle")->itemText(2), QStringLiteral("Round"));
    QCOMPARE(child<QLabel>("lblFont")->text(), QStringLiteral("Font name:Arial Black\n font size:100"));

    // Move on opening: the output area can be dragged at once.
    QVERIFY(child<QToolButton>("btnShapeMove")->isChecked());
    QVERIFY(canvas->isMoveMode());
    QVERIFY(canvas->roundArea()->isVisible());
    QCOMPARE(canvas->penWidth, 6);
    QCOMPARE(canvas->textRadius, 150);
    QCOMPARE(canvas->backgroundColor(), QColor(255, 255, 255));
    QCOMPARE(canvas->textFont.family(), QStringLiteral("Arial Black"));
    QCOMPARE(canvas->textFont.pointSize(), 100);

    // The panels of each tool; the eraser keeps the pen width set earlier.
    auto shown = [this](const char* name) { return child<QWidget>(name)->isVisibleTo(form.get()); };
    child<QSpinBox>("penWidthSpinBox")->setValue(9);
    child<QToolButton>("btnShapeRect")->click();
    QVERIFY(shown("penTypeWidget") && shown("brushWidget") && !shown("textTypeWidget"));
    QVERIFY(!canvas->isMoveMode());
    child<QToolButton>("btnShapePen")->click();
    QVERIFY(shown("penTypeWidget") && !shown("brushWidget") && !shown("textTypeWidget"));
    child<QToolButton>("btnShapeText")->click();
    QVERIFY(!shown("penTypeWidget") && !shown("brushWidget") && shown("textTypeWidget"));
    child<QToolButton>("btnShapeDel")->click();
    QVERIFY(!shown("penTypeWidget") && !shown("brushWidget") && !shown("textTypeWidget"));
    QCOMPARE(canvas->tool, int(DiyPainter::Eraser));
    QCOMPARE(canvas->penWidth, 9);
    int checked = 0;
    for (QToolButton* button : child<QWidget>("groupBox")->findChildren<QToolButton*>())
        checked += button->isChecked();
    QCOMPARE(checked, 1);
    QVERIFY(child<QToolButton>("btnShapeDel")->isChecked());

    // The radius box belongs to round text only.
    auto* arrangement = child<QComboBox>("textStyle");
    QVERIFY(!child<QWidget>("radiusWidget")->isVisibleTo(form.get()));
    child<QToolButton>("btnShapeText")->click();
    arrangement->setCurrentIndex(2);
    QVERIFY(child<QWidget>("radiusWidget")->isVisibleTo(form.get()));
    QCOMPARE(canvas->textArrangement, int(DiyLayout::Round));
    child<QSpinBox>("textRadius")->setValue(80);
    QCOMPARE(canvas->textRadius, 80);
    arrangement->setCurrentIndex(1);
    QVERIFY(!child<QWidget>("radiusWidget")->isVisibleTo(form.get()));
    arrangement->setCurrentIndex(0);
    QVERIFY(!child<QWidget>("radiusWidget")->isVisibleTo(form.get()));
    child<QComboBox>("penStyleComboBox")->setCurrentIndex(1);
    QCOMPARE(canvas->penStyle, int(Qt::DotLine));

    // A Chinese interface asks for "黑体".
    form.reset();
    useLanguage(AppSettings::SimplifiedChinese);
    form = openForm();
    QCOMPARE(form->canvas()->textFont.family(), QStringLiteral("黑体"));
    QCOMPARE(form->canvas()->textFont.pointSize(), 100);
    QCOMPARE(child<QLabel>("label_8")->text(), QStringLiteral("画图工具"));
    QCOMPARE(child<QLabel>("lblFont")->text(), QStringLiteral("字体名称：黑体\n字体大小：100"));
}

void DiyFormTest::textFontsResolveToInstalledFonts()
{
    form = openForm();
    // Neither family exists; what the font engine picks must have the glyphs: Chinese for
    // "黑体", heavy Latin letters for "Arial Black".
    const QFont chinese(QStringLiteral("黑体"), 100);
    const QRawFont chineseFace = QRawFont::fromFont(chinese);
    QVERIFY2(chineseFace.supportsCharacter(QChar(0x56FD)), qPrintable(chineseFace.familyName()));
    QVERIFY(chineseFace.supportsCharacter(QChar(0x6C34)));
    const QFont latin(QStringLiteral("Arial Black"), 100);
    QVERIFY(QRawFont::fromFont(latin).supportsCharacter(QLatin1Char('A')));
    // Heavy: far more ink than the regular weight of the default sans.
    auto ink = [](const QFont& font) {
        QImage canvas(1200, 300, QImage::Format_ARGB32);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(10, 220), QStringLiteral("HOLE"));
        painter.end();
        int count = 0;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                count += qAlpha(canvas.pixel(x, y)) > 128;
        return count;
    };
    QFont regular(QStringLiteral("DejaVu Sans"), 100);
    regular.setWeight(QFont::Normal);
    const int heavy = ink(latin);
    const int normal = ink(regular);
    QVERIFY2(heavy > normal * 13 / 10, qPrintable(QStringLiteral("%1 against %2 (%3)")
                                                     .arg(heavy).arg(normal).arg(QRawFont::fromFont(latin).familyName())));
}

void DiyFormTest::keepsItsSizeWhateverTheTool()
{
    // Sized like the main window at its start; the panels of the tools take turns in it.
    form = std::make_unique<DiyForm>(QString(), AppSettings::language);
    form->resize(800, 600);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(form->size(), QSize(800, 600));
    auto* options = child<QScrollArea>("optionsArea");
    for (const char* tool : {"btnShapeRect", "btnShapePen", "btnShapeRound", "btnShapeText", "btnShapeDel",
                             "btnShapeLine", "btnShapeMove", "btnShapeRectRound"}) {
        QTest::mouseClick(child<QToolButton>(tool), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCOMPARE(form->size(), QSize(800, 600));
        // At this size every tool's settings are in view without scrolling.
        QVERIFY2(!options->verticalScrollBar()->isVisible(), tool);
        if (qstrcmp(tool, "btnShapeText") == 0) {
            child<QComboBox>("textStyle")->setCurrentIndex(DiyLayout::Round);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            QCOMPARE(form->size(), QSize(800, 600));
            QVERIFY(child<QWidget>("radiusWidget")->isVisible());
            QVERIFY(!options->verticalScrollBar()->isVisible());
        }
    }
    // A short dialog scrolls the settings instead of growing.
    const QSize shortest(800, form->minimumSizeHint().height());
    QVERIFY(shortest.height() < 500);
    form->resize(shortest);
    QTest::mouseClick(child<QToolButton>("btnShapeText"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCOMPARE(form->size(), shortest);
    QTRY_VERIFY(options->verticalScrollBar()->isVisible());
}

void DiyFormTest::okStampsWhatFloatsAndSavesACopy()
{
    // Ok, No: the floating rectangle is stamped before the form closes.
    form = openForm();
    drawRect({100, 100}, {200, 150});
    QVERIFY(form->canvas()->hasPending());
    {
        ModalScript script({ModalScript::answer(QMessageBox::No)});
        child<QPushButton>("okBut")->click();
        QCOMPARE(script.seen, QStringList{"QMessageBox:Do you want to save the DIY effect to the computer?"});
    }
    QVERIFY(!form->isVisible());
    QCOMPARE(form->result(), int(QDialog::Accepted));
    QVERIFY(form->savedPath().isEmpty());
    QVERIFY(!form->canvas()->isModified());
    const QImage taken = form->canvas()->getImage();
    QCOMPARE(taken.pixel(150, 125), qRgb(0, 0, 0));
    QCOMPARE(taken.pixel(300, 300), qRgb(255, 255, 255));

    // Ok, Yes, the file dialog cancelled: the form stays open with its drawing.
    form = openForm();
    drawRect({100, 100}, {200, 150});
    {
        ModalScript script({ModalScript::answer(QMessageBox::Yes),
                            [](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); }});
        child<QPushButton>("okBut")->click();
        QCOMPARE(script.seen.size(), 2);
        QCOMPARE(script.seen.at(1), QStringLiteral("QFileDialog"));
    }
    QVERIFY(form->isVisible());
    QCOMPARE(form->result(), int(QDialog::Rejected));
    QVERIFY(form->canvas()->hasPending());

    // Ok, Yes, a file: the whole picture is saved as PNG over the background it was drawn
    // on, at its own size whatever the zoom, and the form ends accepted.
    child<QPushButton>("btnZoomIn")->click();
    child<QPushButton>("btnZoomIn")->click();
    const QString copy = dir.filePath("copy.png");
    {
        ModalScript script({ModalScript::answer(QMessageBox::Yes), [copy](QWidget* modal) {
                                modal->findChild<QLineEdit*>("fileNameEdit")->setText(copy);
                                static_cast<QDialog*>(modal)->accept();
                            }});
        child<QPushButton>("okBut")->click();
    }
    QVERIFY(!form->isVisible());
    QCOMPARE(form->result(), int(QDialog::Accepted));
    QCOMPARE(form->savedPath(), copy);
    const QImage saved(copy);
    QCOMPARE(saved.size(), QSize(450, 450));
    QCOMPARE(saved.pixel(150, 125), qRgb(0, 0, 0));
    QCOMPARE(saved.pixel(300, 300), qRgba(255, 255, 255, 255));

    // Ok, Yes, a file that cannot be written: the user is told and the form stays.
    form = openForm();
    drawRect({10, 10}, {40, 40});
    {
        // A folder that does not exist (root writes everywhere else).
        const QString unwritable = dir.filePath(QStringLiteral("gone/drawing.png"));
        ModalScript script({ModalScript::answer(QMessageBox::Yes),
                            [unwritable](QWidget* modal) {
                                modal->findChild<QLineEdit*>("fileNameEdit")->setText(unwritable);
                                static_cast<QDialog*>(modal)->accept();
                            },
                            ModalScript::answer(QMessageBox::Ok)});
        child<QPushButton>("okBut")->click();
        QTRY_COMPARE(script.seen.size(), 3);
        QVERIFY2(script.seen.at(2).contains("could not be saved"), qPrintable(script.seen.join('|')));
    }
    QVERIFY(form->isVisible());

    // Ok, Cancel: nothing happens.
    {
        ModalScript script({ModalScript::answer(QMessageBox::Cancel)});
        child<QPushButton>("okBut")->click();
    }
    QVERIFY(form->isVisible());
}

void DiyFormTest::closingAsksOnlyAfterDrawing()
{
    // Untouched: Cancel closes at once.
    form = openForm();
    {
        ModalScript script({});
        child<QPushButton>("cancelBut")->click();
        QVERIFY(script.seen.isEmpty());
    }
    QVERIFY(!form->isVisible());
    QCOMPARE(form->result(), int(QDialog::Rejected));

    // One stroke: Cancel asks; No keeps the drawing, Yes gives it up.
    form = openForm();
    child<QToolButton>("btnShapePen")->click();
    drag(form->canvas(), {50, 50}, {150, 50});
    const QImage drawn = form->canvas()->picture();
    {
        ModalScript script({ModalScript::answer(QMessageBox::No)});
        child<QPushButton>("cancelBut")->click();
        QCOMPARE(script.seen, QStringList{"QMessageBox:Really want to give up the effect of DIY?"});
    }
    QVERIFY(form->isVisible());
    QCOMPARE(form->canvas()->picture(), drawn);
    {
        ModalScript script({ModalScript::answer(QMessageBox::Yes)});
        form->close();  // the window's close button asks the same
        QCOMPARE(script.seen.size(), 1);
    }
    QVERIFY(!form->isVisible());
    QCOMPARE(form->result(), int(QDialog::Rejected));
}

void DiyFormTest::zoomFromMoveModeAndToolChanges()
{
    form = openForm();
    DiyPainter* canvas = form->canvas();
    // The output area takes the place the round area was dragged to when Move ends.
    dragWidget(canvas->roundArea(), {225, 225}, {-40, 30});
    child<QToolButton>("btnShapePen")->click();
    QVERIFY(!canvas->isMoveMode());
    QVERIFY(canvas->roundArea()->isHidden());
    QCOMPARE(canvas->outputArea(), QRect(-40, 30, 450, 450));

    // ZoomIn with Move selected switches to the pen first.
    child<QToolButton>("btnShapeMove")->click();
    QVERIFY(canvas->isMoveMode());
    child<QPushButton>("btnZoomIn")->click();
    QVERIFY(child<QToolButton>("btnShapePen")->isChecked());
    QVERIFY(!child<QToolButton>("btnShapeMove")->isChecked());
    QVERIFY(!canvas->isMoveMode());
    QCOMPARE(canvas->size(), QSize(495, 495));
    child<QPushButton>("btnZoomOut")->click();
    QCOMPARE(canvas->size(), QSize(450, 450));

    // Zoom magnifies the view: the drawing, the fan's picture and its preview stay as they
    // were drawn at the first zoom.
    auto* preview = child<DiyFanPreview>("fanPreview");
    child<QSpinBox>("penWidthSpinBox")->setValue(12);
    const QPoint middle = canvas->outputArea().center();
    drag(canvas, middle - QPoint(125, 0), middle + QPoint(125, 0));
    QTRY_COMPARE(preview->preview().pixel(225, 225), qRgb(0, 0, 0));
    const QImage drawn = canvas->picture();
    const QImage output = canvas->getImage();
    const QImage shown = preview->preview();
    for (const char* button : {"btnZoomIn", "btnZoomIn", "btnZoomIn", "btnZoomOut", "btnZoomOut",
                               "btnZoomOut", "btnZoomOut", "btnZoomOut"}) {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
        QCOMPARE(canvas->picture(), drawn);
        QCOMPARE(canvas->getImage(), output);
        preview->refresh();
        QCOMPARE(preview->preview(), shown);
    }
    QCOMPARE(canvas->size(), QSize(360, 360));

    // A tool change stamps a floating shape.
    drawRect({20, 20}, {80, 80});
    const int records = canvas->history().count();
    child<QToolButton>("btnShapeRound")->click();
    QVERIFY(!canvas->hasPending());
    QCOMPARE(canvas->history().count(), records + 1);
}

void DiyFormTest::keyboard()
{
    form = openForm();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    DiyPainter* canvas = form->canvas();
    child<QToolButton>("btnShapePen")->click();
    drag(canvas, {50, 50}, {150, 50});
    QCOMPARE(canvas->history().count(), 2);
    const QImage stroke = canvas->picture();
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(canvas->history().count(), 1);
    // Redo takes back the undo, by either of the usual keys, the platform's own and the button.
    const QImage blank = canvas->picture();
    QVERIFY(blank != stroke);
    QList<QKeyCombination> redoKeys{QKeyCombination(Qt::ControlModifier, Qt::Key_Y),
                                    QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)};
    for (const QKeySequence& key : QKeySequence::keyBindings(QKeySequence::Redo))
        redoKeys.append(key[0]);
    for (QKeyCombination key : redoKeys) {
        QTest::keyClick(form.get(), key.key(), key.keyboardModifiers());
        QCOMPARE(canvas->picture(), stroke);
        QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(canvas->picture(), blank);
    }
    QTest::mouseClick(child<QPushButton>("btnRedo"), Qt::LeftButton);
    QCOMPARE(canvas->picture(), stroke);
    QCOMPARE(canvas->history().count(), 2);
    // Nothing more to redo; a new stroke after an undo ends what could be redone.
    QTest::keyClick(form.get(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(canvas->history().count(), 2);
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    drag(canvas, {50, 100}, {150, 100});
    const QImage other = canvas->picture();
    QTest::keyClick(form.get(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(canvas->picture(), other);
    QCOMPARE(canvas->picture().pixel(100, 50), qRgba(255, 255, 255, 0));
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(canvas->picture(), blank);
    QTest::keyClick(form.get(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(canvas->size(), QSize(495, 495));
    QTest::keyClick(form.get(), Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(canvas->size(), QSize(450, 450));

    // Delete drops a floating shape, Return stamps one; Escape does not close the form.
    drawRect({20, 20}, {80, 80});
    QTest::keyClick(form.get(), Qt::Key_Delete);
    QVERIFY(!canvas->hasPending());
    const int records = canvas->history().count();
    drawRect({20, 20}, {80, 80});
    QTest::keyClick(form.get(), Qt::Key_Return);
    QVERIFY(!canvas->hasPending());
    QCOMPARE(canvas->history().count(), records + 1);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    QVERIFY(form->isVisible());

    // Return in the text field ends the typing: the text floats, the form stays open.
    child<QToolButton>("btnShapeText")->click();
    press(canvas, {40, 60});
    QTRY_VERIFY(canvas->textField()->hasFocus());
    QTest::keyClicks(canvas->textField(), QStringLiteral("Hi"));
    QTest::keyClick(canvas->textField(), Qt::Key_Return);
    QVERIFY(form->isVisible());
    QVERIFY(canvas->textField()->isHidden());
    QVERIFY(canvas->hasPending());
    QCOMPARE(canvas->floatingShape()->pos(), QPoint(40, 60));
}

void DiyFormTest::colourAndFontDialogs()
{
    form = openForm();
    DiyPainter* canvas = form->canvas();
    drawRect({100, 100}, {200, 160});
    auto choose = [](QColor colour) {
        return [colour](QWidget* modal) {
            auto* dialog = qobject_cast<QColorDialog*>(modal);
            QVERIFY(dialog);
            dialog->setCurrentColor(colour);
            dialog->accept();
        };
    };
    auto cancel = [](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); };
    auto swatch = [this](const char* name) {
        auto* button = child<QPushButton>(name);
        return button->icon().pixmap(button->iconSize()).toImage().pixelColor(5, 5);
    };
    // A cancelled dialog changes nothing; a chosen colour reaches the swatch, the canvas
    // and the floating rectangle at once.
    {
        ModalScript script({cancel, choose(Qt::red), choose(Qt::green), choose(Qt::blue)});
        child<QPushButton>("btnSelectPenColor")->click();
        QCOMPARE(canvas->penColor, QColor(Qt::black));
        child<QPushButton>("btnSelectPenColor")->click();
        child<QPushButton>("btnSelectBrushColor")->click();
        child<QPushButton>("btnBackgroundColor")->click();
        QCOMPARE(script.seen.size(), 4);
    }
    QCOMPARE(canvas->penColor, QColor(Qt::red));
    QCOMPARE(canvas->brushColor, QColor(Qt::green));
    QCOMPARE(canvas->backgroundColor(), QColor(Qt::blue));
    QCOMPARE(swatch("btnSelectPenColor"), QColor(Qt::red));
    QCOMPARE(swatch("btnSelectBrushColor"), QColor(Qt::green));
    QCOMPARE(swatch("btnBackgroundColor"), QColor(Qt::blue));
    const QImage floating = canvas->floatingShape()->currentImage();
    QCOMPARE(floating.pixelColor(6, 30), QColor(Qt::red));
    QCOMPARE(floating.pixelColor(50, 30), QColor(Qt::green));
    QCOMPARE(canvas->getImage().pixelColor(300, 300), QColor(Qt::blue));

    // The font dialog: cancelled, the font stays; the text colour follows its dialog.
    child<QToolButton>("btnShapeText")->click();
    {
        ModalScript script({cancel, choose(Qt::yellow)});
        child<QPushButton>("btnSelectFont")->click();
        child<QPushButton>("btnSelectFontColor")->click();
    }
    QCOMPARE(canvas->textFont.family(), QStringLiteral("Arial Black"));
    QCOMPARE(canvas->textFont.pointSize(), 100);
    QCOMPARE(canvas->textColor, QColor(Qt::yellow));
    QCOMPARE(swatch("btnSelectFontColor"), QColor(Qt::yellow));
}

void DiyFormTest::screenshots()
{
    // With GYROLUME_SCREENSHOTS set to a directory, the form is saved there with a drawing
    // of every tool and round text, in English, Simplified and Traditional Chinese.
    const QString shots = qEnvironmentVariable("GYROLUME_SCREENSHOTS");
    if (shots.isEmpty())
        QSKIP("GYROLUME_SCREENSHOTS not set");
    for (int language : {int(AppSettings::English), int(AppSettings::SimplifiedChinese),
                         int(AppSettings::TraditionalChinese)}) {
        useLanguage(language);
        form = openForm();
        DiyPainter* canvas = form->canvas();
        auto* preview = child<DiyFanPreview>("fanPreview");
        QTRY_COMPARE(preview->refreshCount(), 1);
        canvas->setBackgroundColor(QColor(20, 24, 60));
        auto pen = [&](QColor colour, int width) {
            canvas->penColor = colour;
            canvas->penWidth = width;
        };
        child<QToolButton>("btnShapePen")->click();
        pen(QColor(255, 200, 0), 8);
        for (int i = 0; i < 20; ++i)
            drag(canvas, QPoint(60 + i * 8, 330 + (i % 2) * 30), QPoint(68 + i * 8, 330 + ((i + 1) % 2) * 30), 1);
        child<QToolButton>("btnShapeLine")->click();
        pen(QColor(0, 220, 255), 6);
        drag(canvas, {40, 420}, {400, 400});
        child<QToolButton>("btnShapeRect")->click();
        pen(QColor(255, 60, 60), 5);
        canvas->brushColor = QColor(255, 150, 150);
        drag(canvas, {250, 300}, {330, 380});
        child<QToolButton>("btnShapeRectRound")->click();
        canvas->brushColor = QColor(120, 255, 120);
        pen(QColor(0, 140, 0), 4);
        drag(canvas, {340, 250}, {420, 330});
        child<QToolButton>("btnShapeRound")->click();
        canvas->brushColor = QColor(160, 120, 255);
        pen(QColor(80, 40, 200), 4);
        drag(canvas, {60, 230}, {150, 300});
        child<QToolButton>("btnShapeDel")->click();
        pen(Qt::black, 14);
        drag(canvas, {100, 250}, {110, 290}, 2);
        // Round text, stamped, and a word that still floats.
        child<QToolButton>("btnShapeText")->click();
        QFont font = canvas->textFont;
        font.setPointSize(22);
        canvas->textFont = font;
        canvas->textColor = QColor(255, 255, 255);
        child<QComboBox>("textStyle")->setCurrentIndex(2);
        child<QSpinBox>("textRadius")->setValue(120);
        press(canvas, {90, 10});
        canvas->textField()->insert(language == AppSettings::English             ? QStringLiteral("GYROLUME FAN ")
                                    : language == AppSettings::SimplifiedChinese ? QStringLiteral("旋转风扇屏幕效果预览")
                                                                                 : QStringLiteral("旋轉風扇屏幕效果預覽"));
        QTest::keyClick(canvas->textField(), Qt::Key_Return);
        canvas->enterDiyShape();
        child<QComboBox>("textStyle")->setCurrentIndex(0);
        press(canvas, {160, 140});
        canvas->textField()->insert(language == AppSettings::English ? QStringLiteral("Hi!")
                                                                      : QStringLiteral("你好"));
        QTest::keyClick(canvas->textField(), Qt::Key_Return);
        QTRY_VERIFY(preview->refreshCount() > 1);
        QTest::qWait(100);
        const QString suffix = language == AppSettings::English             ? "en"
                               : language == AppSettings::SimplifiedChinese ? "zh_CN"
                                                                            : "zh_HK";
        form->grab().save(shots + "/diyform_" + suffix + ".png");
        preview->grab().save(shots + "/diyform_preview_" + suffix + ".png");
        child<QToolButton>("btnShapeMove")->click();
        QTest::qWait(100);
        form->grab().save(shots + "/diyform_move_" + suffix + ".png");
        form.reset();
    }
}

QTEST_MAIN(DiyFormTest)
#include "tst_diyform.moc"
