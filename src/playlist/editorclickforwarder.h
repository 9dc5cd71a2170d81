#pragma once

#include <QObject>
#include <QPoint>

class QAbstractItemView;
class QWidget;

// A click on a row that is not being edited opens the row's editor, but the view takes the
// press and the editor's controls never see it: the click on the time field would leave
// the keyboard on the number combo. This hands such a click, once the editor is open, to
// the control under the mouse. Installed on a view's viewport; GUI thread only.
class EditorClickForwarder : public QObject
{
    Q_OBJECT
public:
    explicit EditorClickForwarder(QAbstractItemView* view);

    static constexpr int clickLengthMs = 80;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void forwardClick(QPoint viewportPos);

    // Kept from the start: the filter still sees events while the view is destroyed, when
    // it can no longer be asked for its viewport.
    QWidget* viewport;
    QPoint pressPos;
    bool pressOnViewport = false;
};
