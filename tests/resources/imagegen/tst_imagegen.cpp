#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The build step itself: what it writes for each output type, and that a refused
// picture leaves the previous output untouched.
class ImageGenTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void writesEachType_data();
    void writesEachType();
    void refusals_data();
    void refusals();

private:
    QString writeSource(const QString& name, const QByteArray& body);
    int run(const QStringList& arguments, QString* errors);
    QTemporaryDir m_dir;
    QString m_program;
};

namespace {

const QByteArray square = "<rect x=\"8\" y=\"8\" width=\"32\" height=\"32\" fill=\"#1e88e5\" stroke=\"#263238\" stroke-width=\"4\"/>";
const QByteArray covered = "<rect x=\"0\" y=\"0\" width=\"64\" height=\"64\" fill=\"#2b2f36\"/>" + square;

} // namespace

void ImageGenTest::initTestCase()
{
    m_program = qEnvironmentVariable("GYROLUME_IMAGEGEN");
    QVERIFY2(QFile::exists(m_program), "GYROLUME_IMAGEGEN names no program");
    QVERIFY(m_dir.isValid());
}

QString ImageGenTest::writeSource(const QString& name, const QByteArray& body)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">" + body
               + "</svg>");
    return path;
}

int ImageGenTest::run(const QStringList& arguments, QString* errors)
{
    QProcess process;
    process.start(m_program, arguments);
    if (!process.waitForFinished(30000))
        return -1;
    *errors = QString::fromLocal8Bit(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void ImageGenTest::writesEachType_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<int>("frames");
    QTest::newRow("png") << square << "icon.png" << QStringList() << QByteArray("png") << 1;
    QTest::newRow("jpg") << covered << "ground.jpg" << QStringList() << QByteArray("jpeg") << 1;
    QTest::newRow("gif") << square << "spin.gif" << QStringList{"--frames", "4", "--delay", "50"}
                         << QByteArray("gif") << 4;
}

void ImageGenTest::writesEachType()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, output);
    QFETCH(QStringList, options);
    QFETCH(QByteArray, format);
    QFETCH(int, frames);
    const QString source = writeSource(QStringLiteral("good.svg"), body);
    const QString target = m_dir.filePath(output);
    QString errors;
    QCOMPARE(run(options + QStringList{source, target, QStringLiteral("48x40")}, &errors), 0);

    QImageReader reader(target);
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.format(), format);
    if (format == "gif")
        QCOMPARE(reader.imageCount(), frames);
    const QImage first = reader.read();
    QCOMPARE(first.size(), QSize(48, 40));
    QCOMPARE(first.hasAlphaChannel(), format != "jpeg");
    if (format == "gif") {
        QCOMPARE(reader.nextImageDelay(), 50);
        // The square turns about the centre: the second frame is the first turned by 90°.
        QImage second;
        QVERIFY(reader.read(&second));
        QVERIFY(second != first);
    }
}

void ImageGenTest::refusals_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("message");
    QTest::newRow("jpeg with transparent pixels") << square << "a.jpg" << QStringList() << "transparent";
    QTest::newRow("nothing drawn") << QByteArray() << "a.png" << QStringList() << "flat colour";
    QTest::newRow("misspelt attribute") << QByteArray("<rect width=\"9\" height=\"9\" filll=\"#000000\"/>") << "a.png"
                                        << QStringList() << "filll";
    QTest::newRow("unknown type") << square << "a.bmp" << QStringList() << ".png, .jpg or .gif";
    QTest::newRow("one frame") << square << "a.gif" << QStringList{"--frames", "1"} << "--frames";
    QTest::newRow("bad matte") << square << "a.gif" << QStringList{"--matte", "greyish"} << "greyish";
}

void ImageGenTest::refusals()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, output);
    QFETCH(QStringList, extra);
    QFETCH(QString, message);
    const QString source = writeSource(QStringLiteral("bad.svg"), body);
    const QString target = m_dir.filePath(output);
    {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("previous picture");
    }
    QString errors;
    QCOMPARE(run(extra + QStringList{source, target, QStringLiteral("32x32")}, &errors), 1);
    QVERIFY2(errors.contains(message), qPrintable(errors));
    QFile old(target);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("previous picture"));
}

QTEST_GUILESS_MAIN(ImageGenTest)
#include "tst_imagegen.moc"
