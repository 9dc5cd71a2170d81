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
// draggable round 450 x 450 window over it and zooms the frame in steps of 10 %. The view
// draws the frame and the window at one scale so that both are seen whole whatever the
// frame's size; the placement is kept in the shown frame's own pixels. The importing
// dialog reads placement() after the modal run: Ok accepts, the close button rejects, and
// both keep what is shown; Escape cancels the import (cancelled()). GUI thread only.
class GetImgeLocationDialog : public QDialog
{
    Q_OBJECT
public:
    explicit GetImgeLocationDialog(QWidget* parent = nullptr);
    ~GetImgeLocationDialog() override;

    // Shows the picture at its own size with the round window centred over it. Once.
    void setImage(const QImage& picture);
    // A control of the importing dialog's own, shown left of the buttons.
    void addOption(QWidget* option);

    // The round window's top-left relative to the picture, and the size it is shown at.
    QPoint windowPosition() const { return m_windowPosition; }
    QSize shownSize() const { return shownPicture.size(); }
    // The framing of every frame that follows from the two.
    ClipPlacement placement() const { return clipPlacement(windowPosition(), shownSize()); }
    int zoomStep() const { return m_zoomStep; }
    // The user pressed Escape: nothing is to be imported.
    bool cancelled() const { return m_cancelled; }
    const PlacementView& view() const { return m_view; }

    QWidget* imageWidget() const;
    RoundAreaWidget* roundWindow() const { return m_roundWindow; }

public slots:
    void onBtnZoomIn();
    void onBtnZoomOut();
    void onBtnOk();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void zoom(int step, const char* debugName);
    void showPicture();

    std::unique_ptr<Ui::GetImgeLocationDialog> ui;
    RoundAreaWidget* m_roundWindow = nullptr;
    int m_zoomStep = 0;
    QImage basePicture;
    QImage shownPicture;
    QPoint m_windowPosition = centredWindowPosition(QSize(0, 0));
    PlacementView m_view;
    QPoint windowPlacedAt;  // where the view last put the window: any other place is a drag
    bool m_cancelled = false;
};
