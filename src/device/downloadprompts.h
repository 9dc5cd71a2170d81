#pragma once

#include <QList>
#include <QString>

class ImageObject;
class MediaObject;
class QWidget;
struct DownloadStatus;

// The download's questions and answers to the user, around the job of message code 8:
//
//     if (!DownloadPrompts::confirmPlaylist(this, pictures, clips)) return;
//     ... the drive and name dialogs ...
//     const QString path = EffectFileName::effectFilePath(drive, nameDialog.fileName());
//     if (!DownloadPrompts::confirmDownload(this, path, pictures, clips)) return;
//     ... post code 8 with `path`, run the progress dialog ...
//     // in the reply (GUI thread), with the DownloadStatus the job returned:
//     DownloadPrompts::showResult(this, status, monitor->entryFor(drive).source);
//
// GUI thread only.
namespace DownloadPrompts {

// Before the drive is chosen: asks whether to go on when the playlist holds no picture at
// all (the display would show nothing), and when pictures have show times the file cannot
// hold (naming them and the time each gets). True to go on.
bool confirmPlaylist(QWidget* parent, const QList<ImageObject*>& pictures,
                     const QList<MediaObject*>& clips);

// Asks before an existing file at `path` is replaced. Asks whether to go on when the playlist needs more entries than the file holds, and
// refuses (with the reason) when the drive has too little free space. True to download.
bool confirmDownload(QWidget* parent, const QString& path, const QList<ImageObject*>& pictures,
                     const QList<MediaObject*>& clips);

// Shows downloadMessage(status). After a success, when udisks2 runs and `devicePath`
// names the drive's block device, the box also offers to eject the drive, and says
// whether that worked.
void showResult(QWidget* parent, const DownloadStatus& status, const QString& devicePath);

} // namespace DownloadPrompts
