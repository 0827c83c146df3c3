#include "printing/ui/headerfooterdialog.h"

#include "shell/windowdesign.h"

HeaderFooterDialog::HeaderFooterDialog(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "HeaderFooterForm", tr("Header and Footer Titles"), QSize(640, 387), Frame::Borderless);
}
