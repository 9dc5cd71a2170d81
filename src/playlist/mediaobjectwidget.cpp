#include "mediaobjectwidget.h"

#include "cliprowtext.h"
#include "convert/boundedintvalidator.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "looper/message.h"
#include "looper/messagecodes.h"
#include "rowbuttons.h"
#include "rowfield.h"
#include "rowsteps.h"

#include <QDebug>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>

namespace {
QSet<const void*>& liveWidgets()
{
    static QSet<const void*> widgets;
    return widgets;
}
} // namespace

MediaObjectWidget::MediaObjectWidget(HandlerMessage* handler, MediaObject* clip,
                                     const QModelIndex& index, QWidget* parent)
    : QWidget(parent), clip(clip), index(index), hold(handler, this)
{
    liveWidgets().insert(this);
    setMouseTracking(true);

    const int frames = clip->frames.size();
    const QImage thumbnail = frames > 0 ? clip->frames.first()->loadThumbnail() : QImage();
    const int w = thumbnail.isNull() ? 60 : thumbnail.width();

    lblThumbnail = new QLabel(this);
    lblThumbnail->setGeometry(0, 0, 60, 60);
    lblThumbnail->setFixedSize(60, 60);
    if (frames > 0)
        lblThumbnail->setPixmap(QPixmap::fromImage(thumbnail));
    lblThumbnail->setMouseTracking(true);

    lblText = new QLabel(ClipRowText::text("MediaObjectWidget", *clip), this);
    lblText->setGeometry(w, 10, ClipRowText::boxWidth(lblText->fontMetrics(), lblText->text()), 25);
    lblText->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblText->setMouseTracking(true);

    auto* lblLoop = new QLabel(tr("videowidget_lbl_loopcount"), this);
    const int loopWidth = RowButtons::loopLabelWidth(lblLoop->fontMetrics(), lblLoop->text());
    lblLoop->setGeometry(w, 30, loopWidth, 25);
    lblLoop->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblLoop->setMouseTracking(true);

    txtLoop = new QLineEdit(this);
    txtLoop->setGeometry(w + loopWidth, 30, 40, 25);
    txtLoop->setValidator(new BoundedIntValidator(RowSteps::minLoopCount, RowSteps::maxLoopCount, txtLoop));
    txtLoop->setText(QString::number(clip->loopCount));
    new RowField(
        txtLoop, [clip] { return QString::number(clip->loopCount); },
        [] { return tr("videowidget_loop_refused"); });
    setFocusProxy(txtLoop);

    btnAdd = RowButtons::create(true, this);
    btnAdd->setGeometry(w + loopWidth + 40, 30, 20, 25);
    btnDel = RowButtons::create(false, this);
    btnDel->setGeometry(w + loopWidth + 60, 30, 20, 25);

    connect(txtLoop, &QLineEdit::textChanged, this, &MediaObjectWidget::onTimeEdit);
    // Only the texts on the blue: the combo and the edit keep their own colours.
    for (QLabel* label : findChildren<QLabel*>())
        RowButtons::useEditorColours(label);
    RowButtons::useEditorColours(btnAdd);
    RowButtons::useEditorColours(btnDel);
    connect(btnAdd, &QPushButton::pressed, this, &MediaObjectWidget::onBtnTimeAddPreseed);
    connect(btnAdd, &QPushButton::released, this, &MediaObjectWidget::onBtnTimeAddReleased);
    connect(btnDel, &QPushButton::pressed, this, &MediaObjectWidget::onBtnTimeDelPreseed);
    connect(btnDel, &QPushButton::released, this, &MediaObjectWidget::onBtnTimeDelReleased);
}

MediaObjectWidget::~MediaObjectWidget()
{
    liveWidgets().remove(this);
}

MediaObjectWidget* MediaObjectWidget::fromMessageObject(void* obj)
{
    return liveWidgets().contains(obj) ? static_cast<MediaObjectWidget*>(obj) : nullptr;
}

void MediaObjectWidget::applyStep(int what)
{
    QMutexLocker locker(&mutex);
    if (what == MessageCode::LoopAdd) {
        clip->loopCount = RowSteps::loopCountUp(clip->loopCount);
        qDebug() << "onBtnTimeAdd() loopcount = " << clip->loopCount;
    } else if (what == MessageCode::LoopDel) {
        clip->loopCount = RowSteps::loopCountDown(clip->loopCount);
        qDebug() << "onBtnTimeDel() loopcount = " << clip->loopCount;
    } else {
        return;
    }
    txtLoop->setText(QString::number(clip->loopCount));
}

bool MediaObjectWidget::isHolding(const Message* msg) { return hold.stepArrived(msg); }

void MediaObjectWidget::onBtnTimeAddPreseed()
{
    qDebug() << "onBtnTimeAddPreseed";
    hold.press(MessageCode::LoopAdd, btnAdd);
}

void MediaObjectWidget::onBtnTimeAddReleased()
{
    qDebug() << "onBtnTimeAddReleased";
    hold.release(MessageCode::LoopAdd);
}

void MediaObjectWidget::onBtnTimeDelPreseed()
{
    qDebug() << "onBtnTimeDelPreseed";
    hold.press(MessageCode::LoopDel, btnDel);
}

void MediaObjectWidget::onBtnTimeDelReleased()
{
    qDebug() << "onBtnTimeDelReleased";
    hold.release(MessageCode::LoopDel);
}

void MediaObjectWidget::onTimeEdit(const QString& value)
{
    // A loop count of 0 would reach the card as a clip never played.
    if (RowField::isFinished(txtLoop, value))
        clip->loopCount = value.toInt();
}

void MediaObjectWidget::onCurrentIndexChanged(int value)
{
    emit mediaIndexChanged(clip, clip->number, value + 1);
}

void MediaObjectWidget::paintEvent(QPaintEvent*)
{
    RowButtons::paintEditorBackground(this);
}

void MediaObjectWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit rowPressed(index);
    QWidget::mousePressEvent(event);
}
