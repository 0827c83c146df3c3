#pragma once

#include <QByteArray>

struct MealMasterRecipe;

// The rich-text body of an imported recipe, written straight as RTF: the title as a heading, the
// yield, the ingredients as a two-column table (amount and unit, item) with section headings as
// rows of their own, then the directions, one paragraph each.
//
// The body starts with the ignorable group "{\*\saporinmealmaster 1}", by which the export knows
// the table as one this import made; an editor that rewrites the body drops it.
[[nodiscard]] QByteArray MealMasterBody(const MealMasterRecipe &recipe);

// The same body in its stored form (see editor/recipebody.h), holding no more memory than its
// bytes: an import keeps every body of the store in memory at once.
[[nodiscard]] QByteArray StoredMealMasterBody(const MealMasterRecipe &recipe);

// True when the RTF is a body that MealMasterBody wrote.
[[nodiscard]] bool IsMealMasterBody(const QByteArray &rtf);
