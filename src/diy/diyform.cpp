#include "diyform.h"
#include "ui_diyform.h"

#include "app/appsettings.h"
#include "diyfonts.h"
#include "diylayout.h"
#include "diypainter.h"
#include "diyshape.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>

#include <utility>

DiyForm::DiyForm(const QString& path, int language, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::DiyForm>())
{
    registerDiyFontAliases();
    ui->setupUi(this);
    backgroundColor = QColor(255, 255, 255, 255);

    painter = new DiyPainter(path, this);
    ui->workAreaLayout->addWidget(painter, 0, Qt::AlignLeft | Qt::AlignTop);
    ui->penTypeWidget->show();
    ui->textTypeWidget->hide();
    // Return belongs to the canvas's text field and Escape to nobody: no button is default.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);

    connect(ui->btnSelectPenColor, &QPushButton::clicked, this, &DiyForm::onBtnSelectPenColorClick);
    connect(ui->btnSelectBrushColor, &QPushButton::clicked, this, &DiyForm::onBtnSelectBrushColorClick);
    connect(ui->btnShapePen, &QToolButton::clicked, this, &DiyForm::onBtnShapePenClick);
    connect(ui->btnShapeRect, &QToolButton::clicked, this, &DiyForm::onBtnShapeRectClick);
    connect(ui->btnShapeRectRound, &QToolButton::clicked, this, &DiyForm::onBtnShapeRectRoundClick);
    connect(ui->btnShapeLine, &QToolButton::clicked, this, &DiyForm::onBtnShapeLineClick);
    connect(ui->btnShapeRound, &QToolButton::clicked, this, &DiyForm::onBtnShapeRoundClick);
    connect(ui->btnShapeText, &QToolButton::clicked, this, &DiyForm::onBtnShapeTextClick);
    connect(ui->btnShapeMove, &QToolButton::clicked, this, &DiyForm::onBtnShapeMoveClick);
    connect(ui->btnShapeDel, &QToolButton::clicked, this, &DiyForm::onBtnShapeDelClick);
    connect(ui->btnSelectFont, &QPushButton::clicked, this, &DiyForm::onSelectFontClicked);
    connect(ui->btnSelectFontColor, &QPushButton::clicked, this, &DiyForm::onSelectFontCololrClicked);
    connect(ui->textStyle, &QComboBox::currentIndexChanged, this, &DiyForm::onTextStyleChanged);
    connect(ui->textRadius, &QSpinBox::valueChanged, this, &DiyForm::onTextRadiusValueChanged);
    connect(ui->okBut, &QPushButton::clicked, this, &DiyForm::onBtnOk);
    connect(ui->cancelBut, &QPushButton::clicked, this, &DiyForm::onBtnCancel);
    connect(ui->btnBackgroundColor, &QPushButton::clicked, this, &DiyForm::onBtnSetBackgroundColor);
    connect(ui->btnReset, &QPushButton::clicked, this, &DiyForm::onBtnReset);
    connect(ui->btnRedo, &QPushButton::clicked, this, &DiyForm::onBtnRedo);
    connect(ui->btnZoomIn, &QPushButton::clicked, this, &DiyForm::onBtnZoomIn);
    connect(ui->btnZoomOut, &QPushButton::clicked, this, &DiyForm::onBtnZoomOut);

    // The keys of a drawing program. While text is typed the text field keeps its own.
    auto shortcut = [this](QList<QKeySequence> keys, void (DiyForm::*slot)()) {
        // One shortcut per action: two with the same keys would each make the other ambiguous.
        QList<QKeySequence> unique;
        for (const QKeySequence& key : keys)
            if (!key.isEmpty() && !unique.contains(key))
                unique.append(key);
        auto* action = new QShortcut(this);
        action->setKeys(unique);
        connect(action, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence::keyBindings(QKeySequence::Undo), &DiyForm::onBtnReset);
    shortcut(QKeySequence::keyBindings(QKeySequence::Redo)
                 << QKeySequence(Qt::CTRL | Qt::Key_Y) << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
             &DiyForm::onBtnRedo);
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
             &DiyForm::onBtnZoomIn);
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &DiyForm::onBtnZoomOut);
    // The panel's options scroll when the dialog is short, over the panel's own ground.
    ui->optionsArea->viewport()->setAutoFillBackground(false);
    ui->optionsContents->setAutoFillBackground(false);

    const QString family = language == AppSettings::English ? tr("Arial Black") : tr("黑体");
    textFont = QFont(family, 100, QFont::Normal, false);
    applyTextFont();
    applyTextColour();

    setTool(DiyPainter::Move);

    painter->penStyle = Qt::SolidLine;
    painter->penWidth = 6;
    painter->textArrangement = DiyLayout::Horizontal;
    refreshPending();

    setSwatch(ui->btnSelectPenColor, penColor);
    painter->penColor = penColor.isValid() ? penColor : QColor(Qt::black);
    setSwatch(ui->btnSelectBrushColor, fillColor);
    painter->brushColor = fillColor.isValid() ? fillColor : QColor(Qt::black);
    setSwatch(ui->btnBackgroundColor, backgroundColor);
    painter->setBackgroundColor(backgroundColor);

    ui->radiusWidget->hide();
    painter->textRadius = 150;

    ui->fanPreview->setSource([this] { return painter->outputPreview(); });
    connect(painter, &DiyPainter::pictureChanged, ui->fanPreview, &DiyFanPreview::requestRefresh);
}

DiyForm::~DiyForm() = default;

void DiyForm::setSwatch(QPushButton* button, const QColor& colour)
{
    QPixmap swatch(button->size());
    swatch.fill(colour.isValid() ? colour : QColor(Qt::black));
    button->setIcon(QIcon(swatch));
    button->setIconSize(button->size());
}

bool DiyForm::chooseColour(QColor& current)
{
    const QColor chosen = QColorDialog::getColor(current.isValid() ? current : QColor(Qt::black), this);
    if (!chosen.isValid())
        return false;
    current = chosen;
    return true;
}

void DiyForm::refreshPending()
{
    if (!painter->textField()->isHidden())
        painter->textField()->setFocus();
    else
        painter->repaintShape();
}

void DiyForm::applyTextFont()
{
    ui->lblFont->setText(tr("diyform_lblfont_title").arg(textFont.family()).arg(textFont.pointSize()));
    painter->textFont = textFont;
    painter->styleTextField();
}

void DiyForm::applyTextColour()
{
    setSwatch(ui->btnSelectFontColor, fontColor);
    painter->textColor = fontColor;
    painter->styleTextField();
    refreshPending();
}

void DiyForm::onBtnSelectPenColorClick()
{
    if (!chooseColour(penColor))
        return;
    setSwatch(ui->btnSelectPenColor, penColor);
    painter->penColor = penColor;
    painter->repaintShape();
}

void DiyForm::onBtnSelectBrushColorClick()
{
    if (!chooseColour(fillColor))
        return;
    setSwatch(ui->btnSelectBrushColor, fillColor);
    painter->brushColor = fillColor;
    painter->repaintShape();
}

void DiyForm::on_penWidthSpinBox_valueChanged(int value)
{
    painter->penWidth = value;
    painter->repaintShape();
}

void DiyForm::on_penStyleComboBox_currentIndexChanged(int index)
{
    painter->penStyle = index == 0 ? Qt::SolidLine : Qt::DotLine;
    painter->repaintShape();
}

void DiyForm::onBtnShapePenClick() { setTool(DiyPainter::Pen); }
void DiyForm::onBtnShapeRectClick() { setTool(DiyPainter::Rect); }
void DiyForm::onBtnShapeRectRoundClick() { setTool(DiyPainter::RoundRect); }
void DiyForm::onBtnShapeLineClick() { setTool(DiyPainter::Line); }
void DiyForm::onBtnShapeRoundClick() { setTool(DiyPainter::Oval); }
void DiyForm::onBtnShapeTextClick() { setTool(DiyPainter::Text); }
void DiyForm::onBtnShapeMoveClick() { setTool(DiyPainter::Move); }
void DiyForm::onBtnShapeDelClick() { setTool(DiyPainter::Eraser); }

void DiyForm::setTool(int tool)
{
    const std::pair<int, QToolButton*> buttons[] = {
        {DiyPainter::Pen, ui->btnShapePen},         {DiyPainter::Line, ui->btnShapeLine},
        {DiyPainter::Rect, ui->btnShapeRect},       {DiyPainter::RoundRect, ui->btnShapeRectRound},
        {DiyPainter::Oval, ui->btnShapeRound},      {DiyPainter::Text, ui->btnShapeText},
        {DiyPainter::Move, ui->btnShapeMove},       {DiyPainter::Eraser, ui->btnShapeDel}};
    for (const auto& [number, button] : buttons)
        button->setChecked(number == tool);
    ui->brushWidget->hide();

    painter->commitPending();
    painter->tool = tool;
    if (tool == DiyPainter::Move)
        painter->enterMoveMode();
    else if (painter->isMoveMode())
        painter->leaveMoveMode();

    switch (tool) {
    case DiyPainter::Pen:
        ui->penTypeWidget->show();
        ui->textTypeWidget->hide();
        break;
    case DiyPainter::Line:
    case DiyPainter::Rect:
    case DiyPainter::RoundRect:
    case DiyPainter::Oval:
        ui->penTypeWidget->show();
        ui->brushWidget->show();
        ui->textTypeWidget->hide();
        break;
    case DiyPainter::Text:
        ui->penTypeWidget->hide();
        ui->textTypeWidget->show();
        applyTextFont();
        setSwatch(ui->btnSelectFontColor, fontColor);
        break;
    case DiyPainter::Eraser:
        ui->penTypeWidget->hide();
        ui->textTypeWidget->hide();
        break;
    default:  // Move leaves the panels as they are
        break;
    }
}

void DiyForm::onSelectFontClicked()
{
    bool chosen = false;
    const QFont font = QFontDialog::getFont(&chosen, textFont, this);
    if (chosen)
        textFont = font;
    applyTextFont();
    refreshPending();
}

void DiyForm::onSelectFontCololrClicked()
{
    if (chooseColour(fontColor))
        applyTextColour();
}

void DiyForm::onTextStyleChanged(int index)
{
    if (index < 0 || index > 2)
        return;
    painter->textArrangement = index;
    refreshPending();
    ui->radiusWidget->setVisible(index == DiyLayout::Round);
}

void DiyForm::onTextRadiusValueChanged(int value)
{
    painter->textRadius = value;
    refreshPending();
}

void DiyForm::onBtnSetBackgroundColor()
{
    if (!chooseColour(backgroundColor))
        return;
    setSwatch(ui->btnBackgroundColor, backgroundColor);
    painter->setBackgroundColor(backgroundColor);
}

void DiyForm::onBtnReset() { painter->revokeCancel(); }

void DiyForm::onBtnRedo() { painter->redo(); }

void DiyForm::onBtnZoomIn() { zoom(&DiyPainter::zoomIn); }

void DiyForm::onBtnZoomOut() { zoom(&DiyPainter::zoomOut); }

void DiyForm::zoom(bool (DiyPainter::*step)())
{
    if (ui->btnShapeMove->isChecked())
        setTool(DiyPainter::Pen);
    // What the user looks at stays in the middle of the view.
    QWidget* viewport = ui->scrollArea->viewport();
    const QPointF centre = painter->viewToImage(painter->mapFrom(viewport, viewport->rect().center()));
    if ((painter->*step)())
        centreViewOn(centre);
}

void DiyForm::centreViewOn(QPointF imagePoint)
{
    // The scroll area learns the canvas's new size from the pending layout requests.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QWidget* viewport = ui->scrollArea->viewport();
    const QPoint target =
        painter->mapTo(ui->scrollAreaWidgetContents, painter->imageToView(imagePoint.toPoint()));
    ui->scrollArea->horizontalScrollBar()->setValue(target.x() - viewport->width() / 2);
    ui->scrollArea->verticalScrollBar()->setValue(target.y() - viewport->height() / 2);
}

void DiyForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A large picture opens with its output area in view, not with its top-left corner.
    if (!event->spontaneous() && !shownOnce) {
        shownOnce = true;
        centreViewOn(QRectF(painter->outputArea()).center());
    }
}

void DiyForm::onBtnOk()
{
    const auto answer = QMessageBox::warning(this, tr("dialog_title_tip"), tr("diyform_save_diy_tip"),
                                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) {
        const QString path = QFileDialog::getSaveFileName(this, tr("diyform_save_diy_selectfile"), QString(),
                                                          QStringLiteral("Images (*.png)"));
        if (path.isEmpty())
            return;
        if (!painter->saveImage(path)) {
            QMessageBox::information(this, tr("dialog_title_tip"), tr("diyform_save_diy_failed").arg(path));
            return;
        }
        m_savedPath = path;
    } else if (answer == QMessageBox::No) {
        m_savedPath.clear();
        painter->commitPending();
        painter->setModified(false);
    } else {
        return;
    }
    setResult(QDialog::Accepted);
    close();
}

void DiyForm::onBtnCancel() { close(); }

void DiyForm::closeEvent(QCloseEvent* event)
{
    if (!painter->isModified()) {
        // A modal run ends with the result set so far.
        event->accept();
        done(result());
        return;
    }
    const auto answer = QMessageBox::warning(this, tr("dialog_title_tip"), tr("diyform_cancel_diy_title"),
                                             QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        event->accept();
        done(QDialog::Rejected);
    } else {
        event->ignore();
    }
}

void DiyForm::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        event->ignore();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        painter->enterDiyShape();
        return;
    case Qt::Key_Delete:
        painter->dropFloatingShape();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
