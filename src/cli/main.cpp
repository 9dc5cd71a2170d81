#include "app/memorytuning.h"
#include "commands.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTextStream>

#include <cstdio>

namespace {
const char* const toolUsage =
    "Usage: gyrolume-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  polar INPUT OUTPUT [--leds N] [--lines N] [--preview PNG]\n"
    "      Convert one picture into the display's polar buffer.\n"
    "\n"
    "Run 'gyrolume-cli COMMAND --help' for a command's options.\n";
}

int main(int argc, char* argv[])
{
    keepLargeAllocations();
    QCoreApplication app(argc, argv);
    // The core's diagnostics are for the window's developers; the tool speaks on stderr itself.
    if (qEnvironmentVariableIsEmpty("GYROLUME_DEBUG"))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        std::fputs(toolUsage, stderr);
        return ExitUsage;
    }
    const QString command = arguments.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs(toolUsage, stdout);
        return ExitOk;
    }
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
