#include "vlcframesink.h"

#include <vlc/vlc.h>

#include <chrono>
#include <cstring>

void VlcFrameSink::attach(libvlc_media_player_t* player, const QSize& size, std::function<void()> shownCallback)
{
    requestedSize = size;
    onShown = std::move(shownCallback);
    libvlc_video_set_callbacks(player, lockPicture, nullptr, displayPicture, this);
    libvlc_video_set_format_callbacks(player, setupFormat, nullptr);
}

unsigned VlcFrameSink::setupFormat(void** opaque, char* chroma, unsigned* width, unsigned* height,
                                   unsigned* pitches, unsigned* lines)
{
    auto* self = static_cast<VlcFrameSink*>(*opaque);
    // RV32 is B, G, R, X in memory: QImage's RGB32 on a little-endian machine.
    std::memcpy(chroma, "RV32", 4);
    if (self->requestedSize.isValid()) {
        *width = unsigned(self->requestedSize.width());
        *height = unsigned(self->requestedSize.height());
    }
    pitches[0] = *width * 4;
    lines[0] = *height;
    std::lock_guard<std::mutex> locker(self->lock);
    self->frame = QImage(int(*width), int(*height), QImage::Format_RGB32);
    if (self->frame.isNull())
        return 0;  // no memory for the picture: libVLC gives up on the video
    self->frame.fill(Qt::black);
    self->decodeBuffer.assign(size_t(self->frame.sizeInBytes()), 0);
    return 1;
}

void* VlcFrameSink::lockPicture(void* opaque, void** planes)
{
    planes[0] = static_cast<VlcFrameSink*>(opaque)->decodeBuffer.data();
    return nullptr;
}

void VlcFrameSink::displayPicture(void* opaque, void*)
{
    auto* self = static_cast<VlcFrameSink*>(opaque);
    {
        std::lock_guard<std::mutex> locker(self->lock);
        // A copy of the latest picture still in use makes bits() detach, which may fail.
        uchar* bits = self->frame.bits();
        if (!bits)
            return;
        std::memcpy(bits, self->decodeBuffer.data(), self->decodeBuffer.size());
        ++self->shown;
    }
    self->pictureShown.notify_all();
    if (self->onShown)
        self->onShown();
}

QImage VlcFrameSink::latest()
{
    std::lock_guard<std::mutex> locker(lock);
    return shown ? frame : QImage();
}

quint64 VlcFrameSink::shownCount()
{
    std::lock_guard<std::mutex> locker(lock);
    return shown;
}

bool VlcFrameSink::waitForPicture(quint64 seen, int timeoutMs)
{
    std::unique_lock<std::mutex> locker(lock);
    return pictureShown.wait_for(locker, std::chrono::milliseconds(timeoutMs),
                                 [&] { return shown > seen || stopped.load(); })
           && !stopped.load();
}

void VlcFrameSink::interrupt()
{
    {
        std::lock_guard<std::mutex> locker(lock);
        stopped = true;
    }
    pictureShown.notify_all();
}
