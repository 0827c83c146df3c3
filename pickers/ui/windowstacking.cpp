#include "pickers/ui/windowstacking.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

void keepAboveOpener(QWidget *picker)
{
    QWidget *opener = QApplication::activeModalWidget();
    if (!opener || opener == picker)
        opener = QApplication::activeWindow();
    if (!opener || opener == picker || !picker->windowHandle() || !opener->windowHandle())
        return;
    picker->windowHandle()->setTransientParent(opener->windowHandle());
}
