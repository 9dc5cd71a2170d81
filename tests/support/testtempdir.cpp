#include "testtempdir.h"

#include "app/tempdirectory.h"

#include <QTemporaryDir>

namespace {
// Built at static initialisation, so it is destroyed after TempDirectory's instance.
QTemporaryDir testRoot;
} // namespace

QString useTestTempRoot()
{
    TempDirectory::setRoot(testRoot.path());
    return testRoot.path();
}
