#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QVector>

#include "convert/mediaobject.h"
#include "vlcframesink.h"

struct libvlc_instance_t;
struct libvlc_media_t;
struct libvlc_media_player_t;

// The times at which a span of a video is cut: start, start + 100 ms, ... up to and
// including end. Empty when end < start. A mark per record of the card, so that the clip
// plays on the fan as fast as the video.
namespace VideoMarks {
constexpr qint64 stepMs = MediaObject::recordMs;
QVector<qint64> marks(qint64 startMs, qint64 endMs);
// How many marks marks() gives, without making them.
int count(qint64 startMs, qint64 endMs);
} // namespace VideoMarks

// Pictures of a video file at chosen times, decoded by a libVLC player of its own that
// hands every picture over in memory (no window, no display needed). The player is
// paused; frameAt() seeks precisely and waits for the picture of the new time, so the
// picture returned is always the one the video shows from that time on (the first frame
// that starts at or after it), never the one from before the seek. One picture is held at
// a time.
//
// Threads: one thread opens the cutter and calls frameAt(); cancel() may be called from
// any other thread and makes a waiting open() or frameAt() return Cancelled at once.
// libVLC's decoding thread hands the pictures over through `sink`.
class VideoCutter
{
public:
    enum class Status {
        Ok,
        NoLibrary,      // libVLC could not be initialised
        NotPlayable,    // no media, a playback error, or no picture within the start-up time
        NoVideoStream,  // the file's streams are all sound (or other), none is a video
        StillPicture,   // a picture file, which libVLC would play as 10 s of one frame
        NoPicture,      // a seek gave no picture within its time-out
        Cancelled,
    };

    VideoCutter();
    ~VideoCutter();
    VideoCutter(const VideoCutter&) = delete;
    VideoCutter& operator=(const VideoCutter&) = delete;

    // Starts the video muted and paused. The first picture must come within startTimeoutMs.
    Status open(const QString& path, int startTimeoutMs = 20000);
    // The picture shown at timeMs. Times past the last frame that libVLC shows when paused
    // give that frame.
    Status frameAt(qint64 timeMs, QImage& picture, int timeoutMs = 15000);
    void cancel();
    // Frees the player, its decoder and libVLC once no more pictures are wanted (the
    // destructor does it too); frameAt() then gives Cancelled. The thread of open() only.
    void release();

    qint64 lengthMs() const { return m_lengthMs; }
    QSize frameSize() const { return m_size; }
    // Frames per second as the player tells it; 0 when it cannot tell.
    double frameRate() const { return m_frameRate; }

    // The size the video is meant to be seen at (its visible picture, square pixels), read
    // from the file before playing; empty when the media does not tell. libVLC's picture
    // hand-over would otherwise give the decoder's padded or stretched size.
    static QSize displaySize(libvlc_media_t* media);

    // Whether `path`, opened by libVLC as `media`, holds a video to cut, told before any
    // playing from the file's first bytes and the streams libVLC reads from its headers:
    // Ok, NotPlayable (libVLC cannot read it), NoVideoStream or StillPicture.
    static Status checkVideoFile(const QString& path, libvlc_media_t* media);

    // English, for the command-line tool and the debug output.
    static QString describe(Status status);

private:
    Status seekAndWait(qint64 seekMs, bool tail, int timeoutMs);
    qint64 frameIndex(qint64 timeMs) const;  // by the frame rate, frames starting at 0 ms

    libvlc_instance_t* instance = nullptr;
    libvlc_media_player_t* player = nullptr;
    VlcFrameSink sink;
    bool opened = false;  // open() succeeded: frameAt() may seek
    qint64 m_lengthMs = 0;
    QSize m_size;
    double m_frameRate = 0;
    qint64 lastShownMs = 0;  // the latest time a paused seek still shows a picture
    qint64 tailStartMs = 0;  // seeks from here on land on the video's last frames
    bool inTail = false;     // the picture held came from a seek into the tail
    QImage held;             // the picture of the latest seek
    qint64 lastSeekMs = -1;
};
