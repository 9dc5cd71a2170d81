#include "updategeometrydialog.h"

#include "convert/boundedintvalidator.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

UpdateGeometryDialog::UpdateGeometryDialog(const QString& title, const QString& labelText, int minimum,
                                           int maximum, int current, QWidget* parent)
    : QDialog(parent), m_minimum(minimum), m_maximum(maximum)
{
    setWindowTitle(title);
    lblValue = new QLabel(labelText, this);
    lblValue->setFixedWidth(100);
    lblValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtValue = new QLineEdit(QString::number(current), this);
    txtValue->setValidator(new BoundedIntValidator(minimum, maximum, txtValue));
    lblValue->setBuddy(txtValue);

    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(lblValue);
    row->addWidget(txtValue);
    row->addStretch();

    auto* group = new QGroupBox(this);
    group->setFlat(true);
    group->setFixedHeight(40);
    buttons = new QDialogButtonBox(group);
    buttons->addButton(tr("确定"), QDialogButtonBox::YesRole);
    buttons->addButton(tr("取消"), QDialogButtonBox::NoRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &UpdateGeometryDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* groupRow = new QHBoxLayout(group);
    groupRow->setSpacing(0);
    groupRow->setContentsMargins(0, 0, 0, 0);
    groupRow->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row);
    layout->addWidget(group);
}

int UpdateGeometryDialog::value() const
{
    bool ok = false;
    const int number = txtValue->text().toInt(&ok, 10);
    return ok ? number : fallbackValue;
}

void UpdateGeometryDialog::accept()
{
    // An empty field would read as 40 and empty the playlist for a number nobody typed.
    bool ok = false;
    const int number = txtValue->text().toInt(&ok, 10);
    if (!ok || number < m_minimum || number > m_maximum) {
        QMessageBox::information(this, tr("dialog_title_tip"), outOfRangeText(), QMessageBox::Ok);
        txtValue->setFocus();
        txtValue->selectAll();
        return;
    }
    QDialog::accept();
}
