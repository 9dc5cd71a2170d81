#include "app/appsettings.h"
#include "app/translations.h"

#include <QCoreApplication>
#include <QTranslator>
#include <QtTest>

class TranslationsTest : public QObject
{
    Q_OBJECT
private slots:
    void programTables_data();
    void programTables();
    void toolkitTablesTranslate_data();
    void toolkitTablesTranslate();
};

void TranslationsTest::programTables_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("en tip") << int(AppSettings::English) << "dialog_title_tip" << "Tip";
    QTest::newRow("en chinese key") << int(AppSettings::English) << "图片列表" << "Picture List";
    QTest::newRow("en title has no entry") << int(AppSettings::English) << "Gyrolume" << "";
    QTest::newRow("zh_CN download") << int(AppSettings::SimplifiedChinese) << "action_title_download" << "下载到U盘";
    QTest::newRow("zh_CN chinese key has no entry") << int(AppSettings::SimplifiedChinese) << "图片列表" << "";
    QTest::newRow("zh_HK download") << int(AppSettings::TraditionalChinese) << "action_title_download" << "下載到U盤";
    QTest::newRow("zh_HK list") << int(AppSettings::TraditionalChinese) << "视频列表" << "視頻列表";
}

void TranslationsTest::programTables()
{
    QFETCH(int, language);
    QFETCH(QString, key);
    QFETCH(QString, text);
    QTranslator table;
    QVERIFY(table.load(Translations::programTable(language)));
    QCOMPARE(table.translate("MainWindow", key.toUtf8().constData()), text);
}

void TranslationsTest::toolkitTablesTranslate_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("zh_CN") << int(AppSettings::SimplifiedChinese) << "取消";
    QTest::newRow("zh_TW") << int(AppSettings::TraditionalChinese) << "取消";
}

void TranslationsTest::toolkitTablesTranslate()
{
    // The toolkit table is only a catalogue of module tables: loading it must bring them.
    QFETCH(int, language);
    QFETCH(QString, cancel);
    QTranslator table;
    QVERIFY(table.load(Translations::toolkitTable(language)));
    QVERIFY(QCoreApplication::installTranslator(&table));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), cancel);
    QCoreApplication::removeTranslator(&table);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    QVERIFY(Translations::toolkitTable(AppSettings::English).isEmpty());
}

QTEST_GUILESS_MAIN(TranslationsTest)
#include "tst_translations.moc"
