#pragma once

#include <QObject>
#include <QString>

class DataLink;
class Table;
struct TableDef;

// The application's whole body of data: the category table and, as its detail, the recipe table,
// each kept in a file of its own in the data directory ("Category.cds", "Recipe.cds").
class RecipeStore : public QObject
{
    Q_OBJECT
public:
    // Field names.
    static inline const QString CategoryNo = QStringLiteral("CategoryNo");
    static inline const QString CategoryDescription = QStringLiteral("CategoryDescription");
    static inline const QString RecipeNo = QStringLiteral("RecipeNo");
    static inline const QString RecipeDescription = QStringLiteral("RecipeDescription");
    static inline const QString RecipeDetail = QStringLiteral("RecipeDetail");
    static inline const QString RecipeTag = QStringLiteral("RecipeTag");

    static constexpr int CategoryDescriptionSize = 100;
    static constexpr int RecipeDescriptionSize = 200;
    static constexpr int RecipeTagSize = 512;

    [[nodiscard]] static TableDef categoryDefinition();
    [[nodiscard]] static TableDef recipeDefinition();

    // The tables are inactive until opened; `dataDirectory` is where their files live.
    explicit RecipeStore(const QString &dataDirectory, QObject *parent = nullptr);
    ~RecipeStore() override;

    // The directory that holds the running program, where its data live.
    [[nodiscard]] static QString programDirectory();

    [[nodiscard]] QString dataDirectory() const { return m_directory; }
    [[nodiscard]] Table &cdsCategory() const { return *m_category; }
    [[nodiscard]] Table &cdsRecipe() const { return *m_recipe; }
    [[nodiscard]] DataLink &datCategory() const { return *m_categoryLink; }
    [[nodiscard]] DataLink &datRecipe() const { return *m_recipeLink; }

    // Each opens its table from its file, or creates it empty when there is no file. Throws Error.
    void OpenCategoryTable();
    void OpenRecipeTable();
    // Both, in that order; a failure leaves the tables after it unopened and is thrown.
    void open();
    // Closes both tables, writing each one whose data changed. Every table is closed even when
    // another fails; the failures are thrown together as one Error afterwards.
    void close();

    // Position on the first record whose name equals `text` exactly; throw
    // "Could not find <text> in dataset." when there is none.
    void LocateSelectedCategory(const QString &text);
    void LocateSelectedRecipe(const QString &text);

private:
    void openTable(Table &table);

    QString m_directory;
    Table *m_category;
    Table *m_recipe;
    DataLink *m_categoryLink;
    DataLink *m_recipeLink;
};
