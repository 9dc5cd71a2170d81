#include "mediacutthreads.h"

#include "convert/imageobject.h"
#include "convert/polarconversion.h"
#include "loadmediadialog.h"
#include "videospancut.h"

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
    qDebug() << "start time " << startMs << ", end time " << endMs;
    const QVector<qint64> marks = VideoMarks::marks(startMs, endMs);
    VideoSpanCut spanCut(path, marks);
    {
        std::lock_guard<std::mutex> locker(cutterLock);
        if (!running)
            return;
        cutter = &spanCut;
    }
    auto forget = qScopeGuard([this] {
        std::lock_guard<std::mutex> locker(cutterLock);
        cutter = nullptr;
    });
    VideoCutter::Status status = VideoCutter::Status::Ok;
    for (int index = 0; !spanCut.atEnd() && running; ++index) {
        CutFrame frame{index + 1, marks[index], QImage()};
        status = spanCut.next(frame.picture);
        if (status != VideoCutter::Status::Ok)
            break;
        if (!owner->pushCutFrame(std::move(frame), running))
            break;
        emit signalCurrentCutPos(marks[index]);
    }
    if (!running)
        return;  // stopped: the dialog is cancelling and wants no report
    owner->finishCut(status == VideoCutter::Status::Ok ? QString()
                                                        : LoadMediaDialog::cutFailureText(status, spanCut.lastMark()));
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
