#include "search/tagsearch.h"

#include "store/recipestore.h"
#include "store/table.h"

QString TagSearch::fold(const QString &text)
{
    QString folded = text;
    for (QChar &c : folded) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return folded;
}

bool TagSearch::isHit(const QString &tags, const QString &foldedText)
{
    return !foldedText.isEmpty() && fold(tags).contains(foldedText);
}

std::optional<int> TagSearch::RunTagSearch(RecipeStore &store, const QString &text)
{
    const QString folded = fold(text);
    Table &categories = store.cdsCategory();
    Table &recipes = store.cdsRecipe();
    while (!categories.eof()) {
        while (!recipes.eof()) {
            if (isHit(recipes.text(RecipeStore::RecipeTag), folded))
                return recipes.recNo();
            recipes.next();
        }
        categories.next();
    }
    return std::nullopt;
}
