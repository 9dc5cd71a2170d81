#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include <functional>

#include "effectfilereader.h"

class ImageObject;
class MediaObject;

// The playlist objects of an effect file read from a drive or the factory file: pictures of
// kind 4 and clips of frames of kind 5, each with its record kept in memory as its buffer
// (a download of them writes those bytes again) and a preview and thumbnail drawn from it.
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
    QStringList problems;
};

// Reads the file with the options' geometry and appends its objects to `out`. Progress
// counts the records of the file: half of each for reading it, half for drawing it.
ReadBackResult readEffectFile(const QString& path, const EffectFile::ReadOptions& options,
                              ReadBackObjects& out);

// The objects of contents already read.
void makeReadBackObjects(const EffectFile::Contents& contents, const EffectFile::ReadOptions& options,
                         ReadBackObjects& out);

// What a picture of the file looks like in the round preview, for either record form.
QImage renderRecord(const QByteArray& record, EffectFile::RecordForm form, int ledCount, int lineNumber);
