// libFuzzer target over the effect file reader: the first two bytes pick a small geometry,
// the rest is the file. Every picture read is drawn as well, to reach the bit-plane decoder
// with records of any length.
#include "device/effectfilereader.h"
#include "device/readbackobjects.h"

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
    const EffectFile::Contents contents = EffectFile::read(device, options);
    if (!contents.pictures.isEmpty())
        renderRecord(contents.pictures.first().record, contents.form, options.ledCount, options.lineNumber);
    for (const EffectFile::Clip& clip : contents.clips)
        if (!clip.frames.isEmpty())
            renderRecord(clip.frames.first(), contents.form, options.ledCount, options.lineNumber);
    return 0;
}
