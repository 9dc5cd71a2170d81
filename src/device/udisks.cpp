#include "udisks.h"

#include "mounttable.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDebug>
#include <QFileInfo>
#include <QVariantMap>

namespace {
const QString service = QStringLiteral("org.freedesktop.UDisks2");
const QString blockInterface = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString driveInterface = QStringLiteral("org.freedesktop.UDisks2.Drive");
const QString filesystemInterface = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// udisks names a block device's object after the kernel name, other characters as "_xx".
QString blockObjectPath(const QString& devicePath)
{
    const QString resolved = QFileInfo(devicePath).canonicalFilePath();
    const QByteArray name = QFileInfo(resolved.isEmpty() ? devicePath : resolved).fileName().toUtf8();
    QString escaped;
    for (const char c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            escaped += QLatin1Char(c);
        else
            escaped += QStringLiteral("_%1").arg(uchar(c), 2, 16, QLatin1Char('0'));
    }
    return QStringLiteral("/org/freedesktop/UDisks2/block_devices/") + escaped;
}

QVariant property(const QString& object, const QString& interface, const QString& name, QString* error)
{
    QDBusInterface properties(service, object, propertiesInterface, QDBusConnection::systemBus());
    const QDBusReply<QDBusVariant> reply = properties.call(QStringLiteral("Get"), interface, name);
    if (!reply.isValid()) {
        if (error)
            *error = reply.error().message();
        return QVariant();
    }
    return reply.value().variant();
}
} // namespace

namespace UDisks {

bool isAvailable()
{
    const QDBusConnection bus = QDBusConnection::systemBus();
    return bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(service);
}

QString label(const MountEntry& entry)
{
    if (!entry.source.startsWith(QLatin1String("/dev/")) || !isAvailable())
        return QString();
    return property(blockObjectPath(entry.source), blockInterface, QStringLiteral("IdLabel"), nullptr).toString();
}

QString eject(const QString& devicePath)
{
    if (!isAvailable())
        return QCoreApplication::translate("UDisks", "eject_no_service");
    const QString block = blockObjectPath(devicePath);
    const QDBusConnection bus = QDBusConnection::systemBus();

    QDBusInterface filesystem(service, block, filesystemInterface, bus);
    const QDBusMessage unmounted = filesystem.call(QStringLiteral("Unmount"), QVariantMap());
    if (unmounted.type() == QDBusMessage::ErrorMessage)
        return unmounted.errorMessage();

    QString error;
    const QDBusObjectPath drive =
        qvariant_cast<QDBusObjectPath>(property(block, blockInterface, QStringLiteral("Drive"), &error));
    if (drive.path().isEmpty() || drive.path() == QLatin1String("/"))
        return QString();  // unmounted; there is no drive object to power off (a loop device)
    QDBusInterface driveObject(service, drive.path(), driveInterface, bus);
    const bool canPowerOff =
        property(drive.path(), driveInterface, QStringLiteral("CanPowerOff"), nullptr).toBool();
    const QDBusMessage done =
        driveObject.call(canPowerOff ? QStringLiteral("PowerOff") : QStringLiteral("Eject"), QVariantMap());
    // The file system is already unmounted and written back: a drive that cannot be
    // powered off or ejected is still safe to pull.
    if (done.type() == QDBusMessage::ErrorMessage)
        qDebug() << "#UDisks# eject of" << drive.path() << "left the drive on:" << done.errorMessage();
    return QString();
}

} // namespace UDisks
