#pragma once

#include <QDialog>

// The character map ("DLLForm"): picks characters of any installed font for the recipe body.
class CharacterMap : public QDialog
{
    Q_OBJECT
public:
    explicit CharacterMap(QWidget *parent = nullptr);
};
