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
#include "import/videospancut.h"

#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <cmath>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace {

const char* const buildUsage =
    "Usage: gyrolume-cli build [--layout download|readback] OUTPUT [--leds N] [--lines N]\n"
    "                          ITEM...\n"
    "\n"
    "Writes an effect file from pictures, GIF clips and video spans, byte for byte as the\n"
    "program's download writes it (the default layout), or in the read-back layout of the\n"
    "factory file (raw frames; at most 50 pictures and 5 clips of 255 frames).\n"
    "\n"
    "Items, in playlist order (pictures are stored before clips, as in the program):\n"
    "  PICTURE[@SECONDS]  a PNG or JPG file, its centred square, shown 5 s unless given\n"
    "                     (0.1 to 100 s; the read-back layout holds 0.2 to 51 s)\n"
    "  --clip GIF[@LOOPS] every frame of a GIF file, framed by the round window where it\n"
    "                     opens over the first frame; played LOOPS times (1 to 255, default 1)\n"
    "  --video FILE@START-END[@LOOPS]\n"
    "                     a span of a video (START and END in seconds, decimals allowed)\n"
    "                     cut as Import Video cuts it: a frame every 0.1 s from START up\n"
    "                     to END, framed by the round window centred over the video\n"
    "  --window X,Y       before a --clip or --video: the round 450 x 450 window's top-left\n"
    "                     over that clip's first frame (or the video) shown at its own size,\n"
    "                     as the placement dialog reports it when nothing is zoomed\n"
    "                     (default: centred)\n"
    "  --keep-gif-timing  every --clip keeps its GIF's own frame delays, as Import GIF's\n"
    "                     \"Keep the GIF's timing\" does: a frame fills as many of the card's\n"
    "                     0.1 s records as its time rounds to, the same picture repeated\n"
    "                     (default: one record per frame)\n"
    "\n"
    "A GIF whose frames do not all decode, or a video span without a picture at one of\n"
    "its marks, stops the build, and nothing is written.\n"
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
    std::optional<QPoint> window;  // centred over the first frame when not given
    bool video = false;            // a video span from startMs to endMs, not a GIF
    bool keepGifTiming = false;    // a GIF frame fills the records its delay rounds to
    qint64 startMs = 0;
    qint64 endMs = 0;
};

// A clip's frames, decoded and framed one at a time as the GIF import frames them; each
// failure is reported naming the file, and no frame is made after one.
class ClipFrames
{
public:
    explicit ClipFrames(const ClipItem& item) : item(item), reader(item.video ? QString() : item.path)
    {
        if (!checkInputFile(item.path, item.video ? QStringLiteral("cut the video")
                                                  : QStringLiteral("read the GIF animation"))) {
            failed = true;
            return;
        }
        if (item.video) {
            openVideo();
            return;
        }
        if (!reader.ok()) {
            fail(reader.errorString());
            return;
        }
        records = item.keepGifTiming ? keptTimingRecords(reader.frameDelaysMs())
                                     : QVector<int>(reader.frameCount(), 1);
        for (int k = 0; k < records.size(); ++k) {
            recordTotal += records[k];
            if (records[k] > 0)
                lastShownFrame = k;
        }
        const QSize first = reader.frameSize();
        if (item.window && clipPlacement(*item.window, first).source.isEmpty())
            fail(QStringLiteral("the round window at %1,%2 does not overlap the first frame (%3 x %4)")
                     .arg(item.window->x()).arg(item.window->y()).arg(first.width()).arg(first.height()));
    }

    bool ok() const { return !failed; }
    // Records the clip fills on the card.
    int count() const { return item.video ? int(marks.size()) : int(recordTotal); }
    bool atEnd() const
    {
        return failed || (item.video ? nextMark >= marks.size() : reader.nextFrame() > lastShownFrame);
    }
    qint64 frameTime() const { return item.video && nextMark > 0 ? marks[nextMark - 1] : 0; }
    // Records of the frame next() gave last.
    int repeats() const { return item.video ? 1 : records.value(reader.nextFrame() - 1); }

    // The next frame the card shows, on its 450 x 450 canvas; null after a failure.
    QImage next()
    {
        if (item.video)
            return nextVideoFrame();
        QImage frame;
        do {  // frames kept at a timing that gives them no record are decoded, not shown
            frame = reader.readFrame();
            if (frame.isNull()) {
                fail(reader.errorString());
                return frame;
            }
            if (reader.nextFrame() == 1)
                placement = item.window ? clipPlacement(*item.window, frame.size()) : centredClipPlacement(frame.size());
        } while (repeats() == 0);
        QImage framed = frameClipPicture(frame, placement);
        if (framed.isNull())
            fail(QStringLiteral("not enough memory to frame frame %1").arg(reader.nextFrame()));
        return framed;
    }

private:
    void fail(const QString& reason)
    {
        failed = true;
        reportFailure(item.video ? QStringLiteral("cut the video") : QStringLiteral("read the GIF animation"),
                      item.path, reason);
    }

    // Opened as Import Video opens it: the span must lie inside the video, and the round
    // window is placed over the video at its own size.
    void openVideo()
    {
        VideoCutter cutter;  // released before the cut, which opens cutters of its own
        const VideoCutter::Status status = cutter.open(item.path);
        if (status != VideoCutter::Status::Ok) {
            fail(VideoCutter::describe(status));
            return;
        }
        if (item.endMs > cutter.lengthMs()) {
            fail(QStringLiteral("the span %1-%2 s ends after the video, which is %3 s long")
                     .arg(item.startMs / 1000.0).arg(item.endMs / 1000.0).arg(cutter.lengthMs() / 1000.0));
            return;
        }
        const QSize size = cutter.frameSize();
        placement = item.window ? clipPlacement(*item.window, size) : centredClipPlacement(size);
        if (placement.source.isEmpty()) {
            fail(QStringLiteral("the round window at %1,%2 does not overlap the video (%3 x %4)")
                     .arg(item.window->x()).arg(item.window->y()).arg(size.width()).arg(size.height()));
            return;
        }
        marks = VideoMarks::marks(item.startMs, item.endMs);
    }

    QImage nextVideoFrame()
    {
        // The cut starts with the first frame asked for: every clip is opened before any
        // work, and the lanes of a cut are busy from the moment it exists.
        if (!spanCut)
            spanCut = std::make_unique<VideoSpanCut>(item.path, marks);
        QImage frame;
        const qint64 time = marks[nextMark++];
        const VideoCutter::Status status = spanCut->next(frame);
        if (status != VideoCutter::Status::Ok) {
            fail(QStringLiteral("%1 s: %2").arg(time / 1000.0).arg(VideoCutter::describe(status)));
            return QImage();
        }
        QImage framed = frameClipPicture(frame, placement);
        if (framed.isNull())
            fail(QStringLiteral("not enough memory to frame the picture at %1 s").arg(time / 1000.0));
        return framed;
    }

    const ClipItem& item;
    GifFrameReader reader;
    std::unique_ptr<VideoSpanCut> spanCut;
    QVector<qint64> marks;
    int nextMark = 0;
    QVector<int> records;  // a GIF's records per frame
    qint64 recordTotal = 0;
    int lastShownFrame = -1;
    ClipPlacement placement;
    bool failed = false;
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

// Opens every clip, so that a file that cannot be used stops the build before any work.
bool openClips(const QList<ClipItem>& items, std::vector<std::unique_ptr<ClipFrames>>& clips)
{
    for (const ClipItem& item : items) {
        clips.push_back(std::make_unique<ClipFrames>(item));
        if (!clips.back()->ok())
            return false;
    }
    return true;
}

// "X,Y" in whole pixels.
std::optional<QPoint> parseWindow(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    bool xOk = false, yOk = false;
    if (parts.size() != 2)
        return std::nullopt;
    const int x = parts[0].trimmed().toInt(&xOk);
    const int y = parts[1].trimmed().toInt(&yOk);
    if (!xOk || !yOk || qAbs(x) > 1000000 || qAbs(y) > 1000000)
        return std::nullopt;
    return QPoint(x, y);
}

// "FILE@START-END[@LOOPS]", the times in seconds with decimals allowed.
bool parseVideoSpan(const QString& text, ClipItem& item)
{
    static const QRegularExpression span(
        QStringLiteral("^(.+)@(\\d+(?:\\.\\d+)?)-(\\d+(?:\\.\\d+)?)(?:@(\\d+))?$"));
    const QRegularExpressionMatch match = span.match(text);
    if (!match.hasMatch())
        return false;
    item.path = match.captured(1);
    item.startMs = qRound64(match.captured(2).toDouble() * 1000);
    item.endMs = qRound64(match.captured(3).toDouble() * 1000);
    const QString loops = match.captured(4);
    if (!loops.isEmpty())
        item.loopCount = loops.toInt();
    return item.endMs >= item.startMs && item.endMs < qint64(1) << 40 && item.loopCount >= 1 && item.loopCount <= 255;
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
    std::vector<std::unique_ptr<ClipFrames>> clipFrames;
    if (!openClips(clipItems, clipFrames))
        return ExitFailure;
    int total = int(pictureItems.size());
    for (const auto& frames : clipFrames)
        total += frames->count();
    int done = 0;
    for (const PictureItem& item : pictureItems) {
        QImage picture;
        if (!loadPicture(item.path, picture))
            return ExitFailure;
        auto object = std::make_unique<ImageObject>(int(pictures.size()) + 1, QString(), item.showTime,
                                                    ImageObject::PictureKind);
        // The conversion cuts the centred square itself, without a copy of it.
        if (!convertToPolar(picture, object.get()))
            throw std::bad_alloc();
        pictures.append(object.get());
        pictureOwners.push_back(std::move(object));
        if (progress)
            progress(++done, total);
    }
    // A frame lives only until its polar buffer is in its file: memory does not grow with the clip.
    for (int k = 0; k < clipItems.size(); ++k) {
        auto clip = std::make_unique<MediaObject>(k + 1, clipItems[k].path);
        clip->isGif = !clipItems[k].video;
        clip->loopCount = clipItems[k].loopCount;
        ClipFrames& frames = *clipFrames[k];
        while (!frames.atEnd()) {
            const QImage framed = frames.next();
            if (framed.isNull())
                return ExitFailure;
            auto* frame = new ImageObject(int(clip->frames.size()) + 1, QString(), 10.0,
                                          clip->isGif ? ImageObject::GifFrameKind : ImageObject::VideoFrameKind);
            frame->videoTime = float(frames.frameTime());
            frame->repeatCount = frames.repeats();
            clip->frames.append(frame);
            if (!convertToPolar(framed, frame))
                throw std::bad_alloc();
            done += frame->repeatCount;
            if (progress)
                progress(done, total);
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
    std::vector<std::unique_ptr<ClipFrames>> clipFrames;
    if (!openClips(clipItems, clipFrames))
        return ExitFailure;
    for (int k = 0; k < clipItems.size(); ++k) {
        ClipFrames& frames = *clipFrames[k];
        const QString tooMany = EffectFile::readBackClipFramesProblem(k + 1, frames.count());
        if (!tooMany.isEmpty()) {
            reportFailure(output, tooMany);
            return ExitFailure;
        }
        EffectFile::ReadBackClipIn clip;
        clip.loopCount = clipItems[k].loopCount;
        while (!frames.atEnd()) {
            const QImage framed = frames.next();
            if (framed.isNull())
                return ExitFailure;
            // Repeats share the one frame's bytes.
            const QByteArray raw = Polar::rawFrame(framed, geometry.ledCount, geometry.lineNumber);
            for (int copy = 0; copy < frames.repeats(); ++copy)
                clip.frames.append(raw);
        }
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
                       QStringLiteral("--clip"), QStringLiteral("--window"), QStringLiteral("--video")},
                      {QStringLiteral("--keep-gif-timing")});
    const bool keepGifTiming = args.flag(QStringLiteral("--keep-gif-timing"));
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
    std::optional<QPoint> window;  // for the next clip
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
            ClipItem item{path, 1, std::exchange(window, std::nullopt)};
            item.keepGifTiming = keepGifTiming;
            if (!loops.isEmpty())
                item.loopCount = args.number(loops, 1, 255, QStringLiteral("the loop count of ") + path);
            clips.append(item);
        } else if (option == QLatin1String("--video")) {
            ClipItem item{value, 1, std::exchange(window, std::nullopt), true};
            if (!parseVideoSpan(value, item))
                args.fail(QStringLiteral("--video takes FILE@START-END[@LOOPS] with START <= END in seconds, not '%1'")
                              .arg(value));
            clips.append(item);
        } else if (option == QLatin1String("--window")) {
            window = parseWindow(value);
            if (!window)
                args.fail(QStringLiteral("--window takes X,Y in whole pixels, not '%1'").arg(value));
        }
    }
    if (window)
        args.fail(QStringLiteral("--window must come before the --clip or --video it places"));
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
