#pragma once

#include <QDialog>

// The tag search window ("frmSearch"): walks every recipe whose tags hold a text.
class SearchWindow : public QDialog
{
    Q_OBJECT
public:
    explicit SearchWindow(QWidget *parent = nullptr);
};
