#pragma once

#include <QImage>

#include <deque>

// One undo step of the drawing editor: the whole picture and the zoom level it was at.
struct HistoryObject
{
    int zoomLevel = 0;
    QImage picture;
};

// The editor's undo records, oldest first. Each holds a full picture, so the history is
// bounded twice: at most 100 records, and at most a byte budget for their pictures (100
// records of a zoomed photo would be gigabytes). Beyond either bound the oldest records go;
// the newest always stays, so the picture on the canvas can always be restored.
class DiyHistory
{
public:
    static constexpr int maxRecords = 100;
    static constexpr qint64 defaultByteBudget = qint64(256) << 20;

    explicit DiyHistory(qint64 byteBudget = defaultByteBudget) : budget(byteBudget) {}

    void append(int zoomLevel, const QImage& picture);
    // The record of a stroke follows the stroke: its picture is replaced as it grows.
    void replaceLastPicture(const QImage& picture);
    // Drops the newest record when an older one remains and returns true; with one record
    // nothing happens.
    bool dropLast();

    const HistoryObject& last() const { return records.back(); }
    int count() const { return int(records.size()); }
    qint64 bytes() const { return total; }

private:
    void trim();

    std::deque<HistoryObject> records;
    qint64 total = 0;
    qint64 budget;
};
