#pragma once

#include "device/downloadstatus.h"
#include "device/readbackobjects.h"
#include "looper/handlermessage.h"

#include <QMutex>

#include <atomic>

class ImageObject;
class MediaObject;
class Message;

// What one reading job (preview of a drive, factory restore) gives back: the objects it
// made, now owned by whoever takes them, and how the reading went.
struct ReadBackJob
{
    quint64 token = 0;  // the job it came from
    QString path;
    ReadBackObjects objects;
    ReadBackResult result;
};

// The main window's handler on the shared worker thread.
//
// Threads: created and destroyed on the GUI thread; handleMessage runs on the worker. The
// repeat codes (clip preview frames, the row buttons' steps) are only bounced: the handler
// emits a new message with the same code and object, which the window receives through a
// queued connection and owns. The handler itself touches nothing the message points to.
//
// Code 16 (contrast) carries in obj the ImageContrast to run; its sender removes the code
// and waits for a running job (removeMessagesAndWait) before that object goes.
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

    // Reading jobs (codes 14 and 15) carry a token in obj. A job reads on while wantedJob
    // holds its token; the window clears it when the user cancels, so a cancelled job stops
    // at its next record and is never revived by the job that follows it.
    std::atomic<quint64> wantedJob{0};
    // Queues the download (code 8) of these lists to `path`. The GUI thread must not change
    // the lists or delete their objects until the reply (code 8, str = path) arrives.
    void requestDownload(const QString& path, const QList<ImageObject*>& pictures,
                         const QList<MediaObject*>& clips);
    // How the download that replied last ended (GUI thread, in the reply's slot).
    DownloadStatus takeDownloadStatus();

    // The result of the reading job that finished last (GUI thread, after previewUsbOver()
    // or restoreFactoryOver()).
    ReadBackJob takeFinishedRead();

signals:
    // A result for the window; the receiving slot owns the message.
    void handlerMessage(Message* msg);
    void previewUsbOver();
    void restoreFactoryOver();
    // Records read and drawn of all, while a reading job runs.
    void jobProgress(qint64 done, qint64 total);

private:
    void echo(const Message* msg);
    void readEffectFile(const Message* msg);
    void writeEffectFile(const Message* msg);

    QMutex finishedLock;
    ReadBackJob finishedRead;  // guarded by finishedLock
    QList<ImageObject*> downloadPictures;  // guarded by finishedLock
    QList<MediaObject*> downloadClips;     // guarded by finishedLock
    DownloadStatus downloadStatus;         // guarded by finishedLock
};
