#include "effectfilereader.h"

#include "convert/polarconversion.h"
#include "effectfile.h"

#include <QIODevice>

namespace EffectFile {

namespace {

int byteAt(const QByteArray& bytes, int at) { return uchar(bytes.at(at)); }
int wordAt(const QByteArray& bytes, int at) { return (byteAt(bytes, at) << 8) | byteAt(bytes, at + 1); }

// Shared by both layouts: reading records one by one with cancelling and progress.
class RecordReader
{
public:
    RecordReader(QIODevice& device, const ReadOptions& options, Contents& contents, int total)
        : device(device), options(options), contents(contents), total(total)
    {
    }

    // The next record, or a null array when the job was cancelled or the file ended
    // (the reason goes to the problems, named by `what`).
    QByteArray next(const QString& what)
    {
        if (cancelled())
            return QByteArray();
        QByteArray record = device.read(contents.recordSize);
        if (endsShort(record.size(), what))
            return QByteArray();
        if (options.progress)
            options.progress(++done, total);
        return record;
    }

    // Passes over a record that is there but not used; false when it cannot.
    bool skip(const QString& what)
    {
        return !cancelled() && !endsShort(device.skip(contents.recordSize), what);
    }

    bool stopped() const { return ended || contents.cancelled; }

private:
    bool cancelled()
    {
        if (options.running && !options.running())
            contents.cancelled = true;
        return contents.cancelled;
    }

    bool endsShort(qint64 got, const QString& what)
    {
        if (got >= contents.recordSize)
            return false;
        contents.problems << (got <= 0 ? QString("the file ends before %1").arg(what)
                                       : QString("the file ends inside %1 (%2 of %3 bytes)")
                                             .arg(what).arg(got).arg(contents.recordSize));
        ended = true;
        return true;
    }

    QIODevice& device;
    const ReadOptions& options;
    Contents& contents;
    int total;
    int done = 0;
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
    int total = pictures;
    for (int k = 0; k < readBackClipSlots; ++k)
        total += byteAt(header, 7 + k);

    RecordReader records(device, options, contents, total);
    for (int slot = 0; slot < readBackPictureSlots && !records.stopped(); ++slot) {
        if (slot < pictures) {
            const QByteArray frame = records.next(QString("picture %1").arg(slot + 1));
            if (frame.isNull())
                break;
            const int timeByte = byteAt(header, 20 + slot);
            contents.pictures.append({timeByte * 0.2, timeByte, frame});
        } else if (!records.skip(QString("unused picture slot %1").arg(slot + 1))) {
            break;  // unused slots are there all the same and are passed over unread
        }
    }
    for (int k = 0; k < readBackClipSlots && !records.stopped(); ++k) {
        Clip clip;
        clip.number = k;
        clip.loopCount = byteAt(header, 12 + k);
        clip.declaredFrames = byteAt(header, 7 + k);
        for (int m = 1; m <= clip.declaredFrames; ++m) {
            const QByteArray frame = records.next(QString("frame %1 of clip %2").arg(m).arg(k + 1));
            if (frame.isNull())
                break;
            clip.frames.append(frame);
        }
        if (!clip.frames.isEmpty() && !contents.cancelled)
            contents.clips.append(clip);
    }
    if (!records.stopped() && !device.atEnd())
        contents.problems << QString("%1 bytes follow the last clip").arg(device.bytesAvailable());
}

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
        && dataBytes / records <= std::numeric_limits<int>::max()) {
        contents.recordSize = int(dataBytes / records);
        contents.problems << QString("records of %1 bytes do not match %2 LEDs and %3 lines (%4 bytes)")
                                 .arg(contents.recordSize).arg(options.ledCount)
                                 .arg(options.lineNumber).arg(bitPlanes);
        return;
    }
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
            contents.pictures.append({b4 / 10.0, b4, QByteArray()});
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

    const qint64 dataBytes = device.size() - headerSize;
    int records = int(framesInEntries);
    if (total > framesInEntries) {
        // More than 500 pictures: the rest have records but no entry.
        records = total;
        contents.problems << QString("%1 pictures have no entry; the display cannot reach them")
                                 .arg(total - framesInEntries);
    }
    chooseRecordSize(dataBytes, records, options, contents);

    RecordReader reader(device, options, contents, records);
    for (int i = 0; i < contents.pictures.size(); ++i) {
        contents.pictures[i].record = reader.next(QString("picture %1").arg(i + 1));
        if (reader.stopped()) {
            contents.pictures.resize(i);
            return;
        }
    }
    for (Clip& clip : contents.clips) {
        for (int m = 1; m <= clip.declaredFrames; ++m) {
            const QByteArray frame = reader.next(QString("frame %1 of clip %2").arg(m).arg(clip.number));
            if (reader.stopped())
                return;
            clip.frames.append(frame);
        }
    }
}

} // namespace

int Contents::recordCount() const
{
    int count = int(pictures.size());
    for (const Clip& clip : clips)
        count += int(clip.frames.size());
    return count;
}

Layout detectLayout(const QByteArray& head, qint64 size)
{
    if (head.size() >= endMarkerOffset + 16 && head.startsWith(QByteArray(magic, 8))
        && head.mid(endMarkerOffset, 16) == QByteArray(endMarker, 16))
        return Layout::Download;
    return size >= readBackHeaderSize ? Layout::ReadBack : Layout::Unknown;
}

Contents read(QIODevice& device, const ReadOptions& options)
{
    Contents contents;
    if (options.ledCount < 1 || options.lineNumber < 1) {
        contents.problems << QString("no geometry to read with");
        return contents;
    }
    const QByteArray head = device.peek(endMarkerOffset + 16);
    contents.layout = detectLayout(head, device.size());
    switch (contents.layout) {
    case Layout::Download:
        readDownload(device, options, contents);
        break;
    case Layout::ReadBack:
        readReadBack(device, options, contents);
        break;
    case Layout::Unknown:
        contents.problems << QString("the file is %1 bytes long, too short for an effect file")
                                 .arg(device.size());
        break;
    }
    return contents;
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
