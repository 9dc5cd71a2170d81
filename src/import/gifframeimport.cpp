#include "gifframeimport.h"

#include "app/appsettings.h"
#include "convert/imageobject.h"
#include "convert/polarconversion.h"

#include <QDebug>

namespace {
int nextFileNumber = 1;  // GUI thread (the dialog's ticks) only
}

GifFrameImport importGifFrame(const QImage& frame, int frameNumber, const ClipPlacement& placement)
{
    GifFrameImport result;
    result.framed = frameClipPicture(frame, placement);
    if (result.framed.isNull()) {
        result.failure = GifFrameImport::Failure::OutOfMemory;
        return result;
    }
    result.file = AppSettings::ensureTempDir() + QStringLiteral("loadGif_%1.png").arg(nextFileNumber++);
    if (!result.framed.save(result.file, "PNG", 80)) {
        qDebug() << "#LoadGifDialog# cannot write" << result.file;
        result.failure = GifFrameImport::Failure::CannotWrite;
        return result;
    }
    // The picture is the one just written: no need to decode the file again.
    result.picture = std::make_unique<ImageObject>(frameNumber + 1, result.file, 10.0, ImageObject::GifFrameKind,
                                                   result.framed);
    convertToPolar(result.framed, result.picture.get());
    return result;
}
