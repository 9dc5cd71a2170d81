#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include "effectfilereader.h"

class ImageObject;
class MediaObject;

// The playlist objects of an effect file read from a drive or the factory file: pictures of
// kind 4 and clips of frames of kind 5, each with a preview and thumbnail drawn from its
// record. The record itself goes to the object's buffer file in the temporary directory as
// soon as it is drawn (a download of the object writes those bytes again), so reading a
// file holds one record in memory at a time, whatever its size.
//
// Runs on the worker thread; the caller owns the objects made, also when it was cancelled.
struct ReadBackObjects
{
    QList<ImageObject*> pictures;
    QList<MediaObject*> clips;

    void deleteAll();
    bool isEmpty() const { return pictures.isEmpty() && clips.isEmpty(); }
};

struct ReadBackResult
{
    bool opened = false;
    QString errorText;  // why the file could not be opened
    EffectFile::Layout layout = EffectFile::Layout::Unknown;
    qint64 fileSize = 0;
    bool incomplete = false;   // records the header announces are missing or unreadable
    qint64 trailingBytes = 0;  // bytes after the last clip, left out
    QStringList problems;
};

// Reads the file with the options' geometry and appends its objects to `out`; clips are
// numbered from 1 in the order read. Progress counts the records of the file.
ReadBackResult readEffectFile(const QString& path, const EffectFile::ReadOptions& options,
                              ReadBackObjects& out);

// What a picture of the file looks like in the round preview: a raw frame as its bytes
// say, bit planes in the colours that were chosen (through the calibration table in force).
QImage renderRecord(const QByteArray& record, EffectFile::RecordForm form, int ledCount, int lineNumber);
