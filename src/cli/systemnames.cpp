#include "systemnames.h"

#include "device/fileaccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QList>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
struct Alias
{
    QByteArray alias;  // as Qt will name it (UTF-8)
    QByteArray real;   // as the system gave it
    int directory = -1;  // for a name still to be written: its directory, and
    QByteArray aliasName;  // the two names in it
    QByteArray realName;
};
QList<Alias> aliases;

bool isUtf8(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

QString descriptorPath(int fd) { return QStringLiteral("/proc/self/fd/%1").arg(fd); }

// A name to be written: reached through its directory, under a UTF-8 name there when
// its own is not one.
QString outputAlias(const QByteArray& real)
{
    const int slash = int(real.lastIndexOf('/'));
    const QByteArray directory = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : real.left(slash);
    const QByteArray name = real.mid(slash + 1);
    const int dirFd = ::open(directory.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0 || name.isEmpty()) {
        // Fails later with the system's reason; the message still shows the real name.
        const QString lossy = QString::fromUtf8(real);
        aliases.append({lossy.toUtf8(), real});
        return lossy;
    }
    Alias alias;
    alias.real = real;
    alias.directory = dirFd;
    alias.realName = name;
    alias.aliasName = isUtf8(name) ? name
                                   : QStringLiteral(".gyrolume-cli-%1-%2")
                                         .arg(QCoreApplication::applicationPid())
                                         .arg(aliases.size())
                                         .toUtf8();
    alias.alias = descriptorPath(dirFd).toUtf8() + '/' + alias.aliasName;
    aliases.append(alias);
    return QString::fromUtf8(alias.alias);
}

QString aliasFor(const QByteArray& real)
{
    const int fd = ::open(real.constData(), O_PATH | O_CLOEXEC);
    if (fd < 0)
        return outputAlias(real);  // not there yet: an output
    aliases.append({descriptorPath(fd).toUtf8(), real});
    return descriptorPath(fd);
}
} // namespace

QStringList systemArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        arguments.append(isUtf8(argument) ? QString::fromUtf8(argument) : aliasFor(argument));
    }
    return arguments;
}

QString outputPath(const QString& path)
{
    const QByteArray name = path.toUtf8();
    for (const Alias& alias : aliases) {
        struct stat status = {};
        if (alias.alias == name && alias.directory < 0 && ::stat(name.constData(), &status) == 0
            && !S_ISDIR(status.st_mode))
            return outputAlias(alias.real);  // an existing file, to be replaced
    }
    return path;
}

void printError(const QString& sentence)
{
    QByteArray bytes = QByteArrayLiteral("gyrolume-cli: ") + sentence.toUtf8() + '\n';
    for (const Alias& alias : aliases)
        bytes.replace(alias.alias, alias.real);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

bool finishAliasedOutputs(bool succeeded)
{
    bool ok = true;
    for (const Alias& alias : aliases) {
        if (alias.directory < 0 || alias.aliasName == alias.realName)
            continue;
        struct stat status = {};
        if (::fstatat(alias.directory, alias.aliasName.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            continue;  // never written
        if (!succeeded) {
            ::unlinkat(alias.directory, alias.aliasName.constData(), S_ISDIR(status.st_mode) ? AT_REMOVEDIR : 0);
            continue;
        }
        if (::renameat(alias.directory, alias.aliasName.constData(), alias.directory, alias.realName.constData()) != 0) {
            printError(FileAccess::failureSentence(QStringLiteral("give the name to"), QString::fromUtf8(alias.alias),
                                                   FileAccess::systemReason(errno)));
            ok = false;
        }
    }
    return ok;
}
