#pragma once

#include <QString>

struct MountEntry;

// The udisks2 service on the system bus, where it runs: volume labels, and a safe eject
// (unmount, then power the drive off or eject its medium) after a download. Without the
// service every call says so and changes nothing.
//
// GUI thread; each call is a blocking D-Bus round trip of a few milliseconds (an eject
// waits for the unmount to write back, up to udisks' own timeout).
namespace UDisks {

bool isAvailable();

// The volume label of a mount's block device; empty when unknown.
QString label(const MountEntry& entry);

// Unmounts the file system on `devicePath` ("/dev/sdb1") and ejects or powers off its
// drive. Returns an empty string on success, otherwise the reason.
QString eject(const QString& devicePath);

} // namespace UDisks
