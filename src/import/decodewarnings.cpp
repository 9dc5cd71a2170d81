#include "decodewarnings.h"

#include <QtGlobal>

#include <cstring>
#include <mutex>

namespace {
thread_local QStringList* collecting = nullptr;
QtMessageHandler previousHandler = nullptr;

void collectDecoderWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // The image plugins report under "qt.gui.imageio..." categories.
    if (collecting && type == QtWarningMsg && context.category
        && std::strncmp(context.category, "qt.gui.imageio", 14) == 0) {
        collecting->append(message.trimmed());
        return;
    }
    if (previousHandler)
        previousHandler(type, context, message);
}
} // namespace

DecodeWarnings::DecodeWarnings(QStringList& warnings) : m_outer(collecting)
{
    static std::once_flag installed;
    std::call_once(installed, [] { previousHandler = qInstallMessageHandler(collectDecoderWarnings); });
    collecting = &warnings;
}

DecodeWarnings::~DecodeWarnings() { collecting = m_outer; }

DecodedPicture decodePicture(const QString& path)
{
    DecodedPicture decoded;
    QImageReader reader(path);
    decoded.headerSize = reader.size();
    {
        const DecodeWarnings capture(decoded.warnings);
        decoded.picture = reader.read();
    }
    if (decoded.picture.isNull()) {
        decoded.error = reader.error();
        decoded.errorString = reader.errorString();
    }
    return decoded;
}
