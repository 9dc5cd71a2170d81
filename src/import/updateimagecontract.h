#pragma once

#include "convert/imagecontrast.h"

#include <QDialog>

class HandlerMessage;
class ImageObject;
class QLabel;
class QSlider;

// The contrast box of one playlist picture: a slider from 0 to 100 for factors 0.0 to 10.0.
// Every move replaces the pending job and posts a new one 200 ms later (code 16) to the
// main window's handler, so a drag runs one job once the slider rests; each job makes the
// picture's thumbnail, polar buffer and preview again and then emits
// onImageContractChanged on the worker thread. Ok keeps the last value; Cancel, Escape and
// the close button give the picture back the contrast it had before (reject()).
//
// GUI thread only. Destroying the dialog removes a pending job and waits for a running one,
// since both work on this dialog's source picture.
class UpdateImageContract : public QDialog
{
    Q_OBJECT
public:
    UpdateImageContract(HandlerMessage* handler, ImageObject* imageObject, QWidget* parent = nullptr);
    ~UpdateImageContract() override;

    QSlider* slider() const { return sliderContrast; }
    // Shown, naming the file, when the picture's source cannot be read.
    QLabel* sourceLabel() const { return lblSource; }

signals:
    void onImageContractChanged(QObject* object);

public slots:
    void sliderValueChanged(int value);
    void reject() override;

private:
    HandlerMessage* handler;  // not owned
    ImageContrast contrast;
    QSlider* sliderContrast = nullptr;
    QLabel* lblSource = nullptr;
};
