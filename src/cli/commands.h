#pragma once

#include <QStringList>

// Exit statuses of the command-line tool.
enum ExitStatus { ExitOk = 0, ExitFailure = 1, ExitUsage = 2 };

// One command of gyrolume-cli: its arguments after the command name.
int runPolar(const QStringList& arguments);
int runBuild(const QStringList& arguments);
int runInfo(const QStringList& arguments);
int runRender(const QStringList& arguments);
