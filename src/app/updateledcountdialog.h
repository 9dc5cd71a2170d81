#pragma once

#include "updategeometrydialog.h"

// Asks for the number of LEDs on the fan's blade, 1 to 500.
class UpdateLedCountDialog : public UpdateGeometryDialog
{
    Q_OBJECT
public:
    explicit UpdateLedCountDialog(QWidget* parent = nullptr);

protected:
    QString outOfRangeText() const override;
};
