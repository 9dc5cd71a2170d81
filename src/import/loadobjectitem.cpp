#include "loadobjectitem.h"

LoadObjectItem::LoadObjectItem(int index, int count, const QString& path)
    : index(index), count(count), path(path)
{
}
