#pragma once

#include "videocutter.h"

#include <QImage>
#include <QString>
#include <QVector>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// The pictures of a video at every mark of a span, in time order, cut on several threads.
// An exact seek decodes from the keyframe before it, which keeps one core busy for every
// picture; so lanes, each with a VideoCutter of its own, take turns at the marks (lane k
// of n takes marks k, k + n, ...) and next() hands the pictures over in the order of the
// marks. A lane holds at most one finished picture until it is taken, so memory does not
// grow with the span. The pictures are those VideoCutter::frameAt gives.
//
// Threads: one thread constructs it and calls next(); cancel() may be called from any
// thread. The destructor cancels and waits for the lanes.
class VideoSpanCut
{
public:
    VideoSpanCut(const QString& path, const QVector<qint64>& marks, int laneCount = defaultLaneCount());
    ~VideoSpanCut();
    VideoSpanCut(const VideoSpanCut&) = delete;
    VideoSpanCut& operator=(const VideoSpanCut&) = delete;

    // The picture at the next mark. A failure (the file does not open, no picture at that
    // mark, cancelled) ends the cut: later calls give the same status.
    VideoCutter::Status next(QImage& picture);
    bool atEnd() const { return nextIndex >= marks.size(); }
    // The mark of the picture the latest next() gave or failed at.
    qint64 lastMark() const { return nextIndex > 0 ? marks[nextIndex - 1] : -1; }
    void cancel();

    // One lane per core, at most four (each holds a decoder of its own).
    static int defaultLaneCount();

private:
    struct Lane
    {
        VideoCutter cutter;
        std::thread thread;
        QImage picture;  // under lock: the lane's finished picture, not yet taken
        VideoCutter::Status status = VideoCutter::Status::Ok;
        bool ready = false;
    };

    void runLane(Lane& lane, int first);
    bool publish(Lane& lane, VideoCutter::Status status, QImage&& picture);

    const QString path;
    const QVector<qint64> marks;
    std::vector<std::unique_ptr<Lane>> lanes;
    std::mutex lock;
    std::condition_variable changed;
    bool cancelled = false;  // under lock
    int nextIndex = 0;       // the next() thread only
    VideoCutter::Status failure = VideoCutter::Status::Ok;  // the next() thread only
};
