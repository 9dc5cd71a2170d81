#include "effectfile.h"

#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "fileaccess.h"
#include "partialfile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QMutexLocker>
#include <QSaveFile>
#include <QStorageInfo>

#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

struct Record
{
    ImageObject* picture;
    int pictureRow;  // 1-based row of a still picture, or 0
    int clipRow;     // 1-based clip and frame of a clip frame, or 0
    int frameRow;
};

DownloadStatus failure(DownloadStatus::Code code, const QString& error = QString())
{
    DownloadStatus status;
    status.code = code;
    status.error = error;
    return status;
}

QString systemError() { return QString::fromLocal8Bit(strerror(errno)); }

// What ImageObject::buffer() gives, read into `own` (kept from record to record, so a
// download allocates no memory per picture) when it lives in a file; `bytes` then points
// at the record. Empty when the buffer cannot be read.
void readRecord(ImageObject* picture, QByteArray& own, QByteArray& bytes)
{
    QMutexLocker locker(&picture->lock);
    if (!picture->polarBuffer.isEmpty() || picture->bufferPath.isEmpty()) {
        bytes = picture->polarBuffer;  // shared, not copied
        return;
    }
    bytes.clear();
    const int fd = ::open(QFile::encodeName(picture->bufferPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat status = {};
    if (::fstat(fd, &status) == 0 && status.st_size > 0) {
        try {
            own.resize(qsizetype(status.st_size));
        } catch (const std::bad_alloc&) {
            ::close(fd);  // an unreadable record: the download stops there
            return;
        }
        qint64 done = 0;
        while (done < own.size()) {
            const ssize_t got = ::read(fd, own.data() + done, size_t(own.size() - done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += got;
        }
        // A read error or a file cut short is an unreadable record, not a shorter one:
        // a short record would move every later picture.
        if (done == own.size())
            bytes = own;  // shares `own` until the record is written and released
    }
    ::close(fd);
}

// Reads the next records on a thread of its own while the writer writes the current one,
// so reading the buffer files and writing the drive overlap.
class ReadAhead
{
public:
    ReadAhead(const QList<Record>& records, int depth)
        : m_records(records), m_slots(std::size_t(depth)), m_thread([this] { run(); })
    {
    }
    ~ReadAhead()
    {
        {
            std::lock_guard<std::mutex> locker(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    // The next record's bytes, valid until release().
    const QByteArray& next()
    {
        std::unique_lock<std::mutex> locker(m_mutex);
        m_changed.wait(locker, [this] { return m_ready > m_taken; });
        return m_slots[std::size_t(m_taken % int(m_slots.size()))].bytes;
    }
    void release()
    {
        {
            std::lock_guard<std::mutex> locker(m_mutex);
            m_slots[std::size_t(m_taken % int(m_slots.size()))].bytes.clear();  // `own` unshared again
            ++m_taken;
        }
        m_changed.notify_all();
    }

private:
    struct Slot
    {
        QByteArray own;
        QByteArray bytes;
    };

    void run()
    {
        for (int index = 0; index < int(m_records.size()); ++index) {
            {
                std::unique_lock<std::mutex> locker(m_mutex);
                m_changed.wait(locker, [&] { return m_stop || index - m_taken < int(m_slots.size()); });
                if (m_stop)
                    return;
            }
            Slot& slot = m_slots[std::size_t(index % int(m_slots.size()))];
            readRecord(m_records[index].picture, slot.own, slot.bytes);
            {
                std::lock_guard<std::mutex> locker(m_mutex);
                ++m_ready;
            }
            m_changed.notify_all();
        }
    }

    const QList<Record>& m_records;
    std::vector<Slot> m_slots;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_ready = 0;  // records read
    int m_taken = 0;  // records written and released
    bool m_stop = false;
    std::thread m_thread;  // last: starts once the rest is built
};

// Keeps a file's data moving to the drive while it is written: each stretch of about
// 4 MB is handed to writeback as soon as it is written, and the writer waits for the
// stretch before it. Progress then follows the drive rather than the page cache, the
// memory held dirty stays small, and the final sync has little left to do. Errors are
// not reported here (the call is advisory); the final sync reports them.
class WriteBehind
{
public:
    explicit WriteBehind(QIODevice& device)
    {
        if (auto* file = qobject_cast<QFileDevice*>(&device)) {
            m_file = file;
            m_end = file->pos();
            m_start = m_end;
        }
    }
    void written(qint64 bytes)
    {
        if (!m_file)
            return;
        m_end += bytes;
        if (m_end - m_start < stretch)
            return;
        if (!m_file->flush() || m_file->handle() < 0) {
            m_file = nullptr;
            return;
        }
        const int fd = m_file->handle();
        ::sync_file_range(fd, m_start, m_end - m_start, SYNC_FILE_RANGE_WRITE);
        if (m_previous < m_start)
            ::sync_file_range(fd, m_previous, m_start - m_previous,
                              SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
        m_previous = m_start;
        m_start = m_end;
    }

private:
    static constexpr qint64 stretch = 4 * 1024 * 1024;
    QFileDevice* m_file = nullptr;
    qint64 m_previous = 0;  // start of the stretch handed over before
    qint64 m_start = 0;     // start of the stretch being written
    qint64 m_end = 0;
};

// Flushes everything the file system holds for the drive: FAT keeps no journal, so a
// drive pulled before this loses the file or its directory entry.
bool syncFileSystem(const QString& directory, QString& error)
{
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = systemError();
        return false;
    }
    const bool ok = ::syncfs(fd) == 0;
    if (!ok)
        error = systemError();
    ::close(fd);
    return ok;
}
} // namespace

namespace EffectFile {

qint64 bufferSize(ImageObject* picture)
{
    QMutexLocker locker(&picture->lock);
    if (!picture->polarBuffer.isEmpty() || picture->bufferPath.isEmpty())
        return picture->polarBuffer.size();
    return QFileInfo(picture->bufferPath).size();
}

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
        count += clip->recordCount();
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
        const int frames = clips[j]->recordCount();
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
            size += bufferSize(frame) * frame->repeatCount;
    }
    return size;
}

DownloadStatus write(QIODevice& device, const QList<ImageObject*>& pictures,
                     const QList<MediaObject*>& clips, const Progress& progress,
                     const StillRunning& running)
{
    const QByteArray head = header(pictures, clips);
    errno = 0;
    if (device.write(head) != head.size())
        return failure(DownloadStatus::WriteFailed, FileAccess::writeFailureReason(device, errno));
    qDebug().noquote() << "#MainWindow# downToUsb2 bytes length = " << head.size();

    QList<Record> records;
    for (int i = 0; i < pictures.size(); ++i)
        records.append(Record{pictures[i], i + 1, 0, 0});
    for (int j = 0; j < clips.size(); ++j) {
        for (int k = 0; k < clips[j]->frames.size(); ++k)
            records.append(Record{clips[j]->frames[k], 0, j + 1, k + 1});
    }
    auto unreadable = [](const Record& record) {
        DownloadStatus status = failure(DownloadStatus::PictureUnreadable);
        status.picture = record.pictureRow;
        status.clip = record.clipRow;
        status.frame = record.frameRow;
        return status;
    };

    const int total = recordCount(pictures, clips);
    if (progress)
        progress(0, total);
    ReadAhead buffers(records, 3);
    WriteBehind writeBehind(device);
    int written = 0;
    for (const Record& record : records) {
        if (running && !running())
            return failure(DownloadStatus::Cancelled);
        const QByteArray& buffer = buffers.next();
        const qint64 bytes = buffer.size();
        // Every record must be there: an empty one would move all later pictures up and
        // the header would point the fan at the wrong ones.
        if (buffer.isEmpty())
            return unreadable(record);
        // A frame kept at its GIF's timing fills several records with the one buffer read.
        for (int copy = 0; copy < record.picture->repeatCount; ++copy) {
            if (copy > 0 && running && !running())
                return failure(DownloadStatus::Cancelled);
            errno = 0;
            if (device.write(buffer) != bytes)
                return failure(DownloadStatus::WriteFailed, FileAccess::writeFailureReason(device, errno));
            writeBehind.written(bytes);
            qDebug().noquote() << "#MainWindow# downToUsb2 image bytes length = " << bytes;
            if (progress)
                progress(++written, total);
        }
        buffers.release();
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
    // Not mounted any more: the open that follows says what is wrong. Some FUSE drivers
    // (fusefat on FAT32) report a size of 0: unknown, not full; a write that runs out
    // fails cleanly.
    if (!storage.isValid() || !storage.isReady() || storage.bytesTotal() <= 0)
        return status;
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
        DownloadStatus status = failure(DownloadStatus::OpenFailed, FileAccess::systemReason(ENOENT));
        status.path = path;
        return status;
    }
    DownloadStatus status = checkSpace(path, pictures, clips);
    if (!status.ok())
        return status;

    // The new file grows under a temporary name beside the old one and replaces it only
    // when complete, so a failure leaves the drive as it was.
    // A killed download leaves its temporary file (FAT has no unnamed files): clear it first.
    PartialFile::removeAbandonedBeside(path);
    std::optional<PartialFile> partial;
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        status = failure(DownloadStatus::OpenFailed, file.errorString());
    } else {
        partial.emplace(file);  // until committed or cancelled
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
