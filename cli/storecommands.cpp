#include "cli/commands.h"

#include "store/datalocation.h"
#include "store/error.h"
#include "store/recipestore.h"
#include "store/table.h"
#include "editor/recipebody.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <sqlite3.h>

// Commands on the recipe store: list, add-category, add-recipe, backup, check. They use the
// program's own store and its rules for writing the table files.

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

// The table files of a data directory, in the order they are stored (master first).
const QStringList &tableFileNames()
{
    static const QStringList names{QStringLiteral("Category.cds"), QStringLiteral("Recipe.cds")};
    return names;
}

QString sqliteMessage(sqlite3 *db, int rc)
{
    return QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
}

// Copies both table files through SQLite's online backup, inside one read transaction over both,
// so that the copy is consistent even while a program has the recipes open (it writes both files
// in one transaction at its end).
int backup(QStringList args, QTextStream &out)
{
    if (args.size() != 2)
        throw Error(QStringLiteral("usage: saporin-cli backup DATADIR DEST"));
    const QDir source(DataDirectoryFor(args.at(0)));
    const QDir dest(args.at(1));
    if (!dest.mkpath(QStringLiteral(".")))
        throw Error(QStringLiteral("cannot create \"%1\"").arg(args.at(1)));
    QStringList present;
    for (const QString &name : tableFileNames()) {
        if (QFileInfo::exists(dest.filePath(name)))
            throw Error(QStringLiteral("\"%1\" exists already; a backup never replaces a file").arg(dest.filePath(name)));
        if (QFileInfo::exists(source.filePath(name)))
            present << name;
    }
    if (present.isEmpty())
        throw Error(QStringLiteral("\"%1\" holds no table files").arg(args.at(0)));

    sqlite3 *db = nullptr;
    auto fail = [&](const QString &what, int rc) {
        const QString message = QStringLiteral("%1: %2").arg(what, sqliteMessage(db, rc));
        sqlite3_close_v2(db);
        for (const QString &name : std::as_const(present))
            QFile::remove(dest.filePath(name));
        return Error(message);
    };
    int rc = sqlite3_open_v2(QFile::encodeName(source.filePath(present.at(0))).constData(), &db,
                             SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK)
        throw fail(source.filePath(present.at(0)), rc);
    sqlite3_busy_timeout(db, 10000);
    QStringList schemas{QStringLiteral("main")};
    for (qsizetype i = 1; i < present.size(); ++i) {
        const QByteArray sql = QStringLiteral("ATTACH DATABASE '%1' AS t%2")
                                   .arg(source.filePath(present.at(i)).replace(QLatin1Char('\''), QLatin1String("''")))
                                   .arg(i).toUtf8();
        if ((rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr)) != SQLITE_OK)
            throw fail(source.filePath(present.at(i)), rc);
        schemas << QStringLiteral("t%1").arg(i);
    }
    // Reading from every file takes its shared lock now and holds it to the end.
    rc = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (qsizetype i = 0; rc == SQLITE_OK && i < schemas.size(); ++i) {
        const QByteArray sql = QStringLiteral("SELECT count(*) FROM %1.sqlite_master").arg(schemas.at(i)).toUtf8();
        rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK)
        throw fail(source.path(), rc);
    for (qsizetype i = 0; i < present.size(); ++i) {
        sqlite3 *copy = nullptr;
        const QString target = dest.filePath(present.at(i));
        rc = sqlite3_open_v2(QFile::encodeName(target).constData(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        sqlite3_backup *job = rc == SQLITE_OK ? sqlite3_backup_init(copy, "main", db, schemas.at(i).toUtf8().constData()) : nullptr;
        if (job) {
            rc = sqlite3_backup_step(job, -1);
            sqlite3_backup_finish(job);
            rc = rc == SQLITE_DONE ? sqlite3_errcode(copy) : rc;
        } else if (rc == SQLITE_OK) {
            rc = sqlite3_errcode(copy);
        }
        const QString problem = rc == SQLITE_OK ? QString() : sqliteMessage(copy, rc);
        if (sqlite3_close(copy) != SQLITE_OK && problem.isEmpty())
            throw fail(target, SQLITE_IOERR);
        if (!problem.isEmpty()) {
            sqlite3_close_v2(db);
            db = nullptr;
            for (const QString &name : std::as_const(present))
                QFile::remove(dest.filePath(name));
            throw Error(QStringLiteral("%1: %2").arg(target, problem));
        }
        out << present.at(i) << " copied to " << target << '\n';
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    return 0;
}

// SQLite's integrity check of each file, every body read and inflated, recipes whose category is
// missing; one line per finding and a summary. Exit code 1 on any finding.
int check(QStringList args, QTextStream &out)
{
    if (args.size() != 1)
        throw Error(QStringLiteral("usage: saporin-cli check DATADIR"));
    const QDir directory(DataDirectoryFor(args.at(0)));
    QStringList findings;
    for (const QString &name : tableFileNames()) {
        const QString path = directory.filePath(name);
        if (!QFileInfo::exists(path))
            continue;
        sqlite3 *db = nullptr;
        int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *stmt = nullptr;
        if (rc == SQLITE_OK)
            rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr);
        QStringList problems;
        while (rc == SQLITE_OK || rc == SQLITE_ROW) {
            rc = sqlite3_step(stmt);
            if (rc != SQLITE_ROW)
                break;
            const QString line = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
            if (line != QLatin1String("ok"))
                problems << line;
        }
        if (rc != SQLITE_DONE)
            problems << sqliteMessage(db, rc);
        sqlite3_finalize(stmt);
        sqlite3_close_v2(db);
        for (const QString &problem : std::as_const(problems))
            findings << QStringLiteral("%1: %2").arg(name, problem);
        if (problems.isEmpty())
            out << name << ": integrity ok\n";
    }

    RecipeStore store(directory.path(), RecipeStore::Access::ReadOnly);
    try {
        store.open();
    } catch (const Error &error) {
        findings << error.message();
    }
    Table &recipes = store.cdsRecipe();
    if (recipes.isActive()) {
        const TableDef &def = recipes.definition();
        const int name = def.indexOf(RecipeStore::RecipeDescription);
        const int body = def.indexOf(RecipeStore::RecipeDetail);
        qint64 inflated = 0;
        for (int row = 0; row < recipes.totalRecordCount(); ++row) {
            try {
                inflated += LoadRecipeBody(recipes.storedValue(row, body).toByteArray()).size();
            } catch (const Error &error) {
                findings << QStringLiteral("recipe \"%1\" (number %2): its body cannot be read: %3")
                                .arg(recipes.storedValue(row, name).toString(),
                                     recipes.storedValue(row, def.indexOf(RecipeStore::RecipeNo)).toString(),
                                     error.message());
            }
        }
        for (const int row : store.unfiledRecipeRows()) {
            findings << QStringLiteral("recipe \"%1\" (number %2) is filed under category %3, which is missing")
                            .arg(recipes.storedValue(row, name).toString(),
                                 recipes.storedValue(row, def.indexOf(RecipeStore::RecipeNo)).toString(),
                                 recipes.storedValue(row, def.indexOf(RecipeStore::CategoryNo)).toString());
        }
        out << store.cdsCategory().totalRecordCount() << " categories, " << recipes.totalRecordCount()
            << " recipes, " << inflated << " bytes of bodies inflated\n";
    }
    store.close();
    for (const QString &finding : std::as_const(findings))
        out << "finding: " << finding << '\n';
    out << (findings.isEmpty() ? QStringLiteral("no findings")
                               : QStringLiteral("%1 finding%2").arg(findings.size()).arg(findings.size() == 1 ? "" : "s"))
        << '\n';
    return findings.isEmpty() ? 0 : 1;
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
        if (command == QLatin1String("backup"))
            return backup(rest, out);
        if (command == QLatin1String("check"))
            return check(rest, out);
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
        QStringLiteral("backup DATADIR DEST                 a consistent copy of both table files, also of open ones"),
        QStringLiteral("check DATADIR                       checks both files, every body and every recipe's category"),
        QStringLiteral("  (DATADIR left out or \"-\": the program's own data folder)"),
    };
}
