#include "translations.h"

#include "appsettings.h"

namespace Translations {

QString programTable(int language)
{
    switch (language) {
    case AppSettings::SimplifiedChinese: return QStringLiteral(":/ts/translate_zh_CN.qm");
    case AppSettings::TraditionalChinese: return QStringLiteral(":/ts/translate_zh_HK.qm");
    case AppSettings::English: return QStringLiteral(":/ts/translate_en_US.qm");
    default: return QString();
    }
}

QString toolkitTable(int language)
{
    switch (language) {
    case AppSettings::SimplifiedChinese: return QStringLiteral(":/ts/qt_zh_CN.qm");
    case AppSettings::TraditionalChinese: return QStringLiteral(":/ts/qt_zh_TW.qm");
    default: return QString();
    }
}

} // namespace Translations
