#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

#include <memory>

class DiyPainter;
class QPushButton;
namespace Ui { class DiyForm; }

// The drawing editor: the tool panel on the left, the canvas in a scroll area on the right
// and a small view of what the fan will show. It opens in Move mode with the output area
// ready to be dragged. Accepted by "Ok" (the caller then reads canvas()->getImage()),
// rejected by "Cancel" or the window's close button after confirming when something was
// drawn. GUI thread only, run modally.
class DiyForm : public QDialog
{
    Q_OBJECT
public:
    // An empty path starts a blank picture; `language` picks the text tool's font.
    DiyForm(const QString& path, int language, QWidget* parent = nullptr);
    ~DiyForm() override;

    DiyPainter* canvas() const { return painter; }
    QString savedPath() const { return m_savedPath; }
    void setTool(int tool);

public slots:
    void onBtnSelectPenColorClick();
    void onBtnSelectBrushColorClick();
    void on_penWidthSpinBox_valueChanged(int value);
    void on_penStyleComboBox_currentIndexChanged(int index);
    void onBtnShapePenClick();
    void onBtnShapeRectClick();
    void onBtnShapeRectRoundClick();
    void onBtnShapeLineClick();
    void onBtnShapeRoundClick();
    void onBtnShapeTextClick();
    void onBtnShapeMoveClick();
    void onBtnShapeDelClick();
    void onSelectFontClicked();
    void onSelectFontCololrClicked();
    void onTextStyleChanged(int index);
    void onTextRadiusValueChanged(int value);
    void onBtnOk();
    void onBtnCancel();
    void onBtnSetBackgroundColor();
    void onBtnReset();
    void onBtnRedo();
    void onBtnZoomIn();
    void onBtnZoomOut();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Asks for a colour starting from `current`; false when the dialog was cancelled.
    bool chooseColour(QColor& current);
    void setSwatch(QPushButton* button, const QColor& colour);
    // The text field follows the panel while it is open; otherwise a floating shape does.
    void refreshPending();
    void applyTextFont();
    void applyTextColour();
    // One zoom step of the canvas, keeping the middle of the view where it was.
    void zoom(bool (DiyPainter::*step)());
    // Scrolls the canvas so that this picture point is in the middle of the view.
    void centreViewOn(QPointF imagePoint);

    std::unique_ptr<Ui::DiyForm> ui;
    DiyPainter* painter = nullptr;
    QString m_savedPath;
    QFont textFont;
    QColor fontColor;
    QColor penColor;
    QColor fillColor;
    QColor backgroundColor;
    bool shownOnce = false;
};
