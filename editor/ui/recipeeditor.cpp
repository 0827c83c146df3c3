#include "editor/ui/recipeeditor.h"

#include "app/shell/windowdesign.h"

RecipeEditor::RecipeEditor(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "frmAERecipe", tr("Edit Recipe"), QSize(1026, 550), Frame::Sizable);
}
