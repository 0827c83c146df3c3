#pragma once

#include <QDialog>

// The kitchen conversions calculator ("frmConversions").
class ConversionsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit ConversionsWindow(QWidget *parent = nullptr);
};
