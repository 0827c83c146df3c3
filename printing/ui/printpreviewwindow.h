#pragma once

#include <QDialog>

// The print preview window ("PrintPreviewForm"): the open recipe as printed pages, and printing.
class PrintPreviewWindow : public QDialog
{
    Q_OBJECT
public:
    explicit PrintPreviewWindow(QWidget *parent = nullptr);

    // Lays the recipe editor's current body out into pages again.
    void RebuildPreview();
};
