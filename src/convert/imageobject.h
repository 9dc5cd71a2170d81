#pragma once

#include <QByteArray>
#include <QImage>
#include <QMutex>
#include <QRect>
#include <QString>

#include "playlistobject.h"

// One picture of the playlist: a still picture, a clip frame, a DIY drawing or a picture
// read back from an effect file. Its files live in the program's temporary directory,
// named from its id: "<id>_1.png" (60 x 60 thumbnail), "<id>_2.png" (450 x 450 preview of
// the polar form) and "<id>.buf" (the polar buffer once flushed). Deleting the object
// deletes them.
//
// Threads: objects are made and converted on the GUI thread or a worker thread, and read
// by the download on the worker thread. `lock` guards polarBuffer, bufferPath and the
// files during savePreview, saveThumbnail, flushBuffer, buffer and removeFiles.
class ImageObject : public PlaylistObject
{
    Q_OBJECT
public:
    enum Kind {
        PictureKind = 0,        // imported picture file
        VideoFrameKind = 1,
        DiyKind = 2,
        GifFrameKind = 3,
        ReadBackPictureKind = 4,
        ReadBackFrameKind = 5,
    };

    ImageObject(int number, const QString& sourcePath, double showTime, int kind);
    // For a creator that has already decoded the source file: it is not decoded again.
    ImageObject(int number, const QString& sourcePath, double showTime, int kind,
                const QImage& decodedSource);
    ~ImageObject() override;

    // Cuts the centred square of the source file and writes the thumbnail. Run again
    // after the source file was rewritten (DIY editing).
    void prepareSource();
    void prepareSource(const QImage& decodedSource);

    // Return -1 for a null picture, 0 when saved, 1 when the file could not be written.
    int savePreview(const QImage& picture);
    int saveThumbnail(const QImage& picture);
    QImage loadPreview() const;
    QImage loadThumbnail() const;

    // Moves polarBuffer into "<id>.buf" and releases the memory; when the file does not
    // open the buffer stays in memory.
    void flushBuffer();
    // The polar buffer, from memory or from its file; empty when neither holds it.
    QByteArray buffer();
    void removeFiles();

    QString thumbnailPath() const;
    QString previewPath() const;
    QString bufferFilePath() const;
    // Imported and drawn pictures open in the drawing editor; frames and read-back pictures
    // have no file of their own to edit.
    bool editable() const { return kind == PictureKind || kind == DiyKind; }

    int kind;
    QString sourcePath;
    QByteArray polarBuffer;
    double showTime;
    float videoTime = 0;
    // Records of the card a clip frame fills in a row, at least 1: more for a GIF frame
    // kept at its own delay, all with this one buffer.
    int repeatCount = 1;
    float contrast = 1.0f;
    QRect cropRect;
    int id;
    QMutex lock;
    QString bufferPath;

private:
    int saveLocked(const QImage& picture, const QString& path);
};

// Largest square in the middle of a picture, as the conversion and thumbnails cut it.
QRect centredSquare(const QSize& size);
// The row's thumbnail of a picture: its centred square scaled to fit 450 x 450, then 60 x 60.
QImage thumbnailOf(const QImage& picture);
