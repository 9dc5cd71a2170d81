#pragma once

#include <QModelIndex>
#include <QMutex>
#include <QWidget>

#include "pressandhold.h"

class HandlerMessage;
class Message;
class ImageObject;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The editor of a picture row: thumbnail, number combo, show time and the plus and minus
// buttons that repeat while held.
//
// Holding a button sends TimeAdd (or TimeDel) with this widget as the message's object; the
// handler bounces it to the main window, which looks the widget up with fromMessageObject(),
// calls applyStep() and sends the next message only while isHolding() the code (see
// PressAndHold); a bounce already on its way at the release still steps once.
// GUI thread only; `mutex` is held while a step changes the picture and the time text.
class ImageObjectWidget : public QWidget
{
    Q_OBJECT
public:
    ImageObjectWidget(HandlerMessage* handler, ImageObject* picture, const QModelIndex& index,
                      QWidget* parent = nullptr);
    ~ImageObjectWidget() override;

    // The live widget a message object names, or null once that widget is gone.
    static ImageObjectWidget* fromMessageObject(void* obj);

    ImageObject* imageObject() const { return picture; }
    // For a repeat step that came back: whether its button is still held, so the next step
    // is to be sent. A message of an earlier press, bounced before its release, steps once
    // and ends there.
    bool isHolding(const Message* msg);
    // One step of TimeAdd or TimeDel on the picture's show time.
    void applyStep(int what);

    QComboBox* numberCombo() const { return comboNumber; }
    QLineEdit* timeEdit() const { return txtTime; }
    QPushButton* plusButton() const { return btnAdd; }
    QPushButton* minusButton() const { return btnDel; }

signals:
    void imageIndexChanged(ImageObject* picture, int oldIndex, int newIndex);
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
    void onImageContractChanged(ImageObjectWidget* widget);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    ImageObject* picture;
    QModelIndex index;
    QLabel* lblThumbnail = nullptr;
    QLabel* lblShow = nullptr;
    QLabel* lblSeconds = nullptr;
    QComboBox* comboNumber = nullptr;
    QLineEdit* txtTime = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnDel = nullptr;
    QMutex mutex;
    PressAndHold hold;
};
