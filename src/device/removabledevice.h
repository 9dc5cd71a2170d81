#pragma once

#include <QString>

struct MountEntry;

// Which mounts are drives the fan can read: removable media with a FAT-like file system.
// The sysfs root is a parameter so that tests can build a fake one.
namespace RemovableDevice {

// FAT, exFAT and the other file systems of removable media (FUSE block mounts included).
bool isDriveFileSystem(const QString& fsType);

// The sysfs directory of the mount's block device ("<sysfs>/devices/.../sdb/sdb1"), found
// from its device number or, for FUSE mounts, from its "/dev/NAME" source; empty when
// sysfs knows no such device.
QString deviceDirectory(const QString& sysfsRoot, const MountEntry& entry);

// True when the device or its disk says "removable" or hangs off a usb, mmc or memstick
// bus: many USB disks and built-in card readers report removable = 0.
bool isRemovable(const QString& sysfsRoot, const MountEntry& entry);

// Both of the above: a mount to list as a drive.
bool isRemovableDrive(const QString& sysfsRoot, const MountEntry& entry);

} // namespace RemovableDevice
