#include "showtimevalidator.h"

#include <QRegularExpression>

ShowTimeValidator::ShowTimeValidator(QObject* parent) : QValidator(parent) {}

QValidator::State ShowTimeValidator::validate(QString& input, int&) const
{
    if (input.isEmpty())
        return Intermediate;
    // Digits, then at most one point and one decimal: "2.", "2.5", ".5".
    static const QRegularExpression form(QStringLiteral("^[0-9]*\\.?[0-9]?$"));
    if (!form.match(input).hasMatch())
        return Invalid;
    if (input == QLatin1String("."))
        return Intermediate;
    const double value = input.toDouble();
    if (value > top)
        return Invalid;
    if (value < bottom || input.endsWith(QLatin1Char('.')))
        return Intermediate;
    return Acceptable;
}
