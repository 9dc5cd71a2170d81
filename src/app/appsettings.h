#pragma once

#include <QString>

class HandlerThread;

// The process-wide settings every part of the program reads. They are written on the
// GUI thread only (the geometry dialogs, the factory restore, the language switch) and
// read without a lock from the GUI and worker threads.
namespace AppSettings {

enum Language { NoLanguage = 0, SimplifiedChinese = 1, TraditionalChinese = 2, English = 3 };

constexpr int defaultLedCount = 112;
constexpr int defaultLineNumber = 450;

extern int ledCount;
extern int lineNumber;
extern QString appDir;   // the working directory at start-up, not the executable's
extern QString openDir;  // start directory of the open-file dialogs
extern int language;     // a Language value; NoLanguage until the first switch
extern HandlerThread* workerThread;  // created on first use by obtainWorkerThread()

// The program's own temporary directory, with a trailing "/". It belongs to this process
// alone; see TempDirectory.
QString tempDir();
// Makes tempDir() exist (it may have been removed) and returns it.
QString ensureTempDir();

} // namespace AppSettings
