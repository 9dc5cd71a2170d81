#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

#include "systemnames.h"

class QByteArray;
class QImage;
class QIODevice;

struct Geometry
{
    int ledCount;
    int lineNumber;
};

// The arguments of one command: options that take a value ("--leds 36"), flags
// ("--json"), and the rest as positional arguments, in their order. Anything that does
// not parse is remembered and reported by usageError().
class CliArguments
{
public:
    CliArguments(const QStringList& arguments, const char* usage,
                 const QStringList& valueOptions, const QStringList& flags = {});

    bool ok() const { return m_error.isEmpty(); }
    bool helpRequested() const { return m_help; }
    bool flag(const QString& name) const { return m_flags.contains(name); }
    QString value(const QString& name) const;  // the last value given, or empty
    QStringList positional() const { return m_positional; }
    // Every option value and positional argument in command-line order; positional
    // arguments carry an empty option name.
    const QList<QPair<QString, QString>>& ordered() const { return m_ordered; }

    // --leds and --lines, checked against what the display supports.
    Geometry geometry();
    // Parses a whole number in [minimum, maximum]; records an error naming `what` otherwise.
    int number(const QString& text, int minimum, int maximum, const QString& what);
    // Parses a decimal number in [minimum, maximum]; records an error otherwise.
    double decimal(const QString& text, double minimum, double maximum, const QString& what);
    void fail(const QString& message);

    int printHelp() const;  // the usage on standard output; ExitOk
    int usageError(const char* message = nullptr) const;  // the reason and usage on stderr; ExitUsage

private:
    const char* m_usage;
    QStringList m_positional;
    QStringList m_flags;
    QList<QPair<QString, QString>> m_ordered;
    QString m_error;
    bool m_help = false;
};

// Loading and writing files for the commands; each prints one sentence naming the file
// and the reason on standard error and returns false when it fails. Writers never leave
// a partial file. A picture decoded with errors loads, with a warning naming it.
bool loadPicture(const QString& path, QImage& picture);
// Several files that belong together: every one is written, or none is.
struct OutputFile
{
    QString path;
    std::function<bool(QIODevice&)> write;
};
bool writeFilesTogether(const QList<OutputFile>& outputs);
bool savePictureAtomically(const QString& path, const QImage& picture);
// "gyrolume-cli: Cannot <action> <path>: <reason>." (action such as "read the picture").
void reportFailure(const QString& action, const QString& path, const QString& reason);
// "gyrolume-cli: <path>: <reason>."
void reportFailure(const QString& path, const QString& reason);
// False, with the reason reported, unless `path` is a regular file (checked before any
// open, so a FIFO, a directory or a symbolic-link loop is refused for what it is).
bool checkInputFile(const QString& path, const QString& action);

// Progress "what N of M" on standard error when a person watches it (a terminal), else none.
std::function<void(int, int)> terminalProgress(const char* what);
