#include "loadimagesdialog.h"

#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "convert/imageobject.h"
#include "loadimageshandler.h"
#include "loadobjectitem.h"
#include "looper/handlerthread.h"
#include "looper/message.h"
#include "looper/messagecodes.h"
#include "playlist/customtablemodel.h"

#include <QDebug>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {
QString reasonText(LoadObjectItem::Failure failure)
{
    switch (failure) {
    case LoadObjectItem::Failure::Missing:
        return LoadImagesDialog::tr("loadimg_error_missing");
    case LoadObjectItem::Failure::CannotOpen:
        return LoadImagesDialog::tr("loadimg_error_cannot_open");
    case LoadObjectItem::Failure::UnsupportedFormat:
        return LoadImagesDialog::tr("loadimg_error_format");
    case LoadObjectItem::Failure::TooLarge:
        return LoadImagesDialog::tr("loadimg_error_too_large");
    case LoadObjectItem::Failure::OutOfMemory:
        return LoadImagesDialog::tr("loadimg_error_memory");
    case LoadObjectItem::Failure::Damaged:
    case LoadObjectItem::Failure::None:
        break;
    }
    return LoadImagesDialog::tr("loadimg_error_damaged");
}
} // namespace

LoadImagesDialog::LoadImagesDialog(const QStringList& paths, MainWindow* mainWindow, QWidget* parent)
    : QDialog(parent), paths(paths), mainWindow(mainWindow)
{
    m_handler = std::make_unique<LoadImagesHandler>(obtainWorkerThread());
    // The handler emits on this thread and its worker waits until the slot has returned.
    connect(m_handler.get(), &LoadImagesHandler::handlerMessage, this, &LoadImagesDialog::handlerMessage,
            Qt::DirectConnection);

    lblTip = new QLabel(tr("loadimg_loading_tip"), this);
    lblTip->setMinimumHeight(25);
    lblPath = new QLabel(tr("loadimg_loading_showpath"), this);
    lblPath->setMinimumHeight(25);
    // Long paths break at their separators instead of widening the box.
    lblPath->setWordWrap(true);
    lblPreview = new QLabel(this);
    lblPreview->setFixedSize(300, 300);
    lblPreview->setAlignment(Qt::AlignCenter);
    auto* previewRow = new QHBoxLayout;
    previewRow->setContentsMargins(0, 0, 0, 0);
    previewRow->setSpacing(10);
    previewRow->addWidget(lblPreview);

    auto* group = new QGroupBox(this);
    group->setFlat(true);
    group->setFixedHeight(40);
    buttonBox = new QDialogButtonBox(group);
    btnCompleted = buttonBox->addButton(tr("action_btn_load_over"), QDialogButtonBox::YesRole);
    btnCancel = buttonBox->addButton(tr("action_btn_cancel"), QDialogButtonBox::NoRole);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* groupRow = new QHBoxLayout(group);
    groupRow->setSpacing(0);
    groupRow->setContentsMargins(0, 0, 0, 0);
    groupRow->addWidget(buttonBox);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTip);
    layout->addWidget(lblPath);
    layout->addLayout(previewRow);
    layout->addWidget(group);

    btnCompleted->setEnabled(false);
    setWindowTitle(tr("loadimg_window_title"));

    auto* start = new Message(m_handler.get(), MessageCode::LoadImages);
    start->obj = const_cast<QStringList*>(&this->paths);
    m_handler->sendHandlerMessage(start);
}

LoadImagesDialog::~LoadImagesDialog()
{
    qDebug() << "~LoadImagesDialog()";
    stopImport();
}

void LoadImagesDialog::stopImport()
{
    if (!m_handler)
        return;
    disconnect(m_handler.get(), nullptr, this, nullptr);
    // Returns once the job has stopped; the files after the current one are not touched.
    m_handler.reset();
}

void LoadImagesDialog::handlerMessage(Message* msg)
{
    auto* item = static_cast<LoadObjectItem*>(msg->obj);
    switch (msg->what) {
    case MessageCode::ImageLoaded:
        if (item->preview)
            lblPreview->setPixmap(QPixmap::fromImage(*item->preview));
        lblTip->setText(tr("loadimg_loading_tip").arg(item->index).arg(item->count));
        lblPath->setText(tr("loadimg_loading_showpath").arg(QDir::toNativeSeparators(item->path)));
        break;
    case MessageCode::ImageConverted:
        qDebug() << "#LoadImagesDialog# converted" << item->index;
        break;
    case MessageCode::ImageReady:
        if (auto* picture = static_cast<ImageObject*>(msg->obj2); picture && mainWindow) {
            msg->obj2 = nullptr;  // ours now, and the window's next
            mainWindow->addPictureObject(picture);
            ++m_imported;
            if (!item->warnings.isEmpty())
                m_damaged.append({picture, item->path});
        }
        fileDone(item->index, item->count);
        break;
    case MessageCode::ImageUnreadable:
        m_failures.append({item->path, reasonText(item->failure)});
        lblTip->setText(tr("loadimg_loading_tip").arg(item->index).arg(item->count));
        lblPath->setText(tr("loadimg_loading_showpath").arg(QDir::toNativeSeparators(item->path)));
        lblPreview->clear();
        fileDone(item->index, item->count);
        break;
    default:
        break;
    }
}

void LoadImagesDialog::fileDone(int index, int count)
{
    if (index == count)
        btnCompleted->setEnabled(true);
}

QStringList LoadImagesDialog::damaged() const
{
    QStringList paths;
    for (const Damaged& picture : m_damaged) {
        if (picture.picture)
            paths << picture.path;
    }
    return paths;
}

QString LoadImagesDialog::outcomeReport() const
{
    const QStringList damagedPaths = damaged();
    if (m_failures.isEmpty() && damagedPaths.isEmpty())
        return QString();
    QStringList paragraphs;
    if (!m_failures.isEmpty()) {
        QStringList lines;
        for (const Failure& failure : m_failures)
            lines << tr("loadimg_error_line").arg(QDir::toNativeSeparators(failure.path), failure.reason);
        paragraphs << tr("loadimg_error_report").arg(m_failures.size()).arg(lines.join(QLatin1Char('\n')));
    }
    paragraphs << (m_imported == 0 ? tr("loadimg_imported_none") : tr("loadimg_imported_count").arg(m_imported));
    if (!damagedPaths.isEmpty()) {
        QStringList lines;
        for (const QString& path : damagedPaths)
            lines << QDir::toNativeSeparators(path);
        paragraphs << tr("loadimg_damaged_report").arg(lines.join(QLatin1Char('\n')));
    }
    return paragraphs.join(QStringLiteral("\n\n"));
}

void LoadImagesDialog::finish()
{
    // Nothing more joins the list while the user decides.
    stopImport();
    const QString report = outcomeReport();
    if (report.isEmpty())
        return;
    QWidget* parent = parentWidget();
    if (damaged().isEmpty()) {
        QMessageBox::information(parent, tr("dialog_title_tip"), report, QMessageBox::Ok);
        return;
    }
    QMessageBox question(QMessageBox::Question, tr("dialog_title_tip"), report, QMessageBox::NoButton, parent);
    QPushButton* keep = question.addButton(tr("loadimg_keep_damaged"), QMessageBox::AcceptRole);
    QPushButton* remove = question.addButton(tr("loadimg_remove_damaged"), QMessageBox::DestructiveRole);
    // Closing the box loses nothing: the pictures stay.
    question.setDefaultButton(keep);
    question.setEscapeButton(keep);
    question.exec();
    if (question.clickedButton() == remove)
        removeDamaged();
}

void LoadImagesDialog::removeDamaged()
{
    if (!mainWindow)
        return;
    CustomTableModel* model = mainWindow->pictureModel();
    for (const Damaged& damaged : std::as_const(m_damaged)) {
        if (!damaged.picture)
            continue;
        const int row = model->rowOf(damaged.picture.data());
        if (row < 0)
            continue;
        // The copy the window made of the file goes too; the picture's own files go with it.
        const QString copy = damaged.picture->sourcePath;
        model->delRow(row, 1);
        if (copy.startsWith(AppSettings::tempDir()))
            QFile::remove(copy);
    }
    m_damaged.clear();
}
