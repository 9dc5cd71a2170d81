#pragma once

#include <QString>

class QFileDevice;

// A file that grows under a temporary name ("show.bin.Ab12Cd", as QSaveFile makes it on
// drives such as FAT) until it is complete. While a PartialFile lives:
// - the temporary file is locked, so another program can tell that its writer still runs;
// - its name is known to removeOnSignal(), so Ctrl-C or TERM does not leave it behind.
// A file a killed writer left is found and removed by removeAbandonedBeside().
class PartialFile
{
public:
    // `file` is open for writing; an unnamed temporary file (O_TMPFILE) needs nothing.
    explicit PartialFile(const QFileDevice& file);
    ~PartialFile();
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    // Removes, beside `path`, the temporary files of effect files whose writer is gone:
    // named "<name of path>.XXXXXX" or "*.bin.XXXXXX", empty or starting with the effect
    // file's magic, and locked by nobody. Returns how many went.
    static int removeAbandonedBeside(const QString& path);

    // From now on SIGINT, SIGTERM and SIGHUP remove every live partial file and then end
    // the process as the signal would have.
    static void removeOnSignal();

private:
    int m_slot = -1;
};
