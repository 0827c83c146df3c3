#include "search/ui/searchwindow.h"

#include "app/shell/windowdesign.h"

SearchWindow::SearchWindow(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "frmSearch", tr("Search..."), QSize(343, 106), Frame::Fixed);
}
