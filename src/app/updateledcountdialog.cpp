#include "updateledcountdialog.h"

#include "appsettings.h"

UpdateLedCountDialog::UpdateLedCountDialog(QWidget* parent)
    : UpdateGeometryDialog(tr("修改LED数量"), tr("LED数量："), 1, 500, AppSettings::ledCount, parent)
{
}

QString UpdateLedCountDialog::outOfRangeText() const
{
    return tr("dialog_led_count_range").arg(minimum()).arg(maximum());
}
