#include "effectfilename.h"

#include <QCoreApplication>

namespace EffectFileName {

Check check(const QString& name)
{
    if (name.trimmed().isEmpty())
        return {Empty, QChar()};
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return {Separator, c};
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return {ControlCharacter, c};
        if (QStringLiteral("<>:\"|?*").contains(c))
            return {ForbiddenCharacter, c};
    }
    if (!name.isEmpty() && name.count(QLatin1Char('.')) == name.size())
        return {OnlyDots, QChar()};
    return {};
}

QString message(const Check& check)
{
    auto tr = [](const char* key) { return QCoreApplication::translate("GetSaveFileDialog", key); };
    switch (check.problem) {
    case NoProblem:
        return QString();
    case Empty:
        return tr("savefile_name_empty");
    case Separator:
        return tr("savefile_name_separator").arg(check.character);
    case OnlyDots:
        return tr("savefile_name_dots");
    case ForbiddenCharacter:
        return tr("savefile_name_forbidden").arg(check.character);
    case ControlCharacter:
        return tr("savefile_name_control").arg(check.character.unicode(), 4, 16, QLatin1Char('0'));
    }
    return QString();
}

} // namespace EffectFileName

namespace EffectFileName {
int nameWidth(const QString& name)
{
    int width = 0;
    for (const QChar c : name) {
        if (c.isLowSurrogate())
            continue;  // the pair was counted at its first half
        width += c.unicode() < 0x80 ? 1 : 2;
    }
    return width;
}

QString effectFilePath(const QString& drivePath, const QString& name)
{
    return drivePath + QLatin1Char('/') + name + QLatin1String(".bin");
}
} // namespace EffectFileName
