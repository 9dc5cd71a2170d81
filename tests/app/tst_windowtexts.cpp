// The window and its dialogs and questions speak the language the user chose: no Chinese
// in English, no Simplified characters in Traditional Chinese. With GYROLUME_SCREENSHOTS
// set, every dialog and question met is saved there, in all three languages.
#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "convert/imageobject.h"
#include "convert/settingcolorform.h"
#include "device/drivelist.h"
#include "device/getsavefiledialog.h"
#include "device/readbackwriter.h"
#include "device/selectusbpathdialog.h"
#include "playlist/customtablemodel.h"
#include "support/testtempdir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Every text a user reads in a window: its title, labels, buttons, group titles.
QStringList visibleTexts(const QWidget* widget)
{
    QStringList texts{widget->windowTitle()};
    for (const QLabel* label : widget->findChildren<QLabel*>())
        texts << label->text();
    for (const QAbstractButton* button : widget->findChildren<QAbstractButton*>())
        texts << button->text();
    for (const QGroupBox* group : widget->findChildren<QGroupBox*>())
        texts << group->title();
    texts.removeAll(QString());
    return texts;
}

// What a reader of the language would not expect to see, or an empty string.
QString foreignText(const QStringList& texts, int language)
{
    // Characters that exist only in the Simplified script (the Traditional ones differ).
    static const QString simplifiedOnly = QStringLiteral(
        "数图张删调试参对颜设认输选择开关载视频时间读写个汉续将会还变盘请确页这么");
    for (const QString& text : texts) {
        for (const QChar c : text) {
            const bool cjk = (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
                             || (c.unicode() >= 0x3000 && c.unicode() <= 0x303F)
                             || (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF);
            if ((language == AppSettings::English && cjk)
                || (language == AppSettings::TraditionalChinese && simplifiedOnly.contains(c)))
                return text;
        }
    }
    return QString();
}

// Answers the next modal windows in order; each answer gets the window and first records
// its texts (and its picture, when screenshots are wanted).
class ModalAnswers : public QObject
{
public:
    using Answer = std::function<void(QWidget*)>;
    explicit ModalAnswers(QString prefix) : shotPrefix(std::move(prefix))
    {
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == lastAnswered || answers.isEmpty())
                return;
            lastAnswered = modal;
            auto [name, answer] = answers.takeFirst();
            texts[name] = visibleTexts(modal);
            if (!shotPrefix.isEmpty())
                modal->grab().save(shotPrefix + name + QStringLiteral(".png"));
            answer(modal);
        });
        timer.start();
    }
    void then(const QString& name, Answer answer) { answers.append({name, std::move(answer)}); }
    bool done() const { return answers.isEmpty(); }
    QMap<QString, QStringList> texts;

private:
    QString shotPrefix;
    QList<QPair<QString, Answer>> answers;
    QTimer timer;
    QPointer<QWidget> lastAnswered;
};

void reject(QWidget* widget) { static_cast<QDialog*>(widget)->reject(); }
void pressNo(QWidget* box) { static_cast<QMessageBox*>(box)->button(QMessageBox::No)->click(); }

} // namespace

class WindowTextsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dialogsAndQuestionsSpeakTheLanguage_data();
    void dialogsAndQuestionsSpeakTheLanguage();

private:
    QTemporaryDir files;
};

void WindowTextsTest::initTestCase()
{
    useTestTempRoot();
    QImage picture(80, 60, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    QVERIFY(picture.save(files.filePath("p.png")));
    // A factory file, so that Reset has something to replace the playlist with.
    QFile factory(files.filePath("default.bin"));
    QVERIFY(factory.open(QIODevice::WriteOnly));
    QVERIFY(EffectFile::writeReadBack(factory, {{5, QByteArray(38880, '\x20')}}, {}, 38880).isEmpty());
}

void WindowTextsTest::dialogsAndQuestionsSpeakTheLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("en") << int(AppSettings::English);
    QTest::newRow("zh_HK") << int(AppSettings::TraditionalChinese);
    QTest::newRow("zh_CN") << int(AppSettings::SimplifiedChinese);
}

void WindowTextsTest::dialogsAndQuestionsSpeakTheLanguage()
{
    QFETCH(int, language);
    AppSettings::language = AppSettings::NoLanguage;
    AppSettings::ledCount = AppSettings::defaultLedCount;
    AppSettings::lineNumber = AppSettings::defaultLineNumber;
    AppSettings::appDir = files.path();
    MainWindow window;
    if (language == AppSettings::English)
        window.onBtnEnUsClick();
    else if (language == AppSettings::TraditionalChinese)
        window.onBtnZhHkClick();
    else
        window.onBtnZhCnClick();
    window.resize(1000, 700);
    window.show();

    const QString dir = qEnvironmentVariable("GYROLUME_SCREENSHOTS");
    const QString prefix = dir.isEmpty() ? QString() : dir + QLatin1Char('/') + QTest::currentDataTag() + QLatin1Char('_');
    ModalAnswers answers(prefix);
    QMap<QString, QStringList> texts;
    texts["window"] = visibleTexts(&window);
    for (const QAction* action : window.findChildren<QAction*>())
        texts["window"] << action->text();
    for (const QMenu* menu : window.findChildren<QMenu*>())
        texts["window"] << menu->title();

    // The geometry dialogs and the question before the playlist goes.
    answers.then("ledcount", [](QWidget* dialog) {
        dialog->findChild<QLineEdit*>()->setText("100");
        static_cast<QDialog*>(dialog)->accept();
    });
    answers.then("ledcount_question", reject);
    window.onBtnLedCount();
    answers.then("linenumber", reject);
    window.onBtnLineNumber();

    // Questions of the download: an empty playlist, then show times the file cannot hold.
    answers.then("download_empty", pressNo);
    window.onActionDownToUsb();
    const QString source = files.filePath("p.png");
    for (double time : {30.0, 0.0})
        window.addPictureObject(new ImageObject(0, source, time, ImageObject::PictureKind));
    answers.then("download_times", pressNo);
    window.onActionDownToUsb();

    // Reset over a playlist, and the picture limit.
    answers.then("reset_question", pressNo);
    window.onActionRestoreFactory();
    for (int i = 0; i < MainWindow::pictureLimit; ++i)
        window.addPictureObject(new ImageObject(0, source, 5.0, ImageObject::PictureKind));
    answers.then("picture_limit", reject);
    window.onActionOpenImage();
    QVERIFY(answers.done());
    texts.insert(answers.texts);

    // The dialogs the drive jobs and the settings open.
    DriveList drives;
    drives.AddDisk(QStringLiteral("/media/user/CARD"), QStringLiteral("CARD"));
    SelectUsbPathDialog drive(drives);
    GetSaveFileDialog name;
    SettingColorForm colours;
    for (QDialog* dialog : std::initializer_list<QDialog*>{&drive, &name, &colours}) {
        dialog->show();
        const QString className = QString::fromLatin1(dialog->metaObject()->className());
        texts[className] = visibleTexts(dialog);
        if (!prefix.isEmpty())
            dialog->grab().save(prefix + className + QStringLiteral(".png"));
    }
    drive.setPurpose(SelectUsbPathDialog::Purpose::Preview);
    texts["folder title"] = QStringList{drive.folderDialogTitle()};

    for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
        QVERIFY2(!it.value().isEmpty(), qPrintable(it.key()));
        const QString foreign = foreignText(it.value(), language);
        QVERIFY2(foreign.isEmpty(), qPrintable(it.key() + ": " + foreign));
    }
    // The show-time question names the pictures and what they get.
    if (language == AppSettings::English) {
        const QString times = texts["download_times"].join('\n');
        QVERIFY2(times.contains("Picture 1: 30 s becomes 25.5 s") && times.contains("Picture 2: 0 s becomes 0 s"),
                 qPrintable(times));
    }
}

QTEST_MAIN(WindowTextsTest)
#include "tst_windowtexts.moc"
