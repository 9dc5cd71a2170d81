#include "removabledevice.h"

#include "mounttable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace RemovableDevice {

bool isDriveFileSystem(const QString& fsType)
{
    static const QStringList types = {
        QStringLiteral("vfat"),  QStringLiteral("msdos"), QStringLiteral("exfat"),
        QStringLiteral("ntfs"),  QStringLiteral("ntfs3"), QStringLiteral("hfsplus"),
        QStringLiteral("fuseblk"),
    };
    // FUSE block mounts appear as "fuseblk" or "fuseblk.<subtype>" (exfat-fuse, ntfs-3g).
    return types.contains(fsType) || fsType.startsWith(QLatin1String("fuseblk."));
}

QString deviceDirectory(const QString& sysfsRoot, const MountEntry& entry)
{
    QString link;
    if (entry.major != 0) {
        link = QStringLiteral("%1/dev/block/%2:%3").arg(sysfsRoot).arg(entry.major).arg(entry.minor);
    } else if (entry.source.startsWith(QLatin1String("/dev/"))) {
        // FUSE mounts have an anonymous device number; their source names the block device,
        // sometimes through a /dev/disk/by-* link.
        const QString resolved = QFileInfo(entry.source).canonicalFilePath();
        const QString name = QFileInfo(resolved.isEmpty() ? entry.source : resolved).fileName();
        link = sysfsRoot + QLatin1String("/class/block/") + name;
    } else {
        return QString();
    }
    return QFileInfo(link).canonicalFilePath();
}

bool isRemovable(const QString& sysfsRoot, const MountEntry& entry)
{
    const QString root = QFileInfo(sysfsRoot).canonicalFilePath();
    const QString device = deviceDirectory(sysfsRoot, entry);
    if (root.isEmpty() || device.isEmpty())
        return false;
    const QString devicesDir = root + QLatin1String("/devices/");
    static const QStringList removableBuses = {
        QStringLiteral("usb"), QStringLiteral("mmc"), QStringLiteral("memstick")};
    // Walk from the partition up through its disk, its controller and its bus.
    for (QString dir = device; dir.startsWith(devicesDir); dir = QFileInfo(dir).path()) {
        QFile removable(dir + QLatin1String("/removable"));
        if (removable.open(QIODevice::ReadOnly) && removable.readAll().trimmed() == "1")
            return true;
        const QString subsystem = QFileInfo(dir + QLatin1String("/subsystem")).symLinkTarget();
        if (!subsystem.isEmpty() && removableBuses.contains(QFileInfo(subsystem).fileName()))
            return true;
    }
    return false;
}

bool isRemovableDrive(const QString& sysfsRoot, const MountEntry& entry)
{
    return isDriveFileSystem(entry.fsType) && isRemovable(sysfsRoot, entry);
}

} // namespace RemovableDevice
