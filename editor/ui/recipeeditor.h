#pragma once

#include <QDialog>

// The recipe editor ("frmAERecipe"): a recipe's name, tags and formatted body. It is shown with the
// recipe table already inserting or editing; whatever it does not post when it closes is cancelled.
class RecipeEditor : public QDialog
{
    Q_OBJECT
public:
    explicit RecipeEditor(QWidget *parent = nullptr);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
};
