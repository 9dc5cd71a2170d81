#include "readbackobjects.h"

#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "convert/polarrender.h"

#include <QFile>

void ReadBackObjects::deleteAll()
{
    qDeleteAll(pictures);
    qDeleteAll(clips);
    pictures.clear();
    clips.clear();
}

QImage renderRecord(const QByteArray& record, EffectFile::RecordForm form, int ledCount, int lineNumber)
{
    const QVector<QRgb> colours = form == EffectFile::RecordForm::RawFrame
                                      ? Polar::rawFrameColours(record, ledCount, lineNumber)
                                      : Polar::bitPlaneColours(record, ledCount, lineNumber);
    return Polar::renderDots(colours, ledCount, lineNumber);
}

namespace {

ImageObject* makeObject(int number, double showTime, int kind, const QByteArray& record,
                        EffectFile::RecordForm form, const EffectFile::ReadOptions& options)
{
    auto* object = new ImageObject(number, QString(), showTime, kind);
    object->polarBuffer = record;  // kept in memory, never flushed
    const QImage preview = renderRecord(record, form, options.ledCount, options.lineNumber);
    object->savePreview(preview);
    object->saveThumbnail(preview.scaled(60, 60, Qt::KeepAspectRatio, Qt::FastTransformation));
    return object;
}

} // namespace

void makeReadBackObjects(const EffectFile::Contents& contents, const EffectFile::ReadOptions& options,
                         ReadBackObjects& out)
{
    const int total = contents.recordCount();
    int done = 0;
    auto running = [&] { return !options.running || options.running(); };
    auto step = [&] {
        if (options.progress)
            options.progress(++done, total);
    };

    for (int i = 0; i < contents.pictures.size() && running(); ++i) {
        const EffectFile::Picture& picture = contents.pictures.at(i);
        out.pictures.append(makeObject(i + 1, picture.showTime, ImageObject::ReadBackPictureKind,
                                       picture.record, contents.form, options));
        step();
    }
    for (const EffectFile::Clip& source : contents.clips) {
        if (!running())
            break;
        auto* clip = new MediaObject(source.number, QString());
        clip->loopCount = source.loopCount;
        for (int m = 0; m < source.frames.size() && running(); ++m) {
            clip->frames.append(makeObject(m + 1, 0.2, ImageObject::ReadBackFrameKind,
                                           source.frames.at(m), contents.form, options));
            step();
        }
        // A clip cut short by a cancel is dropped with its frames, as the reader drops it.
        if (clip->frames.isEmpty() || !running())
            delete clip;
        else
            out.clips.append(clip);
    }
}

ReadBackResult readEffectFile(const QString& path, const EffectFile::ReadOptions& options,
                              ReadBackObjects& out)
{
    ReadBackResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.errorText = file.errorString();
        return result;
    }
    result.opened = true;

    // Progress counts the file's records; reading them is the first half of each, drawing
    // the second.
    EffectFile::ReadOptions reading = options;
    EffectFile::ReadOptions drawing = options;
    if (options.progress) {
        reading.progress = [&](int done, int total) { options.progress(done / 2, total); };
        drawing.progress = [&](int done, int total) { options.progress((total + done) / 2, total); };
    }
    const EffectFile::Contents contents = EffectFile::read(file, reading);
    result.problems = contents.problems;
    if (!contents.cancelled)
        makeReadBackObjects(contents, drawing, out);
    return result;
}
