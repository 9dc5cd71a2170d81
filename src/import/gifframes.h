#pragma once

#include <QImage>
#include <QString>
#include <QVector>

#include <memory>

class QIODevice;
class QImageReader;

// What a walk through a GIF file's blocks found, without decoding a pixel: how many
// frames it holds and whether it ends as a GIF must, with the end marker after the last
// frame. It reads the file once, a block at a time, so any size costs no memory.
struct GifLayout
{
    enum class Problem {
        None,
        NotAGif,   // no GIF signature
        CutShort,  // the file ends inside frame `frameCount` + 1 or before the end marker
        Damaged,   // a block of an unknown kind where frame `frameCount` + 1 would start
    };
    Problem problem = Problem::None;
    int frameCount = 0;  // complete frames before the end or the problem
    QSize screenSize;    // every composed frame has this size
    QVector<int> delaysMs;  // each complete frame's delay as the file gives it, 0 when none
};
GifLayout scanGifLayout(QIODevice& device);

// The card's records for each frame of an animation kept at its own timing. Frame k is
// shown from the sum of the delays before it to the sum including it, both rounded to the
// card's 100 ms records, so the clip plays as long as the animation (within half a
// record) and a frame shorter than a record may get none, as between a video's marks.
// Delays of 10 ms or less count as 100 ms, as browsers play them. An animation gets at
// least one record.
QVector<int> keptTimingRecords(const QVector<int>& delaysMs);

// An animated GIF read one composed frame at a time, as the animation shows it, so that a
// clip of any length holds one frame in memory. The file is checked first: one that is
// missing, not a GIF, empty, cut short or damaged is refused before any frame is read,
// and a frame that then fails to decode ends the reading; either way failure() says why
// and failedFrame() which frame. A clip must never be made from part of its frames.
class GifFrameReader
{
public:
    enum class Failure { None, Missing, CannotOpen, NotAGif, NoFrames, CutShort, Damaged, FrameUndecodable };

    explicit GifFrameReader(const QString& path);
    ~GifFrameReader();

    bool ok() const { return m_failure == Failure::None; }
    Failure failure() const { return m_failure; }
    // The frame the failure concerns, counted from 0; -1 for failures of the whole file.
    int failedFrame() const { return m_failedFrame; }
    // One English sentence for the command-line tool and the debug output.
    QString errorString() const;

    int frameCount() const { return m_layout.frameCount; }
    QSize frameSize() const { return m_layout.screenSize; }
    const QVector<int>& frameDelaysMs() const { return m_layout.delaysMs; }
    // The number (from 0) of the frame readFrame() returns next.
    int nextFrame() const { return m_nextFrame; }
    bool atEnd() const { return m_nextFrame >= frameCount(); }
    // The next frame, or a null picture when the reader is at its end or has failed.
    QImage readFrame();

private:
    GifLayout m_layout;
    std::unique_ptr<QImageReader> m_reader;
    Failure m_failure = Failure::None;
    int m_failedFrame = -1;
    int m_nextFrame = 0;
    QString m_detail;  // the decoder's or the file system's reason
};
