// The main window's drive jobs: the drive list it keeps, the download of the playlist, the
// preview of a drive's effect file and the factory restore. Each posts its job to the
// window's handler and waits in the modal progress dialog until the job replies.
#include "mainwindow.h"

#include "app/appsettings.h"
#include "app/playmediahandler.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "device/downloadprompts.h"
#include "device/drivelist.h"
#include "device/drivemonitor.h"
#include "device/effectfilename.h"
#include "device/factoryeffect.h"
#include "device/getsavefiledialog.h"
#include "device/recordforms.h"
#include "device/selectusbpathdialog.h"
#include "device/udisks.h"
#include "looper/message.h"
#include "looper/messagecodes.h"
#include "playlist/customtablemodel.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QToolBox>

namespace {

template<typename Object>
QList<Object*> objectsOf(const CustomTableModel& model)
{
    QList<Object*> objects;
    for (const CustomTableItem* item : model.items())
        objects.append(static_cast<Object*>(item->object));
    return objects;
}

template<typename Object>
QList<CustomTableItem*> rowsFor(const QList<Object*>& objects)
{
    QList<CustomTableItem*> rows;
    for (Object* object : objects)
        rows.append(new CustomTableItem{object});
    return rows;
}

} // namespace

void MainWindow::setupDrives()
{
    m_drives = new DriveList(this);
    m_driveMonitor = new DriveMonitor(this);
    connect(m_driveMonitor, &DriveMonitor::diskArrived, m_drives, &DriveList::AddDisk);
    connect(m_driveMonitor, &DriveMonitor::diskRemoved, m_drives, &DriveList::DeleteDisk);
    connect(m_drives, &DriveList::usbMountEvent, this, &MainWindow::usbMountEvent);
    connect(m_drives, &DriveList::usbUMountEvent, this, &MainWindow::usbUMountEvent);
    if (UDisks::isAvailable())
        m_driveMonitor->setLabelLookup(UDisks::label);
    if (!m_driveMonitor->start())
        qDebug() << "#MainWindow# the mount table cannot be read: no drives will be offered";

    connect(m_handler.get(), &PlayMediaHandler::jobProgress, this, [this](qint64 done, qint64 total) {
        if (m_progressDialog)
            m_progressDialog->setProgress(done, total);
    });
    connect(m_handler.get(), &PlayMediaHandler::previewUsbOver, this, &MainWindow::previewUsbOver);
    connect(m_handler.get(), &PlayMediaHandler::restoreFactoryOver, this, &MainWindow::restoreFactoryOver);
    for (QAction* action : {actionDownload, actionPreview, actionRestoreFactory})
        action->setEnabled(true);
    connect(actionDownload, &QAction::triggered, this, &MainWindow::onActionDownToUsb);
    connect(actionPreview, &QAction::triggered, this, &MainWindow::onActionPreviewFromUsb);
    connect(actionRestoreFactory, &QAction::triggered, this, &MainWindow::onActionRestoreFactory);
}

QString MainWindow::chooseDrive(bool forPreview)
{
    SelectUsbPathDialog dialog(*m_drives, this);
    dialog.setPurpose(forPreview ? SelectUsbPathDialog::Purpose::Preview : SelectUsbPathDialog::Purpose::Download);
    // The list follows drives coming and going while it is open.
    connect(this, &MainWindow::usbMountEvent, &dialog, &SelectUsbPathDialog::usbMountEvent);
    connect(this, &MainWindow::usbUMountEvent, &dialog, &SelectUsbPathDialog::usbUMountEvent);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedPath();
}

void MainWindow::onActionDownToUsb()
{
    if (!matchRecordForms())
        return;
    const QList<ImageObject*> pictures = objectsOf<ImageObject>(*m_pictureModel);
    const QList<MediaObject*> clips = objectsOf<MediaObject>(*m_clipModel);
    if (!DownloadPrompts::confirmPlaylist(this, pictures, clips))
        return;
    const QString drive = chooseDrive(false);
    if (drive.isEmpty())
        return;
    GetSaveFileDialog nameDialog(this);
    if (nameDialog.exec() != QDialog::Accepted)
        return;
    const QString path = EffectFileName::effectFilePath(drive, nameDialog.fileName());
    if (!DownloadPrompts::confirmDownload(this, path, pictures, clips))
        return;

    downloadDrive = drive;
    m_handler->requestDownload(path, pictures, clips);
    // The job reads the playlist's objects until it replies: the box cannot be closed
    // before, so nothing is deleted under it.
    runProgressDialog(tr("dialog_title_downloading"), false);
}

namespace {

// "1-3, 5" for rows 1, 2, 3 and 5.
QString rowRanges(const QList<int>& rows)
{
    QStringList ranges;
    for (int i = 0; i < rows.size();) {
        int j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        ranges << (j == i ? QString::number(rows[i]) : QStringLiteral("%1-%2").arg(rows[i]).arg(rows[j]));
        i = j + 1;
    }
    return ranges.join(QStringLiteral(", "));
}

} // namespace

bool MainWindow::matchRecordForms()
{
    const QList<RecordForms::Group> groups = RecordForms::groupBySize(objectsOf<ImageObject>(*m_pictureModel),
                                                                     objectsOf<MediaObject>(*m_clipModel));
    if (groups.size() <= 1)
        return true;
    const int raw = RecordForms::convertibleGroup(groups, AppSettings::ledCount, AppSettings::lineNumber);
    if (raw >= 0 && RecordForms::convertToBitPlanes(groups[raw].objects, AppSettings::ledCount, AppSettings::lineNumber))
        return true;
    QStringList lines;
    for (const RecordForms::Group& group : groups) {
        QStringList rows;
        if (!group.pictures.isEmpty())
            rows << tr("download_rows_pictures").arg(rowRanges(group.pictures));
        if (!group.clips.isEmpty())
            rows << tr("download_rows_clips").arg(rowRanges(group.clips));
        lines << tr("download_mixed_group").arg(rows.join(QStringLiteral("; "))).arg(group.size);
    }
    QMessageBox::information(this, tr("dialog_title_tip"), tr("download_fail_mixed").arg(lines.join(QLatin1Char('\n'))),
                             QMessageBox::Ok);
    return false;
}

void MainWindow::finishDownload(Message* msg)
{
    closeProgressDialog();
    const DownloadStatus status = m_handler->takeDownloadStatus();
    delete msg;
    DownloadPrompts::showResult(this, status, m_driveMonitor->entryFor(downloadDrive).source);
}

void MainWindow::onActionPreviewFromUsb()
{
    onBtnStopClick();
    const QString drive = chooseDrive(true);
    if (drive.isEmpty())
        return;
    const QString path = drive + QStringLiteral("/Z1.bin");
    if (!QFileInfo(path).isFile()) {
        QMessageBox::information(this, tr("dialog_title_tip"), tr("dialog_title_preview_error1"), QMessageBox::Ok);
        return;
    }
    if (!confirmReplacePlaylist())
        return;
    toolBox->setCurrentWidget(page);
    startReadJob(MessageCode::PreviewUsb, path, tr("dialog_title_reading_usb"));
}

void MainWindow::onActionRestoreFactory()
{
    onBtnStopClick();
    const QString path = FactoryEffect::find();
    const bool newGeometry = AppSettings::ledCount != FactoryEffect::ledCount
                             || AppSettings::lineNumber != FactoryEffect::lineNumber;
    // The factory blade whether or not its file is found, unless the user keeps the
    // playlist: pictures converted for one blade and imported for another must not mix.
    const QString geometryNote = newGeometry ? tr("dialog_factory_geometry")
                                                   .arg(FactoryEffect::ledCount)
                                                   .arg(FactoryEffect::lineNumber)
                                                   .arg(AppSettings::ledCount)
                                                   .arg(AppSettings::lineNumber)
                                             : QString();
    if (!path.isEmpty() && !confirmReplacePlaylist(geometryNote))
        return;
    AppSettings::ledCount = FactoryEffect::ledCount;
    AppSettings::lineNumber = FactoryEffect::lineNumber;
    refreshGeometryLabels();
    if (path.isEmpty()) {
        qDebug() << "not find system ui file. " << FactoryEffect::candidatePaths();
        QString message = tr("dialog_title_not_find_default");
        if (newGeometry)
            message += QLatin1Char('\n')
                       + tr("dialog_factory_geometry_set").arg(FactoryEffect::ledCount).arg(FactoryEffect::lineNumber);
        QMessageBox::information(this, tr("dialog_title_tip"), message, QMessageBox::Ok);
        return;
    }
    clearPlaylist();
    toolBox->setCurrentWidget(page);
    startReadJob(MessageCode::RestoreFactory, path, tr("dialog_title_reading_sys"));
}

bool MainWindow::confirmReplacePlaylist(const QString& note)
{
    const int pictures = m_pictureModel->rowCount();
    const int clips = m_clipModel->rowCount();
    if (pictures == 0 && clips == 0)
        return true;
    QString question = tr("dialog_ask_replace_playlist").arg(pictures).arg(clips);
    if (!note.isEmpty())
        question = note + QStringLiteral("\n\n") + question;
    return QMessageBox::question(this, tr("dialog_title_tip"), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
           == QMessageBox::Yes;
}

void MainWindow::startReadJob(int code, const QString& path, const QString& text)
{
    m_handler->takeFinishedRead().objects.deleteAll();
    const quint64 token = ++lastReadJob;
    m_handler->wantedJob = token;
    auto* msg = new Message(m_handler.get(), code);
    msg->obj = reinterpret_cast<void*>(quintptr(token));
    msg->str = path;
    m_handler->sendHandlerMessage(msg);
    runProgressDialog(text);
    // Cancelled or done: a job still reading stops at its next record.
    m_handler->wantedJob = 0;
    pressImageWidget(QModelIndex());
}

void MainWindow::previewUsbOver()
{
    takeReadObjects();
}

void MainWindow::restoreFactoryOver()
{
    qDebug() << "#MainWindow# restoreFactoryOver";
    takeReadObjects();
    qDebug() << "#MainWindow# restoreFactoryOver 11111111111";
}

void MainWindow::takeReadObjects()
{
    ReadBackJob job = m_handler->takeFinishedRead();
    // The result of a job the user cancelled: its box is gone, its objects go too.
    if (job.token == 0 || job.token != m_handler->wantedJob) {
        job.objects.deleteAll();
        return;
    }
    closeProgressDialog();
    const QString problem = readFailureText(job);
    if (!problem.isEmpty()) {
        job.objects.deleteAll();
        QMessageBox::information(this, tr("dialog_title_tip"), problem, QMessageBox::Ok);
        return;
    }

    clearPlaylist();
    m_pictureModel->appendItems(rowsFor(job.objects.pictures));
    m_clipModel->appendItems(rowsFor(job.objects.clips));
    btnDelImage->setEnabled(false);
    btnDelMedia->setEnabled(false);
    const QString note = readNoteText(job);
    if (!note.isEmpty())
        QMessageBox::information(this, tr("dialog_title_tip"), note, QMessageBox::Ok);
}

QString MainWindow::readFailureText(const ReadBackJob& job) const
{
    const QString path = QDir::toNativeSeparators(job.path);
    const ReadBackResult& result = job.result;
    if (!result.opened)
        return tr("dialog_title_preview_unreadable").arg(path, job.result.errorText);
    if (result.fileSize == 0)
        return tr("dialog_title_read_empty").arg(path);
    if (result.layout == EffectFile::Layout::Unknown)
        return tr("dialog_title_read_short").arg(path).arg(result.fileSize);
    if (!job.objects.isEmpty())
        return QString();
    if (result.incomplete)
        return tr("dialog_title_read_cut").arg(path, result.problems.join(QLatin1Char('\n')));
    return tr("dialog_title_read_nothing").arg(path);
}

QString MainWindow::readNoteText(const ReadBackJob& job) const
{
    const ReadBackResult& result = job.result;
    const QString problems = result.problems.join(QLatin1Char('\n'));
    if (result.incomplete)
        return tr("dialog_title_preview_incomplete").arg(problems);
    // Bytes after the last clip take nothing away from what was read.
    if (result.trailingBytes > 0 && result.problems.size() == 1)
        return tr("dialog_title_read_extra").arg(QDir::toNativeSeparators(job.path)).arg(result.trailingBytes);
    if (!result.problems.isEmpty())
        return tr("dialog_title_read_notes").arg(QDir::toNativeSeparators(job.path), problems);
    return QString();
}
