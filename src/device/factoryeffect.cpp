#include "factoryeffect.h"

#include "app/appsettings.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace FactoryEffect {

QStringList candidatePaths()
{
    const QString name = QStringLiteral("default.bin");
    QStringList paths;
    if (!AppSettings::appDir.isEmpty())
        paths << AppSettings::appDir + QLatin1Char('/') + name;
    if (QCoreApplication::instance())
        paths << QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
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
