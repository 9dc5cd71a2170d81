#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QMovie;
class QProgressBar;

// The modal box shown while a drive job runs on the worker thread: an animation, the
// job's text, an optional "done / total" bar and one Cancel button. It knows nothing about
// the job: the job's end closes it from outside, and Cancel only closes it. GUI thread only.
class ProgressDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ProgressDialog(const QString& text, QWidget* parent = nullptr);

    // Shows how far the job is; the bar appears with the first call.
    void setProgress(qint64 done, qint64 total);
    // A job that must not be left running behind a closed box (a download still reading
    // the playlist) turns Cancel, Escape and the close button off.
    void setCancellable(bool cancellable);

    void reject() override;

    QLabel* textLabel() const { return lblText; }
    QProgressBar* progressBar() const { return bar; }
    QDialogButtonBox* buttonBox() const { return buttons; }
    QMovie* animation() const { return movie; }

private:
    QLabel* lblText;
    QLabel* lblAnimation;
    QMovie* movie;
    QProgressBar* bar;
    QDialogButtonBox* buttons;
    bool cancellable = true;
};
