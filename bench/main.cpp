// gyrolume-bench: prints one figure per line as "name: value unit".
#include "app/memorytuning.h"
#include "app/tempdirectory.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "convert/polarconversion.h"
#include "device/effectfile.h"
#include "support/referencepolar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <unistd.h>

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
} // namespace

int main(int argc, char* argv[])
{
    keepLargeAllocations();
    QCoreApplication app(argc, argv);
    static QTemporaryDir files;  // outlives the temporary directory's lock file
    TempDirectory::setRoot(files.path());
    // The writer's per-record debug lines would be timed too.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    benchConversion();
    benchDownload();
    return 0;
}
