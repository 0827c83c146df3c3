#include "app/ui/categorydialog.h"

#include "app/shell/windowdesign.h"

CategoryDialog::CategoryDialog(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "frmAECategory", tr("Add/Edit Category"), QSize(619, 120), Frame::Fixed);
}
