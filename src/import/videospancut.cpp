#include "videospancut.h"

#include <QThread>

#include <algorithm>

VideoSpanCut::VideoSpanCut(const QString& path, const QVector<qint64>& marks, int laneCount)
    : path(path), marks(marks)
{
    laneCount = std::clamp(laneCount, 1, std::max(1, int(marks.size())));
    for (int k = 0; k < laneCount; ++k)
        lanes.push_back(std::make_unique<Lane>());
    for (int k = 0; k < laneCount; ++k)
        lanes[size_t(k)]->thread = std::thread([this, k] { runLane(*lanes[size_t(k)], k); });
}

VideoSpanCut::~VideoSpanCut()
{
    cancel();
    for (const std::unique_ptr<Lane>& lane : lanes)
        lane->thread.join();
}

int VideoSpanCut::defaultLaneCount()
{
    return std::clamp(QThread::idealThreadCount(), 1, 4);
}

void VideoSpanCut::cancel()
{
    {
        std::lock_guard<std::mutex> locker(lock);
        cancelled = true;
    }
    changed.notify_all();
    for (const std::unique_ptr<Lane>& lane : lanes)
        lane->cutter.cancel();
}

void VideoSpanCut::runLane(Lane& lane, int first)
{
    VideoCutter::Status status = lane.cutter.open(path);
    for (int index = first; index < marks.size(); index += int(lanes.size())) {
        QImage picture;
        if (status == VideoCutter::Status::Ok)
            status = lane.cutter.frameAt(marks[index], picture);
        // A failure is handed over as the status of this lane's mark and ends the lane.
        if (!publish(lane, status, std::move(picture)) || status != VideoCutter::Status::Ok)
            return;
    }
}

bool VideoSpanCut::publish(Lane& lane, VideoCutter::Status status, QImage&& picture)
{
    std::unique_lock<std::mutex> locker(lock);
    changed.wait(locker, [&] { return !lane.ready || cancelled; });
    if (cancelled)
        return false;
    lane.picture = std::move(picture);
    lane.status = status;
    lane.ready = true;
    locker.unlock();
    changed.notify_all();
    return true;
}

VideoCutter::Status VideoSpanCut::next(QImage& picture)
{
    picture = QImage();
    if (failure != VideoCutter::Status::Ok || atEnd())
        return failure;
    Lane& lane = *lanes[size_t(nextIndex) % lanes.size()];
    std::unique_lock<std::mutex> locker(lock);
    changed.wait(locker, [&] { return lane.ready || cancelled; });
    ++nextIndex;
    if (cancelled) {
        failure = VideoCutter::Status::Cancelled;
        return failure;
    }
    picture = std::move(lane.picture);
    lane.picture = QImage();
    lane.ready = false;
    failure = lane.status;
    locker.unlock();
    changed.notify_all();
    return failure;
}
