#pragma once

#include <QImage>
#include <QSize>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

struct libvlc_media_player_t;

// The pictures a libVLC player hands over in memory instead of drawing them in a window:
// RV32 (QImage's RGB32) at the size asked for, or the decoder's own when none is. libVLC's
// decoding thread writes into a buffer of ours and, at each display, the picture is
// copied out under a lock; the latest picture, a count of them and a wait for the next
// are there for any thread.
class VlcFrameSink
{
public:
    // `size` is the video's own size (see VideoCutter::displaySize); empty leaves the size
    // to the decoder. `shown` runs on libVLC's thread after each picture, outside the lock.
    void attach(libvlc_media_player_t* player, const QSize& size, std::function<void()> shown = {});

    // A shallow copy of the latest picture; null before the first.
    QImage latest();
    quint64 shownCount();
    // Waits until more than `seen` pictures were shown; false on time-out or once
    // interrupted.
    bool waitForPicture(quint64 seen, int timeoutMs);
    // Ends every wait, now and later (any thread).
    void interrupt();
    bool interrupted() const { return stopped; }

private:
    static unsigned setupFormat(void** opaque, char* chroma, unsigned* width, unsigned* height,
                                unsigned* pitches, unsigned* lines);
    static void* lockPicture(void* opaque, void** planes);
    static void displayPicture(void* opaque, void* picture);

    QSize requestedSize;
    std::function<void()> onShown;
    std::vector<uchar> decodeBuffer;  // libVLC's decoding thread writes it, nobody else
    std::mutex lock;
    std::condition_variable pictureShown;
    QImage frame;        // under lock
    quint64 shown = 0;   // under lock
    std::atomic<bool> stopped{false};
};
