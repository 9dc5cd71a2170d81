#include "tempdirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>

namespace {
QMutex tempLock;
QString requestedRoot;

QString defaultRoot()
{
    QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (cache.isEmpty())
        cache = QDir::tempPath() + QStringLiteral("/gyrolume");
    return cache + QStringLiteral("/temp");
}
} // namespace

TempDirectory& TempDirectory::instance()
{
    static TempDirectory directory;
    return directory;
}

void TempDirectory::setRoot(const QString& root)
{
    QMutexLocker locker(&tempLock);
    requestedRoot = root;
}

QString TempDirectory::path()
{
    QMutexLocker locker(&tempLock);
    if (m_path.isEmpty())
        open();
    return m_path;
}

void TempDirectory::open()
{
    m_root = requestedRoot.isEmpty() ? defaultRoot() : requestedRoot;
    QDir().mkpath(m_root);
    const QString name = QString::number(QCoreApplication::applicationPid());
    // The lock comes first: a directory without a live lock beside it may be removed by
    // another instance starting up.
    m_lock = std::make_unique<QLockFile>(m_root + QLatin1Char('/') + name + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        // A process with our pid that is not us cannot run; the lock is stale.
        m_lock->removeStaleLockFile();
        m_lock->tryLock(0);
    }
    const QString dir = m_root + QLatin1Char('/') + name;
    clearTempDir(dir);  // left by an earlier process that had our pid
    QDir().mkpath(dir);
    m_path = dir + QLatin1Char('/');
}

int TempDirectory::removeAbandoned()
{
    const QString own = path();
    QMutexLocker locker(&tempLock);
    QDir root(m_root);
    int removed = 0;
    const QFileInfoList entries = root.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        bool isNumber = false;
        entry.fileName().toLongLong(&isNumber);
        if (!isNumber || entry.absoluteFilePath() + QLatin1Char('/') == own)
            continue;  // only directories named like ours, and never our own
        QLockFile owner(entry.absoluteFilePath() + QStringLiteral(".lock"));
        owner.setStaleLockTime(0);
        if (!owner.tryLock(0))
            continue;  // its instance still runs
        clearTempDir(entry.absoluteFilePath());
        owner.unlock();  // removes the lock file
        ++removed;
    }
    return removed;
}

void TempDirectory::clearTempDir(const QString& path)
{
    QDir dir(path);
    if (!dir.exists())
        return;
    const QFileInfoList entries = dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink())
            clearTempDir(entry.absoluteFilePath());
        else
            QFile::remove(entry.absoluteFilePath());
    }
    dir.rmdir(path);
}
