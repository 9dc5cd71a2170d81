#include "imageobjectwidget.h"

#include "convert/imageobject.h"
#include "convert/showtimevalidator.h"
#include "looper/message.h"
#include "looper/messagecodes.h"
#include "rowbuttons.h"
#include "rowfield.h"
#include "rowsteps.h"

#include <QComboBox>
#include <QDebug>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>

namespace {
// The widgets alive now: a bounced message may name one that the view has since closed.
QSet<const void*>& liveWidgets()
{
    static QSet<const void*> widgets;
    return widgets;
}
} // namespace

ImageObjectWidget::ImageObjectWidget(HandlerMessage* handler, ImageObject* picture,
                                     const QModelIndex& index, QWidget* parent)
    : QWidget(parent), picture(picture), index(index), hold(handler, this)
{
    liveWidgets().insert(this);
    setMouseTracking(true);

    const QImage thumbnail = picture->loadThumbnail();
    const int thumbHeight = thumbnail.isNull() ? 60 : thumbnail.height();
    const int y = (thumbHeight - 25) / 2;

    lblThumbnail = new QLabel(this);
    lblThumbnail->setGeometry(0, 0, 60, 60);
    lblThumbnail->setFixedSize(60, 60);
    lblThumbnail->setPixmap(QPixmap::fromImage(thumbnail));
    lblThumbnail->setMouseTracking(true);

    btnAdd = RowButtons::create(true, this);
    btnDel = RowButtons::create(false, this);

    const int kind = picture->kind;
    if (kind == ImageObject::PictureKind || kind == ImageObject::DiyKind
        || kind == ImageObject::ReadBackPictureKind) {
        comboNumber = new QComboBox(this);
        // Every row can be moved to every place: the list may hold more than 50 pictures.
        const int places = qMax(50, index.model() ? index.model()->rowCount() : 0);
        for (int k = 1; k <= places; ++k)
            comboNumber->addItem(tr("imgwidget_lbl_text2").arg(k));
        comboNumber->setGeometry(60, y, 70, 25);
        comboNumber->setCurrentIndex(picture->number - 1);
        comboNumber->setMouseTracking(true);
        setFocusProxy(comboNumber);

        lblShow = new QLabel(tr("imgwidget_lbl_text3"), this);
        lblShow->setGeometry(130, y, 35, 25);
        lblShow->setAlignment(Qt::AlignCenter);
        lblShow->setMouseTracking(true);

        txtTime = new QLineEdit(this);
        txtTime->setGeometry(165, y, 40, 25);
        txtTime->setFixedWidth(40);
        txtTime->setValidator(new ShowTimeValidator(txtTime));
        txtTime->setText(QString::number(picture->showTime, 'g', 6));
        txtTime->setMouseTracking(true);
        new RowField(
            txtTime, [picture] { return QString::number(picture->showTime, 'g', 6); },
            [] { return tr("imgwidget_time_refused"); });

        lblSeconds = new QLabel(tr("imgwidget_lbl_text4"), this);
        lblSeconds->setGeometry(205, y, 25, 25);
        lblSeconds->setAlignment(Qt::AlignCenter);
        lblSeconds->setMouseTracking(true);

        btnAdd->setGeometry(230, y, 20, 25);
        btnDel->setGeometry(250, y, 20, 25);

        connect(comboNumber, &QComboBox::currentIndexChanged, this, &ImageObjectWidget::onCurrentIndexChanged);
        connect(txtTime, &QLineEdit::textChanged, this, &ImageObjectWidget::onTimeEdit);
    } else {
        // Clip frames have no time of their own here: their clip sets how they play.
        btnAdd->setGeometry(0, y, 20, 25);
        btnDel->setGeometry(20, y, 20, 25);
        btnAdd->hide();
        btnDel->hide();
    }
    // Only the texts on the blue: the combo and the edit keep their own colours.
    for (QLabel* label : findChildren<QLabel*>())
        RowButtons::useEditorColours(label);
    RowButtons::useEditorColours(btnAdd);
    RowButtons::useEditorColours(btnDel);
    connect(btnAdd, &QPushButton::pressed, this, &ImageObjectWidget::onBtnTimeAddPreseed);
    connect(btnAdd, &QPushButton::released, this, &ImageObjectWidget::onBtnTimeAddReleased);
    connect(btnDel, &QPushButton::pressed, this, &ImageObjectWidget::onBtnTimeDelPreseed);
    connect(btnDel, &QPushButton::released, this, &ImageObjectWidget::onBtnTimeDelReleased);
}

ImageObjectWidget::~ImageObjectWidget()
{
    // The row and column only: the model may already be gone.
    qDebug() << "#ImageObjectWidget# delete. "
             << QStringLiteral("QModelIndex(%1,%2)").arg(index.row()).arg(index.column());
    liveWidgets().remove(this);
}

ImageObjectWidget* ImageObjectWidget::fromMessageObject(void* obj)
{
    return liveWidgets().contains(obj) ? static_cast<ImageObjectWidget*>(obj) : nullptr;
}

void ImageObjectWidget::applyStep(int what)
{
    QMutexLocker locker(&mutex);
    if (what == MessageCode::TimeAdd)
        picture->showTime = RowSteps::showTimeUp(picture->showTime);
    else if (what == MessageCode::TimeDel)
        picture->showTime = RowSteps::showTimeDown(picture->showTime);
    else
        return;
    qDebug() << "onBtnTimeAdd time = " << picture->showTime;
    // Runs onTimeEdit, which stores the time again as shown: rounded to 6 digits.
    if (txtTime)
        txtTime->setText(QString::number(picture->showTime, 'g', 6));
}

bool ImageObjectWidget::isHolding(const Message* msg) { return hold.stepArrived(msg); }

void ImageObjectWidget::onBtnTimeAddPreseed() { hold.press(MessageCode::TimeAdd, btnAdd); }
void ImageObjectWidget::onBtnTimeAddReleased() { hold.release(MessageCode::TimeAdd); }
void ImageObjectWidget::onBtnTimeDelPreseed() { hold.press(MessageCode::TimeDel, btnDel); }
void ImageObjectWidget::onBtnTimeDelReleased() { hold.release(MessageCode::TimeDel); }

void ImageObjectWidget::onTimeEdit(const QString& value)
{
    // "0" or "" while the user types would reach the card as a picture of no time.
    if (txtTime && RowField::isFinished(txtTime, value))
        picture->showTime = value.toDouble();
}

void ImageObjectWidget::onCurrentIndexChanged(int value)
{
    emit imageIndexChanged(picture, picture->number, value + 1);
}

void ImageObjectWidget::onImageContractChanged(ImageObjectWidget*)
{
    lblThumbnail->setPixmap(QPixmap::fromImage(picture->loadThumbnail()));
}

void ImageObjectWidget::paintEvent(QPaintEvent*)
{
    RowButtons::paintEditorBackground(this);
}

void ImageObjectWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit rowPressed(index);
    QWidget::mousePressEvent(event);
}
