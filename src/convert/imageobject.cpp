#include "imageobject.h"

#include "app/appsettings.h"

#include <QDebug>
#include <QFile>

#include <atomic>

namespace {
std::atomic<int> nextId{1};  // objects are made on several threads

QString tempFile(int id, const char* suffix)
{
    return AppSettings::tempDir() + QString::number(id) + QLatin1String(suffix);
}
} // namespace

QRect centredSquare(const QSize& size)
{
    const int side = qMin(size.width(), size.height());
    const int left = side < size.width() ? (size.width() - side) / 2 : 0;
    const int top = side < size.height() ? (size.height() - side) / 2 : 0;
    return QRect(left, top, side, side);
}

QImage thumbnailOf(const QImage& picture)
{
    return picture.copy(centredSquare(picture.size()))
        .scaled(450, 450, Qt::KeepAspectRatio, Qt::FastTransformation)
        .scaled(60, 60, Qt::KeepAspectRatio, Qt::FastTransformation);
}

ImageObject::ImageObject(int number, const QString& sourcePath, double showTime, int kind)
    : PlaylistObject(number), kind(kind), sourcePath(sourcePath), showTime(showTime),
      id(nextId.fetch_add(1))
{
    prepareSource();
}

ImageObject::ImageObject(int number, const QString& sourcePath, double showTime, int kind,
                         const QImage& decodedSource)
    : PlaylistObject(number), kind(kind), sourcePath(sourcePath), showTime(showTime),
      id(nextId.fetch_add(1))
{
    prepareSource(decodedSource);
}

ImageObject::~ImageObject()
{
    qDebug() << "#ImageObject# delete.";
    removeFiles();
    polarBuffer.clear();
}

QString ImageObject::thumbnailPath() const { return tempFile(id, "_1.png"); }
QString ImageObject::previewPath() const { return tempFile(id, "_2.png"); }
QString ImageObject::bufferFilePath() const { return tempFile(id, ".buf"); }

void ImageObject::prepareSource()
{
    if (sourcePath.isEmpty())
        return;
    prepareSource(QImage(sourcePath));
}

void ImageObject::prepareSource(const QImage& source)
{
    if (sourcePath.isEmpty())
        return;
    contrast = 1.0f;
    cropRect = centredSquare(source.size());
    saveThumbnail(thumbnailOf(source));
}

int ImageObject::saveLocked(const QImage& picture, const QString& path)
{
    if (picture.isNull())
        return -1;
    QMutexLocker locker(&lock);
    AppSettings::ensureTempDir();
    QFile::remove(path);
    // A lighter compression than the default: a third of the time for a 15 % larger file,
    // which matters when hundreds of pictures are imported.
    return picture.save(path, "PNG", 80) ? 0 : 1;
}

int ImageObject::savePreview(const QImage& picture)
{
    // Previews are opaque (dots on black): without the alpha channel they encode faster.
    return saveLocked(picture.isNull() ? picture : picture.convertToFormat(QImage::Format_RGB32), previewPath());
}

int ImageObject::saveThumbnail(const QImage& picture) { return saveLocked(picture, thumbnailPath()); }

QImage ImageObject::loadPreview() const { return QImage(previewPath()); }
QImage ImageObject::loadThumbnail() const { return QImage(thumbnailPath()); }

void ImageObject::flushBuffer()
{
    QMutexLocker locker(&lock);
    if (polarBuffer.isEmpty())
        return;
    AppSettings::ensureTempDir();
    bufferPath = bufferFilePath();
    QFile::remove(bufferPath);
    QFile file(bufferPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qDebug() << "#ImageObject# cannot write" << bufferPath << file.errorString();
        return;
    }
    if (file.write(polarBuffer) != polarBuffer.size()) {
        // A short write (disk full) must not leave a truncated buffer to be downloaded.
        qDebug() << "#ImageObject# short write" << bufferPath << file.errorString();
        file.close();
        file.remove();
        bufferPath.clear();
        return;
    }
    file.close();
    polarBuffer.clear();
    polarBuffer.squeeze();
}

QByteArray ImageObject::buffer()
{
    QMutexLocker locker(&lock);
    if (!polarBuffer.isEmpty() || bufferPath.isEmpty())
        return polarBuffer;
    QFile file(bufferPath);
    if (!file.open(QIODevice::ReadOnly))
        return polarBuffer;
    return file.readAll();
}

void ImageObject::removeFiles()
{
    QMutexLocker locker(&lock);
    if (!bufferPath.isEmpty())
        QFile::remove(bufferPath);
    QFile::remove(thumbnailPath());
    QFile::remove(previewPath());
}
