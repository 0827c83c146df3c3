#pragma once

#include <QDialog>

// The header and footer settings dialog ("HeaderFooterForm"): caption texts, their font and the lines.
class HeaderFooterDialog : public QDialog
{
    Q_OBJECT
public:
    explicit HeaderFooterDialog(QWidget *parent = nullptr);
};
