#pragma once

#include "interchange/mealmasterrecipe.h"

#include <QByteArray>
#include <QString>

// Writes recipes in the v8.05 MealMaster style, as UTF-8 with LF line ends.
class MealMasterWriter
{
public:
    // One recipe from header line to end marker, directions wrapped at 78 columns.
    [[nodiscard]] static QByteArray write(const MealMasterRecipe &recipe);

    // What a stored recipe gives to the export. A body this import made gives back its yield,
    // its ingredient table and its directions; any other body gives its plain text as directions.
    // `tags` are split at commas into categories, after `category` unless they hold it already.
    [[nodiscard]] static MealMasterRecipe fromStored(const QString &name, const QString &category,
                                                     const QString &tags, const QByteArray &rtf);
};
