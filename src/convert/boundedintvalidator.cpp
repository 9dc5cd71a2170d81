#include "boundedintvalidator.h"

BoundedIntValidator::BoundedIntValidator(int bottom, int top, QObject* parent)
    : QIntValidator(bottom, top, parent)
{
}

QValidator::State BoundedIntValidator::validate(QString& input, int& pos) const
{
    const State state = QIntValidator::validate(input, pos);
    if (state == Invalid)
        return Invalid;
    bool ok = false;
    const qlonglong number = locale().toLongLong(input, &ok);
    if (ok && number > top())
        return Invalid;
    return state;
}
