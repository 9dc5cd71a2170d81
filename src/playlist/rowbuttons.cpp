#include "rowbuttons.h"

#include <QFontMetrics>
#include <QPainter>
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

int loopLabelWidth(const QFontMetrics& metrics, const QString& text)
{
    return qMax(55, metrics.horizontalAdvance(text) + 6);
}

void paintEditorBackground(QWidget* widget)
{
    QPainter painter(widget);
    painter.fillRect(widget->rect(), QColor(40, 100, 220));
}

void useEditorColours(QWidget* widget)
{
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText})
            palette.setColor(group, role, Qt::white);
    widget->setPalette(palette);
}

} // namespace RowButtons
