#include "conversions/ui/conversionswindow.h"

#include "app/shell/windowdesign.h"

ConversionsWindow::ConversionsWindow(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "frmConversions", tr("Conversions"), QSize(663, 582), Frame::Fixed);
}
