#include "editor/ui/recipeeditor.h"

#include "app/shell/browser.h"
#include "app/shell/busynotice.h"
#include "app/shell/windowdesign.h"
#include "app/shell/windowset.h"
#include "store/recipestore.h"
#include "store/table.h"

#include <QShowEvent>

RecipeEditor::RecipeEditor(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "frmAERecipe", tr("Edit Recipe"), QSize(1026, 550), Frame::Sizable);
}

void RecipeEditor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    centreWindow(this, parentWidget());
    // The body is loaded here once the editor has its body control; the notice ends either way.
    if (BusyNotice *notice = windows().frmExport)
        notice->finish();
}

void RecipeEditor::done(int result)
{
    if (Browser *browser = windows().browser) {
        Table &recipes = browser->store().cdsRecipe();
        if (recipes.state() == Table::State::Edit || recipes.state() == Table::State::Insert)
            recipes.cancel();
    }
    QDialog::done(result);
}
