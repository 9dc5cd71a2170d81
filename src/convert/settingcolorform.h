#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class SettingColorForm;
}

// The calibration table in 32 rows of red, green and blue output levels. Every keystroke
// goes straight into TestColorUtil's rows, which keep the values for the rest of the run;
// pictures converted earlier keep what they were converted with. GUI thread only.
class SettingColorForm : public QDialog
{
    Q_OBJECT
public:
    explicit SettingColorForm(QWidget* parent = nullptr);
    ~SettingColorForm() override;

private:
    std::unique_ptr<Ui::SettingColorForm> ui;
};
