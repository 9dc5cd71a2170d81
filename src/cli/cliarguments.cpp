#include "cliarguments.h"

#include "commands.h"
#include "device/fileaccess.h"
#include "device/partialfile.h"
#include "import/decodewarnings.h"

#include <QFile>
#include <QImage>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <utility>
#include <vector>

CliArguments::CliArguments(const QStringList& arguments, const char* usage,
                           const QStringList& valueOptions, const QStringList& flags)
    : m_usage(usage)
{
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded) {
            m_positional.append(argument);
            m_ordered.append({QString(), argument});
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;  // everything after it is a file, even "--help" or "-x"
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
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
    QString sentence = path + QStringLiteral(": ") + reason;
    if (!sentence.endsWith(QLatin1Char('.')))
        sentence += QLatin1Char('.');
    printError(sentence);
}

void reportFailure(const QString& action, const QString& path, const QString& reason)
{
    printError(FileAccess::failureSentence(action, path, reason));
}

bool checkInputFile(const QString& path, const QString& action)
{
    const QString problem = FileAccess::regularFileProblem(path);
    if (problem.isEmpty())
        return true;
    reportFailure(action, path, problem);
    return false;
}

bool loadPicture(const QString& path, QImage& picture)
{
    const QString action = QStringLiteral("read the picture");
    if (!checkInputFile(path, action))
        return false;
    DecodedPicture decoded = decodePicture(path);
    if (decoded.picture.isNull()) {
        reportFailure(action, path, decoded.errorString);
        return false;
    }
    // A picture cut short or damaged still decodes (the rest grey or black): say so.
    if (decoded.damaged())
        printError(QStringLiteral("warning: %1 was decoded with errors (%2); the damaged part shows as blank.")
                       .arg(path, decoded.warnings.join(QStringLiteral("; "))));
    picture = std::move(decoded.picture);
    return true;
}

bool writeFilesTogether(const QList<OutputFile>& outputs)
{
    std::vector<std::unique_ptr<QSaveFile>> files;
    std::vector<std::unique_ptr<PartialFile>> partials;  // destroyed before the files
    for (const OutputFile& output : outputs) {
        files.push_back(std::make_unique<QSaveFile>(output.path));
        if (!files.back()->open(QIODevice::WriteOnly)) {
            reportFailure(QStringLiteral("create"), output.path, files.back()->errorString());
            return false;  // the files opened so far are discarded unwritten
        }
        partials.push_back(std::make_unique<PartialFile>(*files.back()));
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        errno = 0;
        if (!outputs[int(i)].write(*files[i])) {
            reportFailure(QStringLiteral("write"), outputs[int(i)].path,
                          FileAccess::writeFailureReason(*files[i], errno));
            return false;
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        errno = 0;
        if (!files[i]->commit()) {
            reportFailure(QStringLiteral("write"), outputs[int(i)].path,
                          FileAccess::writeFailureReason(*files[i], errno));
            for (std::size_t done = 0; done < i; ++done)
                QFile::remove(outputs[int(done)].path);  // all or none
            return false;
        }
    }
    return true;
}

bool savePictureAtomically(const QString& path, const QImage& picture)
{
    return writeFilesTogether({{path, [&](QIODevice& file) { return picture.save(&file, "PNG"); }}});
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
