#pragma once

#include "updategeometrydialog.h"

// Asks for the number of lines per turn (the resolution), 1 to 600.
class UpdateLineNumberDialog : public UpdateGeometryDialog
{
    Q_OBJECT
public:
    explicit UpdateLineNumberDialog(QWidget* parent = nullptr);

protected:
    QString outOfRangeText() const override;
};
