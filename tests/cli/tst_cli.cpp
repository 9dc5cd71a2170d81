#include "convert/polarconversion.h"
#include "support/clirun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>


class CliTest : public QObject
{
    Q_OBJECT
private slots:
    void polarWritesTheBufferAndPreview();
    void polarRefusesBadInput_data();
    void polarRefusesBadInput();

private:
    QTemporaryDir m_dir;
};

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

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
