#include "app/appsettings.h"
#include "app/translations.h"
#include "convert/imageobject.h"
#include "device/downloadprompts.h"
#include "device/downloadstatus.h"
#include "device/drivelist.h"
#include "device/getsavefiledialog.h"
#include "device/selectusbpathdialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include "support/testtempdir.h"

namespace {
// Closes the next message box as soon as it shows and keeps its text.
class BoxCloser : public QObject
{
public:
    QString text;
    int boxes = 0;
    QMessageBox::StandardButton answer = QMessageBox::NoButton;  // pressed when set
    void arm()
    {
        QTimer::singleShot(0, this, [this] { poll(); });
    }

private:
    void poll()
    {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            ++boxes;
            if (answer != QMessageBox::NoButton)
                box->button(answer)->click();
            else
                box->accept();
            return;
        }
        QTimer::singleShot(10, this, [this] { poll(); });
    }
};

template <typename T>
T* child(QWidget* parent, const char* name)
{
    T* widget = parent->findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}
} // namespace

class DeviceDialogsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void listStartsAsTheDrives();
    void listFollowsTheDrives();
    void okWithoutDriveShowsTipAndStays();
    void chosenFolder();
    void nameFieldTakesEightCharacters();
    void refusedNamesKeepTheDialogOpen_data();
    void refusedNamesKeepTheDialogOpen();
    void acceptedNames_data();
    void acceptedNames();
    void downloadMessages();
    void confirmAboveTheTableLimit();
    void resultBox();
    void screenshots();

private:
    QTranslator m_english;
};

void DeviceDialogsTest::initTestCase()
{
    useTestTempRoot();
    QVERIFY(m_english.load(Translations::programTable(AppSettings::English)));
    QCoreApplication::installTranslator(&m_english);
}

void DeviceDialogsTest::listStartsAsTheDrives()
{
    DriveList drives;
    drives.AddDisk(QStringLiteral("/media/u/CARD"), QStringLiteral("CARD"));
    drives.AddDisk(QStringLiteral("/media/u/STICK"));
    SelectUsbPathDialog dialog(drives);
    auto* list = child<QListWidget>(&dialog, "listWidget");
    QCOMPARE(dialog.paths(), (QStringList{"/media/u/CARD", "/media/u/STICK"}));
    QCOMPARE(list->item(0)->text(), QStringLiteral("/media/u/CARD  (CARD)"));
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(dialog.selectedPath(), QStringLiteral("/media/u/CARD"));
    list->setCurrentRow(1);
    QCOMPARE(dialog.selectedPath(), QStringLiteral("/media/u/STICK"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Please select U disk path."));
    QCOMPARE(child<QLabel>(&dialog, "label")->text(), QStringLiteral("All the current U disk detected:"));
    QVERIFY(list->isWrapping());
}

void DeviceDialogsTest::listFollowsTheDrives()
{
    DriveList drives;
    SelectUsbPathDialog dialog(drives);
    connect(&drives, &DriveList::usbMountEvent, &dialog, &SelectUsbPathDialog::usbMountEvent);
    connect(&drives, &DriveList::usbUMountEvent, &dialog, &SelectUsbPathDialog::usbUMountEvent);
    QVERIFY(dialog.selectedPath().isEmpty());

    drives.AddDisk(QStringLiteral("/media/a"), QStringLiteral("A"));  // the only one: current
    QCOMPARE(dialog.selectedPath(), QStringLiteral("/media/a"));
    drives.AddDisk(QStringLiteral("/media/b"));  // last row, current unchanged
    drives.AddDisk(QStringLiteral("/media/b"));  // known: one row
    QCOMPARE(dialog.paths(), (QStringList{"/media/a", "/media/b"}));
    QCOMPARE(child<QListWidget>(&dialog, "listWidget")->item(0)->text(), QStringLiteral("/media/a  (A)"));
    QCOMPARE(dialog.selectedPath(), QStringLiteral("/media/a"));

    child<QListWidget>(&dialog, "listWidget")->setCurrentRow(1);
    drives.AddDisk(QStringLiteral("/media/c"));
    drives.DeleteDisk(QStringLiteral("/media/b"));  // the current one goes: row 0 is current
    QCOMPARE(dialog.paths(), (QStringList{"/media/a", "/media/c"}));
    QCOMPARE(dialog.selectedPath(), QStringLiteral("/media/a"));
    drives.DeleteDisk(QStringLiteral("/media/a"));
    QCOMPARE(dialog.selectedPath(), QStringLiteral("/media/c"));
    drives.DeleteDisk(QStringLiteral("/media/c"));
    QVERIFY(dialog.paths().isEmpty());
    QVERIFY(dialog.selectedPath().isEmpty());
}

void DeviceDialogsTest::okWithoutDriveShowsTipAndStays()
{
    DriveList drives;
    SelectUsbPathDialog dialog(drives);
    dialog.show();
    BoxCloser closer;
    closer.arm();
    QTest::mouseClick(child<QPushButton>(&dialog, "okBut"), Qt::LeftButton);
    QCOMPARE(closer.boxes, 1);
    QCOMPARE(closer.text, QStringLiteral("Please select U disk path."));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));

    drives.AddDisk(QStringLiteral("/media/a"));
    dialog.usbMountEvent(QStringLiteral("/media/a"));
    QTest::mouseClick(child<QPushButton>(&dialog, "okBut"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(closer.boxes, 1);

    SelectUsbPathDialog cancelled(drives);
    cancelled.show();
    QTest::mouseClick(child<QPushButton>(&cancelled, "cancelBut"), Qt::LeftButton);
    QCOMPARE(cancelled.result(), int(QDialog::Rejected));
    QVERIFY(!cancelled.isVisible());
}

void DeviceDialogsTest::chosenFolder()
{
    DriveList drives;
    drives.AddDisk(QStringLiteral("/media/a"));
    SelectUsbPathDialog dialog(drives);
    dialog.addFolder(QStringLiteral("/srv/fan/"));
    QCOMPARE(dialog.selectedPath(), QStringLiteral("/srv/fan"));
    dialog.addFolder(QStringLiteral("/srv//fan"));  // the same folder: no second row
    QCOMPARE(dialog.paths(), (QStringList{"/media/a", "/srv/fan"}));
    dialog.addFolder(QStringLiteral("/media/a"));
    QCOMPARE(dialog.selectedPath(), QStringLiteral("/media/a"));
    QCOMPARE(dialog.paths().size(), 2);
    QVERIFY(child<QPushButton>(&dialog, "folderBut")->isVisibleTo(&dialog));
    // A drive mounted later at a chosen folder keeps its one row.
    dialog.usbMountEvent(QStringLiteral("/srv/fan"));
    QCOMPARE(dialog.paths(), (QStringList{"/media/a", "/srv/fan"}));
}

void DeviceDialogsTest::nameFieldTakesEightCharacters()
{
    GetSaveFileDialog dialog;
    auto* field = child<QLineEdit>(&dialog, "txtFileName");
    QVERIFY(field->text().isEmpty());
    QTest::keyClicks(field, QStringLiteral("ABCDEFGHI"));
    QCOMPARE(dialog.fileName(), QStringLiteral("ABCDEFGH"));
    field->clear();
    // Typed through an input method: key events that carry the text.
    for (const QChar c : QStringLiteral("一二三四五六七八九")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
    }
    // The prompt's promise: 4 Chinese characters, a Chinese character counting two.
    QCOMPARE(dialog.fileName(), QStringLiteral("一二三四"));
    field->clear();
    QTest::keyClicks(field, QStringLiteral("AB"));
    for (const QChar c : QStringLiteral("一二三四")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
    }
    QTest::keyClicks(field, QStringLiteral("C"));
    QCOMPARE(dialog.fileName(), QStringLiteral("AB一二三"));
}

void DeviceDialogsTest::refusedNamesKeepTheDialogOpen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("parent directory") << "../x"
        << "The name cannot contain \"/\": the file would be written outside the chosen drive. "
           "Enter a name without / or \\.";
    QTest::newRow("dots") << ".." << "The name cannot be made of dots only. Enter a name with letters or digits.";
    QTest::newRow("star") << "a*"
        << "The name cannot contain \"*\": U disks do not accept the characters < > : \" | ? *. Enter another name.";
    QTest::newRow("empty") << "" << "Enter a name for the effect file (letters or digits, at most 8).";
    QTest::newRow("control") << "a\x01"
        << "The name contains an invisible control character (U+0001). Type the name again.";
}

void DeviceDialogsTest::refusedNamesKeepTheDialogOpen()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    GetSaveFileDialog dialog;
    dialog.show();
    child<QLineEdit>(&dialog, "txtFileName")->setText(name);
    BoxCloser closer;
    closer.arm();
    QTest::mouseClick(child<QPushButton>(&dialog, "okBut"), Qt::LeftButton);
    QCOMPARE(closer.boxes, 1);
    QCOMPARE(closer.text, message);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.fileName(), name);  // kept for the user to correct
}

void DeviceDialogsTest::acceptedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Z1") << "Z1";
    QTest::newRow("chinese") << "效果";
}

void DeviceDialogsTest::acceptedNames()
{
    QFETCH(QString, name);
    GetSaveFileDialog dialog;
    dialog.show();
    child<QLineEdit>(&dialog, "txtFileName")->setText(name);
    QTest::mouseClick(child<QPushButton>(&dialog, "okBut"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.fileName(), name);

    GetSaveFileDialog cancelled;
    cancelled.show();
    QTest::mouseClick(child<QPushButton>(&cancelled, "cancelBut"), Qt::LeftButton);
    QCOMPARE(cancelled.result(), int(QDialog::Rejected));
}

void DeviceDialogsTest::downloadMessages()
{
    DownloadStatus status;
    status.path = QStringLiteral("/media/u/CARD/Z1.bin");
    QCOMPARE(downloadMessage(status), QStringLiteral("Download success: /media/u/CARD/Z1.bin"));
    status.code = DownloadStatus::NotEnoughSpace;
    status.needed = 5'800'000;
    status.available = 1'250'000;
    QCOMPARE(downloadMessage(status),
             QStringLiteral("Not enough free space for /media/u/CARD/Z1.bin: the effect file needs 5.8 MB, "
                            "but only 1.3 MB are free. Delete files from the drive or choose another drive."));
    status = DownloadStatus();
    status.path = QStringLiteral("/media/u/CARD/Z1.bin");
    status.code = DownloadStatus::PictureUnreadable;
    status.clip = 2;
    status.frame = 7;
    QCOMPARE(downloadMessage(status),
             QStringLiteral("Frame 7 of clip 2 cannot be read, so /media/u/CARD/Z1.bin was not written. "
                            "Remove the clip from the list or import it again."));
    status.clip = status.frame = 0;
    status.picture = 3;
    QVERIFY(downloadMessage(status).startsWith(QStringLiteral("Picture 3 of the picture list")));
    // Every failure names the file and is translated (no key shows through).
    for (const auto code : {DownloadStatus::Cancelled, DownloadStatus::OpenFailed, DownloadStatus::WriteFailed,
                            DownloadStatus::CommitFailed, DownloadStatus::SyncFailed}) {
        status.code = code;
        status.error = QStringLiteral("No space left on device");
        const QString text = downloadMessage(status);
        QVERIFY2(text.contains(status.path) && !text.contains(QLatin1String("download_")), qPrintable(text));
        if (code != DownloadStatus::Cancelled)
            QVERIFY(text.contains(status.error));
    }
    status.code = DownloadStatus::WriteFailed;
    status.error.clear();
    QVERIFY(downloadMessage(status).contains(QLatin1String("unknown error")));
}

void DeviceDialogsTest::confirmAboveTheTableLimit()
{
    QTemporaryDir drive;
    const QString path = drive.filePath(QStringLiteral("Z1.bin"));
    QList<ImageObject*> pictures;
    for (int i = 0; i < 501; ++i) {
        pictures.append(new ImageObject(i + 1, QString(), 5.0, ImageObject::PictureKind));
        pictures.last()->polarBuffer = QByteArray(4, 'p');
    }
    BoxCloser closer;
    closer.answer = QMessageBox::No;
    closer.arm();
    QVERIFY(!DownloadPrompts::confirmDownload(nullptr, path, pictures, {}));
    QCOMPARE(closer.boxes, 1);
    QVERIFY2(closer.text.startsWith(QStringLiteral("The playlist needs 501 entries, but an effect file holds 500")),
             qPrintable(closer.text));
    closer.answer = QMessageBox::Yes;
    closer.arm();
    QVERIFY(DownloadPrompts::confirmDownload(nullptr, path, pictures, {}));
    QCOMPARE(closer.boxes, 2);

    delete pictures.takeLast();  // 500 entries: no question
    QVERIFY(DownloadPrompts::confirmDownload(nullptr, path, pictures, {}));
    QCOMPARE(closer.boxes, 2);
    qDeleteAll(pictures);
}

void DeviceDialogsTest::resultBox()
{
    DownloadStatus status;
    status.code = DownloadStatus::OpenFailed;
    status.path = QStringLiteral("/media/u/CARD/Z1.bin");
    status.error = QStringLiteral("Read-only file system");
    BoxCloser closer;
    closer.arm();
    DownloadPrompts::showResult(nullptr, status, QStringLiteral("/dev/sdb1"));
    QCOMPARE(closer.boxes, 1);
    QCOMPARE(closer.text, QStringLiteral("Cannot create /media/u/CARD/Z1.bin: Read-only file system. Check that "
                                         "the drive is still plugged in and not write-protected."));
}

void DeviceDialogsTest::screenshots()
{
    const QString dir = QString::fromLocal8Bit(qgetenv("GYROLUME_SCREENSHOTS"));
    if (dir.isEmpty())
        QSKIP("set GYROLUME_SCREENSHOTS to a directory to save the dialogs' pictures");
    DriveList drives;
    drives.AddDisk(QStringLiteral("/media/user/CARD"), QStringLiteral("CARD"));
    drives.AddDisk(QStringLiteral("/media/user/MY STICK"));
    SelectUsbPathDialog select(drives);
    select.show();
    QVERIFY(select.grab().save(dir + QStringLiteral("/selectusbpathdialog.png")));
    GetSaveFileDialog name;
    name.show();
    child<QLineEdit>(&name, "txtFileName")->setText(QStringLiteral("Z1"));
    QVERIFY(name.grab().save(dir + QStringLiteral("/getsavefiledialog.png")));
}

QTEST_MAIN(DeviceDialogsTest)
#include "tst_devicedialogs.moc"
