#pragma once

#include "looper/handlermessage.h"

class LoadMediaDialog;

// The video import's work on the shared worker thread: waiting until the opened video
// plays (WaitPlayback, up to 100 polls 200 ms apart) and showing the paused preview at the
// time a slider rests on (SeekPreview, str = whole seconds).
//
// Threads: created and destroyed on the GUI thread by its dialog; handleMessage runs on
// the worker and reaches the player only through the dialog's locked calls
// (previewState, seekPreview), which do nothing once the player is stopped. The dialog
// destroys the handler before its player, and destruction waits for a running job.
class LoadMediaHandler : public HandlerMessage
{
    Q_OBJECT
public:
    LoadMediaHandler(LoadMediaDialog* owner, HandlerThread* loop);
    ~LoadMediaHandler() override;

    void handleMessage(Message* msg) override;

    static constexpr int playbackPolls = 100;
    static constexpr int pollIntervalMs = 200;

signals:
    void vlcOpenFileError();
    void vlcPlaying();

private:
    void waitForPlayback();

    LoadMediaDialog* owner;
};
