#include "getsavefiledialog.h"

#include "effectfilename.h"
#include "ui_getsavefiledialog.h"

#include <QDebug>
#include <QMessageBox>
#include <QValidator>

namespace {
// Refuses a keystroke or a paste that makes the name wider than the prompt allows.
class NameWidthValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        return EffectFileName::nameWidth(input) <= EffectFileName::maxNameWidth ? Acceptable : Invalid;
    }
};
} // namespace

GetSaveFileDialog::GetSaveFileDialog(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::GetSaveFileDialog>())
{
    ui->setupUi(this);
    connect(ui->okBut, &QPushButton::clicked, this, &GetSaveFileDialog::onBtnOkClick);
    connect(ui->cancelBut, &QPushButton::clicked, this, &GetSaveFileDialog::onBtnCancelClick);
    ui->txtFileName->setMaxLength(8);
    ui->txtFileName->setValidator(new NameWidthValidator(ui->txtFileName));
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
