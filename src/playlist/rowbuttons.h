#pragma once

#include <QIcon>
#include <QString>

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

} // namespace RowButtons
