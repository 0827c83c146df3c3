#include "store/recipestore.h"

#include "store/collectionlock.h"
#include "store/datalink.h"
#include "store/error.h"
#include "store/table.h"
#include "store/tablefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <unordered_set>
#include <vector>

TableDef RecipeStore::categoryDefinition()
{
    TableDef def;
    def.name = QStringLiteral("Category");
    def.fields = {
        {CategoryNo, FieldType::AutoInc, 0, true},
        {CategoryDescription, FieldType::Text, CategoryDescriptionSize, false},
    };
    def.order = {CategoryDescription};
    return def;
}

TableDef RecipeStore::recipeDefinition()
{
    TableDef def;
    def.name = QStringLiteral("Recipe");
    def.fields = {
        {RecipeNo, FieldType::AutoInc, 0, true},
        {CategoryNo, FieldType::Integer, 0, false},
        {RecipeDescription, FieldType::Text, RecipeDescriptionSize, false},
        {RecipeDetail, FieldType::Blob, 0, false},
        {RecipeTag, FieldType::Text, RecipeTagSize, false},
    };
    def.order = {CategoryNo, RecipeDescription};
    return def;
}

RecipeStore::RecipeStore(const QString &dataDirectory, QObject *parent)
    : RecipeStore(dataDirectory, Access::ReadWrite, parent)
{
}

RecipeStore::RecipeStore(const QString &dataDirectory, Access access, QObject *parent)
    : QObject(parent),
      m_directory(dataDirectory),
      m_access(access),
      m_lock(std::make_unique<CollectionLock>()),
      m_category(new Table(categoryDefinition(), this)),
      m_recipe(new Table(recipeDefinition(), this)),
      m_categoryLink(new DataLink(m_category, QStringLiteral("datCategory"), this)),
      m_recipeLink(new DataLink(m_recipe, QStringLiteral("datRecipe"), this))
{
    m_category->setObjectName(QStringLiteral("cdsCategory"));
    m_recipe->setObjectName(QStringLiteral("cdsRecipe"));
    m_category->setFileName(QDir(dataDirectory).filePath(QStringLiteral("Category.cds")));
    m_recipe->setFileName(QDir(dataDirectory).filePath(QStringLiteral("Recipe.cds")));
    m_recipe->setMaster(m_category, CategoryNo, CategoryNo);
}

RecipeStore::~RecipeStore() = default;

QString RecipeStore::programDirectory()
{
    return QCoreApplication::applicationDirPath();
}

void RecipeStore::openTable(Table &table)
{
    if (QFileInfo::exists(table.fileName()) || QFileInfo(table.fileName()).isSymLink())
        table.open();
    else
        table.createEmpty();
}

QString RecipeStore::lockedElsewhereMessage()
{
    return tr("These recipes are open in another Saporin window or command. Close it first; nothing "
              "was changed here.");
}

void RecipeStore::takeLock()
{
    if (m_access == Access::ReadOnly || m_lock->isHeld())
        return;
    if (!m_lock->acquire(m_directory)) {
        m_lockedElsewhere = true;
        throw Error(lockedElsewhereMessage());
    }
    m_lockedElsewhere = false;
}

void RecipeStore::OpenCategoryTable()
{
    takeLock();
    openTable(*m_category);
    reserveReferencedKeys();
}

void RecipeStore::OpenRecipeTable()
{
    takeLock();
    try {
        openTable(*m_recipe);
    } catch (const Error &error) {
        m_recipeFailure = error.message();
        throw;
    }
    m_recipeFailure.clear();
    reserveReferencedKeys();
}

void RecipeStore::reserveReferencedKeys()
{
    if (!m_category->isActive() || !m_recipe->isActive() || m_recipe->totalRecordCount() == 0)
        return;
    // Recipes are in CategoryNo order, so the last one holds the highest key referred to.
    const int field = m_recipe->definition().indexOf(CategoryNo);
    const QVariant highest = m_recipe->storedValue(m_recipe->totalRecordCount() - 1, field);
    if (!highest.isNull())
        m_category->reserveKeysThrough(CategoryNo, highest.toLongLong());
}

void RecipeStore::open()
{
    OpenCategoryTable();
    OpenRecipeTable();
}

void RecipeStore::close()
{
    try {
        if (m_access == Access::ReadWrite)
            writeChangedTables();
    } catch (...) {
        m_category->discard();
        m_recipe->discard();
        m_lock->release();
        throw;
    }
    m_category->discard();
    m_recipe->discard();
    m_lock->release();
}

void RecipeStore::writeChangedTables()
{
    // Master first: the category file is stored before the recipe file is.
    try {
        TableFile::write({m_category, m_recipe});
    } catch (const TableFile::WriteError &error) {
        if (!error.nothingStored())
            throw Error(error.message());
        throw Error(error.message() + QLatin1Char('\n')
                    + tr("Neither table file was changed; the changes of this run are not stored."));
    }
}

void RecipeStore::LocateSelectedCategory(const QString &text)
{
    if (!m_recipe->isActive() && !m_recipeFailure.isEmpty() && !m_recipeFailureTold) {
        m_recipeFailureTold = true;
        throw Error(tr("No recipes can be listed, because Recipe.cds could not be read at start:\n%1\n"
                       "The file is left as it is.").arg(m_recipeFailure));
    }
    if (!m_category->locate(CategoryDescription, text))
        throw Error(tr("Could not find %1 in dataset.").arg(text));
}

void RecipeStore::LocateSelectedRecipe(const QString &text)
{
    if (!m_recipe->locate(RecipeDescription, text))
        throw Error(tr("Could not find %1 in dataset.").arg(text));
}

QList<int> RecipeStore::unfiledRecipeRows() const
{
    QList<int> rows;
    if (!m_category->isActive() || !m_recipe->isActive())
        return rows;
    const int categoryKey = m_category->definition().indexOf(CategoryNo);
    std::unordered_set<qint64> keys;
    for (int row = 0; row < m_category->totalRecordCount(); ++row)
        keys.insert(m_category->storedValue(row, categoryKey).toLongLong());
    const int link = m_recipe->definition().indexOf(CategoryNo);
    for (int row = 0; row < m_recipe->totalRecordCount(); ++row) {
        const QVariant value = m_recipe->storedValue(row, link);
        if (value.isNull() || !keys.count(value.toLongLong()))
            rows << row;
    }
    return rows;
}

QString RecipeStore::unfiledNotice() const
{
    const QList<int> rows = unfiledRecipeRows();
    if (rows.isEmpty())
        return {};
    constexpr int Named = 10;   // a message box stays readable
    const int name = m_recipe->definition().indexOf(RecipeDescription);
    const int link = m_recipe->definition().indexOf(CategoryNo);
    QStringList lines;
    lines << (rows.size() == 1
                  ? tr("One recipe is filed under a category that is missing from Category.cds. It is kept "
                       "in Recipe.cds, but no category lists it:")
                  : tr("%1 recipes are filed under categories that are missing from Category.cds. They are "
                       "kept in Recipe.cds, but no category lists them:").arg(rows.size()));
    for (int i = 0; i < rows.size() && i < Named; ++i) {
        lines << tr("%1 (category number %2)")
                     .arg(m_recipe->storedValue(rows.at(i), name).toString(),
                          m_recipe->storedValue(rows.at(i), link).toString());
    }
    if (rows.size() > Named)
        lines << tr("and %1 more.").arg(rows.size() - Named);
    return lines.join(QLatin1Char('\n'));
}
