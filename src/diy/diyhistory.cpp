#include "diyhistory.h"

void DiyHistory::append(int zoomLevel, const QImage& picture)
{
    records.push_back({zoomLevel, picture});
    total += picture.sizeInBytes();
    trim();
}

void DiyHistory::replaceLastPicture(const QImage& picture)
{
    total += picture.sizeInBytes() - records.back().picture.sizeInBytes();
    records.back().picture = picture;
    trim();
}

bool DiyHistory::dropLast()
{
    if (records.size() < 2)
        return false;
    total -= records.back().picture.sizeInBytes();
    records.pop_back();
    return true;
}

void DiyHistory::trim()
{
    while (records.size() > 1 && (int(records.size()) > maxRecords || total > budget)) {
        total -= records.front().picture.sizeInBytes();
        records.pop_front();
    }
}
