#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "device/effectfile.h"
#include "support/testtempdir.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>
#include <sys/file.h>
#include <sys/mount.h>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int pictureBytes = 114688;

// A device that takes `limit` bytes and then fails, like a drive pulled mid-write.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 limit) : m_limit(limit) { open(QIODevice::WriteOnly); }
    qint64 taken = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override
    {
        if (taken + length > m_limit) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        taken += length;
        return length;
    }

private:
    qint64 m_limit;
};

// A tmpfs mounted over a temporary directory, for the failures a full or read-only drive
// gives. Only root can mount; the tests that need one skip otherwise.
class SmallDrive
{
public:
    explicit SmallDrive(const QString& options)
    {
        if (::geteuid() != 0 || !m_dir.isValid())
            return;
        m_mounted = ::mount("gyrolume-test", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                            options.toLatin1().constData())
                    == 0;
    }
    ~SmallDrive()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    bool isMounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    bool makeReadOnly()
    {
        return ::mount("gyrolume-test", QFile::encodeName(m_dir.path()).constData(), "tmpfs",
                       MS_REMOUNT | MS_RDONLY, nullptr)
               == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

// The owner of a playlist built for a test.
struct Playlist
{
    QList<ImageObject*> pictures;
    QList<MediaObject*> clips;
    ~Playlist()
    {
        qDeleteAll(pictures);
        qDeleteAll(clips);
    }
    ImageObject* addPicture(double showTime, int size = pictureBytes, char fill = 0)
    {
        auto* picture = new ImageObject(int(pictures.size()) + 1, QString(), showTime, ImageObject::PictureKind);
        picture->polarBuffer = QByteArray(size, fill);
        pictures.append(picture);
        return picture;
    }
    MediaObject* addClip(int frames, int loops, int size = pictureBytes, char fill = 0)
    {
        auto* clip = new MediaObject(int(clips.size()) + 1, QString());
        clip->loopCount = loops;
        for (int i = 0; i < frames; ++i) {
            auto* frame = new ImageObject(i + 1, QString(), 10.0, ImageObject::VideoFrameKind);
            frame->polarBuffer = QByteArray(size, char(fill + i));
            clip->frames.append(frame);
        }
        clips.append(clip);
        return clip;
    }
    QByteArray bytes(DownloadStatus* status = nullptr) const
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const DownloadStatus result = EffectFile::write(buffer, pictures, clips);
        if (status)
            *status = result;
        return buffer.data();
    }
};

QByteArray entry(const QByteArray& header, int number)
{
    return header.mid(EffectFile::entryTableOffset + (number - 1) * EffectFile::entrySize, EffectFile::entrySize);
}

QByteArray fileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Everything in a directory but the given file: leftovers of a failed write.
QStringList othersIn(const QString& dir, const QString& keep)
{
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeAll(keep);
    return names;
}
} // namespace

class EffectFileTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void workedExample();
    void emptyPlaylist();
    void sixHundredPictures();
    void clipsStopAtTheTableLimit();
    void emptyClipEntry();
    void frameNumbersKeepTheirLow16Bits();
    void timeByte_data();
    void timeByte();
    void loopCountByte();
    void flushedAndReadBackBuffersAreWrittenAsTheyAre();
    void unreadablePictureStopsTheWrite();
    void failingDeviceIsReported();
    void progressAndStop();
    void repeatedFramesFillRecords();
    void downloadReplacesTheFileWhole();
    void failuresLeaveThePreviousFile();
    void fullDriveIsRefusedBeforeWriting();
    void driveFillingUpMidWrite();
    void readOnlyDrive();
    void partialFilesOfKilledDownloadsGo();
};

void EffectFileTest::initTestCase() { useTestTempRoot(); }

void EffectFileTest::workedExample()
{
    Playlist list;
    list.addPicture(5.0, pictureBytes, 'a');
    list.addPicture(0.2, pictureBytes, 'b');
    list.addClip(3, 2, pictureBytes, 'c');
    DownloadStatus status;
    const QByteArray file = list.bytes(&status);
    QVERIFY(status.ok());
    QCOMPARE(file.size(), 577536);
    QCOMPARE(file.left(16), hex("0011223344556677 0005 000000000000"));
    QCOMPARE(entry(file, 1), hex("000100013201"));
    QCOMPARE(entry(file, 2), hex("000200020201"));
    QCOMPARE(entry(file, 3), hex("000300050102"));
    QCOMPARE(file.mid(16 + 3 * 6, 497 * 6), QByteArray(497 * 6, '\0'));
    QCOMPARE(file.mid(3016, 16), hex("0000000000000000 7766554433221100"));
    QCOMPARE(file.mid(3032, 1064), QByteArray(1064, '\0'));
    // Records in list order: the two pictures, then the clip's frames in order.
    const QByteArray order = "abcde";
    for (int record = 0; record < 5; ++record) {
        const QByteArray data = file.mid(4096 + record * pictureBytes, pictureBytes);
        QCOMPARE(data, QByteArray(pictureBytes, order[record]));
    }
    QCOMPARE(EffectFile::fileSize(list.pictures, list.clips), qint64(577536));
}

void EffectFileTest::emptyPlaylist()
{
    Playlist list;
    const QByteArray file = list.bytes();
    QByteArray expected = hex("0011223344556677 0000 000000000000");
    expected += QByteArray(3000, '\0');
    expected += hex("0000000000000000 7766554433221100");
    expected += QByteArray(1064, '\0');
    QCOMPARE(file, expected);
}

void EffectFileTest::sixHundredPictures()
{
    Playlist list;
    for (int i = 0; i < 600; ++i)
        list.addPicture(1.0, 4, char(i));
    list.addClip(2, 1, 4);
    const QByteArray file = list.bytes();
    QCOMPARE(file.mid(8, 2), hex("025a"));  // 600 pictures and 2 frames
    QCOMPARE(entry(file, 1), hex("000100010a01"));
    QCOMPARE(entry(file, 500), hex("01f401f40a01"));  // the clip gets no entry
    QCOMPARE(file.mid(3016, 16), hex("0000000000000000 7766554433221100"));
    QCOMPARE(file.size(), 4096 + 602 * 4);
    QCOMPARE(file.mid(4096 + 599 * 4, 4), QByteArray(4, char(599)));
    QCOMPARE(EffectFile::entriesNeeded(list.pictures, list.clips), 601);
}

void EffectFileTest::clipsStopAtTheTableLimit()
{
    Playlist list;
    for (int i = 0; i < 498; ++i)
        list.addPicture(1.0, 1);
    list.addClip(2, 3, 1);
    list.addClip(1, 4, 1);
    list.addClip(1, 5, 1);
    const QByteArray file = list.bytes();
    QCOMPARE(entry(file, 499), hex("01f301f40103"));
    QCOMPARE(entry(file, 500), hex("01f501f50104"));
    QCOMPARE(file.mid(3016, 8), QByteArray(8, '\0'));  // no 501st entry over the marker
    QCOMPARE(file.mid(8, 2), hex("01f6"));             // 498 + 4 records
    QCOMPARE(file.size(), 4096 + 502);
}

void EffectFileTest::emptyClipEntry()
{
    Playlist list;
    list.addPicture(5.0, 8);
    list.addPicture(5.0, 8);
    list.addClip(0, 1, 8);
    list.addClip(2, 1, 8);
    const QByteArray file = list.bytes();
    QCOMPARE(entry(file, 3), hex("000300020101"));  // S = 3, E = 2
    QCOMPARE(entry(file, 4), hex("000300040101"));  // the next clip starts at the same S
    QCOMPARE(file.mid(8, 2), hex("0004"));
}

void EffectFileTest::frameNumbersKeepTheirLow16Bits()
{
    Playlist list;
    list.addPicture(1.0, 1);
    list.addClip(65536, 1, 1);
    list.addClip(1, 1, 1);
    const QByteArray header = EffectFile::header(list.pictures, list.clips);
    QCOMPARE(header.mid(8, 2), hex("0002"));          // 65,538 records
    QCOMPARE(entry(header, 2), hex("000200010101"));  // 2 .. 65,537
    QCOMPARE(entry(header, 3), hex("000200020101"));  // 65,538 .. 65,538
}

void EffectFileTest::timeByte_data()
{
    QTest::addColumn<double>("showTime");
    QTest::addColumn<int>("byte");
    QTest::newRow("0.2 s") << 0.2 << 2;
    QTest::newRow("5 s") << 5.0 << 50;
    QTest::newRow("25.5 s") << 25.5 << 255;
    // What repeated 0.2 steps leave behind: 4.8 less one unit in the last place.
    QTest::newRow("4.7999... truncated") << std::nextafter(4.8, 0.0) << 47;
    double stepped = 5.0;  // three steps down from 5 s hold 4.3999...
    for (int i = 0; i < 3; ++i)
        stepped -= 0.2;
    QTest::newRow("stepped 4.3999... truncated") << stepped << 43;
    QTest::newRow("25.6 s clamped") << 25.6 << 255;
    QTest::newRow("30 s clamped, not 44") << 30.0 << 255;
    QTest::newRow("100 s clamped") << 100.0 << 255;
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("negative") << -1.0 << 0;
}

void EffectFileTest::timeByte()
{
    QFETCH(double, showTime);
    QFETCH(int, byte);
    QCOMPARE(int(EffectFile::timeByte(showTime)), byte);
    Playlist list;
    list.addPicture(showTime, 1);
    QCOMPARE(int(uchar(entry(EffectFile::header(list.pictures, list.clips), 1).at(4))), byte);
}

void EffectFileTest::loopCountByte()
{
    Playlist list;
    list.addClip(1, 255, 1);
    list.addClip(1, 1, 1);
    const QByteArray header = EffectFile::header(list.pictures, list.clips);
    QCOMPARE(entry(header, 1), hex("0001000101ff"));
    QCOMPARE(entry(header, 2), hex("000200020101"));
}

void EffectFileTest::flushedAndReadBackBuffersAreWrittenAsTheyAre()
{
    Playlist list;
    ImageObject* flushed = list.addPicture(5.0, pictureBytes, 'f');
    flushed->flushBuffer();
    QVERIFY(flushed->polarBuffer.isEmpty());
    // A picture read back from a drive keeps the bytes that were read for it.
    list.addPicture(5.0, 151200, 'r');
    const QByteArray file = list.bytes();
    QCOMPARE(file.size(), 4096 + pictureBytes + 151200);
    QCOMPARE(file.mid(4096, pictureBytes), QByteArray(pictureBytes, 'f'));
    QCOMPARE(file.mid(4096 + pictureBytes), QByteArray(151200, 'r'));
    QCOMPARE(EffectFile::fileSize(list.pictures, list.clips), qint64(file.size()));
}

void EffectFileTest::unreadablePictureStopsTheWrite()
{
    {
        Playlist list;
        list.addPicture(5.0, 8);
        ImageObject* lost = list.addPicture(5.0, 8);
        lost->flushBuffer();
        QVERIFY(QFile::remove(lost->bufferPath));  // removed behind the program's back
        list.addPicture(5.0, 8);
        DownloadStatus status;
        list.bytes(&status);
        QCOMPARE(status.code, DownloadStatus::PictureUnreadable);
        QCOMPARE(status.picture, 2);
    }
    {   // a buffer file that opens but cannot be read (here a directory: EISDIR)
        QTemporaryDir notAFile;
        Playlist list;
        ImageObject* broken = list.addPicture(5.0, 8);
        broken->polarBuffer.clear();
        broken->bufferPath = notAFile.path();
        DownloadStatus status;
        list.bytes(&status);
        QCOMPARE(status.code, DownloadStatus::PictureUnreadable);
        QCOMPARE(status.picture, 1);
        broken->bufferPath.clear();
    }
    {
        Playlist list;
        list.addPicture(5.0, 8);
        MediaObject* clip = list.addClip(3, 1, 8);
        clip->frames[1]->polarBuffer.clear();  // never converted
        DownloadStatus status;
        list.bytes(&status);
        QCOMPARE(status.code, DownloadStatus::PictureUnreadable);
        QCOMPARE(status.picture, 0);
        QCOMPARE(status.clip, 1);
        QCOMPARE(status.frame, 2);
    }
}

void EffectFileTest::failingDeviceIsReported()
{
    Playlist list;
    list.addPicture(5.0);
    list.addPicture(5.0);
    for (const qint64 limit : {qint64(100), qint64(4096 + pictureBytes + 10)}) {
        FailingDevice device(limit);
        const DownloadStatus status = EffectFile::write(device, list.pictures, list.clips);
        QCOMPARE(status.code, DownloadStatus::WriteFailed);
        QCOMPARE(status.error, QStringLiteral("Input/output error"));
    }
}

void EffectFileTest::progressAndStop()
{
    Playlist list;
    list.addPicture(5.0, 8);
    list.addClip(3, 1, 8);
    QList<QPair<int, int>> steps;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    DownloadStatus status = EffectFile::write(buffer, list.pictures, list.clips,
                                              [&](int done, int total) { steps.append({done, total}); });
    QVERIFY(status.ok());
    QCOMPARE(steps, (QList<QPair<int, int>>{{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}}));

    // The handler goes away after two records: the job stops before the third.
    steps.clear();
    QBuffer stopped;
    stopped.open(QIODevice::WriteOnly);
    status = EffectFile::write(
        stopped, list.pictures, list.clips, [&](int done, int total) { steps.append({done, total}); },
        [&] { return steps.size() < 3; });
    QCOMPARE(status.code, DownloadStatus::Cancelled);
    QCOMPARE(steps.last(), qMakePair(2, 4));
    QCOMPARE(stopped.data().size(), 4096 + 2 * 8);
}

void EffectFileTest::repeatedFramesFillRecords()
{
    // A clip kept at its GIF's timing: frames 'c', 'd', 'e' fill 1, 3 and 2 records, the
    // clip after it starts where those records end.
    Playlist list;
    list.addPicture(5.0, 8, 'a');
    MediaObject* kept = list.addClip(3, 2, 8, 'c');
    kept->frames[1]->repeatCount = 3;
    kept->frames[2]->repeatCount = 2;
    list.addClip(1, 1, 8, 'x');
    QCOMPARE(kept->recordCount(), 6);
    QCOMPARE(kept->playLengthMs(), qint64(600));
    QList<QPair<int, int>> steps;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(EffectFile::write(buffer, list.pictures, list.clips, [&](int done, int total) { steps.append({done, total}); })
                .ok());
    const QByteArray file = buffer.data();
    QCOMPARE(file.mid(8, 2), hex("0008"));
    QCOMPARE(entry(file, 2), hex("000200070102"));
    QCOMPARE(entry(file, 3), hex("000800080101"));
    QCOMPARE(file.mid(4096), QByteArray("aaaaaaaacccccccc") + QByteArray(24, 'd') + QByteArray(16, 'e') + QByteArray(8, 'x'));
    QCOMPARE(EffectFile::fileSize(list.pictures, list.clips), qint64(file.size()));
    QCOMPARE(steps.size(), 9);
    QCOMPARE(steps.last(), qMakePair(8, 8));
}

void EffectFileTest::downloadReplacesTheFileWhole()
{
    QTemporaryDir drive;
    const QString path = drive.filePath(QStringLiteral("Z1.bin"));
    Playlist list;
    list.addPicture(5.0, pictureBytes, 'x');
    list.addPicture(5.0, 151200, 'm');  // read back from a drive: kept in memory
    list.addClip(2, 3, pictureBytes, 'y');
    list.pictures[0]->flushBuffer();     // in their files, as after an import
    list.clips[0]->frames[1]->flushBuffer();
    DownloadStatus status = EffectFile::download(path, list.pictures, list.clips);
    QVERIFY2(status.ok(), qPrintable(status.error));
    QCOMPARE(status.path, path);
    QCOMPARE(fileContent(path), list.bytes());
    QCOMPARE(othersIn(drive.path(), QStringLiteral("Z1.bin")), QStringList());

    // A second download over it replaces it whole.
    list.pictures[0]->showTime = 0.2;
    status = EffectFile::download(path, list.pictures, list.clips);
    QVERIFY(status.ok());
    QCOMPARE(fileContent(path), list.bytes());
    QCOMPARE(othersIn(drive.path(), QStringLiteral("Z1.bin")), QStringList());
}

void EffectFileTest::failuresLeaveThePreviousFile()
{
    QTemporaryDir drive;
    const QString path = drive.filePath(QStringLiteral("Z1.bin"));
    const QByteArray previous = "the effect the fan plays now";
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(previous);
    }

    {   // a picture that cannot be read
        Playlist list;
        list.addPicture(5.0, 8);
        list.addPicture(5.0, 0);
        const DownloadStatus status = EffectFile::download(path, list.pictures, list.clips);
        QCOMPARE(status.code, DownloadStatus::PictureUnreadable);
        QCOMPARE(status.picture, 2);
        QCOMPARE(status.path, path);
    }
    QCOMPARE(fileContent(path), previous);
    QCOMPARE(othersIn(drive.path(), QStringLiteral("Z1.bin")), QStringList());

    {   // a buffer file removed behind the program's back
        Playlist list;
        list.addPicture(5.0, 8);
        MediaObject* clip = list.addClip(2, 1, 8);
        clip->frames[1]->flushBuffer();
        QVERIFY(QFile::remove(clip->frames[1]->bufferPath));
        const DownloadStatus status = EffectFile::download(path, list.pictures, list.clips);
        QCOMPARE(status.code, DownloadStatus::PictureUnreadable);
        QCOMPARE(status.clip, 1);
        QCOMPARE(status.frame, 2);
    }
    QCOMPARE(fileContent(path), previous);
    QCOMPARE(othersIn(drive.path(), QStringLiteral("Z1.bin")), QStringList());

    {   // the job's owner went away part way
        Playlist list;
        list.addPicture(5.0, 8);
        list.addPicture(5.0, 8);
        int calls = 0;
        const DownloadStatus status = EffectFile::download(path, list.pictures, list.clips, {},
                                                           [&] { return ++calls < 2; });
        QCOMPARE(status.code, DownloadStatus::Cancelled);
    }
    QCOMPARE(fileContent(path), previous);
    QCOMPARE(othersIn(drive.path(), QStringLiteral("Z1.bin")), QStringList());

    {   // the drive is gone
        Playlist list;
        list.addPicture(5.0, 8);
        const QString gone = drive.filePath(QStringLiteral("unplugged/Z1.bin"));
        const DownloadStatus status = EffectFile::download(gone, list.pictures, list.clips);
        QCOMPARE(status.code, DownloadStatus::OpenFailed);
        QCOMPARE(status.path, gone);
        QVERIFY(!status.error.isEmpty());
    }

    if (::geteuid() != 0) {  // root writes through permissions; readOnlyDrive covers it
        QVERIFY(QFile::setPermissions(drive.path(), QFile::ReadOwner | QFile::ExeOwner));
        Playlist list;
        list.addPicture(5.0, 8);
        const DownloadStatus status = EffectFile::download(path, list.pictures, list.clips);
        QFile::setPermissions(drive.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(status.code, DownloadStatus::OpenFailed);
        QCOMPARE(fileContent(path), previous);
    }
}

void EffectFileTest::fullDriveIsRefusedBeforeWriting()
{
    SmallDrive drive(QStringLiteral("size=256k"));
    if (!drive.isMounted())
        QSKIP("needs root to mount a small tmpfs");
    const QString path = drive.path() + QStringLiteral("/Z1.bin");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();

    Playlist list;
    for (int i = 0; i < 3; ++i)
        list.addPicture(5.0);
    const DownloadStatus status = EffectFile::download(path, list.pictures, list.clips);
    QCOMPARE(status.code, DownloadStatus::NotEnoughSpace);
    QCOMPARE(status.needed, qint64(4096 + 3 * pictureBytes));  // page-sized already
    QVERIFY(status.available < status.needed);
    QVERIFY(status.available > 200 * 1024);
    QCOMPARE(fileContent(path), QByteArray("old"));
    QCOMPARE(othersIn(drive.path(), QStringLiteral("Z1.bin")), QStringList());

    // Room freed on the drive since the last look is seen: the figure is read afresh.
    list.pictures.takeLast()->deleteLater();
    delete list.pictures.takeLast();
    QVERIFY(EffectFile::checkSpace(path, list.pictures, list.clips).ok());
}

void EffectFileTest::driveFillingUpMidWrite()
{
    SmallDrive drive(QStringLiteral("size=1m"));
    if (!drive.isMounted())
        QSKIP("needs root to mount a small tmpfs");
    const QString path = drive.path() + QStringLiteral("/Z1.bin");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();

    Playlist list;
    for (int i = 0; i < 4; ++i)
        list.addPicture(5.0);
    // Something else fills the drive once the first record is out.
    const QString filler = drive.path() + QStringLiteral("/filler");
    auto fill = [&](int done, int) {
        if (done != 1)
            return;
        QFile file(filler);
        file.open(QIODevice::WriteOnly);
        const QByteArray block(4096, 'z');
        while (file.write(block) == block.size() && file.flush()) {
        }
    };
    const DownloadStatus status = EffectFile::download(path, list.pictures, list.clips, fill);
    QCOMPARE(status.code, DownloadStatus::WriteFailed);
    QVERIFY2(status.error.contains(QStringLiteral("no space left"), Qt::CaseInsensitive), qPrintable(status.error));
    QCOMPARE(fileContent(path), QByteArray("old"));
    QVERIFY(QFile::remove(filler));
    QCOMPARE(othersIn(drive.path(), QStringLiteral("Z1.bin")), QStringList());
}

void EffectFileTest::readOnlyDrive()
{
    SmallDrive drive(QStringLiteral("size=1m"));
    if (!drive.isMounted())
        QSKIP("needs root to mount a small tmpfs");
    const QString path = drive.path() + QStringLiteral("/Z1.bin");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QVERIFY(drive.makeReadOnly());  // the write-protect switch of an SD card

    Playlist list;
    list.addPicture(5.0);
    const DownloadStatus status = EffectFile::download(path, list.pictures, list.clips);
    QCOMPARE(status.code, DownloadStatus::OpenFailed);
    QVERIFY(!status.error.isEmpty());
    QCOMPARE(fileContent(path), QByteArray("old"));
}


void EffectFileTest::partialFilesOfKilledDownloadsGo()
{
    // A download killed on FAT leaves "<name>.XXXXXX" (FAT has no unnamed files); the next
    // download into that folder removes it unless its writer still runs (it holds a lock).
    QTemporaryDir drive;
    auto make = [&](const QString& name, const QByteArray& bytes) {
        QFile file(drive.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return drive.filePath(name);
    };
    const QByteArray startOfEffect = QByteArray(EffectFile::magic, 8) + QByteArray(5000, 'r');
    make(QStringLiteral("show.bin.Ab12Cd"), startOfEffect);  // killed while writing records
    make(QStringLiteral("other.bin.x9Y8z7"), QByteArray());  // killed before the header
    make(QStringLiteral("Z1.BIN.qwErty"), startOfEffect);
    make(QStringLiteral("show.bin.backup"), "the user's own copy");
    make(QStringLiteral("notes.txt.Ab12Cd"), QByteArray());
    make(QStringLiteral("show.bin"), "old");
    // Another program writing right now.
    const QString live = make(QStringLiteral("show.bin.Live01"), startOfEffect);
    const int liveFd = ::open(QFile::encodeName(live).constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(liveFd >= 0 && ::flock(liveFd, LOCK_EX | LOCK_NB) == 0);

    Playlist list;
    list.addPicture(5.0);
    const DownloadStatus status = EffectFile::download(drive.filePath(QStringLiteral("show.bin")), list.pictures, list.clips);
    ::close(liveFd);
    QVERIFY(status.ok());
    QStringList left = QDir(drive.path()).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QCOMPARE(left, (QStringList{"notes.txt.Ab12Cd", "show.bin", "show.bin.Live01", "show.bin.backup"}));
    QCOMPARE(QFileInfo(drive.filePath(QStringLiteral("show.bin"))).size(), qint64(4096 + pictureBytes));
}

QTEST_GUILESS_MAIN(EffectFileTest)
#include "tst_effectfile.moc"
