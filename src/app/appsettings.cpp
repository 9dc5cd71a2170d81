#include "appsettings.h"

#include "tempdirectory.h"

#include <QDir>

namespace AppSettings {

int ledCount = defaultLedCount;
int lineNumber = defaultLineNumber;
QString appDir;
QString openDir;
int language = NoLanguage;
HandlerThread* workerThread = nullptr;

QString tempDir()
{
    return TempDirectory::instance().path();
}

QString ensureTempDir()
{
    const QString dir = tempDir();
    QDir().mkpath(dir);
    return dir;
}

} // namespace AppSettings
