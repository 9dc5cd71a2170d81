// gyrolume-bench: prints one figure per line as "name: value unit".
#include "app/appsettings.h"
#include "app/memorytuning.h"
#include "app/tempdirectory.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "convert/polarconversion.h"
#include "device/effectfile.h"
#include "import/clipframing.h"
#include "import/gifframeimport.h"
#include "import/gifframes.h"
#include "diy/diyhistory.h"
#include "import/loadimageshandler.h"
#include "import/loadobjectitem.h"
#include "looper/handlerthread.h"
#include "looper/message.h"
#include "looper/messagecodes.h"
#include "import/videospancut.h"
#include "resources/imagegen/gifwriter.h"
#include "support/referencepolar.h"
#include "support/testgif.h"
#include "support/testvideo.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <functional>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {
void report(const char* name, double value, const char* unit)
{
    std::printf("%s: %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

// Milliseconds per run of `work`, the best of a few rounds to keep noise out.
double millisecondsPerRun(int runs, const std::function<void()>& work)
{
    double best = 1e300;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < runs; ++i)
            work();
        best = qMin(best, timer.nsecsElapsed() / 1e6 / runs);
    }
    return best;
}

QImage photoLikePicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = qRgb((x * 255) / width, (y * 255) / height, random.bounded(256));
    }
    return picture;
}

void benchConversion()
{
    const QImage picture = photoLikePicture(1920, 1080);
    Polar::resample(picture, 112, 450);  // prepares the geometry once, as the first picture does
    const double fast = millisecondsPerRun(20, [&] { Polar::resample(picture, 112, 450); });
    const double reference = millisecondsPerRun(2, [&] { referenceResample(picture, 112, 450); });
    report("polar_1920x1080_450x112_fast", fast, "ms");
    report("polar_1920x1080_450x112_reference", reference, "ms");
    report("polar_speedup", reference / fast, "x");
    QElapsedTimer timer;
    timer.start();
    Polar::Geometry::get(112, 451);
    report("polar_geometry_preparation_450x112", timer.nsecsElapsed() / 1e6, "ms");

    // What a picture of the playlist costs in all: the conversion plus its preview PNG
    // and buffer file.
    ImageObject object(1, QString(), 5.0, ImageObject::PictureKind);
    const double withFiles = millisecondsPerRun(10, [&] { convertToPolar(picture, &object); });
    report("convert_to_polar_with_files_450x112", withFiles, "ms");

    // The drawing editor's live fan preview: a 450 x 450 drawing sampled and painted as the
    // fan shows it, on every stroke (no calibration, no files).
    QImage drawing = photoLikePicture(450, 450).convertToFormat(QImage::Format_ARGB32);
    const auto geometry = Polar::Geometry::get(112, 450);
    const double preview = millisecondsPerRun(
        50, [&] { geometry->paintPreview(Polar::sampleColours(drawing, *geometry)); });
    report("diy_fan_preview_refresh_450x112", preview, "ms");
}

// The editor's undo history holds whole pictures: 100 steps on a large picture,
// 1980 x 1980 (15.7 MB each) stay within the history's byte budget.
void benchDiyHistory()
{
    DiyHistory history;
    QImage zoomed(1980, 1980, QImage::Format_ARGB32);
    for (int step = 0; step < 100; ++step) {
        zoomed.fill(qRgb(step, 0, 0));  // a picture of its own for every record
        history.append(zoomed);
        zoomed = QImage(1980, 1980, QImage::Format_ARGB32);
    }
    report("diy_history_records_after_100_zoomed_steps", history.count(), "records");
    report("diy_history_bytes_after_100_zoomed_steps", history.bytes() / 1048576.0, "MiB");
}

// The download of a full playlist (50 pictures and a 500-frame clip, buffers in their
// files as after an import) to a local directory, against a plain sequential write of
// as many bytes with the same final sync.
void benchDownload()
{
    constexpr int bufferBytes = 114688;
    QList<ImageObject*> pictures;
    QList<MediaObject*> clips{new MediaObject(1, QString())};
    QRandomGenerator random(11);
    auto makePicture = [&](int kind) {
        auto* picture = new ImageObject(1, QString(), 5.0, kind);
        picture->polarBuffer.resize(bufferBytes);
        random.fillRange(reinterpret_cast<quint32*>(picture->polarBuffer.data()), bufferBytes / 4);
        picture->flushBuffer();
        return picture;
    };
    for (int i = 0; i < 50; ++i)
        pictures.append(makePicture(ImageObject::PictureKind));
    for (int i = 0; i < 500; ++i)
        clips[0]->frames.append(makePicture(ImageObject::VideoFrameKind));
    const qint64 bytes = EffectFile::fileSize(pictures, clips);

    QTemporaryDir drive;
    const QString path = drive.filePath(QStringLiteral("Z1.bin"));
    // The plain write writes the very bytes of the effect file, from memory.
    QByteArray image = EffectFile::header(pictures, clips);
    for (ImageObject* picture : pictures)
        image += picture->buffer();
    for (ImageObject* frame : clips[0]->frames)
        image += frame->buffer();
    ::sync();  // the buffer files just written must not be flushed inside a timed run
    auto writerRun = [&] {
        QElapsedTimer timer;
        timer.start();
        const DownloadStatus status = EffectFile::download(path, pictures, clips);
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (!status.ok())
            std::fprintf(stderr, "download failed: %d %s\n", int(status.code), qPrintable(status.error));
        QFile::remove(path);
        return status.ok() ? seconds : 1e300;
    };
    auto plainRun = [&] {
        QElapsedTimer timer;
        timer.start();
        QFile plain(drive.filePath(QStringLiteral("plain.bin")));
        plain.open(QIODevice::WriteOnly);
        for (qint64 offset = 0; offset < image.size(); offset += bufferBytes)
            plain.write(image.constData() + offset, qMin<qint64>(image.size() - offset, bufferBytes));
        plain.flush();
        ::fsync(plain.handle());
        plain.close();
        ::sync();
        const double seconds = timer.nsecsElapsed() / 1e9;
        plain.remove();
        return seconds;
    };
    // Best of five, alternating which goes first: the machine is shared.
    double writerBest = 1e300;
    double plainBest = 1e300;
    for (int round = 0; round < 5; ++round) {
        if (round % 2) {
            plainBest = qMin(plainBest, plainRun());
            writerBest = qMin(writerBest, writerRun());
        } else {
            writerBest = qMin(writerBest, writerRun());
            plainBest = qMin(plainBest, plainRun());
        }
    }
    const double writerRate = bytes / 1e6 / writerBest;
    const double plainRate = bytes / 1e6 / plainBest;
    report("download_50_pictures_500_frames_bytes", double(bytes), "B");
    report("download_writer", writerRate, "MB/s");
    report("download_plain_sequential_write", plainRate, "MB/s");
    report("download_writer_of_plain", 100.0 * writerRate / plainRate, "%");
    qDeleteAll(pictures);
    qDeleteAll(clips);
}

// Import Picture with 50 photos of 1920 x 1080 (JPG): the time per picture, where it goes,
// and how long the window's thread is held by one picture.
void benchPictureImport()
{
    constexpr int count = 50;
    QTemporaryDir photos;
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        // A few different pictures, so that the decoder does not see one file 50 times.
        QImage photo = photoLikePicture(1920, 1080);
        photo.setPixel(i, i, qRgb(255, 255, 255));
        paths << photos.filePath(QStringLiteral("photo%1.jpg").arg(i));
        photo.save(paths.last(), "JPG", 90);
    }
    qint64 bytes = 0;
    for (const QString& path : paths)
        bytes += QFileInfo(path).size();
    report("import_photo_file_size", bytes / count / 1024.0, "KiB");
    Polar::Geometry::get(AppSettings::ledCount, AppSettings::lineNumber);

    std::vector<std::unique_ptr<ImageObject>> made;
    // The whole import as the dialog runs it: the worker does the work, this thread takes
    // each picture (and copies its file, as the window does) while the worker waits.
    LoadImagesHandler handler(obtainWorkerThread());
    QEventLoop loop;
    double longestSlotMs = 0;
    int pictures = 0;
    QObject::connect(&handler, &LoadImagesHandler::handlerMessage, &loop, [&](Message* msg) {
        QElapsedTimer slot;
        slot.start();
        auto* item = static_cast<LoadObjectItem*>(msg->obj);
        if (msg->what == MessageCode::ImageReady) {
            std::unique_ptr<ImageObject> picture(static_cast<ImageObject*>(msg->obj2));
            msg->obj2 = nullptr;
            const QString copy = AppSettings::ensureTempDir() + QStringLiteral("bench_copy.jpg");
            QFile::remove(copy);
            QFile::copy(picture->sourcePath, copy);
            made.push_back(std::move(picture));
            ++pictures;
        }
        longestSlotMs = qMax(longestSlotMs, slot.nsecsElapsed() / 1e6);
        if (item->index == item->count && msg->what != MessageCode::ImageLoaded
            && msg->what != MessageCode::ImageConverted)
            loop.quit();
    });
    QElapsedTimer wall;
    wall.start();
    auto* start = new Message(&handler, MessageCode::LoadImages);
    start->obj = &paths;
    handler.sendHandlerMessage(start);
    loop.exec();
    const double wallMs = wall.nsecsElapsed() / 1e6;
    report("import_50_photos_1920x1080_wall", wallMs / 1000, "s");
    report("import_wall_per_picture", wallMs / count, "ms");
    report("import_pictures_made", pictures, "pictures");
    report("import_longest_report_on_window_thread", longestSlotMs, "ms");
    made.clear();

    // The steps one after the other, on a thread of their own as in the program: the main
    // thread's allocator hands big pictures back to the system at once, and the page faults
    // of getting them again would double the figures.
    double decodeMs = 0, cutMs = 0, thumbnailMs = 0, resampleMs = 0, writeMs = 0, copyMs = 0;
    auto steps = [&] {
        QElapsedTimer step;
        for (const QString& path : paths) {
            LoadObjectItem::Failure failure;
            QString detail;
            step.start();
            const QImage picture = LoadImagesHandler::decode(path, &failure, &detail);
            decodeMs += step.nsecsElapsed() / 1e6;
            step.start();
            const QImage square = picture.copy(centredSquare(picture.size()));
            const QImage preview = square.scaled(300, 300, Qt::KeepAspectRatio, Qt::FastTransformation);
            cutMs += step.nsecsElapsed() / 1e6;
            step.start();
            auto object = std::make_unique<ImageObject>(0, path, 5.0, ImageObject::PictureKind, picture);
            thumbnailMs += step.nsecsElapsed() / 1e6;
            step.start();
            Polar::Result result = Polar::resample(square, AppSettings::ledCount, AppSettings::lineNumber);
            resampleMs += step.nsecsElapsed() / 1e6;
            step.start();
            object->polarBuffer = std::move(result.buffer);
            object->savePreview(result.preview);
            object->flushBuffer();
            writeMs += step.nsecsElapsed() / 1e6;
            step.start();
            const QString copy = AppSettings::ensureTempDir() + QStringLiteral("bench_copy.jpg");
            QFile::remove(copy);
            QFile::copy(path, copy);
            copyMs += step.nsecsElapsed() / 1e6;
        }
    };
    std::unique_ptr<QThread> worker(QThread::create(steps));
    worker->start();
    worker->wait();
    const double stepsMs = decodeMs + cutMs + thumbnailMs + resampleMs + writeMs + copyMs;
    report("import_steps_per_picture", stepsMs / count, "ms");
    report("import_share_decode", 100 * decodeMs / stepsMs, "%");
    report("import_share_cut_and_preview", 100 * cutMs / stepsMs, "%");
    report("import_share_thumbnail_file", 100 * thumbnailMs / stepsMs, "%");
    report("import_share_convert", 100 * resampleMs / stepsMs, "%");
    report("import_share_preview_and_buffer_files", 100 * writeMs / stepsMs, "%");
    report("import_share_copy_to_temp", 100 * copyMs / stepsMs, "%");
    report("import_share_writing_files_total", 100 * (thumbnailMs + writeMs + copyMs) / stepsMs, "%");

    // Decoding the file a second time for the thumbnail, as a picture made from its path does.
    QElapsedTimer step;
    step.start();
    for (int i = 0; i < 10; ++i)
        ImageObject(0, paths.at(i), 5.0, ImageObject::PictureKind);
    report("import_thumbnail_from_path_per_picture", step.nsecsElapsed() / 1e6 / 10, "ms");

}

// The most memory the process has held so far, from the kernel's count.
double peakResidentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return -1;
}

// What one tick of Import GIF does on the window's thread: the next frame of a 450 x 450
// animation read, framed, written as its frame file and converted.
void benchGifTick()
{
    constexpr int frameCount = 20;
    QList<GifFrame> frames;
    for (int f = 0; f < frameCount; ++f) {
        QImage frame(450, 450, QImage::Format_ARGB32);
        for (int y = 0; y < 450; ++y)
            for (int x = 0; x < 450; ++x) {
                // Bands of 240 colours, within what one GIF palette holds.
                const int level = (x / 6 + y / 6 * 3 + f * 5) % 240;
                frame.setPixel(x, y, qRgb(level, 255 - level, (level * 7) % 256));
            }
        frames.append({frame, 100});
    }
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("tick.gif")));
    if (!file.open(QIODevice::WriteOnly) || GifWriter::write(file, frames) != GifWriter::Status::Ok) {
        std::fprintf(stderr, "cannot write the GIF of the tick benchmark\n");
        return;
    }
    file.close();
    Polar::Geometry::get(AppSettings::ledCount, AppSettings::lineNumber);
    double longest = 0;
    const double perTick = millisecondsPerRun(1, [&] {
        GifFrameReader reader(file.fileName());
        const ClipPlacement placement = centredClipPlacement(reader.frameSize());
        std::vector<std::unique_ptr<ImageObject>> made;
        while (!reader.atEnd()) {
            QElapsedTimer tick;
            tick.start();
            const int index = reader.nextFrame();
            made.push_back(importGifFrame(reader.readFrame(), index, placement).picture);
            longest = qMax(longest, tick.nsecsElapsed() / 1e6);
        }
    }) / frameCount;
    report("gif_tick_450x450", perTick, "ms");
    report("gif_tick_450x450_longest", longest, "ms");
    report("gif_tick_interval", 300, "ms");
}

// Import GIF of a long animation on a 2000 x 2000 screen, in a process of its own so that
// its peak is its own: the frames are read, framed, written and converted one at a time.
void benchGifImportMemory()
{
    constexpr int frameCount = 200;
    const QSize screen(2000, 2000);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.gif"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return;
        TestGifWriter gif(file, screen);
        gif.addFrame(QRect(QPoint(0, 0), screen), TestGifWriter::Red);
        for (int f = 1; f < frameCount; ++f)
            gif.addFrame(QRect((f * 37) % 1960, (f * 91) % 1960, 40, 40), TestGifWriter::Colour(1 + f % 3));
        gif.finish();
    }
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gif-import-child"), path});
    child.waitForFinished(-1);
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    if (child.exitCode() != 0 || figures.size() != 3) {
        std::fprintf(stderr, "the GIF import child failed: %s\n", child.readAllStandardError().constData());
        return;
    }
    report("gif_import_200x2000x2000_file_size", QFileInfo(path).size() / 1024.0, "KiB");
    report("gif_import_200x2000x2000_frames_made", figures[0].toDouble(), "frames");
    report("gif_import_200x2000x2000_peak_rss_before", figures[1].toDouble(), "MB");
    report("gif_import_200x2000x2000_peak_rss", figures[2].toDouble(), "MB");
}

// The child of benchGifImportMemory: prints frames made, peak before and peak after.
int gifImportChild(const QString& path)
{
    QTemporaryDir temp;
    TempDirectory::setRoot(temp.path());
    const double before = peakResidentMegabytes();
    GifFrameReader reader(path);
    if (!reader.ok())
        return 1;
    ClipPlacement placement;
    std::vector<std::unique_ptr<ImageObject>> frames;  // the dialog keeps its frames too
    while (!reader.atEnd()) {
        const int index = reader.nextFrame();
        const QImage frame = reader.readFrame();
        if (index == 0)
            placement = centredClipPlacement(frame.size());
        GifFrameImport imported = importGifFrame(frame, index, placement);
        if (!imported.picture)
            return 1;
        frames.push_back(std::move(imported.picture));
    }
    std::printf("%d %.1f %.1f\n", int(frames.size()), before, peakResidentMegabytes());
    frames.clear();
    return reader.ok() ? 0 : 1;
}

} // namespace

// Cutting a 30 s span of a 1280 x 720 H.264 video (x264's default keyframe interval of
// 250 frames), one picture every 100 ms as Import Video and gyrolume-cli cut it, opening
// included: pictures per second of wall time, the cutting alone (the window converts on
// three other threads).
void benchVideoCut()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.mp4"));
    if (!TestVideo::makeH264(path, 1280, 720, 30, 36.0)) {
        std::fprintf(stderr, "video_cut: ffmpeg could not make the video\n");
        return;
    }
    const QVector<qint64> marks = VideoMarks::marks(5000, 35000);
    QElapsedTimer timer;
    timer.start();
    VideoSpanCut spanCut(path, marks);
    QImage picture;
    while (!spanCut.atEnd()) {
        if (spanCut.next(picture) != VideoCutter::Status::Ok) {
            std::fprintf(stderr, "video_cut: no picture at %lld ms\n", static_cast<long long>(spanCut.lastMark()));
            return;
        }
    }
    report("video_cut_30s_1280x720_h264", marks.size() / (timer.nsecsElapsed() / 1e9), "frames/s");
    report("video_cut_lanes", VideoSpanCut::defaultLaneCount(), "threads");
}

// Peak resident memory of gyrolume-cli run with `arguments`, in MB; -1 when it fails.
double cliPeakMegabytes(const QStringList& arguments)
{
    const QString cli = qEnvironmentVariable("GYROLUME_CLI",
                                             QCoreApplication::applicationDirPath() + "/../src/gyrolume-cli");
    QList<QByteArray> bytes{QFile::encodeName(cli)};
    for (const QString& argument : arguments)
        bytes << QFile::encodeName(argument);
    std::vector<char*> argv;
    for (QByteArray& argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    struct rusage usage = {};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

// A download file of one clip of `records` records of 114,688 bytes, sparse: only the
// header is written.
QString sparseEffectFile(const QString& path, int records)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QList<ImageObject*> pictures;
    auto* clip = new MediaObject(1, QString());
    QByteArray header = EffectFile::header(pictures, {clip});
    delete clip;
    // One clip entry of `records` frames; the total counts them too.
    header[8] = char(records >> 8);
    header[9] = char(records);
    header[16] = 0;
    header[17] = 1;
    header[18] = char(records >> 8);
    header[19] = char(records);
    file.write(header);
    file.resize(EffectFile::headerSize + qint64(records) * 114688);
    return path;
}

// The reader holds the layout and one record at a time, whatever the file's size.
void benchReaderMemory()
{
    QTemporaryDir dir;
    const QString large = sparseEffectFile(dir.filePath("large.bin"), 18000);  // 2.06 GB
    report("reader_info_2gb_file_bytes", double(QFileInfo(large).size()), "B");
    report("reader_info_2gb_peak_rss", cliPeakMegabytes({"info", large}), "MB");
    const QString largest = sparseEffectFile(dir.filePath("largest.bin"), 65535);  // 7.5 GB
    report("reader_info_65535_records_peak_rss", cliPeakMegabytes({"info", largest}), "MB");
    const QString some = sparseEffectFile(dir.filePath("some.bin"), 300);  // 34 MB
    report("reader_render_300_records_peak_rss", cliPeakMegabytes({"render", some, dir.filePath("frames")}), "MB");
}

int main(int argc, char* argv[])
{
    keepLargeAllocations();
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--gif-import-child")
        return gifImportChild(QString::fromLocal8Bit(argv[2]));
    static QTemporaryDir files;  // outlives the temporary directory's lock file
    TempDirectory::setRoot(files.path());
    // The writer's per-record debug lines would be timed too.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    // "gyrolume-bench gif" or "gyrolume-bench video" runs that import's figures only.
    const QByteArray only = argc == 2 ? QByteArray(argv[1]) : QByteArray();
    if (only.isEmpty()) {
        benchReaderMemory();
        benchConversion();
        benchDownload();
        benchPictureImport();
        benchDiyHistory();
    }
    if (only.isEmpty() || only == "gif") {
        benchGifTick();
        benchGifImportMemory();
    }
    if (only.isEmpty() || only == "video")
        benchVideoCut();
    return 0;
}
