#pragma once

#include "clipframing.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <mutex>

class LoadMediaDialog;
class VideoSpanCut;

// The cut of a video span, off the GUI thread. CutImageThread takes the picture at every
// 100 ms mark in time order with a VideoSpanCut of its own and hands each to the dialog's
// queue (which holds few, so memory does not grow with the span); three
// GetImageDataThreads frame the pictures by the placement and convert them to polar form
// in parallel.
//
// Threads: created, started and destroyed on the GUI thread by LoadMediaDialog. Destroying
// one stops it and returns only once its run() has ended: a wait on the queue or on
// libVLC is cut short, a frame under conversion is finished or deleted, never left
// half-made, and no lock is held when run() returns.
class CutImageThread : public QThread
{
    Q_OBJECT
public:
    CutImageThread(LoadMediaDialog* owner, const QString& path, qint64 startMs, qint64 endMs);
    ~CutImageThread() override;

signals:
    void signalCurrentCutPos(qint64 timeMs);

protected:
    void run() override;

private:
    LoadMediaDialog* owner;
    const QString path;
    const qint64 startMs;
    const qint64 endMs;
    std::atomic<bool> running{true};
    std::mutex cutterLock;  // guards cutter, which run() owns while it works
    VideoSpanCut* cutter = nullptr;
};

class GetImageDataThread : public QThread
{
    Q_OBJECT
public:
    GetImageDataThread(LoadMediaDialog* owner, const ClipPlacement& placement);
    ~GetImageDataThread() override;

    bool cutDone() const { return finished; }

signals:
    void signalCutMediaOver(bool ok);

protected:
    void run() override;

private:
    LoadMediaDialog* owner;
    const ClipPlacement placement;  // copied at the start: it does not change during a cut
    std::atomic<bool> running{true};
    std::atomic<bool> finished{false};
};
