#pragma once

#include <QDialog>

// The recipe editor ("frmAERecipe"): a recipe's name, tags and formatted body.
class RecipeEditor : public QDialog
{
    Q_OBJECT
public:
    explicit RecipeEditor(QWidget *parent = nullptr);
};
