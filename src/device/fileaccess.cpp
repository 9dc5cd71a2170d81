#include "fileaccess.h"

#include <QFileDevice>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// As it reads inside a sentence: "Permission denied" becomes "permission denied"; "FIFO" stays.
QString reasonInSentence(QString text)
{
    if (text.size() > 1 && text[0].isUpper() && !text[1].isUpper())
        text[0] = text[0].toLower();
    return text;
}
} // namespace

namespace FileAccess {

QString regularFileProblem(const QString& path)
{
    if (path.isEmpty())
        return systemReason(ENOENT);
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return systemReason(errno);
    if (S_ISREG(status.st_mode))
        return ::access(QFile::encodeName(path).constData(), R_OK) == 0 ? QString() : systemReason(errno);
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("it is a directory");
    if (S_ISFIFO(status.st_mode))
        return QStringLiteral("it is a named pipe (FIFO), not a regular file");
    if (S_ISSOCK(status.st_mode))
        return QStringLiteral("it is a socket, not a regular file");
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return QStringLiteral("it is a device, not a regular file");
    return QStringLiteral("it is not a regular file");
}

QString systemReason(int error)
{
    return reasonInSentence(QString::fromLocal8Bit(std::strerror(error)));
}

QString writeFailureReason(const QIODevice& device, int error)
{
    // A device that set no error of its own says "Unknown error".
    const auto* file = qobject_cast<const QFileDevice*>(&device);
    const QString own = device.errorString();
    if (file ? file->error() != QFileDevice::NoError : !own.isEmpty() && own != QLatin1String("Unknown error"))
        return own;
    if (error != 0)
        return systemReason(error);
    return QStringLiteral("only part of the data could be written");
}

QString failureSentence(const QString& action, const QString& path, const QString& reason)
{
    QString sentence = QStringLiteral("Cannot %1 %2").arg(action, path);
    QString why = reasonInSentence(reason.trimmed());
    while (why.endsWith(QLatin1Char('.')))
        why.chop(1);
    if (!why.isEmpty())
        sentence += QStringLiteral(": ") + why;
    return sentence + QLatin1Char('.');
}

} // namespace FileAccess
