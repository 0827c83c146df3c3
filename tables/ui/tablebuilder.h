#pragma once

#include <QDialog>

// The table builder ("DllForms"): a grid of cells that goes into a recipe as a picture.
class TableBuilder : public QDialog
{
    Q_OBJECT
public:
    explicit TableBuilder(QWidget *parent = nullptr);
};
