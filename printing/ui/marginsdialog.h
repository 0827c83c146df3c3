#pragma once

#include <QDialog>

// The margins dialog ("MarginsForm"): page margins and header and footer heights in millimetres.
class MarginsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit MarginsDialog(QWidget *parent = nullptr);
};
