#pragma once

#include <QDialog>

// The print preview window ("PrintPreviewForm"): the open recipe as printed pages, and printing.
class PrintPreviewWindow : public QDialog
{
    Q_OBJECT
public:
    explicit PrintPreviewWindow(QWidget *parent = nullptr);
};
