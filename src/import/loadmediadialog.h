#pragma once

#include "clipframing.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QPointer>
#include <QStringList>
#include <QWaitCondition>

#include <atomic>
#include <memory>
#include <mutex>

#include "app/progressdialog.h"
#include "videocutter.h"
#include "vlcframesink.h"

class CutImageThread;
class GetImageDataThread;
class ImageObject;
class LoadMediaHandler;
class QLabel;
class QPushButton;
class QSlider;
class QThread;
struct libvlc_instance_t;
struct libvlc_media_player_t;

// One picture cut from the video, on its way to a converter.
struct CutFrame
{
    int number = 0;     // cut index + 1
    qint64 timeMs = 0;  // the mark it was cut at
    QImage picture;
};

// Import Video: plays the chosen video muted, lets the user place the fan's round window
// on the middle frame and choose a span with two sliders, then cuts a picture every
// 100 ms of the span and converts each to polar form. The result, listImageObject in time
// order, belongs to whoever takes it once the dialog is accepted.
//
// The preview is embedded in videoWidget on X11; elsewhere (Wayland, offscreen) libVLC
// hands its pictures over and the widget paints them.
//
// Threads: the dialog, its slots and the placement run on the GUI thread. Its
// LoadMediaHandler on the shared worker waits for playback and seeks the preview through
// previewState() and seekPreview(), which hold `playerLock`, the lock of `player`: stop()
// releases the player under it, so a queued or running seek never touches a released
// player. During a cut, CutImageThread fills the queue `tempImageObject` (guarded by
// `tempLock`, with `cutFinished` and the cut error) and three GetImageDataThreads drain it
// into `listImageObject` (guarded by `listLock`).
class LoadMediaDialog : public QDialog
{
    Q_OBJECT
public:
    explicit LoadMediaDialog(QWidget* parent = nullptr);
    ~LoadMediaDialog() override;

    // Asks for a video file, then opens it. False when nothing plays (a message was shown
    // where something failed).
    bool openMediaFile();
    bool openMediaFile(const QString& path);
    QString mediaPath() const { return path; }
    // The converted frames in time order; the caller owns them.
    QList<ImageObject*> takeImageObjects();
    QString timeText(qint64 ms) const;

    // Extra libVLC arguments for every player (tests give a bad one to make libVLC fail).
    static QStringList& playerArguments();

    // For the handler on the worker, under playerLock.
    int previewState();
    void seekPreview(qint64 timeMs);

    // For the cut threads, under tempLock: false once `running` is cleared (or, for
    // takeCutFrame, when the cut is over and the queue empty).
    bool pushCutFrame(CutFrame&& frame, const std::atomic<bool>& running);
    bool takeCutFrame(CutFrame& frame, const std::atomic<bool>& running);
    void finishCut(const QString& error);
    QString cutError();
    void wakeCutQueue();
    void addImage(ImageObject* object);
    static QString cutFailureText(VideoCutter::Status status, qint64 timeMs);

    qint64 startTimeMs = 0;
    qint64 endTimeMs = 100000;

    QWidget* videoWidget = nullptr;
    QLabel* previewLabel = nullptr;
    QLabel* lblStartTime = nullptr;
    QLabel* lblEndTime = nullptr;
    QSlider* sliderStartTime = nullptr;
    QSlider* sliderEndTime = nullptr;
    QPushButton* okBut = nullptr;
    QPushButton* cancelBut = nullptr;
    ProgressDialog* progressDialog() const { return m_progressDialog; }
    LoadMediaHandler* handler() const { return m_handler.get(); }

signals:
    void placementDone();  // the placement dialog has closed; the span can be chosen

public slots:
    void onBtnStart();
    void pause();
    void stop();
    void changeStartPosition(int seconds);
    void changeEndPosition(int seconds);
    void onCancelClick();
    void vlcOpenFileError();
    void vlcPlaying();
    void cutMediaOver(bool ok);
    void onCurrentCutPos(qint64 timeMs);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildForm();
    void retranslate();
    void placeOnFrame();
    void stopCut();
    void deleteObjects();
    void postSeek(qint64 seconds);
    bool embedsNativeWindow() const;

    QString path;
    ClipPlacement placement;
    libvlc_instance_t* instance = nullptr;
    std::mutex playerLock;
    libvlc_media_player_t* player = nullptr;  // guarded by playerLock off the GUI thread
    std::atomic<bool> cutting{false};  // read by the worker's seeks
    std::unique_ptr<LoadMediaHandler> m_handler;
    QPointer<ProgressDialog> m_progressDialog;
    CutImageThread* cutThread = nullptr;
    QList<GetImageDataThread*> converters;
    QThread* placementThread = nullptr;
    VideoCutter placementCutter;  // used by placementThread only; cancel() from here
    QImage placementFrame;        // written by placementThread before it finishes

    QMutex tempLock;
    QWaitCondition tempChanged;
    QList<CutFrame> tempImageObject;  // at most cutQueueSize pictures
    bool cutFinished = false;
    QString m_cutError;
    QMutex listLock;
    QList<ImageObject*> listImageObject;

    VlcFrameSink previewSink;  // the preview's pictures where there is no window to embed into

    static constexpr int cutQueueSize = 2;
    friend class VideoFrameWidget;

    QLabel* lblDrag = nullptr;
    QLabel* lblStart = nullptr;
    QLabel* lblEnd = nullptr;
};
