#include "tables/ui/tablebuilder.h"

#include "shell/windowdesign.h"

TableBuilder::TableBuilder(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "DllForms", tr("Verbosa StringGrid Table"), QSize(740, 594), Frame::Sizable);
}
