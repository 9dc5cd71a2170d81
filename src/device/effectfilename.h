#pragma once

#include <QString>

// Whether a typed effect file name can be written as "<drive>/<name>.bin". Anything that
// would leave the drive's directory, or that FAT refuses, is a problem, and so is a name of
// nothing but spaces: it would give a hidden ".bin".
namespace EffectFileName {

enum Problem {
    NoProblem = 0,
    Empty,               // nothing (or only spaces) typed
    Separator,           // "/" or "\": the file would land in another directory
    OnlyDots,            // ".", "..": names a directory, not a file
    ForbiddenCharacter,  // < > : " | ? * : FAT refuses them
    ControlCharacter,    // below U+0020 or U+007F
};

struct Check
{
    Problem problem = NoProblem;
    QChar character;  // the offending character, for Separator, ForbiddenCharacter, ControlCharacter
};

Check check(const QString& name);

// The message for a refused name, in the current language (context GetSaveFileDialog).
QString message(const Check& check);

} // namespace EffectFileName

namespace EffectFileName {
// The fan's name field holds 8 bytes: a letter or digit takes one, a Chinese character
// (or any other beyond ASCII) two.
constexpr int maxNameWidth = 8;
int nameWidth(const QString& name);

// The effect file of a download: drive path, "/", the typed name, ".bin"
// ("/media/card" and "Z1" give "/media/card/Z1.bin").
QString effectFilePath(const QString& drivePath, const QString& name);
} // namespace EffectFileName
