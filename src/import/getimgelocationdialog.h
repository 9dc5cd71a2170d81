#pragma once

#include "clipframing.h"

#include <QDialog>
#include <QImage>

#include <memory>

class RoundAreaWidget;
namespace Ui {
class GetImgeLocationDialog;
}

// Where the fan's round window lies on a clip: the dialog shows one frame with the
// draggable round 450 x 450 window over it and zooms the frame in steps of 10 %. The
// importing dialog reads placement() after the modal run, however it ended (Ok accepts,
// the close button rejects; both keep what is shown). GUI thread only.
class GetImgeLocationDialog : public QDialog
{
    Q_OBJECT
public:
    explicit GetImgeLocationDialog(QWidget* parent = nullptr);
    ~GetImgeLocationDialog() override;

    // Shows the picture at its own size with the round window centred over it. Once.
    void setImage(const QImage& picture);

    // The round window's top-left relative to the picture, and the size it is shown at.
    QPoint windowPosition() const;
    QSize shownSize() const { return shownPicture.size(); }
    // The framing of every frame that follows from the two.
    ClipPlacement placement() const { return clipPlacement(windowPosition(), shownSize()); }
    int zoomStep() const { return m_zoomStep; }

    QWidget* imageWidget() const;
    RoundAreaWidget* roundWindow() const { return m_roundWindow; }

public slots:
    void onBtnZoomIn();
    void onBtnZoomOut();
    void onBtnOk();

private:
    void zoom(int step, const char* debugName);
    void showPicture();

    std::unique_ptr<Ui::GetImgeLocationDialog> ui;
    RoundAreaWidget* m_roundWindow = nullptr;
    int m_zoomStep = 0;
    QImage basePicture;
    QImage shownPicture;
};
