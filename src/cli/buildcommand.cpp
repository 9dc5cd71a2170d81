#include "commands.h"

#include "app/appsettings.h"
#include "app/tempdirectory.h"
#include "cliarguments.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "convert/polarconversion.h"
#include "convert/polarrender.h"
#include "device/effectfile.h"
#include "device/fileaccess.h"
#include "device/partialfile.h"
#include "device/readbackwriter.h"
#include "import/clipframing.h"
#include "import/gifframes.h"

#include <QSaveFile>

#include <cerrno>
#include <cmath>
#include <memory>
#include <new>

namespace {

const char* const buildUsage =
    "Usage: gyrolume-cli build [--layout download|readback] OUTPUT [--leds N] [--lines N]\n"
    "                          ITEM...\n"
    "\n"
    "Writes an effect file from pictures and GIF clips, byte for byte as the program's\n"
    "download writes it (the default layout), or in the read-back layout of the factory\n"
    "file (raw frames; at most 50 pictures and 5 clips of 255 frames).\n"
    "\n"
    "Items, in playlist order (pictures are stored before clips, as in the program):\n"
    "  PICTURE[@SECONDS]  a PNG or JPG file, its centred square, shown 5 s unless given\n"
    "                     (0.1 to 100 s; the read-back layout holds 0.2 to 51 s)\n"
    "  --clip GIF[@LOOPS] every frame of a GIF file, framed by the round window where it\n"
    "                     opens over the first frame; played LOOPS times (1 to 255, default 1)\n"
    "\n"
    "  --layout L  download (default) or readback\n"
    "  --leds N    LEDs on the blade, 1 to 500 (default 112)\n"
    "  --lines N   lines per turn, 1 to 600 (default 450)\n";

struct PictureItem
{
    QString path;
    double showTime = 5.0;
};

struct ClipItem
{
    QString path;
    int loopCount = 1;
};

// "name@value": the path and the text after the last "@", when that text is a number.
QPair<QString, QString> splitSuffix(const QString& item)
{
    const int at = int(item.lastIndexOf(QLatin1Char('@')));
    if (at > 0) {
        bool number = false;
        item.mid(at + 1).toDouble(&number);
        if (number)
            return {item.left(at), item.mid(at + 1)};
    }
    return {item, QString()};
}

// The clip's frames, framed as the GIF import frames them with the window left centred.
bool loadClipFrames(const QString& path, QList<QImage>& framed)
{
    const QString action = QStringLiteral("read the GIF animation");
    if (!checkInputFile(path, action))
        return false;
    QList<QImage> frames;
    QString error;
    if (!readGifFrames(path, frames, error)) {
        reportFailure(action, path, error);
        return false;
    }
    const ClipPlacement placement = centredClipPlacement(frames.first().size());
    for (const QImage& frame : frames)
        framed.append(Polar::allocated(frameClipPicture(frame, placement)));
    return true;
}

int buildDownload(const QString& output, const QList<PictureItem>& pictureItems,
                  const QList<ClipItem>& clipItems, const Geometry& geometry)
{
    // The same objects and conversion as the window's imports, so the same bytes.
    AppSettings::ledCount = geometry.ledCount;
    AppSettings::lineNumber = geometry.lineNumber;
    std::vector<std::unique_ptr<ImageObject>> pictureOwners;
    std::vector<std::unique_ptr<MediaObject>> clipOwners;
    QList<ImageObject*> pictures;
    QList<MediaObject*> clips;
    const auto progress = terminalProgress("converting picture");
    int total = int(pictureItems.size());
    int done = 0;
    QList<QList<QImage>> clipFrames;
    for (const ClipItem& item : clipItems) {
        clipFrames.append(QList<QImage>());
        if (!loadClipFrames(item.path, clipFrames.last()))
            return ExitFailure;
        total += int(clipFrames.last().size());
    }
    for (const PictureItem& item : pictureItems) {
        QImage picture;
        if (!loadPicture(item.path, picture))
            return ExitFailure;
        auto object = std::make_unique<ImageObject>(int(pictures.size()) + 1, QString(), item.showTime,
                                                    ImageObject::PictureKind);
        if (!convertToPolar(Polar::allocated(picture.copy(centredSquare(picture.size()))), object.get()))
            throw std::bad_alloc();
        pictures.append(object.get());
        pictureOwners.push_back(std::move(object));
        if (progress)
            progress(++done, total);
    }
    for (int k = 0; k < clipItems.size(); ++k) {
        auto clip = std::make_unique<MediaObject>(k + 1, clipItems[k].path);
        clip->isGif = true;
        clip->loopCount = clipItems[k].loopCount;
        for (int m = 0; m < clipFrames[k].size(); ++m) {
            auto* frame = new ImageObject(m + 1, QString(), 10.0, ImageObject::GifFrameKind);
            clip->frames.append(frame);
            if (!convertToPolar(clipFrames[k][m], frame))
                throw std::bad_alloc();
            if (progress)
                progress(++done, total);
        }
        clips.append(clip.get());
        clipOwners.push_back(std::move(clip));
    }

    const DownloadStatus status = EffectFile::download(output, pictures, clips, terminalProgress("writing record"));
    if (!status.ok()) {
        printError(downloadMessage(status));
        return ExitFailure;
    }
    return ExitOk;
}

int buildReadBack(const QString& output, const QList<PictureItem>& pictureItems,
                  const QList<ClipItem>& clipItems, const Geometry& geometry)
{
    const int frameSize = geometry.ledCount * geometry.lineNumber * 3;
    QList<EffectFile::ReadBackPictureIn> pictures;
    QList<EffectFile::ReadBackClipIn> clips;
    for (const PictureItem& item : pictureItems) {
        QImage picture;
        if (!loadPicture(item.path, picture))
            return ExitFailure;
        pictures.append({int(std::lround(item.showTime * 5)),
                         Polar::rawFrame(picture, geometry.ledCount, geometry.lineNumber)});
    }
    for (const ClipItem& item : clipItems) {
        QList<QImage> frames;
        if (!loadClipFrames(item.path, frames))
            return ExitFailure;
        EffectFile::ReadBackClipIn clip;
        clip.loopCount = item.loopCount;
        for (const QImage& frame : frames)
            clip.frames.append(Polar::rawFrame(frame, geometry.ledCount, geometry.lineNumber));
        clips.append(clip);
    }
    const QString problem = EffectFile::readBackLimitProblem(pictures, clips, frameSize);
    if (!problem.isEmpty()) {
        reportFailure(output, problem);
        return ExitFailure;
    }
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly)) {
        reportFailure(QStringLiteral("create"), output, file.errorString());
        return ExitFailure;
    }
    const PartialFile partial(file);
    errno = 0;
    const QString failure = EffectFile::writeReadBack(file, pictures, clips, frameSize);
    if (!failure.isEmpty() || !file.commit()) {
        reportFailure(QStringLiteral("write"), output,
                      failure.isEmpty() ? FileAccess::writeFailureReason(file, errno) : failure);
        return ExitFailure;
    }
    return ExitOk;
}

} // namespace

int runBuild(const QStringList& arguments)
{
    CliArguments args(arguments, buildUsage,
                      {QStringLiteral("--leds"), QStringLiteral("--lines"), QStringLiteral("--layout"),
                       QStringLiteral("--clip")});
    const Geometry geometry = args.geometry();
    if (args.helpRequested())
        return args.printHelp();
    const QString layout = args.value(QStringLiteral("--layout"));
    const bool readBack = layout == QLatin1String("readback");
    if (!layout.isEmpty() && !readBack && layout != QLatin1String("download"))
        args.fail(QStringLiteral("--layout must be download or readback, not '%1'").arg(layout));

    QString output;
    QList<PictureItem> pictures;
    QList<ClipItem> clips;
    for (const auto& [option, value] : args.ordered()) {
        if (option.isEmpty() && output.isEmpty()) {
            output = outputPath(value);
        } else if (option.isEmpty()) {
            const auto [path, seconds] = splitSuffix(value);
            PictureItem item{path, 5.0};
            if (!seconds.isEmpty())
                item.showTime = args.decimal(seconds, readBack ? 0.2 : 0.1, readBack ? 51.0 : 100.0,
                                             QStringLiteral("the show time of ") + path);
            pictures.append(item);
        } else if (option == QLatin1String("--clip")) {
            const auto [path, loops] = splitSuffix(value);
            ClipItem item{path, 1};
            if (!loops.isEmpty())
                item.loopCount = args.number(loops, 1, 255, QStringLiteral("the loop count of ") + path);
            clips.append(item);
        }
    }
    if (!args.ok())
        return args.usageError();
    if (output.isEmpty() || (pictures.isEmpty() && clips.isEmpty()))
        return args.usageError("build takes OUTPUT and at least one picture or clip");
    // Picture files of earlier builds that were killed go; those of builds still going stay.
    TempDirectory::instance().removeAbandoned();
    int status = ExitFailure;
    try {
        status = readBack ? buildReadBack(output, pictures, clips, geometry)
                          : buildDownload(output, pictures, clips, geometry);
    } catch (const std::bad_alloc&) {
        reportFailure(QStringLiteral("build"), output,
                      QStringLiteral("the system has no memory left for the pictures; nothing was written"));
    }
    TempDirectory::clearTempDir(AppSettings::tempDir());  // the objects' files are gone already
    return status;
}
