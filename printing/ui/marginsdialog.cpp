#include "printing/ui/marginsdialog.h"

#include "shell/windowdesign.h"

MarginsDialog::MarginsDialog(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "MarginsForm", tr("Page Margins"), QSize(360, 280), Frame::Borderless);
}
