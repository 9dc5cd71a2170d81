#include "partialfile.h"

#include "effectfile.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QRegularExpression>

#include <atomic>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
// Fixed storage a signal handler may read: a slot is claimed, filled, then published.
constexpr int slotCount = 8;
constexpr int nameLength = 4096;
char slotNames[slotCount][nameLength];
std::atomic<bool> slotLive[slotCount];
std::atomic<bool> slotClaimed[slotCount];

void removeLiveFiles(int signal)
{
    for (int i = 0; i < slotCount; ++i)
        if (slotLive[i].load())
            ::unlink(slotNames[i]);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The name the system gives the open file, or empty when it has none.
QByteArray openFileName(int fd)
{
    char name[nameLength];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t length = ::readlink(link.constData(), name, sizeof name - 1);
    if (length <= 0)
        return QByteArray();
    const QByteArray result(name, int(length));
    if (result.endsWith(" (deleted)") || !result.startsWith('/'))
        return QByteArray();  // unnamed (O_TMPFILE) or not a file
    return result;
}
} // namespace

PartialFile::PartialFile(const QFileDevice& file)
{
    const int fd = file.handle();
    if (fd < 0)
        return;
    ::flock(fd, LOCK_EX | LOCK_NB);  // released by the system when the writer dies
    const QByteArray name = openFileName(fd);
    if (name.isEmpty() || name.size() >= nameLength || name == QFile::encodeName(QFileInfo(file.fileName()).absoluteFilePath()))
        return;
    for (int i = 0; i < slotCount; ++i) {
        bool expected = false;
        if (slotClaimed[i].compare_exchange_strong(expected, true)) {
            std::memcpy(slotNames[i], name.constData(), size_t(name.size()) + 1);
            slotLive[i].store(true);
            m_slot = i;
            return;
        }
    }
}

PartialFile::~PartialFile()
{
    if (m_slot < 0)
        return;
    slotLive[m_slot].store(false);
    slotClaimed[m_slot].store(false);
}

int PartialFile::removeAbandonedBeside(const QString& path)
{
    const QFileInfo target(path);
    const QString ownName = QRegularExpression::escape(target.fileName());
    static const QString randomPart = QStringLiteral("\\.[A-Za-z0-9]{6}");
    const QRegularExpression partial(QStringLiteral("^(%1|.+\\.bin)%2$").arg(ownName, randomPart),
                                     QRegularExpression::CaseInsensitiveOption);
    const QDir directory = target.absoluteDir();
    int removed = 0;
    const QFileInfoList entries = directory.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() || !partial.match(entry.fileName()).hasMatch())
            continue;
        const QByteArray name = QFile::encodeName(entry.absoluteFilePath());
        const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        // A writer that still runs holds the lock; a user's "show.bin.backup" is neither
        // empty nor an effect file's beginning.
        char head[sizeof EffectFile::magic] = {};
        const bool ours = entry.size() == 0
                          || (::pread(fd, head, sizeof head, 0) == ssize_t(sizeof head)
                              && std::memcmp(head, EffectFile::magic, sizeof head) == 0);
        if (ours && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(name.constData()) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}

void PartialFile::removeOnSignal()
{
    struct sigaction action = {};
    action.sa_handler = removeLiveFiles;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}
