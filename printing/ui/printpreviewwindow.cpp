#include "printing/ui/printpreviewwindow.h"

#include "shell/windowdesign.h"

PrintPreviewWindow::PrintPreviewWindow(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "PrintPreviewForm", tr("Print Preview"), QSize(1291, 669), Frame::Sizable);
}

void PrintPreviewWindow::RebuildPreview()
{
    // The pages are laid out when the page view exists; until then there is nothing to rebuild.
}
