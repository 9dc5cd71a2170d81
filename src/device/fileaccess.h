#pragma once

#include <QString>

class QIODevice;

// Plain answers about files for messages: why a path cannot be read as a regular file,
// and one English sentence that names a file and what went wrong with it.
namespace FileAccess {

// Empty when `path` names a regular file (after following symbolic links); otherwise the
// system's reason: "no such file or directory", "it is a directory", "it is a named pipe
// (FIFO), not a regular file", "too many levels of symbolic links", ...
// Looks without opening, so a FIFO or a device never blocks the caller.
QString regularFileProblem(const QString& path);

// The system's text for an errno value, starting in lower case ("no space left on device").
QString systemReason(int error);

// Why a write to `device` failed: its own error when it has one, else the system's
// reason in `error` (errno right after the write; a short write on a full drive sets no
// error on a Qt file device), else that the data was cut short.
QString writeFailureReason(const QIODevice& device, int error);

// "Cannot <action> <path>: <reason>." as one sentence; `reason` may be empty.
QString failureSentence(const QString& action, const QString& path, const QString& reason);

} // namespace FileAccess
