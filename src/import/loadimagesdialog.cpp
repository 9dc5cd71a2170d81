#include "loadimagesdialog.h"

#include "app/mainwindow.h"
#include "convert/imageobject.h"
#include "loadimageshandler.h"
#include "loadobjectitem.h"
#include "looper/handlerthread.h"
#include "looper/message.h"
#include "looper/messagecodes.h"

#include <QDebug>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

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

QString LoadImagesDialog::failureReport() const
{
    if (m_failures.isEmpty())
        return QString();
    QStringList lines;
    for (const Failure& failure : m_failures)
        lines << tr("loadimg_error_line").arg(QDir::toNativeSeparators(failure.path), failure.reason);
    return tr("loadimg_error_report").arg(m_failures.size()).arg(lines.join(QLatin1Char('\n')));
}
