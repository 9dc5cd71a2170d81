#pragma once

#include <QDialog>
#include <QList>

#include <memory>

class QLineEdit;
class QPushButton;
namespace Ui {
class SettingColorForm;
}

// The calibration table in 32 rows of red, green and blue output levels. Every keystroke
// goes straight into TestColorUtil's rows, which keep the values for the rest of the run;
// pictures converted earlier keep what they were converted with. Nothing is saved behind
// the user's back: "Save..." writes the table to a text file the user names, "Load..."
// puts such a file in force (a bad file changes nothing), "Restore defaults" brings back
// the factory table. GUI thread only.
class SettingColorForm : public QDialog
{
    Q_OBJECT
public:
    explicit SettingColorForm(QWidget* parent = nullptr);
    ~SettingColorForm() override;

    // Without a dialog, for callers that already have the file name; false (with a
    // message box) when it failed.
    bool saveTable(const QString& path);
    bool loadTable(const QString& path);

    QPushButton* defaultsButton() const { return btnDefaults; }

public slots:
    void onBtnDefaultsClick();
    void onBtnSaveClick();
    void onBtnLoadClick();

private:
    // Shows the table in force in the edits.
    void showTable();

    std::unique_ptr<Ui::SettingColorForm> ui;
    QList<QLineEdit*> red, green, blue;
    QPushButton* btnDefaults = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnLoad = nullptr;
};
