#pragma once

#include "clipframing.h"

#include <QImage>
#include <QString>

#include <memory>

class ImageObject;

// The GIF import's work on one frame, the same in the window and the benchmarks: the
// frame is framed by the placement, written to the temporary directory as
// "loadGif_<n>.png" (n a process-wide counter from 1, never reset, so a later import
// never overwrites an earlier one's files) and converted into a GIF-frame picture whose
// number is the frame's number + 1. Nothing of the frame stays in memory but the result.
struct GifFrameImport
{
    enum class Failure { None, OutOfMemory, CannotWrite };
    Failure failure = Failure::None;
    std::unique_ptr<ImageObject> picture;  // null on failure
    QImage framed;                         // 450 x 450, for a preview
    QString file;                          // the frame file written (or that could not be)
};
GifFrameImport importGifFrame(const QImage& frame, int frameNumber, const ClipPlacement& placement);
