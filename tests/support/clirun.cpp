#include "clirun.h"

#include <QProcess>

CliRun runCli(const QStringList& arguments, const std::function<void(QProcess&)>& setUp)
{
    QProcess process;
    process.setProgram(qEnvironmentVariable("GYROLUME_CLI"));
    process.setArguments(arguments);
    if (setUp)
        setUp(process);
    process.start();
    process.waitForFinished(300000);
    const QByteArray errors = process.readAllStandardError();
    const int status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {status, process.readAllStandardOutput(), QString::fromUtf8(errors), errors};
}
