#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <functional>

class QIODevice;

// Reads an effect file in either of its two layouts, whatever its bytes: it never reads
// past the device and reports what does not add up instead of failing.
//
// - Download layout: the 4,096-byte header (magic, total, 500 entries, end marker) and the
//   bit-plane records of every picture and clip frame, as the download writes it.
// - Read-back layout: 120 header bytes (clip frame and loop counts, picture count, picture
//   times in 0.2 s), 100 picture slots and up to five clips of raw frames of
//   lineNumber x ledCount x 3 bytes (G, R, B per LED).
//
// Neither layout records its geometry; the caller gives the one to read with.
//
// Reading is in two steps, so that memory does not grow with the file (a download file may
// hold 65,535 records of several hundred kilobytes): readLayout() reads the header and
// works out from the file's size where every record lies; readRecord() then fetches one
// record when it is wanted. The device must allow seeking (a file, a buffer).
namespace EffectFile {

enum class Layout { Unknown, Download, ReadBack };
enum class RecordForm { RawFrame, BitPlanes };

struct Picture
{
    double showTime = 0;
    int timeByte = 0;  // as stored: tenths (download) or fifths (read-back) of a second
    qint64 offset = 0; // of its record in the file
};

struct Clip
{
    int number = 0;          // its slot in a read-back file (0 to 4), its entry in a download file
    int loopCount = 1;
    int declaredFrames = 0;  // what the header says
    int frames = 0;          // the frames whose records are whole in the file
    qint64 offset = 0;       // of its first frame; the others follow one after the other
};

struct Contents
{
    Layout layout = Layout::Unknown;
    RecordForm form = RecordForm::RawFrame;
    int recordSize = 0;
    qint64 fileSize = 0;
    QList<Picture> pictures;  // those whose records are whole in the file
    QList<Clip> clips;        // in a read-back file only clips that have frames
    QStringList problems;     // what does not add up, in words for the user
    bool truncated = false;   // the file ends before a record its header announces
    qint64 trailingBytes = 0; // bytes after the last record

    // The pictures and clip frames that can be read.
    int recordCount() const;
    qint64 frameOffset(const Clip& clip, int frame) const { return clip.offset + qint64(frame) * recordSize; }
};

struct ReadOptions
{
    int ledCount = 112;
    int lineNumber = 450;
    std::function<bool()> running;                      // tested before every record
    std::function<void(int done, int total)> progress;  // after every record
};

constexpr int readBackHeaderSize = 120;
constexpr int readBackPictureSlots = 100;
constexpr int readBackPictureLimit = 50;
constexpr int readBackClipSlots = 5;

// The layout the first bytes show: the download layout by its magic and end marker, the
// read-back layout (which has no signature) for anything else of at least 120 bytes.
Layout detectLayout(const QByteArray& head, qint64 size);

// The header and where each record lies; reads no record. Only the geometry of the options
// is used.
Contents readLayout(QIODevice& device, const ReadOptions& options);

// The record at `offset`, recordSize bytes; a null array when the device cannot give them
// all (the file was cut or the drive went away since the layout was read).
QByteArray readRecord(QIODevice& device, const Contents& contents, qint64 offset);
// Why readRecord() gave nothing, in words for the user.
QString recordReadFailure(const QIODevice& device);

QString layoutName(Layout layout);  // "download", "readback" or "unknown"

} // namespace EffectFile
