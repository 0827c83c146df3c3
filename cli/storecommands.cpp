#include "cli/commands.h"

#include "store/datalocation.h"
#include "store/error.h"
#include "store/recipestore.h"
#include "store/table.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

// Commands on the recipe store: list, add-category, add-recipe. They use the program's own store
// and its rules for writing the table files.

namespace {

// Tags may hold line breaks and tabs; the listing keeps one record per line.
QString escaped(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            result += QLatin1String("\\\\");
        else if (c == QLatin1Char('\t'))
            result += QLatin1String("\\t");
        else if (c == QLatin1Char('\n'))
            result += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            result += QLatin1String("\\r");
        else
            result += c;
    }
    return result;
}

int list(QStringList args, QTextStream &out, QTextStream &err)
{
    const QString directory = TakeDataDirectory(args, 1);
    if (!args.isEmpty())
        throw Error(QStringLiteral("usage: saporin-cli list [DATADIR]"));
    // Reading only: a list works while the program has the recipes open.
    RecipeStore store(directory, RecipeStore::Access::ReadOnly);
    store.open();
    Table &categories = store.cdsCategory();
    Table &recipes = store.cdsRecipe();
    auto recipeLine = [&](const QString &name, const QString &tags, qsizetype bodyBytes) {
        out << '\t' << escaped(name) << '\t' << escaped(tags) << '\t' << bodyBytes << '\n';
    };
    for (categories.first(); !categories.eof(); categories.next()) {
        out << escaped(categories.text(RecipeStore::CategoryDescription)) << '\n';
        for (recipes.first(); !recipes.eof(); recipes.next()) {
            recipeLine(recipes.text(RecipeStore::RecipeDescription), recipes.text(RecipeStore::RecipeTag),
                       recipes.blobSize(RecipeStore::RecipeDetail));
        }
    }

    // Recipes whose category is missing come last, under a heading per missing category number.
    const QList<int> unfiled = store.unfiledRecipeRows();
    const TableDef &def = recipes.definition();
    const int link = def.indexOf(RecipeStore::CategoryNo);
    QString heading;
    for (const int row : unfiled) {
        const QString category = recipes.storedValue(row, link).toString();
        const QString current = missingCategoryHeading(category);
        if (current != heading)
            out << (heading = current) << '\n';
        recipeLine(recipes.storedValue(row, def.indexOf(RecipeStore::RecipeDescription)).toString(),
                   recipes.storedValue(row, def.indexOf(RecipeStore::RecipeTag)).toString(),
                   recipes.storedValue(row, def.indexOf(RecipeStore::RecipeDetail)).toByteArray().size());
    }
    store.close();
    if (!unfiled.isEmpty()) {
        out.flush();
        err << "saporin-cli: " << unfiled.size()
            << (unfiled.size() == 1 ? " recipe is" : " recipes are")
            << " filed under a category missing from Category.cds; listed last, under \"(missing category N)\"\n";
    }
    return 0;
}

QString requireName(const QString &name, int size, const char *what)
{
    if (name.trimmed().isEmpty())
        throw Error(QStringLiteral("the %1 name is empty").arg(QLatin1String(what)));
    if (name.size() > size)
        throw Error(QStringLiteral("the %1 name is longer than %2 characters").arg(QLatin1String(what)).arg(size));
    return name;
}

int addCategory(QStringList args)
{
    const QString directory = TakeDataDirectory(args, 2);
    if (args.size() != 1)
        throw Error(QStringLiteral("usage: saporin-cli add-category [DATADIR] NAME"));
    const QString name = requireName(args.at(0), RecipeStore::CategoryDescriptionSize, "category");
    RecipeStore store(directory);
    store.open();
    Table &categories = store.cdsCategory();
    categories.insert();
    categories.setText(RecipeStore::CategoryDescription, name);
    categories.post();
    store.close();
    return 0;
}

int addRecipe(QStringList args)
{
    QString tags;
    QString bodyFile;
    QStringList positional;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if ((arg == QLatin1String("--tags") || arg == QLatin1String("--body")) && args.isEmpty())
            throw Error(QStringLiteral("%1 needs a value").arg(arg));
        if (arg == QLatin1String("--tags"))
            tags = args.takeFirst();
        else if (arg == QLatin1String("--body"))
            bodyFile = args.takeFirst();
        else
            positional << arg;
    }
    const QString directory = TakeDataDirectory(positional, 3);
    if (positional.size() != 2)
        throw Error(QStringLiteral("usage: saporin-cli add-recipe [DATADIR] CATEGORY NAME --tags TAGS [--body FILE]"));
    const QString name = requireName(positional.at(1), RecipeStore::RecipeDescriptionSize, "recipe");
    if (tags.size() > RecipeStore::RecipeTagSize)
        throw Error(QStringLiteral("the tags are longer than %1 characters").arg(RecipeStore::RecipeTagSize));
    QByteArray body;
    if (!bodyFile.isEmpty())
        body = EncodeBodyFile(bodyFile); // stored as the editor stores it

    RecipeStore store(directory);
    store.open();
    if (!store.cdsCategory().locate(RecipeStore::CategoryDescription, positional.at(0)))
        throw Error(QStringLiteral("there is no category \"%1\"").arg(positional.at(0)));
    Table &recipes = store.cdsRecipe();
    recipes.insert();
    recipes.setText(RecipeStore::RecipeDescription, name);
    recipes.setText(RecipeStore::RecipeTag, tags);
    recipes.setBlob(RecipeStore::RecipeDetail, body);
    recipes.post();
    store.close();
    return 0;
}

} // namespace

std::optional<int> runStoreCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString command = args.value(0);
    const QStringList rest = args.mid(1);
    try {
        if (command == QLatin1String("list"))
            return list(rest, out, err);
        if (command == QLatin1String("add-category"))
            return addCategory(rest);
        if (command == QLatin1String("add-recipe"))
            return addRecipe(rest);
    } catch (const Error &error) {
        out.flush();
        err << "saporin-cli: " << error.message() << '\n';
        return 1;
    }
    return std::nullopt;
}

QString DataDirectoryFor(const QString &argument)
{
    if (argument == QLatin1String("-"))
        return DataLocation::directory();
    if (!QFileInfo(argument).isDir())
        throw Error(QStringLiteral("\"%1\" is not a directory").arg(argument));
    return argument;
}

QString TakeDataDirectory(QStringList &positional, qsizetype countWithDirectory)
{
    if (positional.size() == countWithDirectory || positional.value(0) == QLatin1String("-"))
        return DataDirectoryFor(positional.takeFirst());
    return DataLocation::directory();
}

QString missingCategoryHeading(const QString &categoryNo)
{
    return QStringLiteral("(missing category %1)").arg(categoryNo);
}

QStringList storeCommandUsage()
{
    return {
        QStringLiteral("list [DATADIR]                     categories and their recipes (name, tags, body bytes)"),
        QStringLiteral("add-category [DATADIR] NAME        adds a category"),
        QStringLiteral("add-recipe [DATADIR] CATEGORY NAME --tags TAGS [--body FILE]   adds a recipe"),
        QStringLiteral("  (DATADIR left out or \"-\": the program's own data folder)"),
    };
}
