#include "mediacutthreads.h"

#include "convert/imageobject.h"
#include "convert/polarconversion.h"
#include "loadmediadialog.h"
#include "videocutter.h"

#include <QDebug>

#include <memory>

CutImageThread::CutImageThread(LoadMediaDialog* owner, const QString& path, qint64 startMs, qint64 endMs)
    : QThread(owner), owner(owner), path(path), startMs(startMs), endMs(endMs)
{
}

CutImageThread::~CutImageThread()
{
    qDebug() << "~CutImageThread";
    running = false;
    {
        std::lock_guard<std::mutex> locker(cutterLock);
        if (cutter)
            cutter->cancel();
    }
    owner->wakeCutQueue();
    wait();
    qDebug() << "~CutImageThread over!";
}

void CutImageThread::run()
{
    VideoCutter videoCutter;
    {
        std::lock_guard<std::mutex> locker(cutterLock);
        if (!running)
            return;
        cutter = &videoCutter;
    }
    auto forget = qScopeGuard([this] {
        std::lock_guard<std::mutex> locker(cutterLock);
        cutter = nullptr;
    });
    VideoCutter::Status status = videoCutter.open(path);
    qDebug() << "start time " << startMs << ", end time " << endMs << ", fps = " << videoCutter.frameRate();
    const QVector<qint64> marks = VideoMarks::marks(startMs, endMs);
    qint64 failedAt = -1;
    for (int index = 0; status == VideoCutter::Status::Ok && index < marks.size() && running; ++index) {
        CutFrame frame{index + 1, marks[index], QImage()};
        status = videoCutter.frameAt(marks[index], frame.picture);
        if (status != VideoCutter::Status::Ok) {
            failedAt = marks[index];
            break;
        }
        if (!owner->pushCutFrame(std::move(frame), running))
            break;
        emit signalCurrentCutPos(marks[index]);
    }
    if (!running)
        return;  // stopped: the dialog is cancelling and wants no report
    owner->finishCut(status == VideoCutter::Status::Ok ? QString() : LoadMediaDialog::cutFailureText(status, failedAt));
}

GetImageDataThread::GetImageDataThread(LoadMediaDialog* owner, const ClipPlacement& placement)
    : QThread(owner), owner(owner), placement(placement)
{
}

GetImageDataThread::~GetImageDataThread()
{
    qDebug() << "~GetImageDataThread";
    running = false;
    owner->wakeCutQueue();
    wait();
    qDebug() << "~GetImageDataThread over!";
}

void GetImageDataThread::run()
{
    CutFrame frame;
    while (owner->takeCutFrame(frame, running)) {
        auto object = std::make_unique<ImageObject>(frame.number, owner->mediaPath(), 10.0,
                                                    ImageObject::VideoFrameKind, frame.picture);
        object->videoTime = float(frame.timeMs);
        const QImage framed = frameClipPicture(frame.picture, placement);
        frame.picture = QImage();
        convertToPolar(framed, object.get());
        if (!running)
            return;  // stopped: the finished frame goes with its unique_ptr
        owner->addImage(object.release());
    }
    if (!running)
        return;
    finished = true;
    emit signalCutMediaOver(owner->cutError().isEmpty());
}
