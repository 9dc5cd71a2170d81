#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include <memory>

class DriveList;
class QListWidgetItem;
namespace Ui { class SelectUsbPathDialog; }

// Lets the user pick the drive a download or a preview works on. The list starts as a
// copy of the window's drives (a row shows the mount point, and the label when known) and
// follows drives coming and going while the dialog is open, through the two slots below.
// "Choose folder..." adds any directory, for readers that show up as fixed disks. The
// drive or folder chosen last (remembered by the drive list) is current at the start.
//
//     SelectUsbPathDialog dialog(*drives, this);
//     connect(drives, &DriveList::usbMountEvent, &dialog, &SelectUsbPathDialog::usbMountEvent);
//     connect(drives, &DriveList::usbUMountEvent, &dialog, &SelectUsbPathDialog::usbUMountEvent);
//     if (dialog.exec() != QDialog::Accepted) return;
//     const QString drive = dialog.selectedPath();   // no trailing "/"
//
// GUI thread only.
class SelectUsbPathDialog : public QDialog
{
    Q_OBJECT
public:
    // What the chosen drive is for: it titles the "Choose folder..." dialog, and a preview
    // says which file it reads.
    enum class Purpose { Download, Preview };

    SelectUsbPathDialog(DriveList& drives, QWidget* parent = nullptr);
    ~SelectUsbPathDialog() override;

    void setPurpose(Purpose purpose);
    // The title of the folder dialog for the current purpose.
    QString folderDialogTitle() const;

    QString selectedPath() const { return m_selectedPath; }
    // Adds a directory as a row (once) and makes it current; what "Choose folder..." does.
    void addFolder(const QString& path);
    // The paths of the rows, in order.
    QStringList paths() const;

public slots:
    void usbMountEvent(const QString& path);
    void usbUMountEvent(const QString& path);
    void onBtnOkClick();
    void onBtnCancelClick();
    void currentSelectUsbChanged(const QString& path);
    void onBtnFolderClick();

private:
    void appendRow(const QString& path, const QString& label);
    void startAtLastChoice();
    int rowOf(const QString& path) const;

    std::unique_ptr<Ui::SelectUsbPathDialog> ui;
    QPointer<DriveList> m_drives;
    QString m_selectedPath;
    Purpose m_purpose = Purpose::Download;
};
