#include "settingcolorform.h"

#include "calibrationfile.h"
#include "testcolorutil.h"
#include "testvalue.h"
#include "ui_settingcolorform.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>

SettingColorForm::SettingColorForm(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SettingColorForm>())
{
    ui->setupUi(this);
    // The form's title has no translation and reads the same in every language.
    setWindowTitle(tr("颜色参数设置"));

    auto edits = [this](QChar channel) {
        QList<QLineEdit*> list;
        for (int n = 1; n <= TestColorUtil::bandCount; ++n)
            list << findChild<QLineEdit*>(QStringLiteral("txt%1%2").arg(channel).arg(n));
        return list;
    };
    red = edits(QLatin1Char('R'));
    green = edits(QLatin1Char('G'));
    blue = edits(QLatin1Char('B'));

    // Row numbers of one and two digits keep the columns aligned.
    for (int n = 1; n <= TestColorUtil::bandCount; ++n) {
        if (auto* number = findChild<QLabel*>(QStringLiteral("lblNumber%1").arg(n))) {
            number->setMinimumWidth(number->fontMetrics().horizontalAdvance(QStringLiteral("32.")));
            number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
    }

    for (int n = 1; n <= TestColorUtil::bandCount; ++n) {
        TestValue* row = TestColorUtil::instance()->values.value(n);
        QLineEdit* r = red.at(n - 1);
        QLineEdit* g = green.at(n - 1);
        QLineEdit* b = blue.at(n - 1);
        if (!row || !r || !g || !b)
            continue;
        for (QLineEdit* edit : {r, g, b})
            edit->setValidator(row->validator);
        // Direct: the table may have been made by a conversion on the worker thread, which
        // runs no event loop that could deliver queued calls to its rows.
        connect(r, &QLineEdit::textChanged, row, &TestValue::onTxtRChanged, Qt::DirectConnection);
        connect(g, &QLineEdit::textChanged, row, &TestValue::onTxtGChanged, Qt::DirectConnection);
        connect(b, &QLineEdit::textChanged, row, &TestValue::onTxtBChanged, Qt::DirectConnection);
    }
    showTable();

    btnDefaults = new QPushButton(tr("colorform_btn_defaults"), this);
    btnLoad = new QPushButton(tr("colorform_btn_load"), this);
    btnSave = new QPushButton(tr("colorform_btn_save"), this);
    for (QPushButton* button : {btnDefaults, btnLoad, btnSave})
        button->setAutoDefault(false);  // Enter in an edit must not press them
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnDefaults);
    buttons->addStretch();
    buttons->addWidget(btnLoad);
    buttons->addWidget(btnSave);
    ui->verticalLayout->addLayout(buttons);
    connect(btnDefaults, &QPushButton::clicked, this, &SettingColorForm::onBtnDefaultsClick);
    connect(btnLoad, &QPushButton::clicked, this, &SettingColorForm::onBtnLoadClick);
    connect(btnSave, &QPushButton::clicked, this, &SettingColorForm::onBtnSaveClick);
}

void SettingColorForm::showTable()
{
    // Through the edits' connections: the rows store the same values again.
    for (int n = 1; n <= TestColorUtil::bandCount; ++n) {
        const TestValue* row = TestColorUtil::instance()->values.value(n);
        if (!row || !red.at(n - 1) || !green.at(n - 1) || !blue.at(n - 1))
            continue;
        red.at(n - 1)->setText(QString::number(row->r));
        green.at(n - 1)->setText(QString::number(row->g));
        blue.at(n - 1)->setText(QString::number(row->b));
    }
}

void SettingColorForm::onBtnDefaultsClick()
{
    if (CalibrationFile::current() == CalibrationFile::defaults())
        return;
    const auto answer = QMessageBox::question(this, tr("dialog_title_tip"), tr("colorform_ask_defaults"),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    CalibrationFile::apply(CalibrationFile::defaults());
    showTable();
}

void SettingColorForm::onBtnSaveClick()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("colorform_save_title"),
                                                      QDir::homePath() + QStringLiteral("/colours.txt"),
                                                      tr("colorform_file_filter"));
    if (!path.isEmpty())
        saveTable(path);
}

void SettingColorForm::onBtnLoadClick()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("colorform_load_title"), QDir::homePath(),
                                                      tr("colorform_file_filter"));
    if (!path.isEmpty())
        loadTable(path);
}

bool SettingColorForm::saveTable(const QString& path)
{
    // Written whole or not at all: an old file of the same name survives a failure.
    QSaveFile file(path);
    const QByteArray text = CalibrationFile::toText(CalibrationFile::current());
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return true;
    QMessageBox::warning(this, tr("dialog_title_tip"),
                         tr("colorform_save_failed").arg(QDir::toNativeSeparators(path), file.errorString()));
    return false;
}

bool SettingColorForm::loadTable(const QString& path)
{
    QFile file(path);
    CalibrationFile::ReadResult result;
    if (!file.open(QIODevice::ReadOnly))
        result.error = file.errorString();
    else
        result = CalibrationFile::fromText(file.read(CalibrationFile::maxFileSize + 1));
    if (!result.ok()) {
        QMessageBox::warning(this, tr("dialog_title_tip"),
                             tr("colorform_load_failed").arg(QDir::toNativeSeparators(path), result.error));
        return false;
    }
    CalibrationFile::apply(result.table);
    showTable();
    return true;
}

SettingColorForm::~SettingColorForm() = default;
