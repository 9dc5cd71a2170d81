#include "effectfile.h"

#include "convert/imageobject.h"
#include "convert/mediaobject.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QMutexLocker>
#include <QSaveFile>
#include <QStorageInfo>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
const char magic[8] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
const char endMarker[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 0x00};

void append16(QByteArray& bytes, int value)
{
    bytes.append(char((value >> 8) & 0xff));
    bytes.append(char(value & 0xff));
}

void appendEntry(QByteArray& bytes, int first, int last, int byte4, int byte5)
{
    append16(bytes, first);
    append16(bytes, last);
    bytes.append(char(byte4 & 0xff));
    bytes.append(char(byte5 & 0xff));
}

qint64 bufferSize(ImageObject* picture)
{
    QMutexLocker locker(&picture->lock);
    if (!picture->polarBuffer.isEmpty() || picture->bufferPath.isEmpty())
        return picture->polarBuffer.size();
    return QFileInfo(picture->bufferPath).size();
}

DownloadStatus failure(DownloadStatus::Code code, const QString& error = QString())
{
    DownloadStatus status;
    status.code = code;
    status.error = error;
    return status;
}

// Flushes everything the file system holds for the drive: FAT keeps no journal, so a
// drive pulled before this loses the file or its directory entry.
bool syncFileSystem(const QString& directory, QString& error)
{
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    const bool ok = ::syncfs(fd) == 0;
    if (!ok)
        error = QString::fromLocal8Bit(strerror(errno));
    ::close(fd);
    return ok;
}
} // namespace

namespace EffectFile {

quint8 timeByte(double showTime)
{
    const double tenths = std::trunc(showTime * 10.0);
    if (!(tenths > 0))  // also NaN
        return 0;
    return tenths >= 255 ? 255 : quint8(tenths);
}

int entriesNeeded(const QList<ImageObject*>& pictures, const QList<MediaObject*>& clips)
{
    return int(pictures.size() + clips.size());
}

int recordCount(const QList<ImageObject*>& pictures, const QList<MediaObject*>& clips)
{
    qsizetype count = pictures.size();
    for (const MediaObject* clip : clips)
        count += clip->frames.size();
    return int(count);
}

QByteArray header(const QList<ImageObject*>& pictures, const QList<MediaObject*>& clips)
{
    QByteArray bytes;
    bytes.reserve(headerSize);
    bytes.append(magic, sizeof magic);
    append16(bytes, recordCount(pictures, clips));
    bytes.append(6, '\0');

    int entries = 0;
    for (int i = 0; i < pictures.size() && entries < maxEntries; ++i, ++entries) {
        const quint8 time = timeByte(pictures[i]->showTime);
        qDebug().noquote() << "#MainWindow# downToUsb2 time = " << time;
        appendEntry(bytes, i + 1, i + 1, time, 1);
    }
    int first = int(pictures.size()) + 1;
    for (int j = 0; j < clips.size() && entries < maxEntries; ++j, ++entries) {
        const int frames = int(clips[j]->frames.size());
        appendEntry(bytes, first, first + frames - 1, 1, clips[j]->loopCount);
        first += frames;
    }
    bytes.append((maxEntries - entries) * entrySize, '\0');
    bytes.append(endMarker, sizeof endMarker);
    bytes.append(headerSize - bytes.size(), '\0');
    return bytes;
}

qint64 fileSize(const QList<ImageObject*>& pictures, const QList<MediaObject*>& clips)
{
    qint64 size = headerSize;
    for (ImageObject* picture : pictures)
        size += bufferSize(picture);
    for (const MediaObject* clip : clips) {
        for (ImageObject* frame : clip->frames)
            size += bufferSize(frame);
    }
    return size;
}

DownloadStatus write(QIODevice& device, const QList<ImageObject*>& pictures,
                     const QList<MediaObject*>& clips, const Progress& progress,
                     const StillRunning& running)
{
    const QByteArray head = header(pictures, clips);
    if (device.write(head) != head.size())
        return failure(DownloadStatus::WriteFailed, device.errorString());
    qDebug().noquote() << "#MainWindow# downToUsb2 bytes length = " << head.size();

    const int total = recordCount(pictures, clips);
    int written = 0;
    if (progress)
        progress(0, total);
    // Every record must be there: an empty one would move all later pictures up and the
    // header would point the fan at the wrong ones.
    auto writeRecord = [&](ImageObject* picture, int pictureRow, int clipRow, int frameRow) {
        if (running && !running())
            return failure(DownloadStatus::Cancelled);
        const QByteArray bytes = picture->buffer();
        if (bytes.isEmpty()) {
            DownloadStatus status = failure(DownloadStatus::PictureUnreadable);
            status.picture = pictureRow;
            status.clip = clipRow;
            status.frame = frameRow;
            return status;
        }
        if (device.write(bytes) != bytes.size())
            return failure(DownloadStatus::WriteFailed, device.errorString());
        qDebug().noquote() << "#MainWindow# downToUsb2 image bytes length = " << bytes.size();
        ++written;
        if (progress)
            progress(written, total);
        return DownloadStatus();
    };
    for (int i = 0; i < pictures.size(); ++i) {
        const DownloadStatus status = writeRecord(pictures[i], i + 1, 0, 0);
        if (!status.ok())
            return status;
    }
    for (int j = 0; j < clips.size(); ++j) {
        for (int k = 0; k < clips[j]->frames.size(); ++k) {
            const DownloadStatus status = writeRecord(clips[j]->frames[k], 0, j + 1, k + 1);
            if (!status.ok())
                return status;
        }
    }
    return DownloadStatus();
}

DownloadStatus checkSpace(const QString& path, const QList<ImageObject*>& pictures,
                          const QList<MediaObject*>& clips)
{
    DownloadStatus status;
    status.path = path;
    QStorageInfo storage(QFileInfo(path).absolutePath());
    storage.refresh();  // the figure is cached from whenever the object was made
    if (!storage.isValid() || !storage.isReady())
        return status;  // the open that follows says what is wrong
    const qint64 cluster = qMax<qint64>(storage.blockSize(), 1);
    const qint64 needed = (fileSize(pictures, clips) + cluster - 1) / cluster * cluster;
    if (needed > storage.bytesAvailable()) {
        status.code = DownloadStatus::NotEnoughSpace;
        status.needed = needed;
        status.available = storage.bytesAvailable();
    }
    return status;
}

DownloadStatus download(const QString& path, const QList<ImageObject*>& pictures,
                        const QList<MediaObject*>& clips, const Progress& progress,
                        const StillRunning& running)
{
    const QString directory = QFileInfo(path).absolutePath();
    if (!QFileInfo(directory).isDir()) {
        DownloadStatus status = failure(DownloadStatus::OpenFailed,
                                        QStringLiteral("No such directory"));
        status.path = path;
        return status;
    }
    DownloadStatus status = checkSpace(path, pictures, clips);
    if (!status.ok())
        return status;

    // The new file grows under a temporary name beside the old one and replaces it only
    // when complete, so a failure leaves the drive as it was.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        status = failure(DownloadStatus::OpenFailed, file.errorString());
    } else {
        status = write(file, pictures, clips, progress, running);
        if (status.ok() && running && !running())
            status = failure(DownloadStatus::Cancelled);
        if (!status.ok()) {
            file.cancelWriting();
        } else if (!file.commit()) {
            status = failure(file.error() == QFileDevice::RenameError ? DownloadStatus::CommitFailed
                                                                       : DownloadStatus::WriteFailed,
                             file.errorString());
        } else {
            QString error;
            if (!syncFileSystem(directory, error))
                status = failure(DownloadStatus::SyncFailed, error);
        }
    }
    status.path = path;
    qDebug() << "#EffectFile# download" << path << "status" << status.code << status.error;
    return status;
}

} // namespace EffectFile
