#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class CollectionLock;
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

    // ReadWrite holds the data directory's lock from the first open to close(), so that one
    // process at a time can change a collection. ReadOnly takes no lock and never writes: its
    // close() drops every change.
    enum class Access { ReadWrite, ReadOnly };

    // The tables are inactive until opened; `dataDirectory` is where their files live.
    explicit RecipeStore(const QString &dataDirectory, QObject *parent = nullptr);
    RecipeStore(const QString &dataDirectory, Access access, QObject *parent = nullptr);
    ~RecipeStore() override;

    // The directory that holds the running program, where its data live.
    [[nodiscard]] static QString programDirectory();

    [[nodiscard]] QString dataDirectory() const { return m_directory; }
    [[nodiscard]] Table &cdsCategory() const { return *m_category; }
    [[nodiscard]] Table &cdsRecipe() const { return *m_recipe; }
    [[nodiscard]] DataLink &datCategory() const { return *m_categoryLink; }
    [[nodiscard]] DataLink &datRecipe() const { return *m_recipeLink; }

    // Each opens its table from its file, or creates it empty when there is no file. Throws Error.
    // The first open of a ReadWrite store takes the lock; when another process holds it, nothing
    // is opened and the Error says that the recipes are open elsewhere (see lockedElsewhere()).
    void OpenCategoryTable();
    void OpenRecipeTable();
    // Both, in that order; a failure leaves the tables after it unopened and is thrown.
    void open();
    // Closes both tables, writing what changed in each. A file written whole is complete before
    // any file changes, and the category file is stored first, both files in one transaction when
    // both are written by changes, so that a failure never leaves recipes on disk filed under a
    // category that was not stored: when the category file cannot be written, the recipe file
    // keeps its old contents too. The tables are closed either way; a failure is thrown afterwards.
    void close();

    // True after an open failed because another process has the collection open.
    [[nodiscard]] bool lockedElsewhere() const { return m_lockedElsewhere; }
    [[nodiscard]] static QString lockedElsewhereMessage();

    // Position on the first record whose name equals `text` exactly; throw
    // "Could not find <text> in dataset." when there is none. While the recipe table could not be
    // opened, the first call instead throws once why no recipes can be listed.
    void LocateSelectedCategory(const QString &text);
    void LocateSelectedRecipe(const QString &text);

    // Recipes whose category is missing from the category table (a category file lost or not
    // written): the stored row indexes of the recipe table, in table order. They stay in the
    // recipe file, but no category lists them. Empty while either table is closed.
    [[nodiscard]] QList<int> unfiledRecipeRows() const;
    // What to tell the user about those recipes at start; empty when there are none.
    [[nodiscard]] QString unfiledNotice() const;

private:
    void openTable(Table &table);
    void takeLock();
    void writeChangedTables();
    // A new category never receives a key that a recipe already refers to.
    void reserveReferencedKeys();

    QString m_directory;
    Access m_access = Access::ReadWrite;
    std::unique_ptr<CollectionLock> m_lock;
    bool m_lockedElsewhere = false;
    Table *m_category;
    Table *m_recipe;
    DataLink *m_categoryLink;
    DataLink *m_recipeLink;
    QString m_recipeFailure;           // why the recipe file could not be read, if it could not
    bool m_recipeFailureTold = false;
};
