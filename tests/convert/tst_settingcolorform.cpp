#include "app/appsettings.h"
#include "app/translations.h"
#include "convert/imageobject.h"
#include "convert/polarconversion.h"
#include "convert/settingcolorform.h"
#include "convert/testcolorutil.h"
#include "convert/testvalue.h"
#include "support/modalwidgets.h"
#include "support/testtempdir.h"

#include <QApplication>
#include <QIntValidator>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <array>
#include <memory>

namespace {
QLineEdit* edit(const SettingColorForm& form, char channel, int row)
{
    return form.findChild<QLineEdit*>(QStringLiteral("txt%1%2").arg(QLatin1Char(channel)).arg(row));
}

QStringList rowTexts(const SettingColorForm& form, int row)
{
    return {edit(form, 'R', row)->text(), edit(form, 'G', row)->text(), edit(form, 'B', row)->text()};
}

// Answers the next message box with `button` and keeps its text.
struct BoxAnswer
{
    QString text;
    int boxes = 0;
    void arm(QMessageBox::StandardButton button)
    {
        whenModal<QMessageBox>([this, button](QMessageBox* box) {
            text = box->text();
            ++boxes;
            box->button(button)->click();
        });
    }
};

QByteArray tableText(int rows, const QByteArray& row = "10 20 30")
{
    QByteArray text;
    for (int n = 0; n < rows; ++n)
        text += row + '\n';
    return text;
}

void retype(QLineEdit* field, const QString& text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}
} // namespace

class SettingColorFormTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void rowsShowTheTable();
    void editChangesLaterConversionsOnly();
    void emptiedEditKeepsTheValue();
    void tableIsSavedLoadedAndRestored();
    void badTableFilesChangeNothing_data();
    void badTableFilesChangeNothing();
    void screenshot();

private:
    QList<std::array<int, 3>> defaults;
    QTranslator english;
    QTemporaryDir dir;
};

void SettingColorFormTest::initTestCase()
{
    useTestTempRoot();
    // As in the program when a conversion runs before the window is first opened: the
    // table is made on a worker thread, whose rows then belong to that thread.
    std::unique_ptr<QThread> worker(QThread::create([] { TestColorUtil::instance(); }));
    worker->start();
    QVERIFY(worker->wait(5000));
    QVERIFY(TestColorUtil::instance()->thread() != thread());
    QVERIFY(english.load(Translations::programTable(AppSettings::English)));
    for (int n = 1; n <= 32; ++n) {
        const TestValue* row = TestColorUtil::instance()->values.value(n);
        defaults.append({row->r, row->g, row->b});
    }
}

void SettingColorFormTest::cleanup()
{
    for (int n = 1; n <= 32; ++n) {
        TestValue* row = TestColorUtil::instance()->values.value(n);
        row->r = defaults.at(n - 1)[0];
        row->g = defaults.at(n - 1)[1];
        row->b = defaults.at(n - 1)[2];
    }
}

void SettingColorFormTest::rowsShowTheTable()
{
    SettingColorForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("颜色参数设置"));
    QCOMPARE(form.size(), QSize(674, 368));
    QVERIFY(form.findChild<QScrollArea*>("scrollArea")->widgetResizable());
    QCOMPARE(rowTexts(form, 1), (QStringList{"0", "0", "0"}));
    QCOMPARE(rowTexts(form, 5), (QStringList{"5", "4", "4"}));
    QCOMPARE(rowTexts(form, 32), (QStringList{"255", "128", "128"}));
    for (int n = 1; n <= 32; ++n) {
        const TestValue* row = TestColorUtil::instance()->values.value(n);
        for (char channel : {'R', 'G', 'B'}) {
            QLineEdit* field = edit(form, channel, n);
            QVERIFY2(field, qPrintable(QString::number(n)));
            // The rows' own validators, shared by every window.
            QCOMPARE(field->validator(), row->validator);
        }
        QCOMPARE(edit(form, 'R', n)->parentWidget()->height(), 50);
    }
    // Above 255 cannot be typed.
    retype(edit(form, 'B', 7), "256");
    QCOMPARE(edit(form, 'B', 7)->text(), QStringLiteral("25"));
    QCOMPARE(TestColorUtil::instance()->getTestBValue(52), 25);
}

void SettingColorFormTest::editChangesLaterConversionsOnly()
{
    QImage red(64, 64, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    ImageObject before(1, QString(), 5.0, ImageObject::PictureKind);
    convertToPolar(red, &before);
    const QByteArray beforeBuffer = before.buffer();

    {
        SettingColorForm form;
        retype(edit(form, 'R', 32), "200");
        QCOMPARE(TestColorUtil::instance()->values.value(32)->r, 200);
        QCOMPARE(TestColorUtil::instance()->getTestRValue(249), 200);
        QCOMPARE(TestColorUtil::instance()->getTestRValue(255), 200);
        QCOMPARE(TestColorUtil::instance()->getTestRValue(248), 240);
    }
    SettingColorForm reopened;
    QCOMPARE(edit(reopened, 'R', 32)->text(), QStringLiteral("200"));

    ImageObject after(2, QString(), 5.0, ImageObject::PictureKind);
    convertToPolar(red, &after);
    // The picture converted before keeps its bytes; the new one is darker in red.
    QCOMPARE(before.buffer(), beforeBuffer);
    QVERIFY(after.buffer() != beforeBuffer);
    TestColorUtil::instance()->values.value(32)->r = 255;
    QCOMPARE(Polar::resample(red, AppSettings::ledCount, AppSettings::lineNumber).buffer, beforeBuffer);
    TestColorUtil::instance()->values.value(32)->r = 200;
    QCOMPARE(Polar::resample(red, AppSettings::ledCount, AppSettings::lineNumber).buffer, after.buffer());
}

void SettingColorFormTest::emptiedEditKeepsTheValue()
{
    {
        SettingColorForm form;
        QLineEdit* field = edit(form, 'G', 5);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(field->text(), QString());
        QCOMPARE(TestColorUtil::instance()->values.value(5)->g, 4);
    }
    SettingColorForm reopened;
    QCOMPARE(edit(reopened, 'G', 5)->text(), QStringLiteral("4"));
}

void SettingColorFormTest::tableIsSavedLoadedAndRestored()
{
    QCoreApplication::installTranslator(&english);  // the messages are read in English
    auto english = qScopeGuard([this] { QCoreApplication::removeTranslator(&this->english); });
    SettingColorForm form;
    retype(edit(form, 'R', 32), "200");
    retype(edit(form, 'B', 1), "7");
    const QString path = dir.filePath("fan.txt");
    QVERIFY(form.saveTable(path));

    // Restore defaults asks first: No keeps the user's table.
    BoxAnswer no;
    no.arm(QMessageBox::No);
    form.defaultsButton()->click();
    QCOMPARE(no.boxes, 1);
    QCOMPARE(TestColorUtil::instance()->values.value(32)->r, 200);
    BoxAnswer yes;
    yes.arm(QMessageBox::Yes);
    form.defaultsButton()->click();
    QCOMPARE(yes.boxes, 1);
    QCOMPARE(rowTexts(form, 32), (QStringList{"255", "128", "128"}));
    QCOMPARE(rowTexts(form, 1), (QStringList{"0", "0", "0"}));
    QCOMPARE(TestColorUtil::instance()->getTestRValue(255), 255);

    // The saved file brings the tuned table back, into the table and the window.
    QVERIFY(form.loadTable(path));
    QCOMPARE(edit(form, 'R', 32)->text(), QStringLiteral("200"));
    QCOMPARE(TestColorUtil::instance()->getTestRValue(250), 200);
    QCOMPARE(TestColorUtil::instance()->getTestBValue(0), 7);
    QCOMPARE(TestColorUtil::instance()->getTestRValue(100), 42);

    // A hand-written file: comments, blank lines, commas.
    QFile handWritten(dir.filePath("hand.txt"));
    QVERIFY(handWritten.open(QIODevice::WriteOnly));
    handWritten.write("# my fan\r\n\r\n" + tableText(31, "1, 2, 3\r") + "  250\t251 252  \n\n");
    handWritten.close();
    QVERIFY(form.loadTable(handWritten.fileName()));
    QCOMPARE(rowTexts(form, 32), (QStringList{"250", "251", "252"}));
    QCOMPARE(TestColorUtil::instance()->getTestGValue(0), 2);

    // A file that cannot be written over is refused with the reason; nothing else changes.
    BoxAnswer refused;
    refused.arm(QMessageBox::Ok);
    QVERIFY(!form.saveTable(dir.filePath("no/such/folder/fan.txt")));
    QVERIFY2(refused.text.startsWith("Cannot write "), qPrintable(refused.text));
}

void SettingColorFormTest::badTableFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("31 rows") << tableText(31) << "The file holds 31 rows; a colour table has 32 (R G B per line).";
    QTest::newRow("33 rows") << "# c\n" + tableText(33) << "Line 34: a colour table has only 32 rows.";
    QTest::newRow("256") << tableText(5) + "1 256 3\n" + tableText(26)
                         << "Line 6: \"1 256 3\" is not three levels from 0 to 255 (R G B).";
    QTest::newRow("two levels") << tableText(31) + "1 2\n" << "Line 32: \"1 2\" is not three levels from 0 to 255 (R G B).";
    QTest::newRow("negative") << "-1 0 0\n" + tableText(31) << "Line 1: \"-1 0 0\" is not three levels from 0 to 255 (R G B).";
    QTest::newRow("decimal") << "1.5 0 0\n" + tableText(31) << "Line 1: \"1.5 0 0\" is not three levels from 0 to 255 (R G B).";
    QTest::newRow("empty") << QByteArray() << "The file holds 0 rows; a colour table has 32 (R G B per line).";
    QTest::newRow("picture") << QByteArray(100 * 1024, '\x7f')
                             << "The file is too large to be a colour table (32 lines of R G B).";
}

void SettingColorFormTest::badTableFilesChangeNothing()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    const QString path = dir.filePath("bad.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();

    QCoreApplication::installTranslator(&english);
    auto english = qScopeGuard([this] { QCoreApplication::removeTranslator(&this->english); });
    SettingColorForm form;
    retype(edit(form, 'G', 9), "99");
    BoxAnswer box;
    box.arm(QMessageBox::Ok);
    QVERIFY(!form.loadTable(path));
    QCOMPARE(box.text, QString("%1 was not loaded, the table is unchanged:\n%2").arg(path, reason));
    // Not one row taken from the file, in the table or the window.
    QCOMPARE(TestColorUtil::instance()->values.value(9)->g, 99);
    QCOMPARE(edit(form, 'G', 9)->text(), QStringLiteral("99"));
    for (int n : {1, 2, 32})
        QCOMPARE(TestColorUtil::instance()->values.value(n)->r, defaults.at(n - 1)[0]);
}

void SettingColorFormTest::screenshot()
{
    const QString dir = qEnvironmentVariable("GYROLUME_SCREENSHOTS");
    if (dir.isEmpty())
        QSKIP("GYROLUME_SCREENSHOTS not set");
    SettingColorForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.grab().save(dir + "/settingcolorform.png");
    auto* scroll = form.findChild<QScrollArea*>("scrollArea");
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    QTest::qWait(50);
    form.grab().save(dir + "/settingcolorform_end.png");
}

QTEST_MAIN(SettingColorFormTest)
#include "tst_settingcolorform.moc"
