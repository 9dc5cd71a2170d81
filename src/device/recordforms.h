#pragma once

#include <QList>

class ImageObject;
class MediaObject;

// One effect file holds records of one size: the display steps through the data part by a
// fixed stride. A playlist can hold two forms, though: pictures converted here (bit planes,
// Polar::bufferSize of the geometry they were made with) and pictures read back from a
// factory file or a drive (raw frames of lineNumber x ledCount x 3 bytes, written as read).
//
// Before a download the window sorts the records by size. One size: the file is written as
// it is. Raw frames of the current geometry beside bit planes of the current geometry: the
// raw frames are converted to bit planes, which is exact (the same calibration and packing
// a conversion of those dots gives). Any other mixture is refused, naming the rows.
//
// GUI thread, while no job uses the playlist.
namespace RecordForms {

struct Group
{
    qint64 size = 0;                 // bytes per record
    QList<int> pictures;             // 1-based picture rows
    QList<int> clips;                // 1-based clip rows with at least one frame of this size
    QList<ImageObject*> objects;     // the pictures and frames of this size, in file order
};

// Records grouped by size, in order of first appearance; empty buffers are left out (the
// download names them as unreadable).
QList<Group> groupBySize(const QList<ImageObject*>& pictures, const QList<MediaObject*>& clips);

// The group of raw frames to convert when `groups` are exactly raw frames and bit planes of
// this geometry; -1 when there is nothing to convert or the mixture cannot be mended.
int convertibleGroup(const QList<Group>& groups, int ledCount, int lineNumber);

// Replaces each object's raw frame by its bit planes (calibrated now) and moves the result
// to its buffer file. False when a raw frame cannot be read; objects converted before it
// stay converted (the same picture in the other form).
bool convertToBitPlanes(const QList<ImageObject*>& objects, int ledCount, int lineNumber);

} // namespace RecordForms
