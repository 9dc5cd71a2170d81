#include "convert/testcolorutil.h"
#include "convert/testvalue.h"

#include <QIntValidator>
#include <QtTest>

#include <thread>
#include <vector>

class TestColorUtilTest : public QObject
{
    Q_OBJECT
private slots:
    void lookups_data();
    void lookups();
    void outOfRangeGivesZeroAndSaysSo();
    void editsChangeLaterLookupsOnly();
    void firstUseFromManyThreadsMakesOneTable();
};

void TestColorUtilTest::lookups_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    // Band edges: band 1 holds nine levels (0 to 8), band 32 seven (249 to 255).
    QTest::newRow("0") << 0 << 0 << 0 << 0;
    QTest::newRow("8") << 8 << 0 << 0 << 0;
    QTest::newRow("9") << 9 << 0 << 1 << 1;
    QTest::newRow("16") << 16 << 0 << 1 << 1;
    QTest::newRow("17") << 17 << 1 << 2 << 2;
    QTest::newRow("64") << 64 << 15 << 7 << 7;
    QTest::newRow("65") << 65 << 20 << 10 << 10;
    QTest::newRow("128") << 128 << 63 << 26 << 26;
    QTest::newRow("129") << 129 << 71 << 30 << 30;
    QTest::newRow("248") << 248 << 240 << 120 << 120;
    QTest::newRow("249") << 249 << 255 << 128 << 128;
    QTest::newRow("255") << 255 << 255 << 128 << 128;
    QTest::newRow("256 still in band 32") << 256 << 255 << 128 << 128;
}

void TestColorUtilTest::lookups()
{
    QFETCH(int, level);
    const TestColorUtil* table = TestColorUtil::instance();
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    QCOMPARE(table->getTestRValue(level), red);
    QCOMPARE(table->getTestGValue(level), green);
    QCOMPARE(table->getTestBValue(level), blue);
}

void TestColorUtilTest::outOfRangeGivesZeroAndSaysSo()
{
    const TestColorUtil* table = TestColorUtil::instance();
    QTest::ignoreMessage(QtDebugMsg, "##### getTestBValue() not find TestValue obj d = 38");
    QCOMPARE(table->getTestBValue(300), 0);
    QTest::ignoreMessage(QtDebugMsg, "##### getTestRValue() not find TestValue obj d = 33");
    QCOMPARE(table->getTestRValue(257), 0);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("getTestGValue\\(\\) not find TestValue obj d = -"));
    QCOMPARE(table->getTestGValue(-9), 0);
}

void TestColorUtilTest::editsChangeLaterLookupsOnly()
{
    TestColorUtil* table = TestColorUtil::instance();
    TestValue* band32 = table->values.value(32);
    QVERIFY(band32);
    QCOMPARE(band32->validator->bottom(), 0);
    QCOMPARE(band32->validator->top(), 255);

    band32->onTxtRChanged(QStringLiteral("200"));
    QCOMPARE(table->getTestRValue(250), 200);
    QCOMPARE(table->getTestGValue(250), 128);  // other channels untouched
    band32->onTxtRChanged(QString());           // an emptied edit keeps the value
    band32->onTxtRChanged(QStringLiteral("abc"));
    QCOMPARE(table->getTestRValue(250), 200);
    band32->onTxtGChanged(QStringLiteral("7"));
    band32->onTxtBChanged(QStringLiteral("9"));
    QCOMPARE(table->getTestGValue(255), 7);
    QCOMPARE(table->getTestBValue(255), 9);
    QCOMPARE(table->getTestRValue(248), 240);  // the band below is untouched

    band32->onTxtRChanged(QStringLiteral("255"));
    band32->onTxtGChanged(QStringLiteral("128"));
    band32->onTxtBChanged(QStringLiteral("128"));
}

void TestColorUtilTest::firstUseFromManyThreadsMakesOneTable()
{
    // Runs in a fresh process so that the table does not exist yet.
    if (qEnvironmentVariableIsSet("GYROLUME_CALIBRATION_RACE")) {
        std::vector<TestColorUtil*> seen(16);
        std::vector<std::thread> threads;
        for (auto& slot : seen)
            threads.emplace_back([&slot] { slot = TestColorUtil::instance(); });
        for (auto& thread : threads)
            thread.join();
        for (TestColorUtil* table : seen)
            QCOMPARE(table, seen.front());
        QCOMPARE(seen.front()->values.size(), 32);
        return;
    }
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("GYROLUME_CALIBRATION_RACE"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("firstUseFromManyThreadsMakesOneTable")});
    QVERIFY(child.waitForFinished(60000));
    QVERIFY2(child.exitCode() == 0, child.readAllStandardOutput().constData());
}

QTEST_GUILESS_MAIN(TestColorUtilTest)
#include "tst_testcolorutil.moc"
