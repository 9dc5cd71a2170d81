#include "drivemonitor.h"

#include "removabledevice.h"

#include <QDebug>
#include <QFile>
#include <QSocketNotifier>

DriveMonitor::DriveMonitor(QObject* parent)
    : DriveMonitor(QStringLiteral("/proc/self/mountinfo"), QStringLiteral("/sys"), parent)
{
}

DriveMonitor::DriveMonitor(const QString& mountInfoPath, const QString& sysfsRoot, QObject* parent)
    : QObject(parent), m_mountInfoPath(mountInfoPath), m_sysfsRoot(sysfsRoot)
{
}

DriveMonitor::~DriveMonitor() = default;

void DriveMonitor::setLabelLookup(std::function<QString(const MountEntry&)> lookup)
{
    m_labelLookup = std::move(lookup);
}

bool DriveMonitor::start()
{
    qDebug() << "#DriveMonitor# start-up scan of" << m_mountInfoPath;
    m_table = std::make_unique<QFile>(m_mountInfoPath);
    if (!m_table->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        qWarning() << "#DriveMonitor# cannot read the mount table" << m_mountInfoPath
                   << m_table->errorString();
        m_table.reset();
        return false;
    }
    // Only the kernel's tables signal changes; a regular file would be "exceptional" never.
    if (m_mountInfoPath.startsWith(QLatin1String("/proc/"))) {
        m_notifier = new QSocketNotifier(m_table->handle(), QSocketNotifier::Exception, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &DriveMonitor::rescan);
    }
    rescan();
    return true;
}

QList<MountEntry> DriveMonitor::readDrives() const
{
    // A fresh descriptor for every reading: the watched one keeps its place in the
    // kernel's event count.
    QFile file(m_mountInfoPath);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning() << "#DriveMonitor# cannot read the mount table" << m_mountInfoPath;
        return m_drives;
    }
    QList<MountEntry> drives;
    QStringList seen;
    for (const MountEntry& entry : MountTable::parse(file.readAll())) {
        if (seen.contains(entry.mountPoint) || !RemovableDevice::isRemovableDrive(m_sysfsRoot, entry))
            continue;
        seen.append(entry.mountPoint);
        drives.append(entry);
    }
    return drives;
}

void DriveMonitor::rescan()
{
    const QList<MountEntry> now = readDrives();
    const QList<MountEntry> before = m_drives;
    m_drives = now;
    auto contains = [](const QList<MountEntry>& list, const QString& mountPoint) {
        for (const MountEntry& entry : list) {
            if (entry.mountPoint == mountPoint)
                return true;
        }
        return false;
    };
    for (const MountEntry& entry : before) {
        if (!contains(now, entry.mountPoint))
            emit diskRemoved(entry.mountPoint);
    }
    for (const MountEntry& entry : now) {
        if (!contains(before, entry.mountPoint))
            emit diskArrived(entry.mountPoint, m_labelLookup ? m_labelLookup(entry) : QString());
    }
    emit mountTableChanged();
}

QStringList DriveMonitor::drives() const
{
    QStringList paths;
    for (const MountEntry& entry : m_drives)
        paths.append(entry.mountPoint);
    return paths;
}

MountEntry DriveMonitor::entryFor(const QString& mountPoint) const
{
    for (const MountEntry& entry : m_drives) {
        if (entry.mountPoint == mountPoint)
            return entry;
    }
    return MountEntry();
}
