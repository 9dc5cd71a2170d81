#include "getsavefiledialog.h"

#include "effectfilename.h"
#include "ui_getsavefiledialog.h"

#include <QDebug>
#include <QMessageBox>

GetSaveFileDialog::GetSaveFileDialog(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::GetSaveFileDialog>())
{
    ui->setupUi(this);
    connect(ui->okBut, &QPushButton::clicked, this, &GetSaveFileDialog::onBtnOkClick);
    connect(ui->cancelBut, &QPushButton::clicked, this, &GetSaveFileDialog::onBtnCancelClick);
    ui->txtFileName->setMaxLength(8);
}

GetSaveFileDialog::~GetSaveFileDialog() = default;

QString GetSaveFileDialog::fileName() const { return ui->txtFileName->text(); }

void GetSaveFileDialog::onBtnOkClick()
{
    const QString name = ui->txtFileName->text();
    qDebug().noquote() << "#GetSaveFileDialog# onBtnOkClick \"" + name + "\", len = "
                       << name.toUtf8().size();
    const EffectFileName::Check check = EffectFileName::check(name);
    if (check.problem != EffectFileName::NoProblem) {
        QMessageBox::information(this, QCoreApplication::translate("GetSaveFileDialog", "dialog_title_tip"),
                                 EffectFileName::message(check), QMessageBox::Ok);
        ui->txtFileName->setFocus();
        return;
    }
    accept();
}

void GetSaveFileDialog::onBtnCancelClick() { reject(); }
