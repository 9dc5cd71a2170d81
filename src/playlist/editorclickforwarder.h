#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

class QAbstractItemView;
class QWidget;

// A press on a row that is not being edited opens the row's editor, but the view takes the
// press and the editor's controls never see it: the click on the time field would leave
// the keyboard on the number combo, and a plus button held down would step only once. This
// hands the press, once the view has opened the editor, to the control under the mouse, and
// the release to the same control, so a press there holds like one on the control itself.
// An editor that opens only on the release gets the whole click then.
//
// Only presses that land on the bare viewport count: a press on an open editor is that
// editor's own and merely bubbles up here, and the forwarded events never reach the view.
// Installed on a view's viewport; GUI thread only.
class EditorClickForwarder : public QObject
{
    Q_OBJECT
public:
    explicit EditorClickForwarder(QAbstractItemView* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The control of an open editor at a point of the viewport that takes clicks, or null.
    QWidget* controlAt(QPoint viewportPos) const;
    void forwardPress();
    void forwardRelease();
    void send(QWidget* control, bool press);

    // Kept from the start: the filter still sees events while the view is destroyed, when
    // it can no longer be asked for its viewport.
    QWidget* viewport;
    QPoint pressPos;
    bool pressOnViewport = false;
    QPointer<QWidget> pressedControl;  // has the forwarded press and waits for its release
    bool forwarding = false;           // our own event is on its way up through the viewport
};
