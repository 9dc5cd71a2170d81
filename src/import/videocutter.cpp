#include "videocutter.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QThread>

#include <vlc/vlc.h>

#include <chrono>
#include <cmath>

namespace {
void parseHeaders(libvlc_media_t* media)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    libvlc_media_parse(media);  // local file: reads the headers, no network; once per media
#pragma GCC diagnostic pop
}

// Picture formats told by their first bytes. Formats whose test is loose (TGA, WBMP)
// are left out, so that no video is ever taken for a picture.
bool isPictureFile(const QString& path)
{
    static const QList<QByteArray> pictures{"bmp", "gif", "ico", "jpeg", "mng", "pbm", "pgm", "png",
                                            "ppm", "svg", "tiff", "webp", "xpm"};
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && pictures.contains(QImageReader::imageFormat(&file));
}
} // namespace

VideoCutter::Status VideoCutter::checkVideoFile(const QString& path, libvlc_media_t* media)
{
    // libVLC's picture reader turns a picture into a video stream of its own (10 s of one
    // frame, raw pixels), so its streams cannot tell a picture from a video: the file's
    // signature can.
    if (isPictureFile(path))
        return Status::StillPicture;
    parseHeaders(media);
    // A file libVLC cannot read at all fails to parse. A raw stream (".h264") parses with
    // no streams listed, since only playing finds them: such a file is left to playback.
    if (libvlc_media_get_parsed_status(media) == libvlc_media_parsed_status_failed)
        return Status::NotPlayable;
    libvlc_media_track_t** tracks = nullptr;
    const unsigned count = libvlc_media_tracks_get(media, &tracks);
    bool video = false;
    for (unsigned i = 0; i < count; ++i)
        video = video || tracks[i]->i_type == libvlc_track_video;
    libvlc_media_tracks_release(tracks, count);
    return video || count == 0 ? Status::Ok : Status::NoVideoStream;
}

QSize VideoCutter::displaySize(libvlc_media_t* media)
{
    parseHeaders(media);
    libvlc_media_track_t** tracks = nullptr;
    const unsigned count = libvlc_media_tracks_get(media, &tracks);
    QSize size;
    for (unsigned i = 0; i < count && size.isEmpty(); ++i) {
        if (tracks[i]->i_type != libvlc_track_video || !tracks[i]->video)
            continue;
        const libvlc_video_track_t* video = tracks[i]->video;
        double width = video->i_width;
        if (video->i_sar_num > 0 && video->i_sar_den > 0)
            width = width * video->i_sar_num / video->i_sar_den;
        size = QSize(int(width + 0.5), int(video->i_height));
    }
    libvlc_media_tracks_release(tracks, count);
    // A header that names no size, or an absurd one, leaves the size to the decoder.
    return size.width() > 0 && size.height() > 0 && size.width() <= 16384 && size.height() <= 16384 ? size : QSize();
}

int VideoMarks::count(qint64 startMs, qint64 endMs)
{
    return startMs < 0 || endMs < startMs ? 0 : int((endMs - startMs) / stepMs + 1);
}

QVector<qint64> VideoMarks::marks(qint64 startMs, qint64 endMs)
{
    const int n = count(startMs, endMs);
    QVector<qint64> times;
    times.reserve(n);
    for (int i = 0; i < n; ++i)
        times.append(startMs + i * stepMs);
    return times;
}

namespace {
constexpr int tailTimeoutMs = 2000;
} // namespace

VideoCutter::VideoCutter() = default;

VideoCutter::~VideoCutter() { release(); }

void VideoCutter::release()
{
    cancel();
    opened = false;
    if (player) {
        libvlc_media_player_stop(player);
        libvlc_media_player_release(player);
        player = nullptr;
    }
    if (instance) {
        libvlc_release(instance);
        instance = nullptr;
    }
}

QString VideoCutter::describe(Status status)
{
    switch (status) {
    case Status::Ok: return QStringLiteral("ok");
    case Status::NoLibrary: return QStringLiteral("libVLC could not be initialised");
    case Status::NotPlayable: return QStringLiteral("the file does not play as a video");
    case Status::NoVideoStream: return QStringLiteral("the file holds no video stream");
    case Status::StillPicture: return QStringLiteral("the file is a picture, not a video");
    case Status::NoPicture: return QStringLiteral("the video gave no picture at the asked time");
    case Status::Cancelled: return QStringLiteral("cancelled");
    }
    return QString();
}

void VideoCutter::cancel() { sink.interrupt(); }

VideoCutter::Status VideoCutter::open(const QString& path, int startTimeoutMs)
{
    const char* const arguments[] = {"--no-audio", "--no-video-title-show", "--quiet",
                                     "--no-snapshot-preview", "--no-osd"};
    instance = libvlc_new(int(sizeof arguments / sizeof *arguments), arguments);
    if (!instance)
        return Status::NoLibrary;
    libvlc_media_t* media = libvlc_media_new_path(instance, QDir::toNativeSeparators(path).toUtf8().constData());
    if (!media)
        return Status::NotPlayable;
    // Without the default second of read-ahead a paused seek into the last second of the
    // video would wait for data that never comes.
    libvlc_media_add_option(media, ":file-caching=20");
    // A decoder on several threads holds pictures back: the picture of a paused seek
    // might then never come out.
    libvlc_media_add_option(media, ":avcodec-threads=1");
    const Status check = checkVideoFile(path, media);
    if (check != Status::Ok) {
        libvlc_media_release(media);
        return check;
    }
    const QSize size = displaySize(media);
    player = libvlc_media_player_new_from_media(media);
    libvlc_media_release(media);
    if (!player)
        return Status::NotPlayable;
    sink.attach(player, size);
    if (libvlc_media_player_play(player) != 0)
        return Status::NotPlayable;

    // Playing: wait for the first picture, or an error or the end of a file without one.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(startTimeoutMs);
    while (!sink.waitForPicture(0, 50)) {
        if (sink.interrupted())
            return Status::Cancelled;
        const libvlc_state_t state = libvlc_media_player_get_state(player);
        if (state == libvlc_Error || state == libvlc_Ended || std::chrono::steady_clock::now() > deadline)
            return Status::NotPlayable;
    }
    libvlc_media_player_set_pause(player, 1);
    for (int poll = 0; libvlc_media_player_get_state(player) != libvlc_Paused; ++poll) {
        if (sink.interrupted())
            return Status::Cancelled;
        if (poll > startTimeoutMs / 10)
            return Status::NotPlayable;
        QThread::msleep(10);
    }
    m_size = sink.latest().size();
    m_lengthMs = qMax<qint64>(0, libvlc_media_player_get_length(player));
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    m_frameRate = libvlc_media_player_get_fps(player);
#pragma GCC diagnostic pop
    if (!(m_frameRate > 0))
        qDebug() << "#VideoCutter# fps = 0";
    // Paused, libVLC reaches the video's last frames by one seek only: once a seek has
    // shown one of them, further seeks among them show nothing. Times from the
    // second-to-last frame on show that frame, and a later mark that lands there again
    // keeps the picture it already has. Without a frame rate 25 per second stands in.
    const double frameMs = 1000.0 / (m_frameRate > 0 ? m_frameRate : 25.0);
    lastShownMs = qMax<qint64>(0, qint64(m_lengthMs - 2 * frameMs));
    tailStartMs = qMax<qint64>(0, qint64(m_lengthMs - 3 * frameMs));

    // A picture decoded before the pause may still be on its way to the display; one
    // seek that is waited for takes it out of the way of the first real one.
    const quint64 seen = sink.shownCount();
    libvlc_media_player_set_time(player, 0);
    sink.waitForPicture(seen, 2000);
    if (sink.interrupted())
        return Status::Cancelled;
    opened = true;
    return Status::Ok;
}

VideoCutter::Status VideoCutter::frameAt(qint64 timeMs, QImage& picture, int timeoutMs)
{
    if (!opened)
        return sink.interrupted() ? Status::Cancelled : Status::NotPlayable;
    const qint64 seekMs = qBound<qint64>(0, timeMs, lastShownMs);
    const bool tail = seekMs >= tailStartMs;
    if (tail && inTail) {
        picture = held;
        return picture.isNull() ? Status::NoPicture : Status::Ok;
    }
    // A busy machine at times shows the picture from before a seek once more after it.
    // Such a picture equals the one held; the seek is then repeated, and a picture that
    // stays the same really is the video's picture at that time. When the frame rate says
    // both times fall on the same frame, the same picture is what is expected.
    const bool sameFrameExpected = m_frameRate > 0 && !held.isNull() && lastSeekMs >= 0
                                   && frameIndex(seekMs) == frameIndex(lastSeekMs);
    for (int attempt = 0;; ++attempt) {
        const Status status = seekAndWait(seekMs, tail, timeoutMs);
        if (status != Status::Ok)
            return status;
        picture = sink.latest().copy();
        if (picture.isNull())
            return Status::NoPicture;
        if (sameFrameExpected || attempt == 2 || tail || picture != held)
            break;
    }
    inTail = tail;
    lastSeekMs = seekMs;
    held = picture;
    return Status::Ok;
}

VideoCutter::Status VideoCutter::seekAndWait(qint64 seekMs, bool tail, int timeoutMs)
{
    quint64 seen = sink.shownCount();
    libvlc_media_player_set_time(player, seekMs);
    bool shown = sink.waitForPicture(seen, tail ? tailTimeoutMs : timeoutMs);
    if (!shown && tail && !sink.interrupted()) {
        // At times libVLC shows none of the last frames at all: the nearest frame
        // before them stands in, at most three frames early.
        seen = sink.shownCount();
        libvlc_media_player_set_time(player, qMax<qint64>(0, tailStartMs - 1));
        shown = sink.waitForPicture(seen, timeoutMs);
    }
    if (!shown)
        return sink.interrupted() ? Status::Cancelled : Status::NoPicture;
    return Status::Ok;
}

qint64 VideoCutter::frameIndex(qint64 timeMs) const
{
    return qint64(std::ceil(timeMs * m_frameRate / 1000.0 - 1e-6));
}
