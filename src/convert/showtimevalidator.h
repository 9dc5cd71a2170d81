#pragma once

#include "playlist/rowsteps.h"

#include <QValidator>

// The show time of a picture as typed: a number of seconds with at most one decimal and a
// point (whatever the system's locale), from 0.1 (the card counts tenths) to 100. A number
// above 100 cannot be typed at all; a number below 0.1 (such as "0", while "0.5" is on its
// way) and an empty text are unfinished entries, which the row never stores.
class ShowTimeValidator : public QValidator
{
    Q_OBJECT
public:
    static constexpr double bottom = 0.1;
    static constexpr double top = RowSteps::maxShowTime;

    explicit ShowTimeValidator(QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;
};
