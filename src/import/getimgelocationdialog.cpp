#include "getimgelocationdialog.h"

#include "diy/roundareawidget.h"
#include "ui_getimgelocationdialog.h"

#include <QDebug>
#include <QPainter>
#include <QPixmap>

namespace {
void setBackground(QWidget* widget, const QImage& picture)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(QPixmap::fromImage(picture)));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}
} // namespace

GetImgeLocationDialog::GetImgeLocationDialog(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::GetImgeLocationDialog>())
{
    ui->setupUi(this);
    resize(800, 600);
    connect(ui->btnOk, &QPushButton::clicked, this, &GetImgeLocationDialog::onBtnOk);
    connect(ui->btnZoomIn, &QPushButton::clicked, this, &GetImgeLocationDialog::onBtnZoomIn);
    connect(ui->btnZoomOut, &QPushButton::clicked, this, &GetImgeLocationDialog::onBtnZoomOut);
}

GetImgeLocationDialog::~GetImgeLocationDialog() = default;

QWidget* GetImgeLocationDialog::imageWidget() const { return ui->imageWidget; }

QPoint GetImgeLocationDialog::windowPosition() const
{
    // Without a picture the window sits where a 0 x 0 picture would centre it.
    return m_roundWindow ? m_roundWindow->pos() : centredWindowPosition(QSize(0, 0));
}

void GetImgeLocationDialog::setImage(const QImage& picture)
{
    basePicture = picture;
    shownPicture = picture;
    qDebug() << "#GetImgeLocationDialog# setImage() dialog" << size() << "scroll area"
             << ui->scrollArea->size() << "picture" << picture.size();
    if (!m_roundWindow) {
        m_roundWindow = new RoundAreaWidget(true, ui->imageWidget);
    }
    showPicture();
}

void GetImgeLocationDialog::showPicture()
{
    const QSize size = shownPicture.size();
    QWidget* image = ui->imageWidget;
    image->setMinimumSize(size);
    image->setMaximumSize(size);
    image->resize(size);
    setBackground(image, shownPicture);
    // The scroll area's layout may place it again; the placement is measured from it anyway.
    image->move(qMax(0, (ui->scrollArea->width() - size.width()) / 2),
                qMax(0, (ui->scrollArea->height() - size.height()) / 2));
    m_roundWindow->move(centredWindowPosition(size));
    m_roundWindow->raise();
}

void GetImgeLocationDialog::zoom(int step, const char* debugName)
{
    if (!m_roundWindow)
        return;  // no picture yet
    qDebug() << "#GetImgeLocationDialog#" << debugName << m_zoomStep << shownPicture.width()
             << shownPicture.height();
    const QSize size = zoomedSize(basePicture.size(), step);
    if (!size.isValid())
        return;
    QImage shown = step == 0 ? basePicture
                             : basePicture.scaled(size, Qt::KeepAspectRatioByExpanding,
                                                  Qt::FastTransformation);
    if (shown.isNull() && !size.isEmpty())
        return;  // not enough memory for the larger picture: keep the one shown
    m_zoomStep = step;
    shownPicture = shown;
    qDebug() << "#GetImgeLocationDialog#" << debugName << m_zoomStep << shownPicture.width()
             << shownPicture.height();
    showPicture();
}

void GetImgeLocationDialog::onBtnZoomIn() { zoom(m_zoomStep + 1, "zoomIn()"); }

void GetImgeLocationDialog::onBtnZoomOut() { zoom(m_zoomStep - 1, "zoomOut()"); }

void GetImgeLocationDialog::onBtnOk() { accept(); }
