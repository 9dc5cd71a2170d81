#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class QProcess;

// One run of gyrolume-cli (its path comes from CTest in GYROLUME_CLI).
struct CliRun
{
    int status;
    QByteArray output;
    QString errors;
    QByteArray errorBytes;  // as written, for names that are not UTF-8
};

// `setUp` may change the process before it starts (environment, limits, another program).
CliRun runCli(const QStringList& arguments, const std::function<void(QProcess&)>& setUp = {});
