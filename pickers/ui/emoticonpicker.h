#pragma once

#include <QDialog>

// The emoticon picker ("frmEmoticons"): hands a small picture to the recipe body.
class EmoticonPicker : public QDialog
{
    Q_OBJECT
public:
    explicit EmoticonPicker(QWidget *parent = nullptr);
};
