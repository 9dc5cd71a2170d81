#pragma once

#include <QImage>
#include <QObject>

#include <atomic>

class ImageObject;

// The contrast of one playlist picture: every colour byte of its source picture multiplied
// by a factor from 0.0 to 10.0 (slider value / 10) with saturation, after which the
// picture's thumbnail, polar buffer and preview are made again from the result. Alpha stays
// as it was: a faded thumbnail would vanish from the row at low factors. Each value starts
// from the unchanged source, so the factor is absolute.
//
// Threads: made and destroyed on the GUI thread; addImageContract runs on the worker thread
// (message code 16), restoreOriginal on the thread that made this object, once no job runs.
// The source picture is never changed after construction; the picture's files are guarded
// by its own lock. Whoever posts the job must keep this object alive until it has returned.
class ImageContrast : public QObject
{
    Q_OBJECT
public:
    // Loads the picture's source file once. A source of another layout than 4 bytes per
    // pixel (RGB32 or ARGB32) is brought to ARGB32 first.
    explicit ImageContrast(ImageObject* picture, QObject* parent = nullptr);

    // The factor a slider value stands for, as the picture keeps it (a 32-bit float), and
    // the slider value that factor gives back (truncated: 7 gives 0.7f, which gives 6).
    static float factorOf(int sliderValue);
    static int sliderValueOf(float factor);

    // False when the source file could not be read (gone, empty path, not a picture).
    bool hasSource() const { return !source.isNull(); }
    // The source with every byte scaled by the factor, as ARGB32; null without a source or
    // when the memory for the result cannot be had.
    QImage adjusted(float factor) const;

    // The job: stores the factor in the picture and, when it has a source, rewrites its
    // thumbnail, polar buffer and preview and emits onImageContractChanged.
    void addImageContract(int value);
    // Gives the picture back the factor it had when this object was made, and the files
    // that go with it, if a job has changed them since.
    void restoreOriginal();

signals:
    void onImageContractChanged(QObject* picture);

private:
    void apply(float factor);

    ImageObject* picture;  // not owned
    QImage source;  // null without a readable source
    const float originalFactor;
    std::atomic<bool> changed{false};  // a job has run since construction
};
