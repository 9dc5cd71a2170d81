#pragma once

#include <QIntValidator>

// An integer validator that refuses every number above its top while it is typed. Qt's
// own lets a number with as many digits as the top stand as unfinished ("256" for 0..255),
// so such a number could be entered and stored. Numbers below the bottom, and an empty
// text, remain unfinished entries.
class BoundedIntValidator : public QIntValidator
{
    Q_OBJECT
public:
    BoundedIntValidator(int bottom, int top, QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;
};
