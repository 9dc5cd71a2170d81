#pragma once

#include "downloadstatus.h"

#include <QByteArray>
#include <QList>

#include <functional>

class ImageObject;
class MediaObject;
class QIODevice;
class QString;

// The effect file the fan plays, all numbers big-endian:
//   0     8  magic 00 11 22 33 44 55 66 77
//   8     2  total number of pictures stored (still pictures + every clip frame), low 16 bits
//   10    6  zero
//   16 3000  500 entries of 6 bytes: first frame, last frame (16 bits each), then for a
//            still picture its show time in tenths and 1, for a clip 1 and its loop count;
//            pictures first, then clips, unused entries zero
//   3016 16  end marker 00 x8, 77 66 55 44 33 22 11 00
//   3032     zero fill to 4,096 bytes
//   4096     every still picture's polar buffer in list order, then every frame of every
//            clip in order (repeatCount times in a row), each exactly as
//            ImageObject::buffer() gives it
//
// The writer runs on the worker thread (message code 8). The GUI thread must not change
// the lists or delete their objects meanwhile (the modal progress dialog keeps the user
// out); each buffer() call takes the object's own lock.
//
// Window side, before posting code 8:
//     if (EffectFile::entriesNeeded(pictures, clips) > EffectFile::maxEntries) ask first;
//     DownloadStatus space = EffectFile::checkSpace(path, pictures, clips);
//     if (!space.ok()) show downloadMessage(space) and stop;
// Worker side (PlayMediaHandler, code 8):
//     DownloadStatus status = EffectFile::download(path, pictures, clips, progress, running);
//     reply with code 8; the window shows downloadMessage(status).
namespace EffectFile {

constexpr int headerSize = 4096;
constexpr int maxEntries = 500;
constexpr int entrySize = 6;
constexpr int entryTableOffset = 16;
constexpr int endMarkerOffset = entryTableOffset + maxEntries * entrySize;  // 3,016
inline constexpr char magic[8] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
inline constexpr char endMarker[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 0x00};

// Both are called on the thread that runs the writer (the worker thread), before the
// first record and after each one; a GUI must post what it shows to its own thread.
using Progress = std::function<void(int written, int total)>;  // records, of all records
using StillRunning = std::function<bool()>;  // false stops the job: Cancelled, drive unchanged

// The show-time byte: tenths of a second, truncated; 25.5 s and more give 255.
quint8 timeByte(double showTime);

// Entries the playlist would need: one per still picture and one per clip. Above
// maxEntries the later ones get none (their pictures are still stored).
int entriesNeeded(const QList<ImageObject*>& pictures, const QList<MediaObject*>& clips);

// Records in the data part: still pictures plus every clip's records.
int recordCount(const QList<ImageObject*>& pictures, const QList<MediaObject*>& clips);

// The 4,096-byte header block.
QByteArray header(const QList<ImageObject*>& pictures, const QList<MediaObject*>& clips);

// Bytes of one picture's record: its buffer in memory, or the size of its buffer file.
qint64 bufferSize(ImageObject* picture);

// Bytes the file will take: the header and every buffer (from memory or its file size).
qint64 fileSize(const QList<ImageObject*>& pictures, const QList<MediaObject*>& clips);

// Writes the header and every record to `device`, which must be open for writing.
// Stops at the first failure (PictureUnreadable, WriteFailed) or when `running` says no
// (Cancelled); the device then holds a partial file that the caller must discard.
// The buffers are read one to three records ahead on a thread of the writer's own.
DownloadStatus write(QIODevice& device, const QList<ImageObject*>& pictures,
                     const QList<MediaObject*>& clips, const Progress& progress = {},
                     const StillRunning& running = {});

// NotEnoughSpace when the drive holding `path` has less room than the file needs, the
// free space read afresh; Ok otherwise (also when the space cannot be read).
DownloadStatus checkSpace(const QString& path, const QList<ImageObject*>& pictures,
                          const QList<MediaObject*>& clips);

// The whole download: checks the space, writes into a temporary file beside `path`,
// replaces `path` with it and syncs the file system. On any failure the file that was at
// `path` before is left as it was and the temporary file is removed.
DownloadStatus download(const QString& path, const QList<ImageObject*>& pictures,
                        const QList<MediaObject*>& clips, const Progress& progress = {},
                        const StillRunning& running = {});

} // namespace EffectFile
