#include "cliarguments.h"

#include "commands.h"

#include <QImage>
#include <QImageReader>
#include <QSaveFile>

#include <cstdio>
#include <unistd.h>

CliArguments::CliArguments(const QStringList& arguments, const char* usage,
                           const QStringList& valueOptions, const QStringList& flags)
    : m_usage(usage)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            m_help = true;
        } else if (valueOptions.contains(argument)) {
            if (i + 1 >= arguments.size()) {
                fail(QStringLiteral("%1 needs a value").arg(argument));
                break;
            }
            m_ordered.append({argument, arguments[++i]});
        } else if (flags.contains(argument)) {
            m_flags.append(argument);
        } else if (argument.startsWith(QLatin1String("--"))) {
            fail(QStringLiteral("unknown option %1").arg(argument));
        } else {
            m_positional.append(argument);
            m_ordered.append({QString(), argument});
        }
    }
}

QString CliArguments::value(const QString& name) const
{
    QString found;
    for (const auto& entry : m_ordered)
        if (entry.first == name)
            found = entry.second;
    return found;
}

void CliArguments::fail(const QString& message)
{
    if (m_error.isEmpty())
        m_error = message;
}

int CliArguments::number(const QString& text, int minimum, int maximum, const QString& what)
{
    bool parsed = false;
    const int result = text.toInt(&parsed);
    if (!parsed || result < minimum || result > maximum) {
        fail(QStringLiteral("%1 must be a whole number from %2 to %3, not '%4'")
                 .arg(what).arg(minimum).arg(maximum).arg(text));
        return minimum;
    }
    return result;
}

double CliArguments::decimal(const QString& text, double minimum, double maximum, const QString& what)
{
    bool parsed = false;
    const double result = text.toDouble(&parsed);
    if (!parsed || !(result >= minimum && result <= maximum)) {
        fail(QStringLiteral("%1 must be a number from %2 to %3, not '%4'")
                 .arg(what).arg(minimum).arg(maximum).arg(text));
        return minimum;
    }
    return result;
}

Geometry CliArguments::geometry()
{
    Geometry geometry{112, 450};
    const QString leds = value(QStringLiteral("--leds"));
    const QString lines = value(QStringLiteral("--lines"));
    if (!leds.isEmpty())
        geometry.ledCount = number(leds, 1, 500, QStringLiteral("--leds"));
    if (!lines.isEmpty())
        geometry.lineNumber = number(lines, 1, 600, QStringLiteral("--lines"));
    return geometry;
}

int CliArguments::printHelp() const
{
    std::fputs(m_usage, stdout);
    return ExitOk;
}

int CliArguments::usageError(const char* message) const
{
    const QString reason = m_error.isEmpty() && message ? QString::fromUtf8(message) : m_error;
    if (!reason.isEmpty())
        std::fprintf(stderr, "gyrolume-cli: %s\n\n", qPrintable(reason));
    std::fputs(m_usage, stderr);
    return ExitUsage;
}

void reportFailure(const QString& path, const QString& reason)
{
    std::fprintf(stderr, "gyrolume-cli: %s: %s\n", qPrintable(path), qPrintable(reason));
}

bool loadPicture(const QString& path, QImage& picture)
{
    QImageReader reader(path);
    picture = reader.read();
    if (picture.isNull()) {
        reportFailure(path, QStringLiteral("cannot read the picture (%1)").arg(reader.errorString()));
        return false;
    }
    return true;
}

namespace {
template<typename Write>
bool commitAtomically(const QString& path, Write write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        reportFailure(path, QStringLiteral("cannot create the file (%1)").arg(file.errorString()));
        return false;
    }
    if (!write(file) || !file.commit()) {
        reportFailure(path, QStringLiteral("cannot write the file (%1)").arg(file.errorString()));
        file.cancelWriting();
        return false;
    }
    return true;
}
} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    return commitAtomically(path, [&](QSaveFile& file) { return file.write(bytes) == bytes.size(); });
}

bool savePictureAtomically(const QString& path, const QImage& picture)
{
    return commitAtomically(path, [&](QSaveFile& file) { return picture.save(&file, "PNG"); });
}

std::function<void(int, int)> terminalProgress(const char* what)
{
    if (!isatty(STDERR_FILENO))
        return {};
    return [what](int done, int total) {
        std::fprintf(stderr, "\r%s %d of %d", what, done, total);
        if (done == total)
            std::fputc('\n', stderr);
    };
}
