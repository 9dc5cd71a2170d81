#include "app/appsettings.h"
#include "convert/imageobject.h"
#include "convert/polarconversion.h"
#include "convert/settingcolorform.h"
#include "convert/testcolorutil.h"
#include "convert/testvalue.h"
#include "support/testtempdir.h"

#include <QIntValidator>
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
    void screenshot();

private:
    QList<std::array<int, 3>> defaults;
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
