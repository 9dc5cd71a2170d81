#pragma once

#include <QString>

// Points the program's temporary directory at a fresh directory that outlives the
// program's own use of it (it is removed after the lock file is released at exit).
// Call before anything creates a picture object. Returns the directory.
QString useTestTempRoot();
