#include "gifwriter.h"

#include <QHash>
#include <QIODevice>

#include <unordered_map>

namespace {

constexpr int maxCodes = 4096; // 12-bit codes

void putWord(QByteArray& out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

// Packs variable-width codes least significant bit first, as GIF readers expect.
class CodePacker
{
public:
    explicit CodePacker(QByteArray& target) : out(target) {}
    void put(int code, int width)
    {
        bits |= quint32(code) << count;
        count += width;
        while (count >= 8) {
            out.append(char(bits & 0xff));
            bits >>= 8;
            count -= 8;
        }
    }
    void flush()
    {
        if (count > 0)
            out.append(char(bits & 0xff));
        bits = 0;
        count = 0;
    }

private:
    QByteArray& out;
    quint32 bits = 0;
    int count = 0;
};

// The frame's palette: exact RGB colours in order of first appearance, plus one
// transparent entry at the end when any pixel is transparent.
struct Palette
{
    QList<QRgb> colours;
    QHash<QRgb, int> indexOf;
    bool hasTransparency = false;
    int transparentIndex() const { return int(colours.size()); }
    int entries() const { return int(colours.size()) + (hasTransparency ? 1 : 0); }
};

bool isTransparent(QRgb pixel) { return qAlpha(pixel) < 128; }

// Bits of the colour table: its size is 2^bits entries, at least 2.
int tableBits(int entries)
{
    int bits = 1;
    while ((1 << bits) < entries)
        ++bits;
    return bits;
}

} // namespace

QByteArray GifWriter::lzwCompress(const QByteArray& indices, int minCodeSize)
{
    QByteArray out;
    CodePacker packer(out);
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    int codeSize = minCodeSize + 1;
    int nextCode = endCode + 1;
    std::unordered_map<quint32, int> dictionary;

    // The reader adds its table entry one code later than the writer, so the width
    // grows once the code to be added next no longer fits, checked before adding it.
    auto putCode = [&](int code) {
        packer.put(code, codeSize);
        if (nextCode >= (1 << codeSize) && codeSize < 12)
            ++codeSize;
    };

    putCode(clearCode);
    if (indices.isEmpty()) {
        putCode(endCode);
        packer.flush();
        return out;
    }
    int prefix = quint8(indices.at(0));
    for (qsizetype i = 1; i < indices.size(); ++i) {
        const int k = quint8(indices.at(i));
        const quint32 key = (quint32(prefix) << 8) | quint32(k);
        const auto found = dictionary.find(key);
        if (found != dictionary.end()) {
            prefix = found->second;
            continue;
        }
        putCode(prefix);
        prefix = k;
        if (nextCode >= maxCodes - 1) {
            putCode(clearCode);
            dictionary.clear();
            codeSize = minCodeSize + 1;
            nextCode = endCode + 1;
        } else {
            dictionary.emplace(key, nextCode++);
        }
    }
    putCode(prefix);
    putCode(endCode);
    packer.flush();
    return out;
}

GifWriter::Status GifWriter::write(QIODevice& device, const QList<GifFrame>& frames, int loopCount)
{
    if (frames.isEmpty())
        return Status::NoFrames;
    const QSize size = frames.first().image.size();
    QList<QImage> pictures;
    for (const GifFrame& frame : frames) {
        if (frame.image.isNull())
            return Status::NullFrame;
        if (frame.image.size() != size)
            return Status::SizeMismatch;
        pictures.append(frame.image.convertToFormat(QImage::Format_ARGB32));
    }
    if (size.width() > 0xffff || size.height() > 0xffff)
        return Status::TooLarge;

    Palette palette;
    for (const QImage& picture : pictures) {
        for (int y = 0; y < picture.height(); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                if (isTransparent(line[x])) {
                    palette.hasTransparency = true;
                    continue;
                }
                const QRgb colour = line[x] | 0xff000000u;
                if (!palette.indexOf.contains(colour)) {
                    palette.indexOf.insert(colour, int(palette.colours.size()));
                    palette.colours.append(colour);
                }
            }
        }
        if (palette.entries() > 256)
            return Status::TooManyColours;
    }

    const int bits = tableBits(palette.entries());
    const int minCodeSize = qMax(2, bits);
    QByteArray out("GIF89a");
    putWord(out, size.width());
    putWord(out, size.height());
    out.append(char(0x80 | ((bits - 1) << 4) | (bits - 1))); // global table, its size
    out.append(char(palette.hasTransparency ? palette.transparentIndex() : 0)); // background
    out.append(char(0)); // square pixels
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb colour = i < palette.colours.size() ? palette.colours.at(i) : 0;
        out.append(char(qRed(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qBlue(colour)));
    }

    out.append("\x21\xff\x0b" "NETSCAPE2.0" "\x03\x01", 16);
    putWord(out, qBound(0, loopCount, 0xffff));
    out.append(char(0));

    // Every frame covers the whole picture. With transparency each one is cleared
    // before the next, so its transparent pixels do not show the frame before it.
    const int disposal = palette.hasTransparency ? 2 : 1;
    for (qsizetype f = 0; f < frames.size(); ++f) {
        const QImage& picture = pictures.at(f);
        out.append("\x21\xf9\x04", 3);
        out.append(char((disposal << 2) | (palette.hasTransparency ? 1 : 0)));
        putWord(out, qBound(0, (frames.at(f).delayMs + 5) / 10, 0xffff));
        out.append(char(palette.hasTransparency ? palette.transparentIndex() : 0));
        out.append(char(0));

        out.append(char(0x2c));
        putWord(out, 0);
        putWord(out, 0);
        putWord(out, size.width());
        putWord(out, size.height());
        out.append(char(0)); // no local table, not interlaced

        QByteArray indices;
        indices.reserve(qsizetype(size.width()) * size.height());
        for (int y = 0; y < picture.height(); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                indices.append(char(isTransparent(line[x])
                                        ? palette.transparentIndex()
                                        : palette.indexOf.value(line[x] | 0xff000000u)));
            }
        }
        const QByteArray codes = lzwCompress(indices, minCodeSize);
        out.append(char(minCodeSize));
        for (qsizetype at = 0; at < codes.size(); at += 255) {
            const qsizetype length = qMin<qsizetype>(255, codes.size() - at);
            out.append(char(length));
            out.append(codes.constData() + at, length);
        }
        out.append(char(0));
    }
    out.append(char(0x3b));

    if (!device.isWritable() || device.write(out) != out.size())
        return Status::WriteFailed;
    return Status::Ok;
}

QString GifWriter::statusText(Status status)
{
    switch (status) {
    case Status::Ok:
        return QStringLiteral("written");
    case Status::NoFrames:
        return QStringLiteral("an animation needs at least one frame");
    case Status::NullFrame:
        return QStringLiteral("a frame has no picture");
    case Status::SizeMismatch:
        return QStringLiteral("the frames differ in size; every frame must have the size of the first");
    case Status::TooLarge:
        return QStringLiteral("the picture is larger than 65535 pixels on a side");
    case Status::TooManyColours:
        return QStringLiteral("the frames hold more colours than a GIF palette (256 entries, "
                              "one of them for transparency); reduce the colours first");
    case Status::WriteFailed:
        return QStringLiteral("the file could not be written");
    }
    return QString();
}
