#pragma once

#include <QDialog>

// The emoticon picker ("frmEmoticons"): hands a small picture to the recipe body.
class EmoticonPicker : public QDialog
{
    Q_OBJECT
public:
    explicit EmoticonPicker(QWidget *parent = nullptr);

    // Set when an emoticon was chosen and put on the clipboard; the editor resets it.
    bool EmoticonChosen = false;
};
