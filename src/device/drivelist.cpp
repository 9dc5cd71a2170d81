#include "drivelist.h"

#include <QDebug>

DriveList::DriveList(QObject* parent) : QObject(parent) {}

bool DriveList::findDrive(const QString& path, int& index) const
{
    for (int i = 0; i < m_drives.size(); ++i) {
        if (m_drives[i].path == path) {
            index = i;
            return true;
        }
    }
    return false;
}

QString DriveList::labelOf(const QString& path) const
{
    int index = 0;
    return findDrive(path, index) ? m_drives[index].label : QString();
}

void DriveList::rememberChoice(const QString& path)
{
    int index = 0;
    m_lastChoice = path;
    m_lastChoiceIsFolder = !findDrive(path, index);
}

void DriveList::AddDisk(const QString& path, const QString& label)
{
    qDebug().noquote() << "#MainWindow# AddDisk " + path;
    int index = 0;
    if (findDrive(path, index))
        return;
    m_drives.append(DriveRecord{path, label});
    emit usbMountEvent(path);
}

void DriveList::DeleteDisk(const QString& path)
{
    qDebug().noquote() << "#MainWindow# DeleteDisk " + path;
    int index = 0;
    if (!findDrive(path, index))
        return;
    m_drives.removeAt(index);
    emit usbUMountEvent(path);
}
