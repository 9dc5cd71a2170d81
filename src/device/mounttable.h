#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One line of the kernel's mount table (/proc/self/mountinfo): where a file system is
// mounted, its type, what it was mounted from and the device number it answers to.
struct MountEntry
{
    QString mountPoint;   // decoded: "\040" in the table is a space here
    QString fsType;       // "vfat", "exfat", "fuseblk", ...
    QString source;       // "/dev/sdb1", or whatever the mounter gave
    int major = 0;        // st_dev of the mount; 0 for FUSE and other anonymous devices
    int minor = 0;
};

namespace MountTable {

// Undoes the kernel's octal escapes ("\040" space, "\011" tab, "\012" newline, "\134"
// backslash) and reads the bytes as UTF-8.
QString decodeField(const QByteArray& field);

// Parses the whole table; malformed lines are skipped.
QList<MountEntry> parse(const QByteArray& mountinfo);

} // namespace MountTable
