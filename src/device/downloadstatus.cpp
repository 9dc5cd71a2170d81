#include "downloadstatus.h"

#include <QCoreApplication>

namespace {
QString tr(const char* key) { return QCoreApplication::translate("DownloadStatus", key); }
QString megabytes(qint64 bytes) { return QString::number(bytes / 1e6, 'f', 1); }
} // namespace

QString downloadMessage(const DownloadStatus& status)
{
    const QString error = status.error.isEmpty() ? tr("download_unknown_error") : status.error;
    switch (status.code) {
    case DownloadStatus::Ok:
        return QCoreApplication::translate("MainWindow", "dialog_title_download_suc").arg(status.path);
    case DownloadStatus::Cancelled:
        return tr("download_fail_cancelled").arg(status.path);
    case DownloadStatus::NotEnoughSpace:
        return tr("download_fail_space")
            .arg(status.path, megabytes(status.needed), megabytes(status.available));
    case DownloadStatus::OpenFailed:
        return tr("download_fail_open").arg(status.path, error);
    case DownloadStatus::WriteFailed:
        return tr("download_fail_write").arg(status.path, error);
    case DownloadStatus::PictureUnreadable:
        if (status.picture > 0)
            return tr("download_fail_picture").arg(status.path).arg(status.picture);
        return tr("download_fail_frame").arg(status.path).arg(status.clip).arg(status.frame);
    case DownloadStatus::CommitFailed:
        return tr("download_fail_commit").arg(status.path, error);
    case DownloadStatus::SyncFailed:
        return tr("download_fail_sync").arg(status.path, error);
    }
    return error;
}
