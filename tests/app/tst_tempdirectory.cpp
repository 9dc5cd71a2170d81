#include "app/appsettings.h"
#include "app/tempdirectory.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

// A pid that no process has now.
qint64 unusedPid()
{
    for (qint64 pid = 4000000; pid > 1000; --pid)
        if (!QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)))
            return pid;
    return -1;
}
} // namespace

class TempDirectoryTest : public QObject
{
    Q_OBJECT
private slots:
    void clearRemovesNestedTreesButNotHiddenEntries();
    void clearDoesNotFollowLinks();
    void startUpKeepsWhatIsNotAbandoned();
};

void TempDirectoryTest::clearRemovesNestedTreesButNotHiddenEntries()
{
    QTemporaryDir dir;
    const QString temp = dir.filePath(QStringLiteral("temp"));
    touch(temp + QStringLiteral("/1_1.png"));
    touch(temp + QStringLiteral("/a/b/c/2.buf"));
    touch(temp + QStringLiteral("/keep/.hidden"));
    TempDirectory::clearTempDir(temp);
    QVERIFY(!QFile::exists(temp + QStringLiteral("/1_1.png")));
    QVERIFY(!QFile::exists(temp + QStringLiteral("/a")));
    // A directory holding a hidden entry stays, with the entry.
    QVERIFY(QFile::exists(temp + QStringLiteral("/keep/.hidden")));

    TempDirectory::clearTempDir(dir.filePath(QStringLiteral("missing")));  // no error
    const QString plain = dir.filePath(QStringLiteral("plain"));
    touch(plain + QStringLiteral("/x/y.png"));
    TempDirectory::clearTempDir(plain);
    QVERIFY(!QFile::exists(plain));
}

void TempDirectoryTest::clearDoesNotFollowLinks()
{
    QTemporaryDir dir;
    const QString precious = dir.filePath(QStringLiteral("photos/holiday.jpg"));
    touch(precious);
    const QString temp = dir.filePath(QStringLiteral("temp"));
    QDir().mkpath(temp);
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("photos")), temp + QStringLiteral("/link")));
    TempDirectory::clearTempDir(temp);
    QVERIFY(!QFileInfo::exists(temp));
    QVERIFY(QFile::exists(precious));
}

void TempDirectoryTest::startUpKeepsWhatIsNotAbandoned()
{
    QTemporaryDir home;
    // The user's own "temp" folder beside the program's root must never be touched.
    touch(home.filePath(QStringLiteral("temp/notes.txt")));
    const QString root = home.filePath(QStringLiteral("cache/temp"));

    // An instance that is gone: its lock names a process that does not run.
    const qint64 deadPid = unusedPid();
    QVERIFY(deadPid > 0);
    touch(root + QStringLiteral("/%1/7_1.png").arg(deadPid));
    {
        QFile lock(root + QStringLiteral("/%1.lock").arg(deadPid));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(deadPid) + "\ngyrolume\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    // An instance that still runs (here: a lock this process holds).
    touch(root + QStringLiteral("/12/3.buf"));
    QLockFile alive(root + QStringLiteral("/12.lock"));
    QVERIFY(alive.tryLock(0));
    // Something else that happens to be there.
    touch(root + QStringLiteral("/other/file"));

    TempDirectory::setRoot(root);
    TempDirectory& temp = TempDirectory::instance();
    const QString own = temp.path();
    QVERIFY(own.startsWith(root + QLatin1Char('/')));
    QVERIFY(own.endsWith(QLatin1Char('/')));
    QVERIFY(QFileInfo(own).isDir());
    touch(own + QStringLiteral("1_1.png"));

    QCOMPARE(temp.removeAbandoned(), 1);
    QVERIFY(!QFileInfo::exists(root + QStringLiteral("/%1").arg(deadPid)));
    QVERIFY(!QFileInfo::exists(root + QStringLiteral("/%1.lock").arg(deadPid)));
    QVERIFY(QFile::exists(root + QStringLiteral("/12/3.buf")));
    QVERIFY(QFile::exists(root + QStringLiteral("/other/file")));
    QVERIFY(QFile::exists(own + QStringLiteral("1_1.png")));
    QVERIFY(QFile::exists(home.filePath(QStringLiteral("temp/notes.txt"))));

    // Files are written there even after the directory was removed.
    TempDirectory::clearTempDir(own);
    QCOMPARE(AppSettings::ensureTempDir(), own);
    QVERIFY(QFileInfo(own).isDir());
}

QTEST_GUILESS_MAIN(TempDirectoryTest)
#include "tst_tempdirectory.moc"
