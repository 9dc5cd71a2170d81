#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>

// A small round view of a picture exactly as the fan shows it: the picture's polar
// preview (the dots of every LED on every line, over black) with the current geometry.
// Refreshes are asked for freely; they run at most half of the time, so a stream of
// requests while the mouse draws never makes drawing slow. GUI thread only.
class DiyFanPreview : public QWidget
{
    Q_OBJECT
public:
    explicit DiyFanPreview(QWidget* parent = nullptr);

    // Where the picture comes from (450 x 450, read at each refresh).
    void setSource(std::function<QImage()> source);
    // Refreshes soon: at once when the last refresh is longer ago than it took.
    void requestRefresh();
    // Refreshes now.
    void refresh();

    const QImage& preview() const { return m_preview; }
    int refreshCount() const { return m_refreshCount; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<QImage()> source;
    QImage m_preview;
    QTimer timer;
    QElapsedTimer sinceLast;
    qint64 lastDuration = 0;  // milliseconds the last refresh took
    int m_refreshCount = 0;
};
