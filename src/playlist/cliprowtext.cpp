#include "cliprowtext.h"

#include "convert/mediaobject.h"

#include <QCoreApplication>
#include <QFontMetrics>

namespace ClipRowText {

QString seconds(qint64 ms)
{
    const qint64 tenths = (ms + 50) / 100;
    return tenths % 10 == 0 ? QString::number(tenths / 10)
                            : QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

QString text(const char* context, const MediaObject& clip)
{
    return QCoreApplication::translate(context, "videowidget_lbl_text")
        .arg(clip.frames.size())
        .arg(seconds(clip.playLengthMs()));
}

int boxWidth(const QFontMetrics& metrics, const QString& text)
{
    return qMax(120, metrics.horizontalAdvance(text) + 6);
}

} // namespace ClipRowText
