// libFuzzer target over the effect file reader: the first two bytes pick a small geometry,
// the rest is the file. The first picture and the last frame of every clip are read and decoded to colours as
// well, to reach the decoders with records of any length.
#include "convert/polarrender.h"
#include "device/effectfilereader.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    EffectFile::ReadOptions options;
    options.ledCount = 1 + data[0] % 16;
    options.lineNumber = 1 + data[1] % 16;
    QBuffer device;
    device.setData(reinterpret_cast<const char*>(data + 2), int(size - 2));
    device.open(QIODevice::ReadOnly);
    const EffectFile::Contents contents = EffectFile::readLayout(device, options);
    auto decode = [&](qint64 offset) {
        const QByteArray record = EffectFile::readRecord(device, contents, offset);
        if (contents.form == EffectFile::RecordForm::RawFrame)
            Polar::rawFrameColours(record, options.ledCount, options.lineNumber);
        else
            Polar::bitPlaneColours(record, options.ledCount, options.lineNumber);
    };
    if (!contents.pictures.isEmpty())
        decode(contents.pictures.first().offset);
    for (const EffectFile::Clip& clip : contents.clips)
        if (clip.frames > 0)
            decode(contents.frameOffset(clip, clip.frames - 1));
    return 0;
}
