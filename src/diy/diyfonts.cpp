#include "diyfonts.h"

#include <QDebug>
#include <QFile>
#include <QFont>

#include <fontconfig/fontconfig.h>

namespace {

// The family the rules prefer for `requested` among those of the installed font that
// fontconfig matches; empty when no preferred family is installed.
QString resolvedFamily(const QString& requested)
{
    const QByteArray name = requested.toUtf8();
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    QString chosen;
    FcChar8* wanted = nullptr;
    for (int i = 0; match && chosen.isEmpty() && FcPatternGetString(pattern, FC_FAMILY, i, &wanted) == FcResultMatch;
         ++i) {
        FcChar8* family = nullptr;
        for (int j = 0; FcPatternGetString(match, FC_FAMILY, j, &family) == FcResultMatch; ++j) {
            if (FcStrCmpIgnoreCase(wanted, family) == 0) {
                chosen = QString::fromUtf8(reinterpret_cast<const char*>(family));
                break;
            }
        }
    }
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return chosen;
}

} // namespace

bool registerDiyFontAliases()
{
    static bool registered = false;
    if (registered)
        return true;
    QFile file(QStringLiteral(":/fonts/gyrolume-fonts.conf"));
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "#DiyFonts# the font rules are missing from the resources";
        return false;
    }
    const QByteArray rules = file.readAll();
    FcConfig* config = FcConfigGetCurrent();
    if (!config || !FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(rules.constData()), FcTrue)) {
        qDebug() << "#DiyFonts# fontconfig did not take the font rules";
        return false;
    }
    // The toolkit falls back through fontconfig only by family name, which loses the
    // weight of a face such as "Lato Black": it is told the resolved family directly.
    for (const QString& requested : {QStringLiteral("黑体"), QStringLiteral("Arial Black")}) {
        const QString family = resolvedFamily(requested);
        qDebug() << "#DiyFonts#" << requested << "->" << family;
        if (!family.isEmpty())
            QFont::insertSubstitution(requested, family);
    }
    registered = true;
    return true;
}
