#include "updatelinenumberdialog.h"

#include "appsettings.h"

UpdateLineNumberDialog::UpdateLineNumberDialog(QWidget* parent)
    : UpdateGeometryDialog(tr("修改分辨率"), tr("分辨率："), 1, 600, AppSettings::lineNumber, parent)
{
}

QString UpdateLineNumberDialog::outOfRangeText() const
{
    return tr("dialog_line_number_range").arg(minimum()).arg(maximum());
}
