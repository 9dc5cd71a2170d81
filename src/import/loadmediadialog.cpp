#include "loadmediadialog.h"

#include "app/appsettings.h"
#include "app/progressdialog.h"
#include "convert/imageobject.h"
#include "getimgelocationdialog.h"
#include "loadmediahandler.h"
#include "looper/handlerthread.h"
#include "looper/message.h"
#include "looper/messagecodes.h"
#include "mediacutthreads.h"

#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QThread>
#include <QVBoxLayout>

#include <vlc/vlc.h>

#include <algorithm>

// Paints the preview pictures libVLC hands over; where libVLC draws into the window
// itself (X11) it only gives it a native window.
class VideoFrameWidget : public QWidget
{
public:
    VideoFrameWidget(LoadMediaDialog* dialog, bool native) : QWidget(dialog), dialog(dialog), native(native)
    {
        setObjectName(QStringLiteral("videoWidget"));
        setAutoFillBackground(true);
        QPalette black = palette();
        black.setColor(QPalette::Window, Qt::black);
        setPalette(black);
        if (native) {
            setAttribute(Qt::WA_NativeWindow);
            setAttribute(Qt::WA_OpaquePaintEvent);
        }
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (native)
            return;
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        const QImage picture = dialog->previewSink.latest();
        if (picture.isNull())
            return;
        const QSize shown = picture.size().scaled(size(), Qt::KeepAspectRatio);
        const QRect target(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, picture);
    }

private:
    LoadMediaDialog* dialog;
    bool native;
};

namespace {
QLabel* textLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    return label;
}
} // namespace

QStringList& LoadMediaDialog::playerArguments()
{
    static QStringList arguments;
    return arguments;
}

LoadMediaDialog::LoadMediaDialog(QWidget* parent) : QDialog(parent)
{
    buildForm();
    m_handler = std::make_unique<LoadMediaHandler>(this, obtainWorkerThread());
    connect(m_handler.get(), &LoadMediaHandler::vlcOpenFileError, this, &LoadMediaDialog::vlcOpenFileError,
            Qt::QueuedConnection);
    connect(m_handler.get(), &LoadMediaHandler::vlcPlaying, this, &LoadMediaDialog::vlcPlaying,
            Qt::QueuedConnection);

    // The preview plays muted: no audio output at all.
    QList<QByteArray> arguments{"--no-audio", "--no-video-title-show", "--quiet", "--no-osd"};
    for (const QString& argument : playerArguments())
        arguments.append(argument.toUtf8());
    QVector<const char*> argv;
    for (const QByteArray& argument : arguments)
        argv.append(argument.constData());
    instance = libvlc_new(int(argv.size()), argv.constData());
    if (!instance)
        qDebug() << "#LoadMediaDialog# libvlc_new failed:" << libvlc_errmsg();

    previewLabel->hide();
    videoWidget->show();
    connect(okBut, &QPushButton::clicked, this, &LoadMediaDialog::onBtnStart);
    connect(cancelBut, &QPushButton::clicked, this, &LoadMediaDialog::onCancelClick);
    connect(sliderStartTime, &QSlider::valueChanged, this, &LoadMediaDialog::changeStartPosition);
    connect(sliderEndTime, &QSlider::valueChanged, this, &LoadMediaDialog::changeEndPosition);
    retranslate();
}

LoadMediaDialog::~LoadMediaDialog()
{
    qDebug() << "~LoadMediaDialog";
    cutting = false;
    stopCut();
    delete m_progressDialog;
    if (placementThread) {
        placementCutter.cancel();
        placementThread->wait();
        delete placementThread;
    }
    stop();
    m_handler.reset();  // waits for a running wait for playback
    if (instance)
        libvlc_release(instance);
    if (result() != QDialog::Accepted) {
        qDebug() << "~LoadMediaDialog" << ", listImageObject count = " << listImageObject.size()
                 << ", tempImageObject count = " << tempImageObject.size();
        deleteObjects();
    }
    qDebug() << "~LoadMediaDialog over!";
}

void LoadMediaDialog::buildForm()
{
    setObjectName(QStringLiteral("LoadMediaDialog"));
    resize(668, 425);
    videoWidget = new VideoFrameWidget(this, embedsNativeWindow());
    videoWidget->setMinimumHeight(240);
    previewLabel = textLabel("previewLabel", this);
    lblDrag = textLabel("lblDrag", this);
    lblStart = textLabel("lblStart", this);
    lblEnd = textLabel("lblEnd", this);
    lblStartTime = textLabel("lblStartTime", this);
    lblEndTime = textLabel("lblEndTime", this);
    lblStartTime->setMinimumWidth(110);
    lblEndTime->setMinimumWidth(110);
    sliderStartTime = new QSlider(Qt::Horizontal, this);
    sliderStartTime->setObjectName(QStringLiteral("sliderStartTime"));
    sliderStartTime->setStyleSheet(QStringLiteral("background-color: rgb(0, 255, 0);"));
    sliderEndTime = new QSlider(Qt::Horizontal, this);
    sliderEndTime->setObjectName(QStringLiteral("sliderEndTime"));
    sliderEndTime->setStyleSheet(QStringLiteral("background-color: rgb(0, 170, 255);"));
    okBut = new QPushButton(this);
    okBut->setObjectName(QStringLiteral("okBut"));
    cancelBut = new QPushButton(this);
    cancelBut->setObjectName(QStringLiteral("cancelBut"));

    auto* startRow = new QHBoxLayout;
    startRow->addWidget(lblStart);
    startRow->addWidget(lblStartTime);
    startRow->addWidget(sliderStartTime, 1);
    auto* endRow = new QHBoxLayout;
    endRow->addWidget(lblEnd);
    endRow->addWidget(lblEndTime);
    endRow->addWidget(sliderEndTime, 1);
    auto* buttons = new QGroupBox(this);
    auto* buttonRow = new QHBoxLayout(buttons);
    buttonRow->addStretch();
    buttonRow->addWidget(okBut);
    buttonRow->addWidget(cancelBut);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(videoWidget, 1);
    layout->addWidget(previewLabel);
    layout->addWidget(lblDrag);
    layout->addLayout(startRow);
    layout->addLayout(endRow);
    layout->addWidget(buttons);
}

void LoadMediaDialog::retranslate()
{
    lblDrag->setText(tr("拖动时间进度条可以设定截图的开始时间和结束时间："));
    lblStart->setText(tr("开始时间："));
    lblEnd->setText(tr("结束时间："));
    okBut->setText(tr("开始截图"));
    cancelBut->setText(tr("取消"));
    setWindowTitle(tr("loadvideo_tip"));
    lblStartTime->setText(timeText(startTimeMs));
    lblEndTime->setText(timeText(endTimeMs));
}

bool LoadMediaDialog::embedsNativeWindow() const
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

QString LoadMediaDialog::timeText(qint64 ms) const
{
    const qint64 seconds = ms / 1000;
    return tr("%1hour%2minute%3second").arg(seconds / 3600).arg((seconds / 60) % 60).arg(seconds % 60);
}

bool LoadMediaDialog::openMediaFile()
{
    if (!instance) {
        QMessageBox::information(this, tr("dialog_title_tip"), tr("loadvideo_vlc_init_error"));
        return false;
    }
    const QString file = QFileDialog::getOpenFileName(this, tr("loadvideo_select_file"), AppSettings::openDir,
                                                      QStringLiteral("Medias (*.avi *.rmvb *.mp4 *.mkv)"));
    return openMediaFile(file);
}

bool LoadMediaDialog::openMediaFile(const QString& file)
{
    if (!instance) {
        QMessageBox::information(this, tr("dialog_title_tip"), tr("loadvideo_vlc_init_error"));
        return false;
    }
    if (file.isEmpty() || !QFileInfo::exists(file))
        return false;
    AppSettings::openDir = QFileInfo(file).absolutePath();
    if (player)
        stop();
    // The path stays as the system writes it: in the title, and as the clip's name.
    path = QDir::toNativeSeparators(file);
    libvlc_media_t* media = libvlc_media_new_path(instance, path.toUtf8().constData());
    if (!media) {
        qDebug() << "libvlc_media_new_path return null! file = " << path;
        QMessageBox::information(this, tr("dialog_title_tip"), tr("loadvideo_init_player_error"));
        return false;
    }
    // Refused by name before anything plays: a picture, a sound file or one libVLC cannot
    // read would otherwise offer a span of a "video" it does not have.
    const VideoCutter::Status check = VideoCutter::checkVideoFile(path, media);
    if (check != VideoCutter::Status::Ok) {
        libvlc_media_release(media);
        qDebug() << "#LoadMediaDialog#" << path << VideoCutter::describe(check);
        QMessageBox::information(this, tr("dialog_title_tip"),
                                 (check == VideoCutter::Status::StillPicture ? tr("loadvideo_still_picture")
                                                                             : tr("loadvideo_no_video_stream"))
                                     .arg(path));
        return false;
    }
    libvlc_media_player_t* opened = libvlc_media_player_new_from_media(media);
    if (!opened) {
        libvlc_media_release(media);
        QMessageBox::information(this, tr("dialog_title_tip"), tr("loadvideo_init_player_error"));
        return false;
    }
    if (embedsNativeWindow()) {
        libvlc_media_player_set_xwindow(opened, uint32_t(videoWidget->winId()));
        libvlc_video_set_mouse_input(opened, false);
        libvlc_video_set_key_input(opened, false);
    } else {
        // Only pictures handed over need the size read from the file; libVLC's own output
        // finds it itself.
        QWidget* widget = videoWidget;
        previewSink.attach(opened, VideoCutter::displaySize(media), [widget] {
            QMetaObject::invokeMethod(widget, [widget] { widget->update(); }, Qt::QueuedConnection);
        });
    }
    libvlc_media_release(media);
    {
        std::lock_guard<std::mutex> locker(playerLock);
        player = opened;
    }
    libvlc_media_player_play(opened);
    setWindowTitle(tr("loadvideo_tip2") + path);
    okBut->setEnabled(false);
    m_handler->sendEmptyMessage(MessageCode::WaitPlayback);
    return true;
}

int LoadMediaDialog::previewState()
{
    std::lock_guard<std::mutex> locker(playerLock);
    return player ? int(libvlc_media_player_get_state(player)) : int(libvlc_Stopped);
}

void LoadMediaDialog::seekPreview(qint64 timeMs)
{
    std::lock_guard<std::mutex> locker(playerLock);
    if (!player || cutting)
        return;
    libvlc_media_player_set_pause(player, 1);
    libvlc_media_player_set_time(player, timeMs);
}

void LoadMediaDialog::vlcOpenFileError()
{
    qDebug() << "############ vlc open file error.";
    QMessageBox::information(this, tr("dialog_title_tip"), tr("loadvideo_player_error"));
    if (isVisible())
        close();
}

void LoadMediaDialog::vlcPlaying()
{
    qDebug() << "############ vlc playing." << this;
    qint64 length = 0;
    {
        std::lock_guard<std::mutex> locker(playerLock);
        if (!player)
            return;
        length = qMax<qint64>(0, libvlc_media_player_get_length(player));
    }
    // A raw stream plays but has no length: no span of it can be chosen.
    if (length <= 0) {
        qDebug() << "#LoadMediaDialog# no length: " << path;
        QMessageBox::information(this, tr("dialog_title_tip"), tr("loadvideo_no_length"));
        reject();
        return;
    }
    const int seconds = int(qMin<qint64>(length / 1000, INT_MAX));
    sliderStartTime->setMaximum(seconds);
    sliderEndTime->setMaximum(seconds);
    {
        const QSignalBlocker blockStart(sliderStartTime);
        sliderStartTime->setValue(0);
    }
    changeStartPosition(0);
    {
        const QSignalBlocker blockEnd(sliderEndTime);
        sliderEndTime->setValue(sliderEndTime->maximum());
    }
    changeEndPosition(sliderEndTime->maximum());

    // The middle frame for the placement comes from a player of its own, off this thread:
    // a seek into a long video can take seconds.
    if (placementThread)
        return;
    const QString file = path;
    placementThread = QThread::create([this, file, length] {
        VideoCutter::Status status = placementCutter.open(file);
        if (status == VideoCutter::Status::Ok)
            status = placementCutter.frameAt(length / 2, placementFrame);
        placementCutter.release();  // its player is not wanted during the cut
        qDebug() << "#LoadMediaDialog# vlcPlaying file = " << file << ", ret = " << VideoCutter::describe(status)
                 << ", width = " << placementFrame.width() << ", height = " << placementFrame.height();
    });
    connect(placementThread, &QThread::finished, this, &LoadMediaDialog::placeOnFrame);
    placementThread->start();
}

void LoadMediaDialog::placeOnFrame()
{
    if (placementFrame.isNull()) {
        QMessageBox::information(this, tr("dialog_title_tip"), tr("loadvideo_init_player_error"));
        reject();
        return;
    }
    GetImgeLocationDialog location(this);
    location.setWindowTitle(tr("loadvideo_tip"));
    location.setImage(placementFrame);
    location.exec();
    placementFrame = QImage();
    if (location.cancelled()) {
        onCancelClick();  // Escape: no span is asked for, nothing is cut
        return;
    }
    placement = location.placement();
    qDebug() << "#LoadMediaDialog# vlcPlaying() " << location.windowPosition() << placement.displaySize;
    qDebug() << "#LoadMediaDialog# vlcPlaying() x = " << placement.source.x() << ", y = " << placement.source.y()
             << ", w = " << placement.source.width() << ", h = " << placement.source.height();
    okBut->setEnabled(true);
    pause();
    emit placementDone();
}

void LoadMediaDialog::pause()
{
    {
        std::lock_guard<std::mutex> locker(playerLock);
        if (player && libvlc_media_player_is_playing(player)) {
            libvlc_media_player_set_pause(player, 1);
            libvlc_media_player_set_position(player, 0);
        }
    }
    okBut->setEnabled(true);
    cutting = false;
    previewLabel->hide();
    videoWidget->show();
}

void LoadMediaDialog::stop()
{
    // A seek still queued must not find the player gone; one that runs holds playerLock.
    m_handler->removeMessages(MessageCode::SeekPreview);
    libvlc_media_player_t* released = nullptr;
    {
        std::lock_guard<std::mutex> locker(playerLock);
        released = std::exchange(player, nullptr);
    }
    if (released) {
        libvlc_media_player_stop(released);
        libvlc_media_player_release(released);
    }
    sliderStartTime->setValue(0);
    sliderEndTime->setValue(0);
    okBut->setEnabled(true);
}

void LoadMediaDialog::postSeek(qint64 seconds)
{
    if (!player || cutting)
        return;
    auto* msg = new Message(m_handler.get(), MessageCode::SeekPreview);
    msg->str = QString::number(seconds);
    m_handler->sendMessageDelayed(msg, MessageCode::repeatDelayMs);
}

void LoadMediaDialog::changeStartPosition(int seconds)
{
    m_handler->removeMessages(MessageCode::SeekPreview);
    const int endMaximum = sliderStartTime->maximum() - seconds;
    {
        const QSignalBlocker blockEnd(sliderEndTime);
        sliderEndTime->setMaximum(endMaximum);
        sliderEndTime->setValue(endMaximum);
    }
    startTimeMs = qint64(seconds) * 1000;
    endTimeMs = (qint64(endMaximum) + sliderStartTime->value()) * 1000;
    lblStartTime->setText(timeText(startTimeMs));
    lblEndTime->setText(timeText(endTimeMs));
    postSeek(seconds);
}

void LoadMediaDialog::changeEndPosition(int seconds)
{
    m_handler->removeMessages(MessageCode::SeekPreview);
    endTimeMs = (qint64(seconds) + sliderStartTime->value()) * 1000;
    lblEndTime->setText(timeText(endTimeMs));
    postSeek(qint64(seconds) + sliderStartTime->value());
}

void LoadMediaDialog::onBtnStart()
{
    if (!player || cutting)
        return;
    deleteObjects();
    {
        std::lock_guard<std::mutex> locker(playerLock);
        libvlc_media_player_set_pause(player, 1);
    }
    okBut->setEnabled(false);
    cutting = true;
    previewLabel->hide();
    videoWidget->show();
    {
        QMutexLocker locker(&tempLock);
        cutFinished = false;
        m_cutError.clear();
    }
    cutThread = new CutImageThread(this, path, startTimeMs, endTimeMs);
    connect(cutThread, &CutImageThread::signalCurrentCutPos, this, &LoadMediaDialog::onCurrentCutPos);
    cutThread->start();
    for (int i = 0; i < 3; ++i) {
        auto* converter = new GetImageDataThread(this, placement);
        connect(converter, &GetImageDataThread::signalCutMediaOver, this, &LoadMediaDialog::cutMediaOver);
        converters.append(converter);
        converter->start();
    }
    m_progressDialog = new ProgressDialog(tr("loadvideo_loading_tip"), this);
    m_progressDialog->setProgress(0, VideoMarks::count(startTimeMs, endTimeMs));
    const int result = m_progressDialog->exec();
    delete m_progressDialog;
    if (result == QDialog::Rejected && cutting) {
        qDebug() << "cancel progress dialog!";
        stopCut();
        deleteObjects();
        cutting = false;
        reject();
        return;
    }
    stopCut();
}

void LoadMediaDialog::stopCut()
{
    qDeleteAll(std::exchange(converters, {}));
    delete std::exchange(cutThread, nullptr);
    QMutexLocker locker(&tempLock);
    tempImageObject.clear();
}

void LoadMediaDialog::onCurrentCutPos(qint64 timeMs)
{
    if (!m_progressDialog)
        return;
    m_progressDialog->textLabel()->setText(tr("loadvideo_loading_tip") + timeText(timeMs));
    m_progressDialog->setProgress((timeMs - startTimeMs) / VideoMarks::stepMs + 1,
                                  VideoMarks::count(startTimeMs, endTimeMs));
}

void LoadMediaDialog::cutMediaOver(bool ok)
{
    if (!player || !cutting)
        return;
    for (GetImageDataThread* converter : converters)
        if (!converter->cutDone())
            return;
    {
        // Conversions end in any order; the clip plays in time order.
        QMutexLocker locker(&listLock);
        std::stable_sort(listImageObject.begin(), listImageObject.end(),
                         [](const ImageObject* a, const ImageObject* b) { return a->number < b->number; });
    }
    okBut->setEnabled(true);
    cutting = false;
    if (m_progressDialog)
        m_progressDialog->accept();
    if (ok) {
        accept();
        return;
    }
    deleteObjects();
    QMessageBox::information(this, tr("dialog_title_tip"), tr("loadvideo_cut_error").arg(cutError()));
}

void LoadMediaDialog::onCancelClick()
{
    deleteObjects();
    reject();
}

void LoadMediaDialog::closeEvent(QCloseEvent* event)
{
    if (m_progressDialog)
        m_progressDialog->reject();  // the cut under way ends with the dialog
    stop();
    event->accept();
    QDialog::closeEvent(event);
}

QList<ImageObject*> LoadMediaDialog::takeImageObjects()
{
    QMutexLocker locker(&listLock);
    return std::exchange(listImageObject, {});
}

void LoadMediaDialog::deleteObjects()
{
    {
        QMutexLocker locker(&listLock);
        qDeleteAll(std::exchange(listImageObject, {}));
    }
    QMutexLocker locker(&tempLock);
    tempImageObject.clear();
}

bool LoadMediaDialog::pushCutFrame(CutFrame&& frame, const std::atomic<bool>& running)
{
    QMutexLocker locker(&tempLock);
    while (running && tempImageObject.size() >= cutQueueSize)
        tempChanged.wait(&tempLock);
    if (!running)
        return false;
    tempImageObject.append(std::move(frame));
    tempChanged.wakeAll();
    return true;
}

bool LoadMediaDialog::takeCutFrame(CutFrame& frame, const std::atomic<bool>& running)
{
    QMutexLocker locker(&tempLock);
    while (running && tempImageObject.isEmpty() && !cutFinished)
        tempChanged.wait(&tempLock);
    if (!running || tempImageObject.isEmpty())
        return false;
    frame = tempImageObject.takeFirst();
    tempChanged.wakeAll();
    return true;
}

void LoadMediaDialog::finishCut(const QString& error)
{
    QMutexLocker locker(&tempLock);
    cutFinished = true;
    m_cutError = error;
    tempChanged.wakeAll();
}

QString LoadMediaDialog::cutError()
{
    QMutexLocker locker(&tempLock);
    return m_cutError;
}

void LoadMediaDialog::wakeCutQueue()
{
    QMutexLocker locker(&tempLock);
    tempChanged.wakeAll();
}

void LoadMediaDialog::addImage(ImageObject* object)
{
    if (!object)
        return;
    QMutexLocker locker(&listLock);
    listImageObject.append(object);
}

QString LoadMediaDialog::cutFailureText(VideoCutter::Status status, qint64 timeMs)
{
    if (status == VideoCutter::Status::NoPicture)
        return tr("loadvideo_no_picture").arg(double(timeMs) / 1000.0, 0, 'f', 1);
    return tr("loadvideo_player_error");
}
