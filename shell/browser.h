#pragma once

class QListWidget;
class QString;
class RecipeStore;

// What the other windows may ask of the browser (main) window. The main window implements it;
// windows built below the app layer reach it through the window set without linking to it.
class Browser
{
public:
    virtual ~Browser() = default;

    // The recipe store: both tables, owned by the main window.
    virtual RecipeStore &store() = 0;
    // Refill the main window's lists from the tables; no entry is selected afterwards.
    virtual void FillCategoryList() = 0;
    virtual void FillRecipeList() = 0;
    // The two lists ("lstCategory", "lstRecipe"), for selecting entries and giving them the focus.
    virtual QListWidget *categoryList() = 0;
    virtual QListWidget *recipeList() = 0;
    // Selects the first entry whose text equals `text` ignoring case, without running the list's
    // click handling. Returns false when there is none.
    virtual bool selectEntry(QListWidget *list, const QString &text) = 0;
    // The Edit/View recipe command: opens the highlighted recipe in the recipe editor.
    virtual void btnEditRecClick() = 0;
};
