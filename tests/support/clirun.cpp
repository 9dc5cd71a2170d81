#include "clirun.h"

#include <QProcess>

CliRun runCli(const QStringList& arguments)
{
    QProcess process;
    process.start(qEnvironmentVariable("GYROLUME_CLI"), arguments);
    process.waitForFinished(300000);
    return {process.exitCode(), process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}
