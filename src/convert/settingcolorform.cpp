#include "settingcolorform.h"

#include "testcolorutil.h"
#include "testvalue.h"
#include "ui_settingcolorform.h"

#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

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
    const QList<QLineEdit*> red = edits(QLatin1Char('R'));
    const QList<QLineEdit*> green = edits(QLatin1Char('G'));
    const QList<QLineEdit*> blue = edits(QLatin1Char('B'));

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
        r->setText(QString::number(row->r));
        g->setText(QString::number(row->g));
        b->setText(QString::number(row->b));
    }
}

SettingColorForm::~SettingColorForm() = default;
