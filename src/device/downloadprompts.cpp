#include "downloadprompts.h"

#include "downloadstatus.h"
#include "effectfile.h"
#include "udisks.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
QString tr(const char* key) { return QCoreApplication::translate("DownloadPrompts", key); }
QString tipTitle() { return QCoreApplication::translate("MainWindow", "dialog_title_tip"); }
} // namespace

namespace DownloadPrompts {

bool confirmDownload(QWidget* parent, const QString& path, const QList<ImageObject*>& pictures,
                     const QList<MediaObject*>& clips)
{
    const int entries = EffectFile::entriesNeeded(pictures, clips);
    if (entries > EffectFile::maxEntries) {
        const auto answer = QMessageBox::question(
            parent, tipTitle(),
            tr("download_warn_entries").arg(entries).arg(EffectFile::maxEntries),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
    }
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
