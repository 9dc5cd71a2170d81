#include "testvideo.h"

#include <QDebug>
#include <QFile>
#include <QProcess>

namespace {
bool runFfmpeg(const QStringList& arguments)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-v"), QStringLiteral("error"),
                                                      QStringLiteral("-y")} + arguments);
    if (!ffmpeg.waitForFinished(300000) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0) {
        qWarning() << "ffmpeg failed:" << ffmpeg.errorString() << ffmpeg.readAllStandardError();
        return false;
    }
    return true;
}
} // namespace

namespace TestVideo {

// Red counts the frames, green counts them down, blue steps by 37: no two of the first
// 256 frames share a colour.
QColor colourOf(int frameIndex)
{
    return QColor(frameIndex % 256, 255 - frameIndex % 256, (frameIndex * 37) % 256);
}

int indexOf(QRgb colour)
{
    const int index = qRed(colour);
    return colourOf(index).rgb() == (colour | 0xff000000u) ? index : -1;
}

bool makeIndexed(const QString& path, int width, int height, int framesPerSecond, double seconds)
{
    const QString source = QStringLiteral("color=c=black:s=%1x%2:r=%3:d=%4,format=gbrp,"
                                          "geq=r='mod(N,256)':g='255-mod(N,256)':b='mod(N*37,256)'")
                               .arg(width).arg(height).arg(framesPerSecond).arg(seconds);
    return runFfmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), source,
                      QStringLiteral("-c:v"), QStringLiteral("ffv1"), QStringLiteral("-pix_fmt"),
                      QStringLiteral("bgr0"), path});
}

bool makeH264(const QString& path, int width, int height, int framesPerSecond, double seconds)
{
    const QString source = QStringLiteral("testsrc2=s=%1x%2:r=%3:d=%4")
                               .arg(width).arg(height).arg(framesPerSecond).arg(seconds);
    return runFfmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), source,
                      QStringLiteral("-c:v"), QStringLiteral("libx264"), QStringLiteral("-preset"),
                      QStringLiteral("ultrafast"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
                      path});
}

bool makeNotAVideo(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("not the frames of a video\n") > 0;
}

bool makeSoundOnly(const QString& path, double seconds)
{
    return runFfmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                      QStringLiteral("sine=d=%1").arg(seconds), QStringLiteral("-f"), QStringLiteral("mp4"), path});
}

} // namespace TestVideo
