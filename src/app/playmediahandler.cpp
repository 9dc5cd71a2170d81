#include "playmediahandler.h"

#include "app/appsettings.h"
#include "convert/imagecontrast.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "device/effectfile.h"
#include "looper/message.h"
#include "looper/messagecodes.h"

#include <QDebug>
#include <QMetaMethod>

#include <utility>

PlayMediaHandler::PlayMediaHandler(HandlerThread* loop) : HandlerMessage(loop)
{
    // Replies cross to the GUI thread as queued calls.
    qRegisterMetaType<Message*>();
}

PlayMediaHandler::~PlayMediaHandler()
{
    // A job still running on the worker must be finished before our members go.
    stopHandling();
    finishedRead.objects.deleteAll();
}

void PlayMediaHandler::handleMessage(Message* msg)
{
    switch (msg->what) {
    case MessageCode::ClipFrame:
    case MessageCode::TimeAdd:
    case MessageCode::TimeDel:
    case MessageCode::LoopAdd:
    case MessageCode::LoopDel:
        echo(msg);
        break;
    case MessageCode::Download:
        writeEffectFile(msg);
        echo(msg);
        break;
    case MessageCode::PreviewUsb:
    case MessageCode::RestoreFactory:
        readEffectFile(msg);
        if (!isRunning())
            break;
        if (msg->what == MessageCode::PreviewUsb)
            emit previewUsbOver();
        else
            emit restoreFactoryOver();
        break;
    case MessageCode::Contrast:
        // obj: the contrast of the open dialog, which waits for this job before it goes.
        static_cast<ImageContrast*>(msg->obj)->addImageContract(msg->str.toInt());
        break;
    default:
        qDebug() << "#PlayMediaHandler# no job for message" << msg->what;
        break;
    }
}

void PlayMediaHandler::echo(const Message* msg)
{
    // Nobody to own the reply: it would only leak.
    if (!isRunning() || !isSignalConnected(QMetaMethod::fromSignal(&PlayMediaHandler::handlerMessage)))
        return;
    auto* reply = new Message(this, msg->what);
    reply->obj = msg->obj;
    reply->obj2 = msg->obj2;
    reply->str = msg->str;
    emit handlerMessage(reply);
}

void PlayMediaHandler::readEffectFile(const Message* msg)
{
    ReadBackJob job;
    job.token = quint64(reinterpret_cast<quintptr>(msg->obj));
    job.path = msg->str;
    EffectFile::ReadOptions options;
    options.ledCount = AppSettings::ledCount;
    options.lineNumber = AppSettings::lineNumber;
    options.running = [this, token = job.token] { return isRunning() && wantedJob == token; };
    options.progress = [this](int done, int total) { emit jobProgress(done, total); };
    job.result = ::readEffectFile(msg->str, options, job.objects);
    qDebug() << "read media image. " << job.objects.pictures.size() << "pictures,"
             << job.objects.clips.size() << "clips from" << msg->str;

    // Made here, used and deleted on the window's thread from now on.
    for (ImageObject* picture : job.objects.pictures)
        picture->moveToThread(thread());
    for (MediaObject* clip : job.objects.clips) {
        for (ImageObject* frame : clip->frames)
            frame->moveToThread(thread());
        clip->moveToThread(thread());
    }
    QMutexLocker locker(&finishedLock);
    finishedRead.objects.deleteAll();  // a result nobody took
    finishedRead = std::move(job);
}

ReadBackJob PlayMediaHandler::takeFinishedRead()
{
    QMutexLocker locker(&finishedLock);
    return std::exchange(finishedRead, ReadBackJob());
}

void PlayMediaHandler::requestDownload(const QString& path, const QList<ImageObject*>& pictures,
                                       const QList<MediaObject*>& clips)
{
    {
        QMutexLocker locker(&finishedLock);
        downloadPictures = pictures;
        downloadClips = clips;
    }
    auto* msg = new Message(this, MessageCode::Download);
    msg->str = path;
    sendHandlerMessage(msg);
}

void PlayMediaHandler::writeEffectFile(const Message* msg)
{
    QList<ImageObject*> pictures;
    QList<MediaObject*> clips;
    {
        QMutexLocker locker(&finishedLock);
        pictures = std::exchange(downloadPictures, {});
        clips = std::exchange(downloadClips, {});
    }
    const DownloadStatus status = EffectFile::download(
        msg->str, pictures, clips, [this](int done, int total) { emit jobProgress(done, total); },
        [this] { return isRunning(); });
    QMutexLocker locker(&finishedLock);
    downloadStatus = status;
}

DownloadStatus PlayMediaHandler::takeDownloadStatus()
{
    QMutexLocker locker(&finishedLock);
    return std::exchange(downloadStatus, DownloadStatus());
}
