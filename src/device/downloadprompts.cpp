#include "downloadprompts.h"

#include "downloadstatus.h"
#include "effectfile.h"
#include "udisks.h"

#include "convert/imageobject.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {
QString tr(const char* key) { return QCoreApplication::translate("DownloadPrompts", key); }
QString tipTitle() { return QCoreApplication::translate("MainWindow", "dialog_title_tip"); }

bool askYesNo(QWidget* parent, const QString& text)
{
    return QMessageBox::question(parent, tipTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
           == QMessageBox::Yes;
}

// "Picture 3: 30 s will be 25.5 s" for each picture whose time the file cannot hold; at
// most `shown` lines, then how many more.
QString unfitShowTimes(const QList<ImageObject*>& pictures, int shown)
{
    QStringList lines;
    int more = 0;
    for (int row = 0; row < pictures.size(); ++row) {
        const double time = pictures[row]->showTime;
        const quint8 stored = EffectFile::timeByte(time);
        // Tenths are truncated anyway; only a time of no tenths, or above 25.5 s, is lost.
        if (stored > 0 && time < 25.6)
            continue;
        if (lines.size() == shown) {
            ++more;
            continue;
        }
        lines << tr("download_time_line").arg(row + 1).arg(QString::number(time, 'g', 6))
                     .arg(QString::number(stored / 10.0, 'g', 6));
    }
    if (more > 0)
        lines << tr("download_time_more").arg(more);
    return lines.join(QLatin1Char('\n'));
}
} // namespace

namespace DownloadPrompts {

bool confirmPlaylist(QWidget* parent, const QList<ImageObject*>& pictures,
                     const QList<MediaObject*>& clips)
{
    if (EffectFile::recordCount(pictures, clips) == 0 && !askYesNo(parent, tr("download_ask_empty")))
        return false;
    const QString unfit = unfitShowTimes(pictures, 10);
    if (!unfit.isEmpty() && !askYesNo(parent, tr("download_ask_show_times").arg(unfit)))
        return false;
    return true;
}

bool confirmDownload(QWidget* parent, const QString& path, const QList<ImageObject*>& pictures,
                     const QList<MediaObject*>& clips)
{
    if (QFileInfo::exists(path)
        && !askYesNo(parent, tr("download_ask_replace").arg(QDir::toNativeSeparators(path))))
        return false;
    const int entries = EffectFile::entriesNeeded(pictures, clips);
    if (entries > EffectFile::maxEntries
        && !askYesNo(parent, tr("download_warn_entries").arg(entries).arg(EffectFile::maxEntries)))
        return false;
    const DownloadStatus space = EffectFile::checkSpace(path, pictures, clips);
    if (!space.ok()) {
        QMessageBox::information(parent, tipTitle(), downloadMessage(space), QMessageBox::Ok);
        return false;
    }
    return true;
}

void showResult(QWidget* parent, const DownloadStatus& status, const QString& devicePath)
{
    QMessageBox box(status.ok() ? QMessageBox::Information : QMessageBox::Warning, tipTitle(),
                    downloadMessage(status), QMessageBox::Ok, parent);
    QPushButton* ejectButton = nullptr;
    if (status.ok() && devicePath.startsWith(QLatin1String("/dev/")) && UDisks::isAvailable())
        ejectButton = box.addButton(tr("download_btn_eject"), QMessageBox::ActionRole);
    box.exec();
    if (!ejectButton || box.clickedButton() != ejectButton)
        return;
    const QString error = UDisks::eject(devicePath);
    QMessageBox::information(parent, tipTitle(),
                             error.isEmpty() ? tr("download_eject_done")
                                             : tr("download_eject_failed").arg(error),
                             QMessageBox::Ok);
}

} // namespace DownloadPrompts
