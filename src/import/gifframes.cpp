#include "gifframes.h"

#include "convert/mediaobject.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <utility>

namespace {

// Skips a chain of data sub-blocks (a length byte, that many bytes; a zero length ends it).
bool skipSubBlocks(QIODevice& device)
{
    for (;;) {
        char length = 0;
        if (!device.getChar(&length))
            return false;
        const int size = uchar(length);
        if (size == 0)
            return true;
        if (device.skip(size) != size)
            return false;
    }
}

bool skipColourTable(QIODevice& device, uchar flags)
{
    if (!(flags & 0x80))
        return true;
    const int size = 3 * (1 << ((flags & 7) + 1));
    return device.skip(size) == size;
}

} // namespace

GifLayout scanGifLayout(QIODevice& device)
{
    GifLayout layout;
    const QByteArray header = device.read(13);
    if (header.size() < 6 || (!header.startsWith("GIF87a") && !header.startsWith("GIF89a"))) {
        layout.problem = GifLayout::Problem::NotAGif;
        return layout;
    }
    layout.problem = GifLayout::Problem::CutShort;
    if (header.size() < 13)
        return layout;
    layout.screenSize = QSize(uchar(header[6]) | uchar(header[7]) << 8, uchar(header[8]) | uchar(header[9]) << 8);
    if (!skipColourTable(device, uchar(header[10])))
        return layout;
    int delayMs = 0;
    for (;;) {
        char kind = 0;
        if (!device.getChar(&kind))
            return layout;
        switch (uchar(kind)) {
        case 0x21: {  // extension: its label, then its data
            char label = 0;
            if (!device.getChar(&label))
                return layout;
            if (uchar(label) == 0xf9) {  // graphic control: the delay of the frame that follows
                char length = 0;
                if (!device.getChar(&length))
                    return layout;
                const QByteArray control = device.read(uchar(length));
                if (control.size() != uchar(length))
                    return layout;
                if (control.size() >= 3)
                    delayMs = (uchar(control[1]) | uchar(control[2]) << 8) * 10;
                if (length == 0)
                    break;  // that empty block ended the extension
            }
            if (!skipSubBlocks(device))
                return layout;
            break;
        }
        case 0x2c: {  // a frame: descriptor, colours, LZW code size, pixel data
            const QByteArray descriptor = device.read(9);
            if (descriptor.size() < 9 || !skipColourTable(device, uchar(descriptor[8])) || device.skip(1) != 1
                || !skipSubBlocks(device))
                return layout;
            ++layout.frameCount;
            layout.delaysMs.append(std::exchange(delayMs, 0));
            break;
        }
        case 0x3b:  // the end marker; anything after it is not part of the picture
            layout.problem = GifLayout::Problem::None;
            return layout;
        default:
            layout.problem = GifLayout::Problem::Damaged;
            return layout;
        }
    }
}

QVector<int> keptTimingRecords(const QVector<int>& delaysMs)
{
    QVector<int> records(delaysMs.size(), 0);
    qint64 elapsedMs = 0;
    qint64 recordsSoFar = 0;
    for (qsizetype k = 0; k < delaysMs.size(); ++k) {
        elapsedMs += delaysMs[k] <= 10 ? 100 : delaysMs[k];
        const qint64 end = (elapsedMs + MediaObject::recordMs / 2) / MediaObject::recordMs;
        records[k] = int(end - recordsSoFar);
        recordsSoFar = end;
    }
    if (recordsSoFar == 0 && !records.isEmpty())
        records[0] = 1;
    return records;
}

GifFrameReader::GifFrameReader(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        m_failure = Failure::Missing;
        return;
    }
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        m_failure = Failure::CannotOpen;
        m_detail = info.isFile() ? file.errorString() : QStringLiteral("not a regular file");
        return;
    }
    m_layout = scanGifLayout(file);
    switch (m_layout.problem) {
    case GifLayout::Problem::NotAGif:
        m_failure = Failure::NotAGif;
        return;
    case GifLayout::Problem::CutShort:
        m_failure = Failure::CutShort;
        m_failedFrame = m_layout.frameCount;
        return;
    case GifLayout::Problem::Damaged:
        m_failure = Failure::Damaged;
        m_failedFrame = m_layout.frameCount;
        return;
    case GifLayout::Problem::None:
        break;
    }
    if (m_layout.frameCount == 0) {
        m_failure = Failure::NoFrames;
        return;
    }
    m_reader = std::make_unique<QImageReader>(path, "gif");
}

GifFrameReader::~GifFrameReader() = default;

QImage GifFrameReader::readFrame()
{
    if (!ok() || atEnd())
        return QImage();
    QImage frame;
    if (!m_reader->read(&frame) || frame.isNull()) {
        m_failure = Failure::FrameUndecodable;
        m_failedFrame = m_nextFrame;
        const qint64 megabytes = qint64(frameSize().width()) * frameSize().height() * 4 / (1024 * 1024);
        m_detail = megabytes > m_reader->allocationLimit()
                       ? QStringLiteral("a frame of %1 x %2 is too large to decode")
                             .arg(frameSize().width()).arg(frameSize().height())
                       : m_reader->errorString();
        m_reader.reset();  // its frame and state go at once
        return QImage();
    }
    ++m_nextFrame;
    return frame;
}

QString GifFrameReader::errorString() const
{
    const QString frame = QString::number(m_failedFrame + 1);
    switch (m_failure) {
    case Failure::None:
        return QString();
    case Failure::Missing:
        return QStringLiteral("the file does not exist");
    case Failure::CannotOpen:
        return QStringLiteral("cannot open the file (%1)").arg(m_detail);
    case Failure::NotAGif:
        return QStringLiteral("the file is not a GIF picture");
    case Failure::NoFrames:
        return QStringLiteral("the GIF file holds no frames");
    case Failure::CutShort:
        return QStringLiteral("the file ends before frame %1 is complete: it is cut short").arg(frame);
    case Failure::Damaged:
        return QStringLiteral("the file is damaged where frame %1 should begin").arg(frame);
    case Failure::FrameUndecodable:
        return QStringLiteral("frame %1 of %2 does not decode (%3)").arg(frame).arg(frameCount()).arg(m_detail);
    }
    return QString();
}
