#include "readbackobjects.h"

#include "app/appsettings.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "convert/polarrender.h"

#include <QDir>
#include <QFile>

#include <utility>

void ReadBackObjects::deleteAll()
{
    qDeleteAll(pictures);
    qDeleteAll(clips);
    pictures.clear();
    clips.clear();
}

QImage renderRecord(const QByteArray& record, EffectFile::RecordForm form, int ledCount, int lineNumber)
{
    const QVector<QRgb> colours =
        form == EffectFile::RecordForm::RawFrame
            ? Polar::rawFrameColours(record, ledCount, lineNumber)
            : Polar::uncalibratedColours(Polar::bitPlaneColours(record, ledCount, lineNumber));
    return Polar::renderDots(colours, ledCount, lineNumber);
}

namespace {

class ObjectMaker
{
public:
    ObjectMaker(QFile& file, const EffectFile::Contents& contents, const EffectFile::ReadOptions& options,
                ReadBackResult& result)
        : file(file), contents(contents), options(options), result(result), total(contents.recordCount())
    {
    }

    bool running() const { return !failed && (!options.running || options.running()); }

    // The object of the record at `offset`, or null (and the reason in the problems) when
    // the record cannot be read or kept.
    ImageObject* make(qint64 offset, int number, double showTime, int kind, const QString& what)
    {
        QByteArray record = EffectFile::readRecord(file, contents, offset);
        if (record.isNull())
            return fail(QString("%1 cannot be read: %2").arg(what, EffectFile::recordReadFailure(file)));
        auto* object = new ImageObject(number, QString(), showTime, kind);
        const QImage preview = renderRecord(record, contents.form, options.ledCount, options.lineNumber);
        object->savePreview(preview);
        object->saveThumbnail(preview.scaled(60, 60, Qt::KeepAspectRatio, Qt::FastTransformation));
        object->polarBuffer = std::exchange(record, QByteArray());
        object->flushBuffer();
        if (!object->polarBuffer.isEmpty()) {
            delete object;
            return fail(QString("%1 cannot be kept: the temporary directory %2 cannot be written")
                            .arg(what, QDir::toNativeSeparators(AppSettings::tempDir())));
        }
        if (options.progress)
            options.progress(++done, total);
        return object;
    }

private:
    ImageObject* fail(const QString& problem)
    {
        result.problems << problem;
        result.incomplete = true;
        failed = true;
        return nullptr;
    }

    QFile& file;
    const EffectFile::Contents& contents;
    const EffectFile::ReadOptions& options;
    ReadBackResult& result;
    const int total;
    int done = 0;
    bool failed = false;
};

} // namespace

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
    const EffectFile::Contents contents = EffectFile::readLayout(file, options);
    result.layout = contents.layout;
    result.fileSize = contents.fileSize;
    result.incomplete = contents.truncated;
    result.trailingBytes = contents.trailingBytes;
    result.problems = contents.problems;

    ObjectMaker maker(file, contents, options, result);
    for (int i = 0; i < contents.pictures.size() && maker.running(); ++i) {
        const EffectFile::Picture& picture = contents.pictures.at(i);
        if (ImageObject* object = maker.make(picture.offset, i + 1, picture.showTime,
                                             ImageObject::ReadBackPictureKind, QString("picture %1").arg(i + 1)))
            out.pictures.append(object);
    }
    for (const EffectFile::Clip& source : contents.clips) {
        if (!maker.running())
            break;
        auto* clip = new MediaObject(int(out.clips.size()) + 1, QString());
        clip->loopCount = source.loopCount;
        for (int m = 0; m < source.frames && maker.running(); ++m) {
            const QString what = QString("frame %1 of clip %2").arg(m + 1).arg(clip->number);
            if (ImageObject* frame = maker.make(contents.frameOffset(source, m), m + 1, 0.2,
                                                ImageObject::ReadBackFrameKind, what))
                clip->frames.append(frame);
        }
        // A clip cut short by a cancel is dropped with its frames.
        if (clip->frames.isEmpty() || (options.running && !options.running()))
            delete clip;
        else
            out.clips.append(clip);
    }
    return result;
}
