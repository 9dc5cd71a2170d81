#pragma once

#include "mounttable.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QFile;
class QSocketNotifier;

// Follows the removable drives that are mounted: at start() it announces every drive
// already mounted, in mount-table order, then it reports each mount and unmount of a
// removable drive as the kernel signals it.
//
// The kernel marks /proc/self/mountinfo with an exception condition whenever a mount is
// added or removed (a read-ready notifier would fire without end), so the monitor waits on
// that and re-reads the table; no polling. Which mounts are drives: see RemovableDevice.
// The table and sysfs paths are parameters so tests can use fake ones in a temporary
// directory and call rescan() after changing them.
//
// Typical use, in the main window:
//     connect(monitor, &DriveMonitor::diskArrived, drives, &DriveList::AddDisk);
//     connect(monitor, &DriveMonitor::diskRemoved, drives, &DriveList::DeleteDisk);
//     monitor->setLabelLookup(UDisks::label);   // optional, gyrolume_gui
//     monitor->start();
//
// GUI thread (or any one thread with an event loop) only.
class DriveMonitor : public QObject
{
    Q_OBJECT
public:
    explicit DriveMonitor(QObject* parent = nullptr);
    DriveMonitor(const QString& mountInfoPath, const QString& sysfsRoot, QObject* parent = nullptr);
    ~DriveMonitor() override;

    // Gives the label of a drive from its mount entry (udisks2, when it runs).
    void setLabelLookup(std::function<QString(const MountEntry&)> lookup);

    // Announces the drives already mounted and starts watching. Returns false when the
    // mount table cannot be read (nothing is announced then); watching needs a table
    // that the kernel signals, a plain file is only read again by rescan().
    bool start();
    bool isWatching() const { return m_notifier != nullptr; }

    // The mount points of the removable drives found by the last reading, in table order.
    QStringList drives() const;
    // The mount entry of a listed drive (its device, for an eject); empty when not listed.
    MountEntry entryFor(const QString& mountPoint) const;

public slots:
    // Reads the table again and announces the differences.
    void rescan();

signals:
    void diskArrived(const QString& path, const QString& label);
    void diskRemoved(const QString& path);
    // The table was read again (after a kernel signal or rescan()).
    void mountTableChanged();

private:
    QList<MountEntry> readDrives() const;

    QString m_mountInfoPath;
    QString m_sysfsRoot;
    std::function<QString(const MountEntry&)> m_labelLookup;
    QList<MountEntry> m_drives;
    std::unique_ptr<QFile> m_table;  // kept open: its descriptor carries the kernel's signal
    QSocketNotifier* m_notifier = nullptr;
};
