#include "commands.h"

#include "cliarguments.h"
#include "device/effectfilereader.h"
#include "device/fileaccess.h"
#include "device/readbackobjects.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cerrno>
#include <cstdio>

namespace {

const char* const infoUsage =
    "Usage: gyrolume-cli info FILE [--leds N] [--lines N] [--json]\n"
    "\n"
    "Tells what an effect file holds, in the download layout or the read-back layout:\n"
    "its pictures with their show times, its clips with their frames and loop counts, the\n"
    "size of its records, and whatever does not add up. Neither layout records the blade,\n"
    "so give the geometry the file was made for.\n"
    "\n"
    "  --leds N   LEDs on the blade, 1 to 500 (default 112)\n"
    "  --lines N  lines per turn, 1 to 600 (default 450)\n"
    "  --json     print one JSON object instead of text\n";

const char* const renderUsage =
    "Usage: gyrolume-cli render FILE OUTDIR [--leds N] [--lines N]\n"
    "\n"
    "Draws every picture and clip frame of an effect file as the program's round preview\n"
    "draws it: OUTDIR/picture-001.png, ..., OUTDIR/clip-1-frame-001.png, ...\n"
    "\n"
    "  --leds N   LEDs on the blade, 1 to 500 (default 112)\n"
    "  --lines N  lines per turn, 1 to 600 (default 450)\n";

// The layout only: records are read one at a time when they are drawn.
bool readContents(QFile& file, const Geometry& geometry, EffectFile::Contents& contents)
{
    const QString path = file.fileName();
    if (!checkInputFile(path, QStringLiteral("read the effect file")))
        return false;
    if (!file.open(QIODevice::ReadOnly)) {
        reportFailure(QStringLiteral("read the effect file"), path, file.errorString());
        return false;
    }
    EffectFile::ReadOptions options;
    options.ledCount = geometry.ledCount;
    options.lineNumber = geometry.lineNumber;
    contents = EffectFile::readLayout(file, options);
    if (contents.layout == EffectFile::Layout::Unknown) {
        reportFailure(QStringLiteral("read the effect file"), path,
                      QStringLiteral("it is not an effect file (%1)").arg(contents.problems.join(QStringLiteral("; "))));
        return false;
    }
    return true;
}

QJsonObject describe(const EffectFile::Contents& contents, const Geometry& geometry)
{
    QJsonArray pictures;
    for (const EffectFile::Picture& picture : contents.pictures)
        pictures.append(QJsonObject{{"showTime", picture.showTime}, {"timeByte", picture.timeByte}});
    QJsonArray clips;
    for (const EffectFile::Clip& clip : contents.clips)
        clips.append(QJsonObject{{"number", clip.number},
                                 {"frames", clip.frames},
                                 {"declaredFrames", clip.declaredFrames},
                                 {"loopCount", clip.loopCount}});
    return QJsonObject{
        {"layout", EffectFile::layoutName(contents.layout)},
        {"ledCount", geometry.ledCount},
        {"lineNumber", geometry.lineNumber},
        {"recordSize", contents.recordSize},
        {"recordForm", contents.form == EffectFile::RecordForm::RawFrame ? "raw" : "bitplanes"},
        {"pictures", pictures},
        {"clips", clips},
        {"problems", QJsonArray::fromStringList(contents.problems)},
    };
}

void printText(const QString& path, const EffectFile::Contents& contents, const Geometry& geometry)
{
    QTextStream out(stdout);
    out << path << ": " << EffectFile::layoutName(contents.layout) << " layout, read as "
        << geometry.ledCount << " LEDs x " << geometry.lineNumber << " lines, records of "
        << contents.recordSize << " bytes ("
        << (contents.form == EffectFile::RecordForm::RawFrame ? "raw frames" : "bit planes") << ")\n";
    out << "pictures: " << contents.pictures.size() << '\n';
    for (int i = 0; i < contents.pictures.size(); ++i)
        out << "  " << i + 1 << ": " << QString::number(contents.pictures[i].showTime, 'f', 1) << " s\n";
    out << "clips: " << contents.clips.size() << '\n';
    for (const EffectFile::Clip& clip : contents.clips) {
        out << "  " << clip.number << ": " << clip.frames << " frames";
        if (clip.frames != clip.declaredFrames)
            out << " of " << clip.declaredFrames;
        out << ", loop count " << clip.loopCount << '\n';
    }
    out << "problems: " << (contents.problems.isEmpty() ? QStringLiteral("none") : QString()) << '\n';
    for (const QString& problem : contents.problems)
        out << "  " << problem << '\n';
}

} // namespace

int runInfo(const QStringList& arguments)
{
    CliArguments args(arguments, infoUsage, {QStringLiteral("--leds"), QStringLiteral("--lines")},
                      {QStringLiteral("--json")});
    const Geometry geometry = args.geometry();
    const QStringList files = args.positional();
    if (args.helpRequested())
        return args.printHelp();
    if (!args.ok() || files.size() != 1)
        return args.usageError(files.size() != 1 ? "info takes one FILE" : nullptr);

    QFile file(files[0]);
    EffectFile::Contents contents;
    if (!readContents(file, geometry, contents))
        return ExitFailure;
    if (args.flag(QStringLiteral("--json"))) {
        QJsonObject description = describe(contents, geometry);
        description.insert("file", files[0]);
        std::fputs(QJsonDocument(description).toJson(QJsonDocument::Indented).constData(), stdout);
    } else {
        printText(files[0], contents, geometry);
    }
    return ExitOk;
}

int runRender(const QStringList& arguments)
{
    CliArguments args(arguments, renderUsage, {QStringLiteral("--leds"), QStringLiteral("--lines")});
    const Geometry geometry = args.geometry();
    const QStringList files = args.positional();
    if (args.helpRequested())
        return args.printHelp();
    if (!args.ok() || files.size() != 2)
        return args.usageError(files.size() != 2 ? "render takes FILE and OUTDIR" : nullptr);

    QFile file(files[0]);
    EffectFile::Contents contents;
    if (!readContents(file, geometry, contents))
        return ExitFailure;
    const QDir outDir(files[1]);
    errno = 0;
    if (!QDir().mkpath(outDir.path())) {
        reportFailure(QStringLiteral("create the directory"), outDir.path(),
                      errno ? FileAccess::systemReason(errno) : QString());
        return ExitFailure;
    }
    const int total = contents.recordCount();
    const auto progress = terminalProgress("drawing picture");
    int done = 0;
    auto draw = [&](qint64 offset, const QString& name) {
        const QByteArray record = EffectFile::readRecord(file, contents, offset);
        if (record.isNull()) {
            reportFailure(files[0], QStringLiteral("cannot read the record for ") + name + QStringLiteral(": ")
                                        + EffectFile::recordReadFailure(file));
            return false;
        }
        const QImage picture = renderRecord(record, contents.form, geometry.ledCount, geometry.lineNumber);
        if (!savePictureAtomically(outDir.filePath(name), picture))
            return false;
        if (progress)
            progress(++done, total);
        return true;
    };
    for (int i = 0; i < contents.pictures.size(); ++i)
        if (!draw(contents.pictures[i].offset, QString("picture-%1.png").arg(i + 1, 3, 10, QChar('0'))))
            return ExitFailure;
    for (const EffectFile::Clip& clip : contents.clips)
        for (int m = 0; m < clip.frames; ++m)
            if (!draw(contents.frameOffset(clip, m), QString("clip-%1-frame-%2.png").arg(clip.number).arg(m + 1, 3, 10, QChar('0'))))
                return ExitFailure;
    for (const QString& problem : contents.problems)
        reportFailure(files[0], problem);
    return ExitOk;
}
