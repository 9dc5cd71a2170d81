#pragma once

#include <QString>
#include <QStringList>

// File names exactly as the system gives them. Qt holds names as UTF-8 text, so a name
// that is not UTF-8 ("caf\xe9.png" from a Latin-1 disk) cannot be opened under its own
// name; each such argument is replaced by an alias that reaches the same file:
// - an existing file or directory: "/proc/self/fd/N", N an O_PATH descriptor of it;
// - a name still to be written: a UTF-8 name in the same directory (reached through a
//   descriptor of the directory), renamed to the real name once the command succeeds.
// Messages show the real bytes again (printError).

// The command-line arguments, after the program name, with such aliases.
QStringList systemArguments(int argc, char* argv[]);

// The path to write a file given on the command line to: the argument itself, or for
// an existing file whose name is not UTF-8 an alias that replaces it when done.
QString outputPath(const QString& path);

// "gyrolume-cli: <sentence>" on standard error, every alias replaced by its real name.
void printError(const QString& sentence);

// Gives the files written under alias names their real names (when the command
// succeeded) or removes them (when it failed). Returns false when a rename fails.
bool finishAliasedOutputs(bool succeeded);
