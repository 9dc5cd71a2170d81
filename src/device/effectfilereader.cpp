#include "effectfilereader.h"

#include "convert/polarconversion.h"
#include "effectfile.h"

#include <QIODevice>

#include <limits>

namespace EffectFile {

namespace {

int byteAt(const QByteArray& bytes, int at) { return uchar(bytes.at(at)); }
int wordAt(const QByteArray& bytes, int at) { return (byteAt(bytes, at) << 8) | byteAt(bytes, at + 1); }

// Walks the records in file order without reading them: each next() is the offset of a
// record that is whole in the file, until the first one that is not (named in the problems).
class RecordCursor
{
public:
    RecordCursor(qint64 start, Contents& contents) : position(start), contents(contents) {}

    // The offset of the next record, or -1 when the file ends before it; `what` names it.
    template<typename Name>
    qint64 next(Name what)
    {
        if (ended)
            return -1;
        const qint64 left = contents.fileSize - position;
        if (left < contents.recordSize) {
            contents.problems << (left <= 0 ? QString("the file ends before %1").arg(what())
                                            : QString("the file ends inside %1 (%2 of %3 bytes)")
                                                  .arg(what()).arg(left).arg(contents.recordSize));
            contents.truncated = true;
            ended = true;
            return -1;
        }
        const qint64 at = position;
        position += contents.recordSize;
        return at;
    }

    bool stopped() const { return ended; }
    qint64 end() const { return position; }

private:
    qint64 position;
    Contents& contents;
    bool ended = false;
};

void readReadBack(QIODevice& device, const ReadOptions& options, Contents& contents)
{
    contents.form = RecordForm::RawFrame;
    contents.recordSize = options.lineNumber * options.ledCount * 3;
    const QByteArray header = device.read(readBackHeaderSize);
    if (header.size() < readBackHeaderSize) {
        contents.problems << QString("the file is %1 bytes long, shorter than the %2-byte header")
                                 .arg(header.size()).arg(readBackHeaderSize);
        return;
    }
    const int pictureCount = byteAt(header, 19);
    const int pictures = qMin(pictureCount, readBackPictureLimit);
    if (pictureCount > readBackPictureLimit)
        contents.problems << QString("the header counts %1 pictures; only the first %2 are shown")
                                 .arg(pictureCount).arg(readBackPictureLimit);

    RecordCursor records(readBackHeaderSize, contents);
    for (int slot = 0; slot < readBackPictureSlots && !records.stopped(); ++slot) {
        // Unused slots are there all the same and are passed over unread.
        const qint64 at = records.next([&] {
            return slot < pictures ? QString("picture %1").arg(slot + 1)
                                   : QString("unused picture slot %1").arg(slot + 1);
        });
        if (at >= 0 && slot < pictures) {
            const int timeByte = byteAt(header, 20 + slot);
            contents.pictures.append({timeByte * 0.2, timeByte, at});
        }
    }
    for (int k = 0; k < readBackClipSlots && !records.stopped(); ++k) {
        Clip clip;
        clip.number = k;
        clip.loopCount = byteAt(header, 12 + k);
        clip.declaredFrames = byteAt(header, 7 + k);
        for (int m = 1; m <= clip.declaredFrames; ++m) {
            const qint64 at = records.next([&] { return QString("frame %1 of clip %2").arg(m).arg(k + 1); });
            if (at < 0)
                break;
            if (clip.frames++ == 0)
                clip.offset = at;
        }
        if (clip.frames > 0)
            contents.clips.append(clip);
    }
    if (!records.stopped() && contents.fileSize > records.end()) {
        contents.trailingBytes = contents.fileSize - records.end();
        contents.problems << QString("%1 bytes follow the last clip").arg(contents.trailingBytes);
    }
}

// A record size guessed from the data is believed up to here: far above the largest
// geometry, and small enough that reading one record never asks for gigabytes.
constexpr qint64 largestGuessedRecord = 16 * 1024 * 1024;

// The record size of a download file: the buffer size of the geometry, the raw frame of a
// picture that was read back and downloaded again, or whatever divides the data evenly.
void chooseRecordSize(qint64 dataBytes, int records, const ReadOptions& options, Contents& contents)
{
    const int bitPlanes = Polar::bufferSize(options.ledCount, options.lineNumber);
    const int rawFrame = options.lineNumber * options.ledCount * 3;
    contents.form = RecordForm::BitPlanes;
    contents.recordSize = bitPlanes;
    if (records == 0)
        return;
    if (dataBytes == qint64(records) * bitPlanes)
        return;
    if (dataBytes == qint64(records) * rawFrame) {
        contents.form = RecordForm::RawFrame;
        contents.recordSize = rawFrame;
        return;
    }
    if (dataBytes % records == 0 && dataBytes / records >= options.lineNumber * Polar::recordSize(options.ledCount)
        && dataBytes / records <= largestGuessedRecord) {
        contents.recordSize = int(dataBytes / records);
        contents.problems << QString("records of %1 bytes do not match %2 LEDs and %3 lines (%4 bytes)")
                                 .arg(contents.recordSize).arg(options.ledCount)
                                 .arg(options.lineNumber).arg(bitPlanes);
        return;
    }
    if (dataBytes > qint64(records) * bitPlanes)
        return;  // whole records with bytes after them, named once the records are laid out
    contents.problems << QString("%1 bytes of pictures do not make %2 records of %3 bytes "
                                 "(%4 LEDs, %5 lines)")
                             .arg(dataBytes).arg(records).arg(bitPlanes)
                             .arg(options.ledCount).arg(options.lineNumber);
}

void readDownload(QIODevice& device, const ReadOptions& options, Contents& contents)
{
    const QByteArray header = device.read(headerSize);
    if (header.size() < headerSize) {
        contents.problems << QString("the file ends inside its %1-byte header (%2 bytes)")
                                 .arg(headerSize).arg(header.size());
        return;
    }
    const int total = wordAt(header, 8);

    // Pictures come first: entries whose first and last frame are their own number and
    // whose last byte is 1. The first entry that is not such a picture starts the clips.
    int entries = 0;
    int nextFrame = 1;
    qint64 framesInEntries = 0;
    bool inClips = false;
    for (; entries < maxEntries; ++entries) {
        const int at = entryTableOffset + entrySize * entries;
        const int first = wordAt(header, at);
        const int last = wordAt(header, at + 2);
        const int b4 = byteAt(header, at + 4);
        const int b5 = byteAt(header, at + 5);
        if (first == 0 && last == 0 && b4 == 0 && b5 == 0)
            break;
        if (first != (nextFrame & 0xffff))
            contents.problems << QString("entry %1 starts at frame %2 instead of %3")
                                     .arg(entries + 1).arg(first).arg(nextFrame & 0xffff);
        if (!inClips && first == last && b5 == 1) {
            contents.pictures.append({b4 / 10.0, b4, 0});
            ++nextFrame;
            ++framesInEntries;
            continue;
        }
        inClips = true;
        Clip clip;
        clip.number = int(contents.clips.size()) + 1;
        clip.loopCount = b5;
        clip.declaredFrames = (last - first + 1 + 0x10000) & 0xffff;
        if (b4 != 1)
            contents.problems << QString("entry %1 has %2 where a clip has 1").arg(entries + 1).arg(b4);
        contents.clips.append(clip);
        nextFrame += clip.declaredFrames;
        framesInEntries += clip.declaredFrames;
    }
    for (int rest = entries; rest < maxEntries; ++rest) {
        if (header.mid(entryTableOffset + entrySize * rest, 6).count('\0') != 6) {
            contents.problems << QString("entry %1 follows an empty entry and is ignored").arg(rest + 1);
            break;
        }
    }
    if ((framesInEntries & 0xffff) != total)
        contents.problems << QString("the header counts %1 pictures and frames, the entries %2")
                                 .arg(total).arg(framesInEntries);

    const qint64 dataBytes = contents.fileSize - headerSize;
    qint64 records = framesInEntries;
    if (total > framesInEntries) {
        // More than 500 pictures: the rest have records but no entry.
        records = total;
        contents.problems << QString("%1 pictures have no entry; the display cannot reach them")
                                 .arg(total - framesInEntries);
    }
    chooseRecordSize(dataBytes, int(qMin<qint64>(records, std::numeric_limits<int>::max())), options, contents);

    RecordCursor cursor(headerSize, contents);
    for (int i = 0; i < contents.pictures.size(); ++i) {
        contents.pictures[i].offset = cursor.next([i] { return QString("picture %1").arg(i + 1); });
        if (cursor.stopped()) {
            contents.pictures.resize(i);
            break;
        }
    }
    for (Clip& clip : contents.clips) {
        clip.offset = cursor.end();
        for (int m = 1; m <= clip.declaredFrames && !cursor.stopped(); ++m) {
            if (cursor.next([&] { return QString("frame %1 of clip %2").arg(m).arg(clip.number); }) >= 0)
                ++clip.frames;
        }
    }
    if (!cursor.stopped() && records == framesInEntries && contents.fileSize > cursor.end()) {
        contents.trailingBytes = contents.fileSize - cursor.end();
        contents.problems << QString("%1 bytes follow the last clip").arg(contents.trailingBytes);
    }
}

} // namespace

int Contents::recordCount() const
{
    int count = int(pictures.size());
    for (const Clip& clip : clips)
        count += clip.frames;
    return count;
}

Layout detectLayout(const QByteArray& head, qint64 size)
{
    if (head.size() >= endMarkerOffset + 16 && head.startsWith(QByteArray(magic, 8))
        && head.mid(endMarkerOffset, 16) == QByteArray(endMarker, 16))
        return Layout::Download;
    return size >= readBackHeaderSize ? Layout::ReadBack : Layout::Unknown;
}

Contents readLayout(QIODevice& device, const ReadOptions& options)
{
    Contents contents;
    if (options.ledCount < 1 || options.lineNumber < 1) {
        contents.problems << QString("no geometry to read with");
        return contents;
    }
    if (device.isSequential()) {
        contents.problems << QString("the file cannot be read out of order (a pipe or a device)");
        return contents;
    }
    contents.fileSize = device.size();
    device.seek(0);
    const QByteArray head = device.peek(endMarkerOffset + 16);
    contents.layout = detectLayout(head, contents.fileSize);
    switch (contents.layout) {
    case Layout::Download:
        readDownload(device, options, contents);
        break;
    case Layout::ReadBack:
        readReadBack(device, options, contents);
        break;
    case Layout::Unknown:
        contents.problems << QString("the file is %1 bytes long, too short for an effect file")
                                 .arg(contents.fileSize);
        break;
    }
    return contents;
}

QByteArray readRecord(QIODevice& device, const Contents& contents, qint64 offset)
{
    if (contents.recordSize <= 0 || !device.seek(offset))
        return QByteArray();
    QByteArray record = device.read(contents.recordSize);
    return record.size() == contents.recordSize ? record : QByteArray();
}

QString recordReadFailure(const QIODevice& device)
{
    return device.atEnd() ? QStringLiteral("the file is shorter than it was") : device.errorString();
}

QString layoutName(Layout layout)
{
    switch (layout) {
    case Layout::Download: return QStringLiteral("download");
    case Layout::ReadBack: return QStringLiteral("readback");
    case Layout::Unknown: break;
    }
    return QStringLiteral("unknown");
}

} // namespace EffectFile
