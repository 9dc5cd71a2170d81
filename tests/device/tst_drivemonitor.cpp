#include "device/drivelist.h"
#include "device/drivemonitor.h"
#include "device/mounttable.h"
#include "device/removabledevice.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>
#include <unistd.h>

namespace {
// A sysfs tree with the few entries the drive check reads: the device number links under
// dev/block and class/block, the devices' "removable" flags and their "subsystem" links.
class FakeSysfs
{
public:
    explicit FakeSysfs(const QString& root) : m_root(root)
    {
        for (const char* dir : {"dev/block", "class/block", "bus/usb", "bus/mmc", "bus/pci", "bus/scsi",
                                "class/block", "bus/memstick"})
            QDir().mkpath(m_root + QLatin1Char('/') + QLatin1String(dir));
    }

    // A device directory under devices/ whose "subsystem" points at bus/<subsystem>.
    void addDevice(const QString& path, const QString& subsystem)
    {
        const QString dir = m_root + QStringLiteral("/devices/") + path;
        QDir().mkpath(dir);
        QFile::link(m_root + QStringLiteral("/bus/") + subsystem, dir + QStringLiteral("/subsystem"));
    }

    // A disk and its partition under `parent`, with device numbers major:minor and
    // major:minor+1 and the disk's removable flag.
    void addDisk(const QString& parent, const QString& name, int major, int minor, bool removable,
                 const QString& partitionName)
    {
        const QString disk = parent + QStringLiteral("/block/") + name;
        addDevice(disk, QStringLiteral("../class/block"));
        writeFile(disk + QStringLiteral("/removable"), removable ? "1\n" : "0\n");
        const QString partition = disk + QLatin1Char('/') + partitionName;
        addDevice(partition, QStringLiteral("../class/block"));
        writeFile(partition + QStringLiteral("/partition"), "1\n");
        link(disk, name, major, minor);
        link(partition, partitionName, major, minor + 1);
    }

private:
    void writeFile(const QString& devicePath, const QByteArray& content)
    {
        QFile file(m_root + QStringLiteral("/devices/") + devicePath);
        file.open(QIODevice::WriteOnly);
        file.write(content);
    }
    void link(const QString& devicePath, const QString& name, int major, int minor)
    {
        const QString target = m_root + QStringLiteral("/devices/") + devicePath;
        QFile::link(target, QStringLiteral("%1/dev/block/%2:%3").arg(m_root).arg(major).arg(minor));
        QFile::link(target, m_root + QStringLiteral("/class/block/") + name);
    }

    QString m_root;
};

QByteArray mountLine(int id, const char* device, const char* mountPoint, const char* fsType,
                     const char* source)
{
    return QStringLiteral("%1 1 %2 / %3 rw,relatime shared:%1 - %4 %5 rw\n")
        .arg(id)
        .arg(QLatin1String(device), QLatin1String(mountPoint), QLatin1String(fsType), QLatin1String(source))
        .toUtf8();
}

MountEntry entry(int major, int minor, const QString& fsType, const QString& source = QString())
{
    MountEntry e;
    e.major = major;
    e.minor = minor;
    e.fsType = fsType;
    e.source = source;
    e.mountPoint = QStringLiteral("/media/x");
    return e;
}
} // namespace

class DriveMonitorTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void mountTableParsing();
    void octalEscapes_data();
    void octalEscapes();
    void removableDevices_data();
    void removableDevices();
    void startUpScanInTableOrder();
    void arrivalsAndRemovals();
    void unreadableTable();
    void driveListRules();
    void kernelSignalsMounts();

private:
    void writeTable(const QByteArray& content);
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_sysfs;
    QString m_table;
};

void DriveMonitorTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_sysfs = m_dir->filePath(QStringLiteral("sys"));
    m_table = m_dir->filePath(QStringLiteral("mountinfo"));
    FakeSysfs sysfs(m_sysfs);
    // A USB stick that says it is removable, a USB disk that says it is not, an SD card
    // in a built-in PCI reader, a memory stick, the internal SATA disk and a loop device.
    const QString usbPort = QStringLiteral("pci0000:00/0000:00:14.0/usb1/1-1");
    sysfs.addDevice(QStringLiteral("pci0000:00/0000:00:14.0"), QStringLiteral("pci"));
    sysfs.addDevice(usbPort, QStringLiteral("usb"));
    sysfs.addDevice(usbPort + QStringLiteral("/1-1:1.0"), QStringLiteral("usb"));
    const QString stickHost = usbPort + QStringLiteral("/1-1:1.0/host6/target6:0:0/6:0:0:0");
    sysfs.addDevice(stickHost, QStringLiteral("scsi"));
    sysfs.addDisk(stickHost, QStringLiteral("sdb"), 8, 16, true, QStringLiteral("sdb1"));
    const QString usbDiskPort = QStringLiteral("pci0000:00/0000:00:14.0/usb2/2-1");
    sysfs.addDevice(usbDiskPort, QStringLiteral("usb"));
    const QString diskHost = usbDiskPort + QStringLiteral("/2-1:1.0/host7/target7:0:0/7:0:0:0");
    sysfs.addDevice(diskHost, QStringLiteral("scsi"));
    sysfs.addDisk(diskHost, QStringLiteral("sdc"), 8, 32, false, QStringLiteral("sdc1"));
    const QString reader = QStringLiteral("pci0000:00/0000:00:1c.0/0000:02:00.0");
    sysfs.addDevice(reader, QStringLiteral("pci"));
    sysfs.addDevice(reader + QStringLiteral("/mmc_host/mmc0/mmc0:aaaa"), QStringLiteral("mmc"));
    sysfs.addDisk(reader + QStringLiteral("/mmc_host/mmc0/mmc0:aaaa"), QStringLiteral("mmcblk0"), 179, 0,
                  false, QStringLiteral("mmcblk0p1"));
    sysfs.addDevice(QStringLiteral("platform/ms0/memstick0/memstick0:0"), QStringLiteral("memstick"));
    sysfs.addDisk(QStringLiteral("platform/ms0/memstick0/memstick0:0"), QStringLiteral("mspblk0"), 31, 0,
                  false, QStringLiteral("mspblk0p1"));
    const QString sata = QStringLiteral("pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0");
    sysfs.addDevice(sata, QStringLiteral("scsi"));
    sysfs.addDisk(sata, QStringLiteral("sda"), 8, 0, false, QStringLiteral("sda1"));
    sysfs.addDisk(QStringLiteral("virtual"), QStringLiteral("loop0"), 7, 0, false, QStringLiteral("loop0p1"));
}

void DriveMonitorTest::writeTable(const QByteArray& content)
{
    QFile file(m_table);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

void DriveMonitorTest::mountTableParsing()
{
    const QByteArray table =
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "95 22 8:17 / /media/user/MY\\040STICK rw,nosuid,nodev shared:50 master:3 - vfat /dev/sdb1 rw,uid=1000\n"
        "96 22 0:52 / /media/user/EXFAT rw - fuseblk /dev/sdc1 rw,user_id=0\n"
        "garbage line\n"
        "97 22 x:y / /broken rw - vfat /dev/sdd1 rw\n"
        "98 22 8:49 / /no-separator rw vfat /dev/sdd1 rw\n"
        "\n";
    const QList<MountEntry> entries = MountTable::parse(table);
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[1].mountPoint, QStringLiteral("/media/user/MY STICK"));
    QCOMPARE(entries[1].fsType, QStringLiteral("vfat"));
    QCOMPARE(entries[1].source, QStringLiteral("/dev/sdb1"));
    QCOMPARE(entries[1].major, 8);
    QCOMPARE(entries[1].minor, 17);
    QCOMPARE(entries[2].major, 0);
    QCOMPARE(entries[2].fsType, QStringLiteral("fuseblk"));
}

void DriveMonitorTest::octalEscapes_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("decoded");
    QTest::newRow("space") << QByteArray("/media/a\\040b") << QStringLiteral("/media/a b");
    QTest::newRow("tab newline backslash") << QByteArray("a\\011b\\012c\\134d") << QStringLiteral("a\tb\nc\\d");
    QTest::newRow("utf-8 kept") << QByteArray("/media/U\xe7\x9b\x98") << QStringLiteral("/media/U盘");
    QTest::newRow("escape at the end") << QByteArray("x\\040") << QStringLiteral("x ");
    QTest::newRow("short escape kept") << QByteArray("x\\04") << QStringLiteral("x\\04");
    QTest::newRow("not octal kept") << QByteArray("x\\089") << QStringLiteral("x\\089");
}

void DriveMonitorTest::octalEscapes()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, decoded);
    QCOMPARE(MountTable::decodeField(field), decoded);
}

void DriveMonitorTest::removableDevices_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("fsType");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("drive");
    QTest::newRow("usb stick, removable") << 8 << 17 << "vfat" << "/dev/sdb1" << true;
    QTest::newRow("usb disk, removable 0") << 8 << 33 << "exfat" << "/dev/sdc1" << true;
    QTest::newRow("whole usb disk, no partition table") << 8 << 32 << "vfat" << "/dev/sdc" << true;
    QTest::newRow("sd card in a pci reader") << 179 << 1 << "vfat" << "/dev/mmcblk0p1" << true;
    QTest::newRow("memory stick") << 31 << 1 << "msdos" << "/dev/mspblk0p1" << true;
    QTest::newRow("exfat-fuse, found by its source") << 0 << 52 << "fuseblk" << "/dev/sdc1" << true;
    QTest::newRow("fuse subtype") << 0 << 53 << "fuseblk.exfat" << "/dev/sdb1" << true;
    QTest::newRow("usb stick with ext4") << 8 << 17 << "ext4" << "/dev/sdb1" << false;
    QTest::newRow("internal disk") << 8 << 1 << "vfat" << "/dev/sda1" << false;
    QTest::newRow("loop device") << 7 << 1 << "vfat" << "/dev/loop0p1" << false;
    QTest::newRow("unknown device number") << 8 << 99 << "vfat" << "/dev/sdz9" << false;
    QTest::newRow("fuse image file") << 0 << 54 << "fuseblk" << "/tmp/card.img" << false;
    QTest::newRow("tmpfs") << 0 << 30 << "tmpfs" << "tmpfs" << false;
}

void DriveMonitorTest::removableDevices()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, fsType);
    QFETCH(QString, source);
    QFETCH(bool, drive);
    QCOMPARE(RemovableDevice::isRemovableDrive(m_sysfs, entry(major, minor, fsType, source)), drive);
}

void DriveMonitorTest::startUpScanInTableOrder()
{
    writeTable(mountLine(22, "8:1", "/", "ext4", "/dev/sda1")
               + mountLine(90, "179:1", "/media/u/CARD", "vfat", "/dev/mmcblk0p1")
               + mountLine(91, "8:1", "/boot/efi", "vfat", "/dev/sda1")
               + mountLine(92, "8:17", "/media/u/MY\\040STICK", "vfat", "/dev/sdb1")
               // the same stick bind-mounted again at the same place is still one drive
               + mountLine(93, "8:17", "/media/u/MY\\040STICK", "vfat", "/dev/sdb1"));
    DriveMonitor monitor(m_table, m_sysfs);
    QSignalSpy arrived(&monitor, &DriveMonitor::diskArrived);
    monitor.setLabelLookup([](const MountEntry& e) { return e.source == "/dev/sdb1" ? QStringLiteral("STICK") : QString(); });
    QVERIFY(monitor.start());
    QVERIFY(!monitor.isWatching());  // a plain file carries no kernel signal
    QCOMPARE(arrived.size(), 2);
    QCOMPARE(arrived[0], (QVariantList{QStringLiteral("/media/u/CARD"), QString()}));
    QCOMPARE(arrived[1], (QVariantList{QStringLiteral("/media/u/MY STICK"), QStringLiteral("STICK")}));
    QCOMPARE(monitor.drives(), (QStringList{"/media/u/CARD", "/media/u/MY STICK"}));
    QCOMPARE(monitor.entryFor(QStringLiteral("/media/u/CARD")).source, QStringLiteral("/dev/mmcblk0p1"));
    QVERIFY(monitor.entryFor(QStringLiteral("/boot/efi")).source.isEmpty());
}

void DriveMonitorTest::arrivalsAndRemovals()
{
    const QByteArray root = mountLine(22, "8:1", "/", "ext4", "/dev/sda1");
    const QByteArray card = mountLine(90, "179:1", "/media/u/CARD", "vfat", "/dev/mmcblk0p1");
    const QByteArray stick = mountLine(92, "8:17", "/media/u/STICK", "vfat", "/dev/sdb1");
    const QByteArray disk = mountLine(94, "0:52", "/media/u/DISK", "fuseblk", "/dev/sdc1");
    writeTable(root);
    DriveList drives;
    DriveMonitor monitor(m_table, m_sysfs);
    connect(&monitor, &DriveMonitor::diskArrived, &drives, &DriveList::AddDisk);
    connect(&monitor, &DriveMonitor::diskRemoved, &drives, &DriveList::DeleteDisk);
    QSignalSpy mounted(&drives, &DriveList::usbMountEvent);
    QSignalSpy unmounted(&drives, &DriveList::usbUMountEvent);
    QSignalSpy changed(&monitor, &DriveMonitor::mountTableChanged);
    QVERIFY(monitor.start());
    QCOMPARE(mounted.size(), 0);

    writeTable(root + card + stick);
    monitor.rescan();
    QCOMPARE(mounted.size(), 2);
    QCOMPARE(mounted[0][0].toString(), QStringLiteral("/media/u/CARD"));
    QCOMPARE(mounted[1][0].toString(), QStringLiteral("/media/u/STICK"));

    writeTable(root + stick + disk);  // card out, exFAT disk in
    monitor.rescan();
    QCOMPARE(unmounted.size(), 1);
    QCOMPARE(unmounted[0][0].toString(), QStringLiteral("/media/u/CARD"));
    QCOMPARE(mounted.size(), 3);
    QCOMPARE(mounted[2][0].toString(), QStringLiteral("/media/u/DISK"));
    QCOMPARE(drives.drives().size(), 2);
    QCOMPARE(drives.drives()[0].path, QStringLiteral("/media/u/STICK"));
    QCOMPARE(drives.drives()[1].path, QStringLiteral("/media/u/DISK"));

    monitor.rescan();  // nothing changed: no signals
    QCOMPARE(mounted.size(), 3);
    QCOMPARE(unmounted.size(), 1);

    writeTable(root);
    monitor.rescan();
    QCOMPARE(unmounted.size(), 3);
    QVERIFY(drives.drives().isEmpty());
    QCOMPARE(changed.size(), 5);
}

void DriveMonitorTest::unreadableTable()
{
    DriveMonitor monitor(m_dir->filePath(QStringLiteral("missing")), m_sysfs);
    QSignalSpy arrived(&monitor, &DriveMonitor::diskArrived);
    QVERIFY(!monitor.start());
    QVERIFY(arrived.isEmpty());
    QVERIFY(!monitor.isWatching());
}

void DriveMonitorTest::driveListRules()
{
    DriveList drives;
    QSignalSpy mounted(&drives, &DriveList::usbMountEvent);
    QSignalSpy unmounted(&drives, &DriveList::usbUMountEvent);
    drives.AddDisk(QStringLiteral("/media/a"), QStringLiteral("A"));
    drives.AddDisk(QStringLiteral("/media/b"));
    drives.AddDisk(QStringLiteral("/media/a"));  // twice without a removal: one entry
    drives.AddDisk(QStringLiteral("/media/c"));
    QCOMPARE(mounted.size(), 3);
    int index = -1;
    QVERIFY(drives.findDrive(QStringLiteral("/media/c"), index));
    QCOMPARE(index, 2);
    QVERIFY(!drives.findDrive(QStringLiteral("/media/A"), index));  // exact, case-sensitive
    QCOMPARE(drives.labelOf(QStringLiteral("/media/a")), QStringLiteral("A"));

    drives.DeleteDisk(QStringLiteral("/media/zz"));  // unknown: ignored
    QCOMPARE(unmounted.size(), 0);
    drives.DeleteDisk(QStringLiteral("/media/b"));
    QCOMPARE(unmounted.size(), 1);
    QCOMPARE(drives.drives().size(), 2);
    QCOMPARE(drives.drives()[0].path, QStringLiteral("/media/a"));
    QCOMPARE(drives.drives()[1].path, QStringLiteral("/media/c"));
    drives.AddDisk(QStringLiteral("/media/b"));  // back again: last
    QCOMPARE(drives.drives()[2].path, QStringLiteral("/media/b"));
}

void DriveMonitorTest::kernelSignalsMounts()
{
    // The real table: the kernel flags it on every mount; the monitor must wake for it.
    if (::geteuid() != 0)
        QSKIP("needs root to mount");
    QTemporaryDir mountPoint;
    DriveMonitor monitor(QStringLiteral("/proc/self/mountinfo"), m_sysfs);
    QVERIFY(monitor.start());
    QVERIFY(monitor.isWatching());
    QSignalSpy changed(&monitor, &DriveMonitor::mountTableChanged);
    const QByteArray where = QFile::encodeName(mountPoint.path());
    if (::mount("gyrolume-test", where.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("mounting is not allowed here");
    QVERIFY(changed.wait(5000));
    changed.clear();
    QVERIFY(::umount(where.constData()) == 0);
    QVERIFY(changed.wait(5000));
    // And it settles: no signals without end. Other tests running at the same time may
    // mount and unmount too, so a few more are allowed; a notifier that fires without end
    // would give thousands.
    changed.clear();
    QTest::qWait(300);
    QVERIFY2(changed.size() < 20, qPrintable(QString::number(changed.size())));
}

QTEST_GUILESS_MAIN(DriveMonitorTest)
#include "tst_drivemonitor.moc"
