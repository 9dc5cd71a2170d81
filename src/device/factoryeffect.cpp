#include "factoryeffect.h"

#include "app/appsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace FactoryEffect {

QStringList candidatePaths()
{
    const QString name = QStringLiteral("default.bin");
    QStringList paths;
    if (!AppSettings::appDir.isEmpty())
        paths << AppSettings::appDir + QLatin1Char('/') + name;
    if (QCoreApplication::instance()) {
        const QString programDir = QCoreApplication::applicationDirPath();
        paths << programDir + QLatin1Char('/') + name;
        // Installed under any prefix: <prefix>/bin/gyrolume and <prefix>/share/gyrolume.
        paths << QDir::cleanPath(programDir + QStringLiteral("/../" GYROLUME_DATA_SUBDIR "/gyrolume/") + name);
    }
    paths << QStringLiteral(GYROLUME_DATA_DIR "/") + name;
    paths.removeDuplicates();
    return paths;
}

QString find()
{
    for (const QString& path : candidatePaths())
        if (QFileInfo(path).isFile())
            return path;
    return QString();
}

} // namespace FactoryEffect
