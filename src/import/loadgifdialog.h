#pragma once

#include "clipframing.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QVector>

#include <memory>

class GifFrameReader;
class ImageObject;
class QLabel;
class QTimer;

// Import GIF: a small modal box that turns every frame of a GIF file into a picture, one
// frame per tick of a 300 ms timer, on the GUI thread. The first tick asks the user where
// the round window lies on frame 0 (GetImgeLocationDialog), and whether the clip keeps
// the GIF's own delays (each frame then fills as many of the card's records as its time
// rounds to; the card space either way is shown there). Every frame is framed the same
// way, written as "loadGif_<n>.png" and converted. After the last frame the box accepts
// and the window takes the frames with takeFrames(). Cancel, Escape in the placement, or
// a frame that fails, deletes the frames made so far (their files stay in the temporary
// directory); a failure is kept in failureMessage() for the window to show. A file that
// is refused before any frame (missing, not a GIF, empty, cut short, damaged) starts no
// timer: check failureMessage() before running the box.
//
// GUI thread only. The dialog owns its frames until they are taken.
class LoadGifDialog : public QDialog
{
    Q_OBJECT
public:
    explicit LoadGifDialog(const QString& path, QWidget* parent = nullptr);
    ~LoadGifDialog() override;

    // What went wrong, for the user; empty while all is well.
    QString failureMessage() const { return m_failureMessage; }
    const QList<ImageObject*>& frames() const { return m_frames; }
    // Hands the converted frames, in frame order, to the caller.
    QList<ImageObject*> takeFrames();
    const ClipPlacement& placement() const { return m_placement; }
    QLabel* previewLabel() const { return lblPreview; }
    QTimer* timer() const { return m_timer; }

public slots:
    void getGifImage();
    void reject() override;

private:
    bool placeFirstFrame(const QImage& frame);  // false when the user cancelled
    void fail(const QString& reason);
    void finishIfAtEnd();
    void deleteFrames();

    const QString path;
    std::unique_ptr<GifFrameReader> reader;
    QTimer* m_timer = nullptr;
    QLabel* lblPreview = nullptr;
    ClipPlacement m_placement;
    QList<ImageObject*> m_frames;
    QString m_failureMessage;
    QVector<int> records;  // the card's records for each frame, from the placement on
    bool tickRunning = false;
    bool cancelled = false;  // the placement dialog's modal run lets the timer fire again
};
