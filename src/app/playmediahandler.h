#pragma once

#include "looper/handlermessage.h"

class Message;

// The main window's handler on the shared worker thread.
//
// Threads: created and destroyed on the GUI thread; handleMessage runs on the worker. The
// repeat codes (clip preview frames, the row buttons' steps) are only bounced: the handler
// emits a new message with the same code and object, which the window receives through a
// queued connection and owns. The handler itself touches nothing the message points to.
//
// Drive jobs (download, preview, factory restore, contrast) are added as cases of
// handleMessage; they test isRunning() between their steps, since the destructor stops
// handling before anything else goes.
class PlayMediaHandler : public HandlerMessage
{
    Q_OBJECT
public:
    explicit PlayMediaHandler(HandlerThread* loop);
    ~PlayMediaHandler() override;

    void handleMessage(Message* msg) override;

signals:
    // A result for the window; the receiving slot owns the message.
    void handlerMessage(Message* msg);
    void previewUsbOver();
    void restoreFactoryOver();

private:
    void echo(const Message* msg);
};
