#include "app/memorytuning.h"
#include "commands.h"
#include "device/partialfile.h"
#include "systemnames.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTranslator>

#include <cstdio>
#include <new>

namespace {
const char* const toolUsage =
    "Usage: gyrolume-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  polar INPUT OUTPUT [--leds N] [--lines N] [--preview PNG]\n"
    "      Convert one picture into the display's polar buffer.\n"
    "  build OUTPUT ITEM...\n"
    "      Write an effect file from pictures, GIF clips and video spans.\n"
    "  info FILE\n"
    "      Tell what an effect file holds.\n"
    "  render FILE OUTDIR\n"
    "      Draw every picture of an effect file.\n"
    "\n"
    "Run 'gyrolume-cli COMMAND --help' for a command's options; '--' ends the options.\n";

int runCommand(const QString& command, const QStringList& arguments)
{
    if (command == QLatin1String("polar"))
        return runPolar(arguments);
    if (command == QLatin1String("build"))
        return runBuild(arguments);
    if (command == QLatin1String("info"))
        return runInfo(arguments);
    if (command == QLatin1String("render"))
        return runRender(arguments);
    std::fprintf(stderr, "gyrolume-cli: unknown command '%s'\n\n%s", qPrintable(command), toolUsage);
    return ExitUsage;
}
} // namespace

int main(int argc, char* argv[])
{
    keepLargeAllocations();
    QCoreApplication app(argc, argv);
    // The core's diagnostics are for the window's developers; the tool speaks on stderr itself.
    if (qEnvironmentVariableIsEmpty("GYROLUME_DEBUG"))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    // The core's messages (a download's failure) are table keys: the tool speaks English.
    QTranslator english;
    if (english.load(QStringLiteral(":/ts/translate_en_US.qm")))
        QCoreApplication::installTranslator(&english);
    PartialFile::removeOnSignal();

    QStringList arguments = systemArguments(argc, argv);
    if (arguments.isEmpty()) {
        std::fputs(toolUsage, stderr);
        return ExitUsage;
    }
    const QString command = arguments.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs(toolUsage, stdout);
        return ExitOk;
    }
    int status = ExitFailure;
    try {
        status = runCommand(command, arguments);
    } catch (const std::bad_alloc&) {
        printError(QStringLiteral("Cannot finish '%1': the system has no memory left for it; nothing was written.")
                       .arg(command));
        status = ExitFailure;
    }
    if (!finishAliasedOutputs(status == ExitOk))
        status = ExitFailure;
    return status;
}
