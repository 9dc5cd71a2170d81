#pragma once

#include <QString>

// How a download ended. `path` is the effect file; the other fields say what failed,
// for the message downloadMessage() builds (and for tests to assert the reason).
struct DownloadStatus
{
    enum Code {
        Ok = 0,
        Cancelled,          // the job was stopped (its owner went away); nothing changed
        NotEnoughSpace,     // checked before writing: `needed` and `available` bytes
        OpenFailed,         // the file (or its temporary file beside it) cannot be created
        WriteFailed,        // a write failed part way (drive removed, disk full)
        PictureUnreadable,  // a picture's buffer is empty or its file cannot be read
        CommitFailed,       // the finished file could not replace the old one
        SyncFailed,         // written, but the drive did not confirm it had stored it
    };

    Code code = Ok;
    QString path;
    QString error;        // the system's reason, when there is one
    int picture = 0;      // PictureUnreadable: the still picture's row (1-based), or 0
    int clip = 0;         // ... or the clip's row and the frame in it (1-based)
    int frame = 0;
    qint64 needed = 0;    // NotEnoughSpace
    qint64 available = 0;

    bool ok() const { return code == Ok; }
};

// The text to show the user for a status, in the current language: "Download success: %1"
// for Ok, otherwise what failed, where, and what to do.
QString downloadMessage(const DownloadStatus& status);
