#pragma once

#include <QString>

#include <optional>

class RecipeStore;

// The walk of the tag search over the categories and their recipes, in table order, from wherever
// the two tables stand. It stops on the first recipe whose tags contain the search text.
class TagSearch
{
public:
    // Whether `tags` contain `text`, with only the ASCII capitals A to Z folded to small letters:
    // accented letters and everything else compare unchanged, and nothing is trimmed.
    [[nodiscard]] static bool isHit(const QString &tags, const QString &foldedText);
    [[nodiscard]] static QString fold(const QString &text);

    // Walks from the current category and recipe. Returns the hit's record number in its
    // category's recipe view, with both tables standing on it; std::nullopt when no recipe is left.
    [[nodiscard]] static std::optional<int> RunTagSearch(RecipeStore &store, const QString &text);
};
