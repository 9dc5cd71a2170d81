#pragma once

#include <QString>

class MediaObject;
class QFontMetrics;

// The clip row's "N picture, show L s": the clip's pictures and how long one loop plays on
// the fan, to a tenth of a second. The editor and the painted row show the same text in
// the same box.
namespace ClipRowText {

QString text(const char* context, const MediaObject& clip);
// The text's box: 120 pixels, wider when the text needs it, so that it is never cut.
int boxWidth(const QFontMetrics& metrics, const QString& text);
// A time to a tenth of a second, in its shortest form: "2", "0.8", "10.1".
QString seconds(qint64 ms);

} // namespace ClipRowText
