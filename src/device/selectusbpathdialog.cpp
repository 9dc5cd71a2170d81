#include "selectusbpathdialog.h"

#include "drivelist.h"
#include "ui_selectusbpathdialog.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {
constexpr int PathRole = Qt::UserRole;
// The folder chosen last with "Choose folder...", where the next folder dialog starts.
QString lastChosenFolder;
} // namespace

SelectUsbPathDialog::SelectUsbPathDialog(DriveList& drives, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SelectUsbPathDialog>()), m_drives(&drives)
{
    ui->setupUi(this);
    connect(ui->okBut, &QPushButton::clicked, this, &SelectUsbPathDialog::onBtnOkClick);
    connect(ui->cancelBut, &QPushButton::clicked, this, &SelectUsbPathDialog::onBtnCancelClick);
    connect(ui->folderBut, &QPushButton::clicked, this, &SelectUsbPathDialog::onBtnFolderClick);
    // Rows show labels too, so the path travels in the item's data rather than its text.
    connect(ui->listWidget, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* current) {
                currentSelectUsbChanged(current ? current->data(PathRole).toString() : QString());
            });
    for (const DriveRecord& drive : drives.drives())
        appendRow(drive.path, drive.label);
    startAtLastChoice();
    setPurpose(Purpose::Download);
}

SelectUsbPathDialog::~SelectUsbPathDialog() = default;

void SelectUsbPathDialog::startAtLastChoice()
{
    const QString last = m_drives->lastChoice();
    const int row = last.isEmpty() ? -1 : rowOf(last);
    if (row >= 0)
        ui->listWidget->setCurrentRow(row);
    // A drive that went may leave its empty mount point behind: only folders come back.
    else if (m_drives->lastChoiceIsFolder() && QFileInfo(last).isDir())
        addFolder(last);
    else
        ui->listWidget->setCurrentRow(0);
}

void SelectUsbPathDialog::setPurpose(Purpose purpose)
{
    m_purpose = purpose;
    ui->previewNote->setText(QCoreApplication::translate("SelectUsbPathDialog", "selectusb_preview_note"));
    ui->previewNote->setVisible(purpose == Purpose::Preview);
}

void SelectUsbPathDialog::appendRow(const QString& path, const QString& label)
{
    auto* item = new QListWidgetItem(label.isEmpty() ? path : QStringLiteral("%1  (%2)").arg(path, label));
    item->setData(PathRole, path);
    item->setToolTip(path);
    ui->listWidget->addItem(item);
}

int SelectUsbPathDialog::rowOf(const QString& path) const
{
    for (int row = 0; row < ui->listWidget->count(); ++row) {
        if (ui->listWidget->item(row)->data(PathRole).toString() == path)
            return row;
    }
    return -1;
}

QStringList SelectUsbPathDialog::paths() const
{
    QStringList list;
    for (int row = 0; row < ui->listWidget->count(); ++row)
        list.append(ui->listWidget->item(row)->data(PathRole).toString());
    return list;
}

void SelectUsbPathDialog::usbMountEvent(const QString& path)
{
    qDebug() << "#SelectUsbPathDialog# usbMountEvent" << path;
    if (rowOf(path) >= 0)
        return;  // already listed as a chosen folder
    const bool wasEmpty = ui->listWidget->count() == 0;
    appendRow(path, m_drives ? m_drives->labelOf(path) : QString());
    if (wasEmpty)
        ui->listWidget->setCurrentRow(0);
}

void SelectUsbPathDialog::usbUMountEvent(const QString& path)
{
    qDebug() << "#SelectUsbPathDialog# usbUMountEvent" << path;
    for (int row = rowOf(path); row >= 0; row = rowOf(path))
        delete ui->listWidget->takeItem(row);
    ui->listWidget->setCurrentRow(0);
    if (ui->listWidget->count() == 0)
        currentSelectUsbChanged(QString());
}

void SelectUsbPathDialog::onBtnOkClick()
{
    qDebug() << "#SelectUsbPathDialog# onBtnOkClick " << m_selectedPath;
    if (!m_selectedPath.isEmpty()) {
        if (m_drives)
            m_drives->rememberChoice(m_selectedPath);
        accept();
        return;
    }
    QMessageBox::information(this, QCoreApplication::translate("SelectUsbPathDialog", "dialog_title_tip"),
                             QCoreApplication::translate("SelectUsbPathDialog", "selectusb_title"),
                             QMessageBox::Ok);
}

void SelectUsbPathDialog::onBtnCancelClick() { reject(); }

void SelectUsbPathDialog::currentSelectUsbChanged(const QString& path)
{
    qDebug() << "#SelectUsbPathDialog# currentSelectUsbChanged" << path;
    m_selectedPath = path;
}

void SelectUsbPathDialog::onBtnFolderClick()
{
    QString start = lastChosenFolder;
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = m_selectedPath.isEmpty() ? QDir::homePath() : m_selectedPath;
    const QString folder = QFileDialog::getExistingDirectory(this, folderDialogTitle(), start);
    if (folder.isEmpty())
        return;
    lastChosenFolder = folder;
    addFolder(folder);
}

QString SelectUsbPathDialog::folderDialogTitle() const
{
    return QCoreApplication::translate("SelectUsbPathDialog", m_purpose == Purpose::Preview
                                                                  ? "selectusb_folder_title_preview"
                                                                  : "selectusb_folder_title");
}

void SelectUsbPathDialog::addFolder(const QString& path)
{
    // "/media/card/" and "/media/card" are one drive; the download adds the separator.
    const QString folder = QDir::cleanPath(path);
    int row = rowOf(folder);
    if (row < 0) {
        appendRow(folder, QString());
        row = ui->listWidget->count() - 1;
    }
    ui->listWidget->setCurrentRow(row);
}
