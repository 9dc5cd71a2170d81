#include "progressdialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

ProgressDialog::ProgressDialog(const QString& text, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("dialog_title_tip"));

    lblAnimation = new QLabel(this);
    lblAnimation->setFixedSize(72, 72);
    movie = new QMovie(QStringLiteral(":/images/progress.gif"), QByteArray(), this);
    movie->setScaledSize(QSize(72, 72));
    lblAnimation->setMovie(movie);
    movie->start();

    lblText = new QLabel(text, this);
    lblText->setWordWrap(true);
    lblText->setMinimumWidth(260);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(12);
    row->addStretch();
    row->addWidget(lblAnimation);
    row->addWidget(lblText);
    row->addStretch();

    // Hidden until a job reports how far it is.
    bar = new QProgressBar(this);
        bar->setAlignment(Qt::AlignCenter);
    bar->hide();
    auto* barRow = new QHBoxLayout;
    barRow->setContentsMargins(12, 0, 12, 8);
    barRow->addWidget(bar);

    auto* group = new QGroupBox(this);
    group->setFlat(true);
    group->setFixedHeight(40);
    buttons = new QDialogButtonBox(group);
    buttons->addButton(tr("action_btn_cancel"), QDialogButtonBox::NoRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* groupRow = new QHBoxLayout(group);
    groupRow->setSpacing(0);
    groupRow->setContentsMargins(0, 0, 0, 0);
    groupRow->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row);
    layout->addLayout(barRow);
    layout->addWidget(group);
}

void ProgressDialog::setProgress(qint64 done, qint64 total)
{
    // The bar counts in int: large totals (bytes) are scaled down together, the text is not.
    total = qMax<qint64>(total, 0);
    done = qBound<qint64>(0, done, total);
    int shift = 0;
    while ((total >> shift) > std::numeric_limits<int>::max())
        ++shift;
    bar->setRange(0, int(total >> shift));
    bar->setValue(int(done >> shift));
    bar->setFormat(QStringLiteral("%1 / %2").arg(done).arg(total));
    bar->show();
}

void ProgressDialog::setCancellable(bool value)
{
    cancellable = value;
    buttons->setVisible(value);
}

void ProgressDialog::reject()
{
    if (cancellable)
        QDialog::reject();
}
