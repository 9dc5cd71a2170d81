#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One run of gyrolume-cli (its path comes from CTest in GYROLUME_CLI).
struct CliRun
{
    int status;
    QByteArray output;
    QString errors;
};

CliRun runCli(const QStringList& arguments);
