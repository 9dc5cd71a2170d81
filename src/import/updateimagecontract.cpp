#include "updateimagecontract.h"

#include "convert/imageobject.h"
#include "looper/handlermessage.h"
#include "looper/message.h"
#include "looper/messagecodes.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

UpdateImageContract::UpdateImageContract(HandlerMessage* handler, ImageObject* imageObject,
                                         QWidget* parent)
    : QDialog(parent), handler(handler), contrast(imageObject)
{
    // The job runs on the worker; its signal is ours, and reaches the window queued.
    connect(&contrast, &ImageContrast::onImageContractChanged, this,
            &UpdateImageContract::onImageContractChanged, Qt::DirectConnection);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* row = new QHBoxLayout;
    row->addStretch();
    auto* lblTitle = new QLabel(tr("updatecontract_lbl_title"), this);
    lblTitle->setFixedSize(150, 25);
    lblTitle->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(lblTitle);
    sliderContrast = new QSlider(Qt::Horizontal, this);
    sliderContrast->setObjectName(QStringLiteral("sliderContrast"));
    sliderContrast->setRange(0, 100);
    sliderContrast->setFixedSize(200, 25);
    sliderContrast->setValue(ImageContrast::sliderValueOf(imageObject->contrast));
    row->addWidget(sliderContrast);
    row->addStretch();
    layout->addLayout(row);

    // Without its source file the picture cannot change; the user is told why.
    lblSource = new QLabel(this);
    lblSource->setWordWrap(true);
    lblSource->setContentsMargins(12, 4, 12, 4);
    lblSource->setText(tr("updatecontract_lbl_nosource").arg(imageObject->sourcePath));
    lblSource->setVisible(!contrast.hasSource());
    layout->addWidget(lblSource);

    auto* group = new QGroupBox(this);
    group->setFlat(true);
    group->setFixedHeight(40);
    auto* groupLayout = new QHBoxLayout(group);
    groupLayout->setSpacing(0);
    groupLayout->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QDialogButtonBox(group);
    buttons->addButton(tr("action_btn_ok"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    groupLayout->addWidget(buttons);
    layout->addWidget(group);

    // Connected after the value is set: opening the dialog posts no job.
    connect(sliderContrast, &QSlider::valueChanged, this, &UpdateImageContract::sliderValueChanged);
    setWindowTitle(tr("updatecontract_btn_title"));
}

UpdateImageContract::~UpdateImageContract()
{
    // A pending job would run on a freed dialog, a running one reads our source picture.
    handler->removeMessagesAndWait(MessageCode::Contrast);
}

void UpdateImageContract::reject()
{
    // Cancel, Escape and the close button: the picture as it was before the dialog.
    handler->removeMessagesAndWait(MessageCode::Contrast);
    contrast.restoreOriginal();
    QDialog::reject();
}

void UpdateImageContract::sliderValueChanged(int value)
{
    handler->removeMessages(MessageCode::Contrast);
    auto* msg = new Message(handler, MessageCode::Contrast);
    msg->obj = &contrast;
    msg->str = QString::number(value);
    handler->sendMessageDelayed(msg, MessageCode::repeatDelayMs);
}
