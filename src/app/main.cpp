#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "app/memorytuning.h"
#include "app/tempdirectory.h"
#include "device/partialfile.h"

#include <QApplication>
#include <QDir>
#include <QLocale>

int main(int argc, char* argv[])
{
    keepLargeAllocations();
    AppSettings::ledCount = AppSettings::defaultLedCount;
    AppSettings::lineNumber = AppSettings::defaultLineNumber;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("gyrolume"));
    QApplication::setOrganizationName(QStringLiteral("gyrolume"));
    AppSettings::appDir = QDir::currentPath();
    AppSettings::openDir = AppSettings::appDir;
    // Files left by earlier runs go; those of instances still running stay.
    TempDirectory::instance().removeAbandoned();
    // Ended by TERM (a logout) in the middle of a download: the partial file goes too.
    PartialFile::removeOnSignal();

    int result = 0;
    {
        MainWindow window;
        window.chooseStartLanguage(QLocale::system());
        window.show();
        result = app.exec();
    }
    return result;
}
