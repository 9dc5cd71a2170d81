#include "rowfield.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QStatusBar>
#include <QToolTip>
#include <QValidator>

RowField::RowField(QLineEdit* field, std::function<QString()> keptText, std::function<QString()> refusal)
    : QObject(field), field(field), keptText(std::move(keptText)), refusal(std::move(refusal))
{
    field->installEventFilter(this);
}

bool RowField::isFinished(const QLineEdit* field, const QString& text)
{
    const QValidator* validator = field->validator();
    if (!validator)
        return !text.isEmpty();
    QString copy = text;
    int pos = 0;
    return validator->validate(copy, pos) == QValidator::Acceptable;
}

bool RowField::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == field) {
        if (event->type() == QEvent::FocusOut)
            restoreIfUnfinished();
        else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                restoreIfUnfinished();
        }
    }
    return false;
}

void RowField::restoreIfUnfinished()
{
    if (isFinished(field, field->text()))
        return;
    const QString kept = keptText();
    field->setText(kept);
    // In the status bar: a tooltip would vanish with the focus that just moved on.
    const QString text = refusal().arg(kept);
    if (auto* window = qobject_cast<QMainWindow*>(field->window()))
        window->statusBar()->showMessage(text, messageMs);
    else
        QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), text, field);
}
