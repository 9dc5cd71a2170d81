#pragma once

#include <QImage>

#include <deque>

// One undo step of the drawing editor: the whole picture as it was after the step.
struct HistoryObject
{
    QImage picture;
};

// The editor's undo records, oldest first, and the records undone since the last new step,
// which redo brings back. Each holds a full picture, so the history is bounded twice: at
// most 100 records, and at most a byte budget for their pictures (100 records of a large
// photo would be gigabytes). Beyond either bound the oldest records go; the newest always
// stays, so the picture on the canvas can always be restored. A new step ends the redo.
class DiyHistory
{
public:
    static constexpr int maxRecords = 100;
    static constexpr qint64 defaultByteBudget = qint64(256) << 20;

    explicit DiyHistory(qint64 byteBudget = defaultByteBudget) : budget(byteBudget) {}

    // A new step: the records undone before it can no longer be redone.
    void append(const QImage& picture);
    // The record of a stroke follows the stroke: its picture is replaced as it grows.
    void replaceLastPicture(const QImage& picture);
    // Undo: drops the newest record, keeping it for redo, when an older one remains and
    // returns true; with one record nothing happens.
    bool dropLast();
    // Redo: brings back the record undone last; false when there is none.
    bool restoreNext();
    void clearRedo();

    const HistoryObject& last() const { return records.back(); }
    int count() const { return int(records.size()); }
    int redoCount() const { return int(undone.size()); }
    // The pictures of the undo records; the undone ones were counted when they were made.
    qint64 bytes() const { return total; }

private:
    void trim();

    std::deque<HistoryObject> records;
    std::deque<HistoryObject> undone;  // newest undone last
    qint64 total = 0;
    qint64 budget;
};
