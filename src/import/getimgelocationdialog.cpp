#include "getimgelocationdialog.h"

#include "diy/roundareawidget.h"
#include "ui_getimgelocationdialog.h"

#include <QDebug>
#include <QKeyEvent>
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
    // The view places the picture and the window itself, anew whenever its size changes.
    ui->scrollArea->viewport()->installEventFilter(this);
    connect(ui->btnOk, &QPushButton::clicked, this, &GetImgeLocationDialog::onBtnOk);
    connect(ui->btnZoomIn, &QPushButton::clicked, this, &GetImgeLocationDialog::onBtnZoomIn);
    connect(ui->btnZoomOut, &QPushButton::clicked, this, &GetImgeLocationDialog::onBtnZoomOut);
}

GetImgeLocationDialog::~GetImgeLocationDialog() = default;

QWidget* GetImgeLocationDialog::imageWidget() const { return ui->imageWidget; }

void GetImgeLocationDialog::addOption(QWidget* option)
{
    ui->horizontalLayout_2->insertWidget(0, option);
}

void GetImgeLocationDialog::setImage(const QImage& picture)
{
    basePicture = picture;
    shownPicture = picture;
    qDebug() << "#GetImgeLocationDialog# setImage() dialog" << size() << "scroll area"
             << ui->scrollArea->size() << "picture" << picture.size();
    if (!m_roundWindow) {
        // Beside the picture, not inside it: a window larger than the picture is seen whole.
        m_roundWindow = new RoundAreaWidget(true, ui->scrollAreaWidgetContents);
        m_roundWindow->installEventFilter(this);
    }
    m_windowPosition = centredWindowPosition(shownPicture.size());
    showPicture();
}

void GetImgeLocationDialog::showPicture()
{
    if (!m_roundWindow)
        return;
    m_view = placementView(shownPicture.size(), ui->scrollArea->viewport()->size());
    const QSize size = m_view.viewSize(shownPicture.size());
    QWidget* image = ui->imageWidget;
    image->setMinimumSize(size);
    image->setMaximumSize(size);
    image->resize(size);
    setBackground(image, size == shownPicture.size() || shownPicture.isNull()
                             ? shownPicture
                             : shownPicture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    image->move(m_view.pictureOrigin);
    m_roundWindow->setViewScale(m_view.scale);
    windowPlacedAt = m_view.toView(m_windowPosition);
    m_roundWindow->move(windowPlacedAt);
    m_roundWindow->raise();
}

bool GetImgeLocationDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->scrollArea->viewport() && event->type() == QEvent::Resize) {
        showPicture();
    } else if (watched == m_roundWindow && event->type() == QEvent::Move && m_roundWindow->pos() != windowPlacedAt) {
        // Dragged: the position in the picture's pixels is what the frames are cut by.
        m_windowPosition = m_view.toPicture(m_roundWindow->pos());
        windowPlacedAt = m_roundWindow->pos();
    }
    return QDialog::eventFilter(watched, event);
}

void GetImgeLocationDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel))
        m_cancelled = true;
    QDialog::keyPressEvent(event);
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
    m_windowPosition = centredWindowPosition(shownPicture.size());
    showPicture();
}

void GetImgeLocationDialog::onBtnZoomIn() { zoom(m_zoomStep + 1, "zoomIn()"); }

void GetImgeLocationDialog::onBtnZoomOut() { zoom(m_zoomStep - 1, "zoomOut()"); }

void GetImgeLocationDialog::onBtnOk() { accept(); }
