#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One line of a MealMaster ingredient block: an amount, a unit code and the item text, or a
// section heading ("FILLING") that groups the lines after it.
struct MealMasterIngredient {
    QString amount;   // as written: "1 1/2", "1/4", "" when there is none
    QString unit;     // the two-letter code as written ("c", "tb", "lb"), "" when there is none
    QString item;     // continuation lines already joined on
    bool heading = false; // then only `item` is used, and holds the heading text
};

// A recipe read from a MealMaster archive.
struct MealMasterRecipe {
    QString title;
    QStringList categories;
    QString yield;                         // the text after "Yield:" or "Servings:"
    QList<MealMasterIngredient> ingredients;
    QStringList directions;                // paragraphs, hard-wrapped lines joined
    int ingredientLines = 0;               // source lines of the block, headings not counted
    int line = 0;                          // 1-based line of the header in its file
};

// A recipe that could not be read, kept as it stood in the file.
struct MealMasterReject {
    QString reason;    // "no title", "no end marker", ...
    QString title;     // as far as it was read
    int line = 0;      // 1-based line of the header
    QByteArray original; // the recipe's lines, as bytes with their own line ends
};
