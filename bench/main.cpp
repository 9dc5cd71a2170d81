// gyrolume-bench: prints one figure per line as "name: value unit".
#include "app/tempdirectory.h"
#include "convert/imageobject.h"
#include "convert/polarconversion.h"
#include "support/referencepolar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

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
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    static QTemporaryDir files;  // outlives the temporary directory's lock file
    TempDirectory::setRoot(files.path());
    benchConversion();
    return 0;
}
