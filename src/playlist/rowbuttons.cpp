#include "rowbuttons.h"

#include <QPushButton>

namespace RowButtons {

QIcon plusIcon() { return QIcon(QStringLiteral(":/images/plus.png")); }
QIcon minusIcon() { return QIcon(QStringLiteral(":/images/moins.png")); }

QString fallbackText(const QIcon& icon, bool plus)
{
    if (!icon.availableSizes().isEmpty())
        return QString();
    return plus ? QStringLiteral("+") : QStringLiteral("-");
}

QPushButton* create(bool plus, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    const QIcon icon = plus ? plusIcon() : minusIcon();
    button->setFlat(true);
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setText(fallbackText(icon, plus));
    button->setFocusPolicy(Qt::NoFocus);
    button->setMinimumHeight(20);
    button->setMaximumHeight(25);
    button->setMouseTracking(true);
    return button;
}

} // namespace RowButtons
