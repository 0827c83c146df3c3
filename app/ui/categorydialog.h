#pragma once

#include <QDialog>

// The category editor ("frmAECategory"): adds a category or renames one.
class CategoryDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CategoryDialog(QWidget *parent = nullptr);
};
