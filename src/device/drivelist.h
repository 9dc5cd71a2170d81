#pragma once

#include <QList>
#include <QObject>
#include <QString>

// A removable drive the program has seen: its mount point ("/media/user/CARD", no trailing
// separator; the download appends "/" + name + ".bin") and its volume label, when known.
struct DriveRecord
{
    QString path;
    QString label;
};

// The drives that are present, in order of discovery, each path at most once. It is the
// main window's `drives`: the window owns one, connects a DriveMonitor to AddDisk and
// DeleteDisk and re-emits (or forwards) usbMountEvent / usbUMountEvent to the open
// SelectUsbPathDialog:
//
//     auto* drives = new DriveList(this);
//     auto* monitor = new DriveMonitor(this);
//     connect(monitor, &DriveMonitor::diskArrived, drives, &DriveList::AddDisk);
//     connect(monitor, &DriveMonitor::diskRemoved, drives, &DriveList::DeleteDisk);
//     monitor->start();   // the start-up scan: AddDisk for every drive already mounted
//
// GUI thread only.
class DriveList : public QObject
{
    Q_OBJECT
public:
    explicit DriveList(QObject* parent = nullptr);

    const QList<DriveRecord>& drives() const { return m_drives; }
    // The index of the record whose path equals `path` exactly, or false.
    bool findDrive(const QString& path, int& index) const;
    // The label of a listed drive; empty when unknown or not listed.
    QString labelOf(const QString& path) const;

    // The drive or folder chosen last for a download or a preview, where the next choice
    // starts. A folder is offered again while it exists, a drive while it is listed.
    void rememberChoice(const QString& path);
    QString lastChoice() const { return m_lastChoice; }
    bool lastChoiceIsFolder() const { return m_lastChoiceIsFolder; }

public slots:
    // A known path is ignored without a signal.
    void AddDisk(const QString& path, const QString& label = QString());
    // An unknown path is ignored without a signal; the others keep their order.
    void DeleteDisk(const QString& path);

signals:
    void usbMountEvent(const QString& path);
    void usbUMountEvent(const QString& path);

private:
    QList<DriveRecord> m_drives;
    QString m_lastChoice;
    bool m_lastChoiceIsFolder = false;
};
