// Downloads onto real FAT and exFAT file systems: disk images mounted through FUSE
// (fusefat; exfat-fuse on a loop device). Skipped where the tools or the mounts are not
// available.
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "device/effectfile.h"
#include "support/testfiles.h"
#include "support/testtempdir.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

namespace {
constexpr int pictureBytes = 114688;

bool run(const QString& program, const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        qWarning() << program << arguments << "failed:" << process.readAllStandardOutput()
                   << process.readAllStandardError();
        return false;
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return true;
}

bool isMounted(const QString& path)
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    table.open(QIODevice::ReadOnly);
    return table.readAll().contains(" " + QFile::encodeName(path) + " ");
}

// The FUSE daemon still serving `mountPoint`, or 0. Unmounting returns before the daemon
// has written its last blocks to the image and exited.
qint64 daemonFor(const QString& mountPoint)
{
    const QByteArray needle = QFile::encodeName(mountPoint);
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : pids) {
        if (pid.toLongLong() <= 0 || pid.toLongLong() == QCoreApplication::applicationPid())
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().split('\0').contains(needle))
            return pid.toLongLong();
    }
    return 0;
}

// One disk image with a file system, mounted over a directory while the object lives.
class MountedImage
{
public:
    MountedImage(const QString& kind, int megabytes, const QString& dir) : m_kind(kind), m_dir(dir)
    {
        m_image = dir + QStringLiteral("/card.img");
        m_mountPoint = dir + QStringLiteral("/card");
        QDir().mkpath(m_mountPoint);
        QFile image(m_image);
        if (!image.open(QIODevice::WriteOnly) || !image.resize(qint64(megabytes) * 1024 * 1024))
            return;
        image.close();
        // No volume label: fusefat would list it as a file.
        if (kind == QLatin1String("fat12"))
            m_ready = run(QStringLiteral("mkfs.vfat"), {QStringLiteral("-F"), QStringLiteral("12"), m_image});
        else if (kind == QLatin1String("fat32"))
            m_ready = run(QStringLiteral("mkfs.vfat"), {QStringLiteral("-F"), QStringLiteral("32"), m_image});
        else
            m_ready = run(QStringLiteral("mkfs.exfat"), {m_image});
        m_ready = m_ready && mount();
    }
    ~MountedImage()
    {
        unmount();
    }
    bool isReady() const { return m_ready; }
    // The file system checker's verdict on the image; unmount first.
    bool isConsistent() const
    {
        return run(m_kind.startsWith(QLatin1String("fat")) ? QStringLiteral("fsck.vfat") : QStringLiteral("fsck.exfat"),
                   {QStringLiteral("-n"), m_image});
    }
    QString mountPoint() const { return m_mountPoint; }

    bool mount()
    {
        if (m_kind.startsWith(QLatin1String("fat")))
            return run(QStringLiteral("fusefat"), {QStringLiteral("-o"), QStringLiteral("rw+"), m_image, m_mountPoint})
                   && isMounted(m_mountPoint);
        if (!run(QStringLiteral("losetup"), {QStringLiteral("-f"), QStringLiteral("--show"), m_image}, &m_loop))
            return false;
        return run(QStringLiteral("mount.exfat-fuse"), {m_loop, m_mountPoint}) && isMounted(m_mountPoint);
    }
    void unmount()
    {
        if (isMounted(m_mountPoint)) {
            run(QStringLiteral("fusermount"), {QStringLiteral("-u"), m_mountPoint});
            QElapsedTimer waited;
            waited.start();
            while (daemonFor(m_mountPoint) != 0 && waited.elapsed() < 10000)
                QThread::msleep(10);
        }
        if (!m_loop.isEmpty()) {
            run(QStringLiteral("losetup"), {QStringLiteral("-d"), m_loop});
            m_loop.clear();
        }
    }

private:
    QString m_kind;
    QString m_dir;
    QString m_image;
    QString m_mountPoint;
    QString m_loop;
    bool m_ready = false;
};

struct Playlist
{
    QList<ImageObject*> pictures;
    QList<MediaObject*> clips;
    ~Playlist()
    {
        qDeleteAll(pictures);
        qDeleteAll(clips);
    }
    // Pictures whose bytes differ from record to record, flushed to their files as after
    // an import.
    static QByteArray pattern(int seed)
    {
        QByteArray bytes(pictureBytes, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 31 + seed * 7) & 0xff);
        return bytes;
    }
    void build(int stills, int frames, int seed, bool flush = true)
    {
        for (int i = 0; i < stills; ++i) {
            auto* picture = new ImageObject(i + 1, QString(), 5.0 - i * 0.2, ImageObject::PictureKind);
            picture->polarBuffer = pattern(seed + i);
            if (flush)
                picture->flushBuffer();
            pictures.append(picture);
        }
        auto* clip = new MediaObject(1, QString());
        clip->loopCount = 3;
        for (int i = 0; i < frames; ++i) {
            auto* frame = new ImageObject(i + 1, QString(), 10.0, ImageObject::VideoFrameKind);
            frame->polarBuffer = pattern(seed + 100 + i);
            frame->flushBuffer();
            clip->frames.append(frame);
        }
        clips.append(clip);
    }
    QByteArray bytes() const
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EffectFile::write(buffer, pictures, clips);
        return buffer.data();
    }
};
} // namespace

class FatDownloadTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void download_data();
    void download();
    void interruptedBuildLeavesNothing();
};

void FatDownloadTest::initTestCase() { useTestTempRoot(); }

void FatDownloadTest::download_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("megabytes");
    QTest::addColumn<QStringList>("tools");
    const QStringList fat{"mkfs.vfat", "fsck.vfat", "fusefat", "fusermount"};
    QTest::newRow("FAT12 through fusefat") << "fat12" << 8 << fat;
    QTest::newRow("FAT32 through fusefat") << "fat32" << 40 << fat;
    QTest::newRow("exFAT through exfat-fuse") << "exfat" << 8
                                              << QStringList{"mkfs.exfat", "fsck.exfat", "mount.exfat-fuse", "losetup", "fusermount"};
}

void FatDownloadTest::download()
{
    QFETCH(QString, kind);
    QFETCH(int, megabytes);
    QFETCH(QStringList, tools);
    for (const QString& tool : tools) {
        if (QStandardPaths::findExecutable(tool).isEmpty()
            && QStandardPaths::findExecutable(tool, {QStringLiteral("/sbin"), QStringLiteral("/usr/sbin")}).isEmpty())
            QSKIP(qPrintable(tool + QStringLiteral(" is not installed")));
    }
    if (!QFile::exists(QStringLiteral("/dev/fuse")) || (kind == QLatin1String("exfat") && ::geteuid() != 0))
        QSKIP("needs FUSE (and root for a loop device)");
    QTemporaryDir dir;
    MountedImage card(kind, megabytes, dir.path());
    if (!card.isReady())
        QSKIP("the image could not be mounted here");
    const QString path = card.mountPoint() + QStringLiteral("/Z1.bin");

    Playlist first;
    first.build(2, 3, 1);
    DownloadStatus status = EffectFile::download(path, first.pictures, first.clips);
    QVERIFY2(status.ok(), qPrintable(status.error));

    // A second download replaces the first on the card.
    Playlist second;
    second.build(3, 4, 50);
    const QByteArray expected = second.bytes();
    status = EffectFile::download(path, second.pictures, second.clips);
    QVERIFY2(status.ok(), qPrintable(status.error));

    // Too big for the card: refused before writing, or, where the driver does not tell
    // the free space (fusefat on FAT32), stopped when the card is full. The file stays.
    Playlist huge;
    huge.build(megabytes * 9, 0, 3, false);
    status = EffectFile::download(path, huge.pictures, huge.clips);
    QStorageInfo storage(card.mountPoint());
    QCOMPARE(status.code, storage.bytesTotal() > 0 ? DownloadStatus::NotEnoughSpace : DownloadStatus::WriteFailed);
    QCOMPARE(QDir(card.mountPoint()).entryList(QDir::Files | QDir::Hidden), QStringList{"Z1.bin"});

    // What the card holds after it was taken out and put back.
    card.unmount();
    QVERIFY(card.mount());
    const QByteArray onCard = fileBytes(path);
    QCOMPARE(onCard.size(), 4096 + 7 * pictureBytes);
    QVERIFY(onCard == expected);
    QCOMPARE(QDir(card.mountPoint()).entryList(QDir::Files | QDir::Hidden), QStringList{"Z1.bin"});
    card.unmount();
    QVERIFY(card.isConsistent());
    qInfo().noquote() << kind << "Z1.bin:" << onCard.size() << "bytes, SHA-1"
                      << QCryptographicHash::hash(onCard, QCryptographicHash::Sha1).toHex();
}

void FatDownloadTest::interruptedBuildLeavesNothing()
{
    for (const char* tool : {"mkfs.vfat", "fusefat", "fusermount"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()
            && QStandardPaths::findExecutable(QString::fromLatin1(tool), {"/sbin", "/usr/sbin"}).isEmpty())
            QSKIP("the FAT tools are not installed");
    if (!QFile::exists(QStringLiteral("/dev/fuse")))
        QSKIP("needs FUSE");
    QTemporaryDir dir;
    MountedImage card(QStringLiteral("fat32"), 80, dir.path());
    if (!card.isReady())
        QSKIP("the image could not be mounted here");
    QImage picture(120, 120, QImage::Format_RGB32);
    picture.fill(qRgb(200, 30, 90));
    const QString input = dir.filePath(QStringLiteral("red.png"));
    QVERIFY(picture.save(input));
    const QString output = card.mountPoint() + QStringLiteral("/show.bin");
    // 40 records of 675,000 bytes: seconds of writing through FUSE.
    QStringList arguments{"build", output, "--leds", "500", "--lines", "600"};
    for (int i = 0; i < 40; ++i)
        arguments.append(input);

    auto buildUntilThePartialFileShows = [&](int signal) {
        QProcess build;
        build.start(qEnvironmentVariable("GYROLUME_CLI"), arguments);
        QElapsedTimer waited;
        waited.start();
        bool seen = false;
        while (!seen && build.state() != QProcess::NotRunning && waited.elapsed() < 120000) {
            seen = !QDir(card.mountPoint()).entryList({"show.bin.*"}, QDir::Files | QDir::Hidden).isEmpty();
            if (!seen)
                build.waitForFinished(5);
        }
        if (seen)
            ::kill(pid_t(build.processId()), signal);
        build.waitForFinished(60000);
        return seen && build.exitStatus() == QProcess::CrashExit;
    };
    for (int signal : {SIGTERM, SIGINT}) {
        QVERIFY(buildUntilThePartialFileShows(signal));
        QCOMPARE(QDir(card.mountPoint()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
    // Killed outright, the build leaves its partial file; the next build there removes it.
    QVERIFY(buildUntilThePartialFileShows(SIGKILL));
    QCOMPARE(QDir(card.mountPoint()).entryList({"show.bin.*"}, QDir::Files | QDir::Hidden).size(), 1);
    arguments = QStringList{"build", card.mountPoint() + QStringLiteral("/other.bin"), input};
    QProcess next;
    next.start(qEnvironmentVariable("GYROLUME_CLI"), arguments);
    QVERIFY(next.waitForFinished(60000) && next.exitCode() == 0);
    QCOMPARE(QDir(card.mountPoint()).entryList(QDir::Files | QDir::Hidden), QStringList{"other.bin"});
}

QTEST_GUILESS_MAIN(FatDownloadTest)
#include "tst_fatdownload.moc"
