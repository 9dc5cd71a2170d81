#pragma once

#include <QString>

// Where the compiled translation tables live in the program's resources.
namespace Translations {
QString programTable(int language);  // ":/ts/translate_<lang>.qm"
QString toolkitTable(int language);  // ":/ts/qt_<lang>.qm"; empty for English
} // namespace Translations
