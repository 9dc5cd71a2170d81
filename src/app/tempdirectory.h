#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// The directory where picture objects keep their thumbnails, previews and buffers.
//
// Every running instance gets a directory of its own, "<root>/<pid>", guarded by the lock
// file "<root>/<pid>.lock" that it holds for its whole life. At start-up an instance empties
// the directories of instances that are gone (their lock is stale) and never touches one
// whose owner still runs, nor anything outside the root. The root defaults to
// "<cache location>/temp"; tests point it elsewhere with setRoot() before first use.
class TempDirectory
{
public:
    static TempDirectory& instance();

    // Before the first path() call only: use another root (tests).
    static void setRoot(const QString& root);

    // This process's directory, with a trailing "/". Created on the first call.
    QString path();

    // Removes the directories of instances that no longer run. Returns how many it removed.
    int removeAbandoned();

    // Empties and removes a directory tree: files and subdirectories, hidden entries not
    // included (a directory holding one stays). Failures are ignored.
    static void clearTempDir(const QString& path);

private:
    TempDirectory() = default;
    void open();

    QString m_root;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
