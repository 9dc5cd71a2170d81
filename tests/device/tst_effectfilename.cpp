#include "device/effectfilename.h"

#include <QtTest>

class EffectFileNameTest : public QObject
{
    Q_OBJECT
private slots:
    void check_data();
    void check();
    void path_data();
    void path();
};

void EffectFileNameTest::check_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("problem");
    QTest::addColumn<QString>("character");
    QTest::newRow("plain") << "Z1" << int(EffectFileName::NoProblem) << "";
    QTest::newRow("empty") << "" << int(EffectFileName::Empty) << "";
    QTest::newRow("only spaces") << "  " << int(EffectFileName::Empty) << "";
    QTest::newRow("chinese") << "效果一" << int(EffectFileName::NoProblem) << "";
    QTest::newRow("spaces and dots inside") << "a b.c" << int(EffectFileName::NoProblem) << "";
    QTest::newRow("dots around a name") << "..a" << int(EffectFileName::NoProblem) << "";
    QTest::newRow("slash") << "../x" << int(EffectFileName::Separator) << "/";
    QTest::newRow("leading slash") << "/etc" << int(EffectFileName::Separator) << "/";
    QTest::newRow("backslash") << "a\\b" << int(EffectFileName::Separator) << "\\";
    QTest::newRow("dot") << "." << int(EffectFileName::OnlyDots) << "";
    QTest::newRow("dot dot") << ".." << int(EffectFileName::OnlyDots) << "";
    QTest::newRow("dots") << "...." << int(EffectFileName::OnlyDots) << "";
    QTest::newRow("less") << "a<b" << int(EffectFileName::ForbiddenCharacter) << "<";
    QTest::newRow("greater") << "a>" << int(EffectFileName::ForbiddenCharacter) << ">";
    QTest::newRow("colon") << "E:x" << int(EffectFileName::ForbiddenCharacter) << ":";
    QTest::newRow("quote") << "\"q\"" << int(EffectFileName::ForbiddenCharacter) << "\"";
    QTest::newRow("pipe") << "a|b" << int(EffectFileName::ForbiddenCharacter) << "|";
    QTest::newRow("question") << "why?" << int(EffectFileName::ForbiddenCharacter) << "?";
    QTest::newRow("star") << "*" << int(EffectFileName::ForbiddenCharacter) << "*";
    QTest::newRow("tab") << "a\tb" << int(EffectFileName::ControlCharacter) << "\t";
    QTest::newRow("nul") << QString(QChar(0)) << int(EffectFileName::ControlCharacter) << QString(QChar(0));
    QTest::newRow("delete") << QString(QChar(0x7f)) << int(EffectFileName::ControlCharacter)
                            << QString(QChar(0x7f));
    QTest::newRow("first problem wins") << "a*b/c" << int(EffectFileName::ForbiddenCharacter) << "*";
}

void EffectFileNameTest::check()
{
    QFETCH(QString, name);
    QFETCH(int, problem);
    QFETCH(QString, character);
    const EffectFileName::Check result = EffectFileName::check(name);
    QCOMPARE(int(result.problem), problem);
    if (!character.isEmpty())
        QCOMPARE(QString(result.character), character);
}

void EffectFileNameTest::path_data()
{
    QTest::addColumn<QString>("drive");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::newRow("Z1") << "/media/u/CARD" << "Z1" << "/media/u/CARD/Z1.bin";
    QTest::newRow("empty") << "/media/u/CARD" << "" << "/media/u/CARD/.bin";
    QTest::newRow("drive letter form") << "F:" << "Z1" << "F:/Z1.bin";
}

void EffectFileNameTest::path()
{
    QFETCH(QString, drive);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QCOMPARE(EffectFileName::effectFilePath(drive, name), path);
}

QTEST_GUILESS_MAIN(EffectFileNameTest)
#include "tst_effectfilename.moc"
