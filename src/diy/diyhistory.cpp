#include "diyhistory.h"

void DiyHistory::append(const QImage& picture)
{
    clearRedo();
    records.push_back({picture});
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
    undone.push_back(std::move(records.back()));
    records.pop_back();
    return true;
}

bool DiyHistory::restoreNext()
{
    if (undone.empty())
        return false;
    total += undone.back().picture.sizeInBytes();
    records.push_back(std::move(undone.back()));
    undone.pop_back();
    return true;
}

void DiyHistory::clearRedo() { undone.clear(); }

void DiyHistory::trim()
{
    while (records.size() > 1 && (int(records.size()) > maxRecords || total > budget)) {
        total -= records.front().picture.sizeInBytes();
        records.pop_front();
    }
}
