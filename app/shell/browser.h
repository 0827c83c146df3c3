#pragma once

class RecipeStore;

// What the other windows may ask of the browser (main) window. The main window implements it;
// windows built below the app layer reach it through the window set without linking to it.
class Browser
{
public:
    virtual ~Browser() = default;

    // The recipe store: both tables, owned by the main window.
    virtual RecipeStore &store() = 0;
    // Refill the main window's lists from the tables.
    virtual void FillCategoryList() = 0;
    virtual void FillRecipeList() = 0;
};
