#include "loadmediahandler.h"

#include "loadmediadialog.h"
#include "looper/message.h"
#include "looper/messagecodes.h"

#include <QDebug>

#include <vlc/vlc.h>

LoadMediaHandler::LoadMediaHandler(LoadMediaDialog* owner, HandlerThread* loop)
    : HandlerMessage(loop), owner(owner)
{
}

LoadMediaHandler::~LoadMediaHandler() { stopHandling(); }

void LoadMediaHandler::handleMessage(Message* msg)
{
    if (msg->what == MessageCode::WaitPlayback)
        waitForPlayback();
    else if (msg->what == MessageCode::SeekPreview)
        owner->seekPreview(msg->str.toLongLong() * 1000);
}

void LoadMediaHandler::waitForPlayback()
{
    for (int poll = 0; poll < playbackPolls; ++poll) {
        const int state = owner->previewState();
        qDebug() << "wait vlc state: " << state;
        if (state == libvlc_Playing) {
            emit vlcPlaying();
            return;
        }
        if (state == libvlc_Stopped)
            return;  // the dialog stopped the player
        if (state == libvlc_Error || state == libvlc_Ended) {
            emit vlcOpenFileError();
            return;
        }
        if (!waitForJob(pollIntervalMs))
            return;  // the dialog is going
    }
    if (isRunning())
        emit vlcOpenFileError();
}
