#pragma once

#include <QModelIndex>
#include <QMutex>
#include <QWidget>

#include "pressandhold.h"

class HandlerMessage;
class Message;
class MediaObject;
class QLabel;
class QLineEdit;
class QPushButton;

// The editor of a clip row: thumbnail of the first frame, frame count, loop count and the
// plus and minus buttons that repeat while held (LoopAdd, LoopDel), as ImageObjectWidget
// does for a picture's show time. GUI thread only; `mutex` is held while a step changes
// the clip and the loop text.
class MediaObjectWidget : public QWidget
{
    Q_OBJECT
public:
    MediaObjectWidget(HandlerMessage* handler, MediaObject* clip, const QModelIndex& index,
                      QWidget* parent = nullptr);
    ~MediaObjectWidget() override;

    // The live widget a message object names, or null once that widget is gone.
    static MediaObjectWidget* fromMessageObject(void* obj);

    MediaObject* mediaObject() const { return clip; }
    // For a repeat step that came back: whether its button is still held, so the next step
    // is to be sent. A message of an earlier press, bounced before its release, steps once
    // and ends there.
    bool isHolding(const Message* msg);
    // One step of LoopAdd or LoopDel on the clip's loop count.
    void applyStep(int what);

    QLabel* textLabel() const { return lblText; }
    QLineEdit* loopEdit() const { return txtLoop; }
    QPushButton* plusButton() const { return btnAdd; }
    QPushButton* minusButton() const { return btnDel; }

signals:
    void mediaIndexChanged(MediaObject* clip, int oldIndex, int newIndex);
    // A press on the row outside its controls: the row is chosen, as a press on a
    // painted row chooses it.
    void rowPressed(const QModelIndex& index);

public slots:
    void onBtnTimeAddPreseed();
    void onBtnTimeAddReleased();
    void onBtnTimeDelPreseed();
    void onBtnTimeDelReleased();
    void onTimeEdit(const QString& value);
    void onCurrentIndexChanged(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    MediaObject* clip;
    QModelIndex index;
    QMutex mutex;
    QLabel* lblThumbnail = nullptr;
    QLabel* lblText = nullptr;
    QLineEdit* txtLoop = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnDel = nullptr;
    PressAndHold hold;
};
