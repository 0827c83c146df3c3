#include "store/recipestore.h"

#include "store/datalink.h"
#include "store/error.h"
#include "store/table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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
    : QObject(parent),
      m_directory(dataDirectory),
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

void RecipeStore::OpenCategoryTable()
{
    openTable(*m_category);
}

void RecipeStore::OpenRecipeTable()
{
    openTable(*m_recipe);
}

void RecipeStore::open()
{
    OpenCategoryTable();
    OpenRecipeTable();
}

void RecipeStore::close()
{
    QStringList failures;
    for (Table *table : {m_recipe, m_category}) {
        try {
            table->close();
        } catch (const Error &error) {
            failures << error.message();
        }
    }
    if (!failures.isEmpty())
        throw Error(failures.join(QLatin1Char('\n')));
}

void RecipeStore::LocateSelectedCategory(const QString &text)
{
    if (!m_category->locate(CategoryDescription, text))
        throw Error(tr("Could not find %1 in dataset.").arg(text));
}

void RecipeStore::LocateSelectedRecipe(const QString &text)
{
    if (!m_recipe->locate(RecipeDescription, text))
        throw Error(tr("Could not find %1 in dataset.").arg(text));
}
