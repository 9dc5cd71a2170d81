#include "loadgifdialog.h"

#include "app/appsettings.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "convert/polarconversion.h"
#include "getimgelocationdialog.h"
#include "gifframeimport.h"
#include "gifframes.h"
#include "playlist/cliprowtext.h"

#include <QCheckBox>
#include <QDebug>
#include <QDir>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace {
// Why the reader stopped, for the user.
QString readerFailureText(const GifFrameReader& reader)
{
    const int frame = reader.failedFrame() + 1;
    switch (reader.failure()) {
    case GifFrameReader::Failure::Missing:
        return LoadGifDialog::tr("loadgif_error_missing");
    case GifFrameReader::Failure::CannotOpen:
        return LoadGifDialog::tr("loadgif_error_cannot_open");
    case GifFrameReader::Failure::NotAGif:
        return LoadGifDialog::tr("loadgif_error_not_gif");
    case GifFrameReader::Failure::NoFrames:
        return LoadGifDialog::tr("loadgif_error_no_frames");
    case GifFrameReader::Failure::CutShort:
        return LoadGifDialog::tr("loadgif_error_cut_short").arg(frame);
    case GifFrameReader::Failure::Damaged:
        return LoadGifDialog::tr("loadgif_error_damaged").arg(frame);
    case GifFrameReader::Failure::FrameUndecodable:
    case GifFrameReader::Failure::None:
        break;
    }
    return LoadGifDialog::tr("loadgif_error_frame").arg(frame).arg(reader.frameCount());
}

// What the clip will take on the card: its records, how long they play, their bytes.
QString cardSpaceText(const QVector<int>& records)
{
    qint64 count = 0;
    for (int frameRecords : records)
        count += frameRecords;
    const qint64 bytes = count * Polar::bufferSize(AppSettings::ledCount, AppSettings::lineNumber);
    return LoadGifDialog::tr("loadgif_card_space")
        .arg(count)
        .arg(ClipRowText::seconds(count * MediaObject::recordMs))
        .arg(QString::number(double(bytes) / (1024 * 1024), 'f', 1));
}
} // namespace

LoadGifDialog::LoadGifDialog(const QString& path, QWidget* parent)
    : QDialog(parent), path(path), reader(std::make_unique<GifFrameReader>(path))
{
    lblPreview = new QLabel(this);
    lblPreview->setFixedSize(72, 72);
    auto* tip = new QLabel(tr("loadgif_loading_tip"), this);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(10, 10, 10, 10);
    row->setSpacing(10);
    row->addStretch();
    row->addWidget(lblPreview);
    row->addWidget(tip);
    row->addStretch();

    auto* group = new QGroupBox(this);
    group->setFlat(true);
    group->setFixedHeight(40);
    auto* buttons = new QDialogButtonBox(group);
    buttons->addButton(tr("action_btn_cancel"), QDialogButtonBox::NoRole);
    auto* groupLayout = new QHBoxLayout(group);
    groupLayout->setSpacing(0);
    groupLayout->setContentsMargins(0, 0, 0, 0);
    groupLayout->addWidget(buttons);
    // A button in the "no" role reports itself as rejected.
    connect(buttons, &QDialogButtonBox::rejected, this, &LoadGifDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row);
    layout->addWidget(group);
    setWindowTitle(tr("dialog_title_tip"));

    m_timer = new QTimer(this);
    m_timer->setInterval(300);
    connect(m_timer, &QTimer::timeout, this, &LoadGifDialog::getGifImage);
    if (!reader->ok()) {
        qDebug() << "#LoadGifDialog#" << path << reader->errorString();
        m_failureMessage = tr("loadgif_error").arg(QDir::toNativeSeparators(path), readerFailureText(*reader));
        return;
    }
    m_timer->start();
}

LoadGifDialog::~LoadGifDialog()
{
    deleteFrames();  // frames nobody took
}

QList<ImageObject*> LoadGifDialog::takeFrames() { return std::exchange(m_frames, {}); }

void LoadGifDialog::deleteFrames()
{
    qDeleteAll(m_frames);
    m_frames.clear();
}

void LoadGifDialog::reject()
{
    // A hidden box must not go on converting: the window may keep it a little longer.
    m_timer->stop();
    cancelled = true;
    deleteFrames();
    QDialog::reject();
}

void LoadGifDialog::fail(const QString& reason)
{
    qDebug() << "#LoadGifDialog#" << path << reason;
    m_failureMessage = tr("loadgif_error").arg(QDir::toNativeSeparators(path), reason);
    reject();
}

bool LoadGifDialog::placeFirstFrame(const QImage& frame)
{
    GetImgeLocationDialog location(this);
    location.setWindowTitle(tr("loadgif_place_title"));
    location.setImage(frame);

    // Decided before any frame is converted, with what each choice costs on the card.
    const QVector<int> oneEach(reader->frameCount(), 1);
    const QVector<int> kept = keptTimingRecords(reader->frameDelaysMs());
    auto* keepTiming = new QCheckBox(tr("loadgif_keep_timing"), &location);
    keepTiming->setObjectName(QStringLiteral("keepGifTiming"));
    auto* cardSpace = new QLabel(cardSpaceText(oneEach), &location);
    cardSpace->setObjectName(QStringLiteral("cardSpace"));
    connect(keepTiming, &QCheckBox::toggled, cardSpace,
            [=](bool keep) { cardSpace->setText(cardSpaceText(keep ? kept : oneEach)); });
    location.addOption(cardSpace);
    location.addOption(keepTiming);

    location.exec();  // however it closes, the placement it shows is taken, unless cancelled
    if (location.cancelled())
        return false;
    m_placement = location.placement();
    records = keepTiming->isChecked() ? kept : oneEach;
    qDebug() << "#LoadGifDialog# getGifImage() " << QRect(location.windowPosition(), QSize(450, 450))
             << m_placement.displaySize << "keep timing" << keepTiming->isChecked();
    qDebug() << "x = " << m_placement.source.x() << ", y = " << m_placement.source.y()
             << ", w = " << m_placement.source.width() << ", h = " << m_placement.source.height();
    return true;
}

void LoadGifDialog::getGifImage()
{
    if (tickRunning || !reader->ok() || reader->atEnd())
        return;
    tickRunning = true;
    const int index = reader->nextFrame();
    const QImage frame = reader->readFrame();
    if (frame.isNull()) {
        tickRunning = false;
        fail(readerFailureText(*reader));
        return;
    }
    if (index == 0) {
        const bool placed = placeFirstFrame(frame);
        tickRunning = false;
        if (cancelled)
            return;  // closed while the placement was open
        if (!placed) {
            reject();  // Escape in the placement: nothing is imported
            return;
        }
        tickRunning = true;
    }
    if (records.value(index) == 0) {
        // Kept at the GIF's timing, a frame that falls between two records is not shown.
        tickRunning = false;
        finishIfAtEnd();
        return;
    }
    GifFrameImport imported = importGifFrame(frame, index, m_placement);
    tickRunning = false;
    if (imported.failure == GifFrameImport::Failure::OutOfMemory) {
        fail(tr("loadgif_error_memory").arg(index + 1));
        return;
    }
    if (imported.failure == GifFrameImport::Failure::CannotWrite) {
        fail(tr("loadgif_error_write").arg(index + 1).arg(QDir::toNativeSeparators(imported.file)));
        return;
    }
    lblPreview->setPixmap(QPixmap::fromImage(
        imported.framed.scaled(lblPreview->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    qDebug() << "getGifImage() index = " << index << ", count = " << reader->frameCount();
    imported.picture->repeatCount = records.value(index);
    m_frames.append(imported.picture.release());
    finishIfAtEnd();
}

void LoadGifDialog::finishIfAtEnd()
{
    if (reader->atEnd()) {
        m_timer->stop();
        accept();
    }
}
