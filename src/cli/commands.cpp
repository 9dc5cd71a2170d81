#include "commands.h"

#include "cliarguments.h"
#include "convert/polarconversion.h"

#include <QIODevice>


namespace {
const char* const polarUsage =
    "Usage: gyrolume-cli polar INPUT OUTPUT [--leds N] [--lines N] [--preview PNG]\n"
    "\n"
    "Converts the picture INPUT (PNG or JPG) as the playlist converts it and writes its\n"
    "polar buffer, byte for byte as the program stores it, to OUTPUT.\n"
    "\n"
    "  --leds N      LEDs on the blade, 1 to 500 (default 112)\n"
    "  --lines N     lines per turn, 1 to 600 (default 450)\n"
    "  --preview PNG also write the 450 x 450 preview picture\n";
}

int runPolar(const QStringList& arguments)
{
    CliArguments args(arguments, polarUsage,
                      {QStringLiteral("--leds"), QStringLiteral("--lines"), QStringLiteral("--preview")});
    const Geometry geometry = args.geometry();
    const QString previewPath = args.value(QStringLiteral("--preview"));
    const QStringList files = args.positional();
    if (args.helpRequested())
        return args.printHelp();
    if (!args.ok() || files.size() != 2)
        return args.usageError(files.size() != 2 ? "polar takes INPUT and OUTPUT" : nullptr);

    QImage picture;
    if (!loadPicture(files[0], picture))
        return ExitFailure;
    const Polar::Result result = Polar::resample(picture, geometry.ledCount, geometry.lineNumber);
    QList<OutputFile> outputs{{outputPath(files[1]), [&](QIODevice& file) { return file.write(result.buffer) == result.buffer.size(); }}};
    if (!previewPath.isEmpty())
        outputs.append({outputPath(previewPath), [&](QIODevice& file) { return result.preview.save(&file, "PNG"); }});
    return writeFilesTogether(outputs) ? ExitOk : ExitFailure;
}
