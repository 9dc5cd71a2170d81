#pragma once

#include <QIcon>
#include <QString>

class QFontMetrics;
class QPushButton;
class QWidget;

// The plus and minus buttons of the playlist rows, shared by the row widgets and the
// delegates that paint them.
namespace RowButtons {

QIcon plusIcon();
QIcon minusIcon();
// The text a button shows when its picture is missing, so that it never shows blank.
QString fallbackText(const QIcon& icon, bool plus);
QPushButton* create(bool plus, QWidget* parent);

// Width of the clip row's loop label: 55 pixels, more when its text needs it ("Cycle
// times"), so the text is never cut; the editor and the painted row use the same width.
int loopLabelWidth(const QFontMetrics& metrics, const QString& text);

// The row under edit stands out in blue; its texts are white to stay readable on it.
void paintEditorBackground(QWidget* widget);
void useEditorColours(QWidget* widget);

} // namespace RowButtons
