#pragma once

class QWidget;

// Makes a picker belong to the window that opens it (the recipe editor) rather than to the main
// window it was created under. A window manager raises a dialog's owner with the dialog, so
// otherwise the main window would come up over the editor the picker was opened from.
void keepAboveOpener(QWidget *picker);
