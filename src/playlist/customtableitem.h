#pragma once

#include <QMetaType>

class PlaylistObject;

// One playlist row: the picture (ImageObject) or clip (MediaObject) it shows. The delegates
// take a copy of it out of the model through the display role.
struct CustomTableItem
{
    PlaylistObject* object = nullptr;
};

Q_DECLARE_METATYPE(CustomTableItem)
