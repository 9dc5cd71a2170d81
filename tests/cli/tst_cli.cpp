#include "convert/polarconversion.h"
#include "support/clirun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>


class CliTest : public QObject
{
    Q_OBJECT
private slots:
    void polarWritesTheBufferAndPreview();
    void polarRefusesBadInput_data();
    void polarRefusesBadInput();
    void refusesWhatIsNotARegularFile_data();
    void refusesWhatIsNotARegularFile();
    void namesPassThroughAsTheSystemGivesThem();
    void failuresAreSentencesWithTheSystemsReason();
    void damagedPicturesAreNamedAndNothingIsHalfWritten();
    void runningOutOfMemoryWritesNothing();
    void buildRemovesAbandonedTemporaryFolders();

private:
    QString makePicture(const QString& name);
    QTemporaryDir m_dir;
};

namespace {
// Every failure is one line: "gyrolume-cli: " and sentences, no table keys, no "%1".
void verifyOneSentenceLine(const CliRun& run)
{
    // libpng writes its own complaints on stderr, past the program: not ours to judge.
    QString text = run.errors;
    text.remove(QRegularExpression(QStringLiteral("^libpng .*\\n"), QRegularExpression::MultilineOption));
    QVERIFY2(text.startsWith(QLatin1String("gyrolume-cli: ")) && text.endsWith(QLatin1String(".\n"))
                 && text.count(QLatin1Char('\n')) == 1,
             qPrintable(text));
    QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("\\b(download|dialog)_[a-z_]+|%\\d|Unknown error|\\(\\)"))),
             qPrintable(text));
}
} // namespace

// The names in a directory as the system holds them (no alias, no temporary file left).
QList<QByteArray> rawNames(const QByteArray& directory)
{
    QList<QByteArray> names;
    if (DIR* listing = ::opendir(directory.constData())) {
        while (const dirent* entry = ::readdir(listing))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.append(QByteArray(entry->d_name));
        ::closedir(listing);
    }
    std::sort(names.begin(), names.end());
    return names;
}

QString CliTest::makePicture(const QString& name)
{
    QImage picture(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            picture.setPixel(x, y, qRgb(x % 256, (x * y) % 256, y));
    const QString path = m_dir.filePath(name);
    picture.save(path);
    return path;
}

void CliTest::polarWritesTheBufferAndPreview()
{
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 90));
    for (int x = 0; x < 64; ++x)
        picture.setPixel(x, x % 48, qRgb(255, x * 4, 0));
    const QString input = m_dir.filePath(QStringLiteral("in.png"));
    QVERIFY(picture.save(input));
    const QString output = m_dir.filePath(QStringLiteral("out.buf"));
    const QString preview = m_dir.filePath(QStringLiteral("out.png"));

    const CliRun run = runCli({QStringLiteral("polar"), input, output, QStringLiteral("--leds"), QStringLiteral("36"),
                            QStringLiteral("--lines"), QStringLiteral("360"), QStringLiteral("--preview"), preview});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.errors.isEmpty(), qPrintable(run.errors));
    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const Polar::Result expected = Polar::resample(QImage(input), 36, 360);
    QVERIFY(file.readAll() == expected.buffer);
    QCOMPARE(QImage(preview).convertToFormat(QImage::Format_ARGB32), expected.preview);

    // Defaults are 112 LEDs and 450 lines.
    QCOMPARE(runCli({QStringLiteral("polar"), input, output}).status, 0);
    QCOMPARE(QFileInfo(output).size(), qint64(114688));
}

void CliTest::polarRefusesBadInput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString missing = m_dir.filePath(QStringLiteral("missing.png"));
    const QString text = m_dir.filePath(QStringLiteral("text.png"));
    QFile file(text);
    file.open(QIODevice::WriteOnly);
    file.write("hello");
    file.close();
    QImage(8, 8, QImage::Format_RGB32).save(m_dir.filePath(QStringLiteral("ok.png")));
    const QString ok = m_dir.filePath(QStringLiteral("ok.png"));
    const QString out = m_dir.filePath(QStringLiteral("refused.buf"));
    QTest::newRow("missing file") << QStringList{"polar", missing, out} << 1 << missing;
    QTest::newRow("not a picture") << QStringList{"polar", text, out} << 1 << text;
    QTest::newRow("no output") << QStringList{"polar", ok} << 2 << "Usage";
    QTest::newRow("leds 0") << QStringList{"polar", ok, out, "--leds", "0"} << 2 << "--leds";
    QTest::newRow("lines 601") << QStringList{"polar", ok, out, "--lines", "601"} << 2 << "--lines";
    QTest::newRow("leds not a number") << QStringList{"polar", ok, out, "--leds", "many"} << 2 << "many";
    QTest::newRow("unknown option") << QStringList{"polar", ok, out, "--fast"} << 2 << "--fast";
    QTest::newRow("unknown command") << QStringList{"polish", ok, out} << 2 << "polish";
    QTest::newRow("unwritable output") << QStringList{"polar", ok, m_dir.filePath("no/such/dir/x.buf")} << 1
                                       << "no/such/dir";
}

void CliTest::polarRefusesBadInput()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    const CliRun run = runCli(arguments);
    QCOMPARE(run.status, status);
    QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("refused.buf"))));
}

void CliTest::refusesWhatIsNotARegularFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    const QString fifo = m_dir.filePath(QStringLiteral("pipe.png"));
    ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
    const QString loop = m_dir.filePath(QStringLiteral("loop.png"));
    QFile::link(loop, loop);
    const QString directory = m_dir.filePath(QStringLiteral("folder.png"));
    QDir().mkpath(directory);
    const QString out = m_dir.filePath(QStringLiteral("refused.bin"));
    const QString pipe = QStringLiteral("named pipe (FIFO)");
    // A FIFO is refused before it is opened: opening one waits for a writer forever.
    QTest::newRow("polar of a FIFO") << QStringList{"polar", fifo, out} << fifo << pipe;
    QTest::newRow("build of a FIFO") << QStringList{"build", out, fifo} << fifo << pipe;
    QTest::newRow("clip from a FIFO") << QStringList{"build", out, "--clip", fifo} << fifo << pipe;
    QTest::newRow("info of a FIFO") << QStringList{"info", fifo} << fifo << pipe;
    QTest::newRow("render of a FIFO") << QStringList{"render", fifo, m_dir.filePath("frames")} << fifo << pipe;
    QTest::newRow("directory") << QStringList{"polar", directory, out} << directory << "is a directory";
    QTest::newRow("info of a directory") << QStringList{"info", directory} << directory << "is a directory";
    QTest::newRow("symbolic-link loop") << QStringList{"polar", loop, out} << loop
                                        << "too many levels of symbolic links";
    QTest::newRow("missing") << QStringList{"info", m_dir.filePath("gone.bin")} << m_dir.filePath("gone.bin")
                             << "no such file or directory";
}

void CliTest::refusesWhatIsNotARegularFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, path);
    QFETCH(QString, reason);
    const CliRun run = runCli(arguments);
    QCOMPARE(run.status, 1);
    verifyOneSentenceLine(run);
    QVERIFY2(run.errors.contains(path + ": ") && run.errors.contains(reason, Qt::CaseInsensitive),
             qPrintable(run.errors));
    QVERIFY(run.output.isEmpty());  // no "-4096 bytes" or any other reading of it
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("refused.bin"))));
}

void CliTest::namesPassThroughAsTheSystemGivesThem()
{
    QTemporaryDir dir;
    QImage picture(40, 40, QImage::Format_RGB32);
    picture.fill(Qt::red);
    // Latin-1 names, as an old FAT card or an archive gives them, and a name like an option.
    const QByteArray root = QFile::encodeName(dir.path()) + '/';
    QVERIFY(picture.save(dir.filePath(QStringLiteral("-dash.png"))));
    QFile latin1(QFile::decodeName(root + "plain.png"));
    QVERIFY(picture.save(latin1.fileName()));
    QVERIFY(::rename((root + "plain.png").constData(), (root + "caf\xe9.png").constData()) == 0);

    auto shell = [&](const QString& script) {
        return runCli({}, [&](QProcess& process) {
            process.setProgram(QStringLiteral("/bin/sh"));
            process.setArguments({QStringLiteral("-c"), QStringLiteral("exec \"$GYROLUME_CLI\" ") + script});
            process.setWorkingDirectory(dir.path());
        });
    };
    CliRun run = shell(QStringLiteral("polar \"$(printf 'caf\\351.png')\" \"$(printf 'out\\351.buf')\" "
                                      "--preview \"$(printf 'sub\\351/pre\\351.png')\""));
    QCOMPARE(run.status, 1);  // the preview's directory is missing: nothing is written
    QVERIFY2(run.errorBytes.contains("sub\xe9/pre\xe9.png: no such file or directory."), run.errorBytes.constData());
    struct stat status = {};
    QVERIFY(::stat((root + "out\xe9.buf").constData(), &status) != 0);

    QVERIFY(::mkdir((root + "sub\xe9").constData(), 0700) == 0);
    run = shell(QStringLiteral("polar \"$(printf 'caf\\351.png')\" \"$(printf 'out\\351.buf')\" "
                               "--preview \"$(printf 'sub\\351/pre\\351.png')\""));
    QVERIFY2(run.status == 0, run.errorBytes.constData());
    QVERIFY(::stat((root + "out\xe9.buf").constData(), &status) == 0 && status.st_size == 114688);
    QVERIFY(::stat((root + "sub\xe9/pre\xe9.png").constData(), &status) == 0 && status.st_size > 0);
    QCOMPARE(rawNames(root), (QList<QByteArray>{"-dash.png", "caf\xe9.png", "out\xe9.buf", "sub\xe9"}));
    // Written again: the files are replaced under their own names.
    run = shell(QStringLiteral("polar --leds 500 --lines 600 \"$(printf 'caf\\351.png')\" \"$(printf 'out\\351.buf')\""));
    QVERIFY2(run.status == 0, run.errorBytes.constData());
    QVERIFY(::stat((root + "out\xe9.buf").constData(), &status) == 0 && status.st_size == 675000);
    QCOMPARE(rawNames(root), (QList<QByteArray>{"-dash.png", "caf\xe9.png", "out\xe9.buf", "sub\xe9"}));

    run = shell(QStringLiteral("info \"$(printf 'gone\\351.bin')\""));
    QCOMPARE(run.status, 1);
    QVERIFY2(run.errorBytes.contains("gone\xe9.bin: no such file or directory."), run.errorBytes.constData());

    // "--" ends the options: what follows is a file, whatever it looks like.
    run = shell(QStringLiteral("polar -- -dash.png --help"));
    QVERIFY2(run.status == 0, qPrintable(run.errors));
    QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("--help"))).size(), qint64(114688));
    // QDir cannot name what is not UTF-8, so QTemporaryDir cannot remove it.
    QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), dir.path()});
}

void CliTest::failuresAreSentencesWithTheSystemsReason()
{
    const QString picture = makePicture(QStringLiteral("sentence.png"));
    const QString missingDir = m_dir.filePath(QStringLiteral("no/such/dir/show.bin"));
    CliRun run = runCli({"build", missingDir, picture});
    QCOMPARE(run.status, 1);
    verifyOneSentenceLine(run);
    QVERIFY2(run.errors.contains(missingDir), qPrintable(run.errors));

    // A drive that fills up: the file-size limit fails writes as a full drive does.
    auto smallDrive = [](QProcess& process) {
        process.setChildProcessModifier([] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{50000, 50000};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    };
    const QString buffer = m_dir.filePath(QStringLiteral("full.buf"));
    const QString effect = m_dir.filePath(QStringLiteral("full.bin"));
    const QList<QPair<QStringList, QString>> writes{
        {{"polar", picture, buffer}, buffer + ": file too large."},
        {{"build", effect, picture}, effect + " failed: file too large."}};
    for (const auto& [arguments, sentence] : writes) {
        run = runCli(arguments, smallDrive);
        QCOMPARE(run.status, 1);
        verifyOneSentenceLine(run);
        QVERIFY2(run.errors.contains(sentence), qPrintable(run.errors));
    }
    QCOMPARE(QDir(m_dir.path()).entryList({"full.*"}, QDir::Files | QDir::Hidden).size(), 0);
}

void CliTest::damagedPicturesAreNamedAndNothingIsHalfWritten()
{
    // A JPG cut short decodes, its lost part blank: it loads, with a warning naming it.
    QImage whole(QImage(makePicture(QStringLiteral("whole.png"))));
    const QString cut = m_dir.filePath(QStringLiteral("cut.jpg"));
    QVERIFY(whole.save(cut));
    QVERIFY(QFile::resize(cut, QFileInfo(cut).size() / 2));
    const QString buffer = m_dir.filePath(QStringLiteral("cut.buf"));
    CliRun run = runCli({"polar", cut, buffer});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.errors.contains(QStringLiteral("warning: %1 was decoded with errors").arg(cut)), qPrintable(run.errors));
    QCOMPARE(QFileInfo(buffer).size(), qint64(114688));
    run = runCli({"build", m_dir.filePath(QStringLiteral("cut.bin")), cut});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.errors.contains(cut), qPrintable(run.errors));
    // An intact picture brings no warning.
    run = runCli({"polar", m_dir.filePath(QStringLiteral("whole.png")), buffer});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.errors.isEmpty(), qPrintable(run.errors));

    // The preview cannot be written: the buffer is not written either.
    const QString lonely = m_dir.filePath(QStringLiteral("lonely.buf"));
    run = runCli({"polar", cut, lonely, "--preview", m_dir.filePath(QStringLiteral("nowhere/p.png"))});
    QCOMPARE(run.status, 1);
    QVERIFY(!QFile::exists(lonely));
}

void CliTest::runningOutOfMemoryWritesNothing()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    QSKIP("the sanitizers own malloc; an allocator preloaded beside them does not run");
#endif
    const QString picture = makePicture(QStringLiteral("memory.png"));
    // Every allocation of a 450 x 450 picture or more fails; the input itself decodes.
    auto shortOfMemory = [](QProcess& process) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LD_PRELOAD"), qEnvironmentVariable("GYROLUME_FAILING_MALLOC"));
        environment.insert(QStringLiteral("GYROLUME_TEST_MALLOC_LIMIT"), QStringLiteral("600000"));
        process.setProcessEnvironment(environment);
    };
    for (const QStringList& arguments : {QStringList{"build", m_dir.filePath("memory.bin"), picture, picture},
                                         QStringList{"build", m_dir.filePath("memory.bin"), "--layout", "readback", picture},
                                         QStringList{"polar", picture, m_dir.filePath("memory.bin")}}) {
        const CliRun run = runCli(arguments, shortOfMemory);
        QCOMPARE(run.status, 1);
        verifyOneSentenceLine(run);
        QVERIFY2(run.errors.contains(QStringLiteral("no memory left")), qPrintable(run.errors));
        QCOMPARE(QDir(m_dir.path()).entryList({"memory.bin*"}, QDir::Files | QDir::Hidden).size(), 0);
    }
}

void CliTest::buildRemovesAbandonedTemporaryFolders()
{
    // The tool keeps its pictures' files in "<cache>/gyrolume-cli/temp/<pid>", as the
    // window does in its own; a run that was killed leaves its folder behind.
    QTemporaryDir cache;
    const QString root = cache.filePath(QStringLiteral("gyrolume-cli/temp"));
    const QString abandoned = root + QStringLiteral("/4000000");
    QVERIFY(QDir().mkpath(abandoned));
    QFile left(abandoned + QStringLiteral("/7.buf"));
    QVERIFY(left.open(QIODevice::WriteOnly));
    left.close();
    const QString picture = makePicture(QStringLiteral("temp.png"));
    const CliRun run = runCli({"build", m_dir.filePath(QStringLiteral("temp.bin")), picture}, [&](QProcess& process) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), cache.path());
        process.setProcessEnvironment(environment);
    });
    QVERIFY2(run.status == 0, qPrintable(run.errors));
    QVERIFY(!QFileInfo::exists(abandoned));
    QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());  // its own went too
}

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
