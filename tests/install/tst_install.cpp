// Installs the build into a fresh prefix, as a packager or `sudo cmake --install` would,
// and checks what a desktop needs: the programs, the menu entry, the icon theme, the
// AppStream description and the factory effect.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Run
{
    int status = -1;
    QString output;
};

Run run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

QString tool(const char* name)
{
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (path.isEmpty())
        qWarning("%s is missing: ./setup.sh installs it", name);
    return path;
}
} // namespace

class InstallTest : public QObject
{
    Q_OBJECT
private slots:
    void installsWhatADesktopNeeds();
};

void InstallTest::installsWhatADesktopNeeds()
{
    QTemporaryDir prefix;
    const Run install = run(qEnvironmentVariable("GYROLUME_CMAKE"),
                            {"--install", qEnvironmentVariable("GYROLUME_BUILD_DIR"), "--prefix", prefix.path()});
    QVERIFY2(install.status == 0, qPrintable(install.output));
    const QDir root(prefix.path());
    const QString id = QStringLiteral("io.github.gyrolume.Gyrolume");

    for (const char* program : {"bin/gyrolume", "bin/gyrolume-cli"})
        QVERIFY2(QFileInfo(root.filePath(program)).isExecutable(), program);

    const QString desktop = root.filePath("share/applications/" + id + ".desktop");
    const QString validateDesktop = tool("desktop-file-validate");
    QVERIFY(!validateDesktop.isEmpty());
    const Run desktopCheck = run(validateDesktop, {desktop});
    QVERIFY2(desktopCheck.status == 0 && desktopCheck.output.trimmed().isEmpty(), qPrintable(desktopCheck.output));
    QFile entry(desktop);
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QByteArray entryText = entry.readAll();
    QVERIFY(entryText.contains("\nExec=gyrolume\n"));
    QVERIFY(entryText.contains("\nIcon=" + id.toUtf8() + "\n"));

    // The icon the entry names: the drawing itself and pictures of it at the usual sizes.
    const QString icons = root.filePath("share/icons/hicolor/");
    QVERIFY(QFile::exists(icons + "scalable/apps/" + id + ".svg"));
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage icon(icons + QStringLiteral("%1x%1/apps/").arg(size) + id + ".png");
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.pixelColor(size / 2, size / 2).alpha() > 0);  // drawn, not empty
    }

    const QString metainfo = root.filePath("share/metainfo/" + id + ".metainfo.xml");
    const QString appstream = tool("appstreamcli");
    QVERIFY(!appstream.isEmpty());
    const Run metainfoCheck = run(appstream, {"validate", "--no-net", metainfo});
    QVERIFY2(metainfoCheck.status == 0, qPrintable(metainfoCheck.output));
    QFile description(metainfo);
    QVERIFY(description.open(QIODevice::ReadOnly));
    const QByteArray descriptionText = description.readAll();
    QVERIFY(descriptionText.contains("<screenshot type=\"default\">"));
    QVERIFY(descriptionText.contains("<release version=\"" GYROLUME_VERSION "\""));
    QVERIFY(descriptionText.contains("<launchable type=\"desktop-id\">" + id.toUtf8() + ".desktop<"));

    // The factory effect, readable by the installed tool.
    const QString factory = root.filePath("share/gyrolume/default.bin");
    QVERIFY(QFileInfo(factory).size() > 120);
    const Run info = run(root.filePath("bin/gyrolume-cli"), {"info", factory, "--leds", "36", "--lines", "360"});
    QVERIFY2(info.status == 0 && info.output.contains("pictures: 3"), qPrintable(info.output));
}

QTEST_GUILESS_MAIN(InstallTest)
#include "tst_install.moc"
