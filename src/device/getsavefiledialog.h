#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui { class GetSaveFileDialog; }

// Asks for the effect file's name (at most 8 characters). Ok refuses, with a message, a
// name that would be written outside the drive's directory or that FAT cannot store (see
// EffectFileName::check), and an empty one.
//
//     GetSaveFileDialog dialog(this);
//     if (dialog.exec() != QDialog::Accepted) return;
//     const QString path = EffectFileName::effectFilePath(drive, dialog.fileName());
//
// GUI thread only.
class GetSaveFileDialog : public QDialog
{
    Q_OBJECT
public:
    explicit GetSaveFileDialog(QWidget* parent = nullptr);
    ~GetSaveFileDialog() override;

    QString fileName() const;

public slots:
    void onBtnOkClick();
    void onBtnCancelClick();

private:
    std::unique_ptr<Ui::GetSaveFileDialog> ui;
};
