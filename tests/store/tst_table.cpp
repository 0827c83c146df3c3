#include "store/error.h"
#include "store/recipestore.h"
#include "store/table.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QStringList names(Table &table, const QString &field)
{
    QStringList result;
    for (table.first(); !table.eof(); table.next())
        result << table.text(field);
    return result;
}

void addCategory(RecipeStore &store, const QString &name)
{
    Table &categories = store.cdsCategory();
    categories.insert();
    categories.setText(RecipeStore::CategoryDescription, name);
    categories.post();
}

void addRecipe(RecipeStore &store, const QString &category, const QString &name, const QString &tags = {},
               const QByteArray &body = {})
{
    QVERIFY(store.cdsCategory().locate(RecipeStore::CategoryDescription, category));
    Table &recipes = store.cdsRecipe();
    recipes.insert();
    recipes.setText(RecipeStore::RecipeDescription, name);
    recipes.setText(RecipeStore::RecipeTag, tags);
    recipes.setBlob(RecipeStore::RecipeDetail, body);
    recipes.post();
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void runSql(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    char *message = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    sqlite3_free(message);
    sqlite3_close(db);
    QCOMPARE(rc, SQLITE_OK);
}

} // namespace

class TableTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstRunWritesOnlyWhatChanged();
    void recordsKeysAndBodiesSurviveReload();
    void keysOfDeletedRecordsAreNotGivenAgain();
    void orderFollowsCollationCaseSensitively();
    void locateIsExact_data();
    void locateIsExact();
    void recipeViewFollowsCategory();
    void movesPostChangedAndCancelUnchangedRecords();
    void textIsCutToFieldSize();
    void deletingKeepsNeighbourCurrent();
    void unwrittenChangesAreLostWithoutClose();
    void damagedFilesFailToOpenAndAreNeverWritten_data();
    void damagedFilesFailToOpenAndAreNeverWritten();
    void failedWriteKeepsOldFileAndReports();
    void closedTableRefusesEveryOperation();
    void recipesNeverLandUnderANewCategory_data();
    void recipesNeverLandUnderANewCategory();
    void unreadableRecipeFileIsExplainedOnceAndKept();
    void reopeningUnderOtherRulesSortsAgain();
    void oneProcessAtATimeWritesACollection();
    void bodiesComeOnDemandAndOnlyChangesAreWritten();
    void firstLayoutOpensAndIsConvertedByItsFirstWrite();
    void damagedBodyFailsWithAMessage();
    void killedWhileWritingLeavesOldOrNewContent();
};

void TableTest::firstRunWritesOnlyWhatChanged()
{
    QTemporaryDir dir;
    {
        RecipeStore store(dir.path());
        store.open();
        QVERIFY(store.cdsCategory().isEmpty());
        QVERIFY(store.cdsRecipe().isEmpty());
        store.close();
    }
    QVERIFY2(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty(), "untouched tables write no file");
    {
        RecipeStore store(dir.path());
        store.open();
        addCategory(store, QStringLiteral("Soups"));
        store.close();
    }
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("Category.cds"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Recipe.cds"))));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);   // no temporary left behind
    RecipeStore store(dir.path());
    store.open();
    QCOMPARE(names(store.cdsCategory(), RecipeStore::CategoryDescription), QStringList{QStringLiteral("Soups")});
}

void TableTest::recordsKeysAndBodiesSurviveReload()
{
    QTemporaryDir dir;
    QByteArray body(5 * 1024 * 1024, '\0');
    for (int i = 0; i < body.size(); ++i)
        body[i] = char((i * 7919) >> 3);
    const QString unicodeName = QStringLiteral("Crème brûlée 🍮 «Oma's» \"best\"");
    QList<int> keys;
    {
        RecipeStore store(dir.path());
        store.open();
        addCategory(store, QStringLiteral("Desserts"));
        addCategory(store, QStringLiteral("Breads"));
        addRecipe(store, QStringLiteral("Desserts"), unicodeName, QStringLiteral("sweet\ncold\tcream"), body);
        addRecipe(store, QStringLiteral("Desserts"), QStringLiteral("Apple pie"), {}, QByteArray());
        addRecipe(store, QStringLiteral("Breads"), QStringLiteral("Rye"));
        for (Table &t = store.cdsCategory(); const QString &name : {QStringLiteral("Breads"), QStringLiteral("Desserts")}) {
            QVERIFY(t.locate(RecipeStore::CategoryDescription, name));
            keys << t.value(RecipeStore::CategoryNo).toInt();
        }
        store.close();
    }
    RecipeStore store(dir.path());
    store.open();
    Table &categories = store.cdsCategory();
    Table &recipes = store.cdsRecipe();
    QCOMPARE(names(categories, RecipeStore::CategoryDescription),
             (QStringList{QStringLiteral("Breads"), QStringLiteral("Desserts")}));
    QVERIFY(categories.locate(RecipeStore::CategoryDescription, QStringLiteral("Desserts")));
    QCOMPARE(categories.value(RecipeStore::CategoryNo).toInt(), keys.at(1));
    QCOMPARE(names(recipes, RecipeStore::RecipeDescription), (QStringList{QStringLiteral("Apple pie"), unicodeName}));
    QVERIFY(recipes.locate(RecipeStore::RecipeDescription, unicodeName));
    QCOMPARE(recipes.blob(RecipeStore::RecipeDetail), body);
    QCOMPARE(recipes.text(RecipeStore::RecipeTag), QStringLiteral("sweet\ncold\tcream"));
    QCOMPARE(recipes.value(RecipeStore::CategoryNo).toInt(), keys.at(1));
    QVERIFY(recipes.locate(RecipeStore::RecipeDescription, QStringLiteral("Apple pie")));
    QVERIFY(recipes.blob(RecipeStore::RecipeDetail).isEmpty());
}

void TableTest::keysOfDeletedRecordsAreNotGivenAgain()
{
    QTemporaryDir dir;
    {
        RecipeStore store(dir.path());
        store.open();
        for (const char *name : {"A1", "A2", "A3"})
            addCategory(store, QLatin1String(name));
        QVERIFY(store.cdsCategory().locate(RecipeStore::CategoryDescription, QStringLiteral("A3")));
        QCOMPARE(store.cdsCategory().value(RecipeStore::CategoryNo).toInt(), 3);
        store.cdsCategory().remove();
        store.close();
    }
    RecipeStore store(dir.path());
    store.open();
    addCategory(store, QStringLiteral("A4"));
    QCOMPARE(store.cdsCategory().value(RecipeStore::CategoryNo).toInt(), 4);
}

void TableTest::orderFollowsCollationCaseSensitively()
{
    Table table(RecipeStore::categoryDefinition());
    table.setCollationLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    table.createEmpty();
    for (const char *name : {"cherry", "Banana", "apple", "Apple", "éclair", "Zucchini", "banana"}) {
        table.insert();
        table.setText(RecipeStore::CategoryDescription, QString::fromUtf8(name));
        table.post();
        // A stored record takes its place in the order at once and stays current.
        QCOMPARE(table.text(RecipeStore::CategoryDescription), QString::fromUtf8(name));
    }
    const QStringList order = names(table, RecipeStore::CategoryDescription);
    QCOMPARE(order, (QStringList{QStringLiteral("apple"), QStringLiteral("Apple"), QStringLiteral("banana"),
                                 QStringLiteral("Banana"), QStringLiteral("cherry"), QStringLiteral("éclair"),
                                 QStringLiteral("Zucchini")}));
    table.setRecNo(3);
    QCOMPARE(table.text(RecipeStore::CategoryDescription), QStringLiteral("banana"));
}

void TableTest::locateIsExact_data()
{
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<int>("expectedKey");   // 0: not found
    QTest::newRow("apostrophe") << QStringLiteral("Grandma's") << 2;
    QTest::newRow("double quote") << QStringLiteral("The \"best\"") << 3;
    QTest::newRow("differs in case only") << QStringLiteral("soups") << 4;
    QTest::newRow("first of two equal names") << QStringLiteral("Soups") << 1;
    QTest::newRow("trailing blank is another name") << QStringLiteral("Soups ") << 0;
    QTest::newRow("prefix is not enough") << QStringLiteral("Soup") << 0;
    QTest::newRow("empty") << QString() << 0;
}

void TableTest::locateIsExact()
{
    QFETCH(QString, wanted);
    QFETCH(int, expectedKey);
    Table table(RecipeStore::categoryDefinition());
    table.createEmpty();
    for (const char *name : {"Soups", "Grandma's", "The \"best\"", "soups", "Soups"}) {
        table.insert();
        table.setText(RecipeStore::CategoryDescription, QLatin1String(name));
        table.post();
    }
    table.first();
    const bool found = table.locate(RecipeStore::CategoryDescription, wanted);
    QCOMPARE(found, expectedKey != 0);
    if (found)
        QCOMPARE(table.value(RecipeStore::CategoryNo).toInt(), expectedKey);
    else
        QCOMPARE(table.recNo(), 1);   // stays where it was
}

void TableTest::recipeViewFollowsCategory()
{
    QTemporaryDir dir;
    RecipeStore store(dir.path());
    store.open();
    addCategory(store, QStringLiteral("Breads"));
    addCategory(store, QStringLiteral("Soups"));
    addCategory(store, QStringLiteral("Cakes"));
    addRecipe(store, QStringLiteral("Soups"), QStringLiteral("Minestrone"));
    addRecipe(store, QStringLiteral("Breads"), QStringLiteral("Rye"));
    addRecipe(store, QStringLiteral("Soups"), QStringLiteral("Borscht"));
    addRecipe(store, QStringLiteral("Breads"), QStringLiteral("Baguette"));
    addRecipe(store, QStringLiteral("Soups"), QStringLiteral("Gazpacho"));

    Table &recipes = store.cdsRecipe();
    store.LocateSelectedCategory(QStringLiteral("Soups"));
    QCOMPARE(recipes.recordCount(), 3);
    QCOMPARE(recipes.recNo(), 1);
    QCOMPARE(names(recipes, RecipeStore::RecipeDescription),
             (QStringList{QStringLiteral("Borscht"), QStringLiteral("Gazpacho"), QStringLiteral("Minestrone")}));
    store.LocateSelectedRecipe(QStringLiteral("Gazpacho"));
    QCOMPARE(recipes.recNo(), 2);

    store.LocateSelectedCategory(QStringLiteral("Breads"));
    QCOMPARE(recipes.recNo(), 1);
    QCOMPARE(recipes.text(RecipeStore::RecipeDescription), QStringLiteral("Baguette"));
    store.LocateSelectedRecipe(QStringLiteral("Rye"));
    QCOMPARE(recipes.recNo(), 2);
    try {
        store.LocateSelectedRecipe(QStringLiteral("Gazpacho"));   // another category's recipe
        QFAIL("a recipe of another category was found");
    } catch (const Error &error) {
        QCOMPARE(error.message(), QStringLiteral("Could not find Gazpacho in dataset."));
    }

    store.LocateSelectedCategory(QStringLiteral("Cakes"));
    QVERIFY(recipes.isEmpty());
    QVERIFY(recipes.eof());
    QCOMPARE(recipes.recNo(), 0);
}

void TableTest::movesPostChangedAndCancelUnchangedRecords()
{
    Table table(RecipeStore::categoryDefinition());
    table.createEmpty();
    for (const char *name : {"A", "B", "C"}) {
        table.insert();
        table.setText(RecipeStore::CategoryDescription, QLatin1String(name));
        table.post();
    }
    table.first();
    table.edit();
    table.setText(RecipeStore::CategoryDescription, QStringLiteral("D"));
    table.next();   // posts: "D" moves to the end
    QCOMPARE(table.state(), Table::State::Browse);
    QCOMPARE(names(table, RecipeStore::CategoryDescription),
             (QStringList{QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")}));

    table.insert();
    table.first();   // nothing typed: cancelled
    QCOMPARE(table.recordCount(), 3);

    table.edit();
    table.setText(RecipeStore::CategoryDescription, QStringLiteral("X"));
    table.cancel();
    QCOMPARE(table.text(RecipeStore::CategoryDescription), QStringLiteral("B"));

    table.insert();
    table.setText(RecipeStore::CategoryDescription, QStringLiteral("E"));
    QVERIFY(table.locate(RecipeStore::CategoryDescription, QStringLiteral("E")));   // posted first, then found
    QCOMPARE(table.recordCount(), 4);
}

void TableTest::textIsCutToFieldSize()
{
    Table table(RecipeStore::recipeDefinition());
    table.createEmpty();   // no master set on this bare copy: the link field is set by hand
    table.insert();
    table.setValue(RecipeStore::CategoryNo, 1);
    table.setText(RecipeStore::RecipeDescription, QString(250, QLatin1Char('x')));
    table.setText(RecipeStore::RecipeTag, QString(511, QLatin1Char('t')) + QStringLiteral("🍅"));
    table.post();
    QCOMPARE(table.text(RecipeStore::RecipeDescription).size(), 200);
    // Half a surrogate pair is never stored.
    QCOMPARE(table.text(RecipeStore::RecipeTag), QString(511, QLatin1Char('t')));
}

void TableTest::deletingKeepsNeighbourCurrent()
{
    QTemporaryDir dir;
    RecipeStore store(dir.path());
    store.open();
    addCategory(store, QStringLiteral("Soups"));
    addCategory(store, QStringLiteral("Stews"));
    addRecipe(store, QStringLiteral("Soups"), QStringLiteral("Leek"));
    addRecipe(store, QStringLiteral("Soups"), QStringLiteral("Leek"));
    addRecipe(store, QStringLiteral("Soups"), QStringLiteral("Onion"));
    addRecipe(store, QStringLiteral("Stews"), QStringLiteral("Goulash"));

    store.LocateSelectedCategory(QStringLiteral("Soups"));
    Table &recipes = store.cdsRecipe();
    recipes.setRecNo(2);
    const int second = recipes.value(RecipeStore::RecipeNo).toInt();
    recipes.remove();   // the second "Leek"
    QCOMPARE(recipes.recordCount(), 2);
    QCOMPARE(recipes.text(RecipeStore::RecipeDescription), QStringLiteral("Onion"));
    recipes.first();
    QVERIFY(recipes.value(RecipeStore::RecipeNo).toInt() != second);

    recipes.setRecNo(2);
    recipes.remove();   // the last one: the new last becomes current
    QCOMPARE(recipes.text(RecipeStore::RecipeDescription), QStringLiteral("Leek"));
    recipes.remove();
    QVERIFY(recipes.isEmpty());
    QVERIFY(store.cdsCategory().locate(RecipeStore::CategoryDescription, QStringLiteral("Soups")));
    store.cdsCategory().remove();
    QCOMPARE(names(store.cdsCategory(), RecipeStore::CategoryDescription), QStringList{QStringLiteral("Stews")});
    QCOMPARE(names(recipes, RecipeStore::RecipeDescription), QStringList{QStringLiteral("Goulash")});
}

void TableTest::unwrittenChangesAreLostWithoutClose()
{
    QTemporaryDir dir;
    {
        RecipeStore store(dir.path());
        store.open();
        addCategory(store, QStringLiteral("Kept"));
        store.close();
    }
    {
        RecipeStore store(dir.path());
        store.open();
        addCategory(store, QStringLiteral("Lost"));
        // the process ends here without closing
    }
    RecipeStore store(dir.path());
    store.open();
    QCOMPARE(names(store.cdsCategory(), RecipeStore::CategoryDescription), QStringList{QStringLiteral("Kept")});
}

void TableTest::damagedFilesFailToOpenAndAreNeverWritten_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("reason");
    QTest::newRow("random bytes") << QStringLiteral("random") << QStringLiteral("not a database");
    QTest::newRow("truncated") << QStringLiteral("truncated") << QString();
    QTest::newRow("empty file") << QStringLiteral("empty") << QStringLiteral("not a recipe table file");
    QTest::newRow("another program's database") << QStringLiteral("foreign") << QStringLiteral("not a recipe table file");
    QTest::newRow("missing column") << QStringLiteral("column") << QStringLiteral("no field \"CategoryDescription\"");
    QTest::newRow("duplicate keys") << QStringLiteral("duplicate") << QStringLiteral("share the key");
    QTest::newRow("directory") << QStringLiteral("directory") << QStringLiteral("directory");
}

void TableTest::damagedFilesFailToOpenAndAreNeverWritten()
{
    QFETCH(QString, damage);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Category.cds"));
    {
        RecipeStore store(dir.path());
        store.open();
        for (int i = 0; i < 300; ++i)
            addCategory(store, QStringLiteral("Category %1 with a longer name to fill pages").arg(i));
        store.close();
    }
    if (damage == QLatin1String("random")) {
        QByteArray noise(20000, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 2654435761u) >> 13);
        writeFile(path, noise);
    } else if (damage == QLatin1String("truncated")) {
        QFile file(path);
        QVERIFY(file.resize(file.size() / 2));
    } else if (damage == QLatin1String("empty")) {
        writeFile(path, {});
    } else if (damage == QLatin1String("foreign")) {
        QFile::remove(path);
        runSql(path, "CREATE TABLE notes(id INTEGER, body TEXT); INSERT INTO notes VALUES (1, 'x');");
    } else if (damage == QLatin1String("column")) {
        runSql(path, "ALTER TABLE Category DROP COLUMN CategoryDescription;");
    } else if (damage == QLatin1String("duplicate")) {
        runSql(path, "UPDATE Category SET CategoryNo = 1;");
    } else if (damage == QLatin1String("directory")) {
        QFile::remove(path);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Category.cds")));
    }
    const QByteArray before = fileHash(path);

    RecipeStore store(dir.path());
    try {
        store.open();
        QFAIL("a damaged file was opened");
    } catch (const Error &error) {
        QVERIFY2(error.message().contains(QDir::toNativeSeparators(path)), qPrintable(error.message()));
        QVERIFY2(error.message().contains(reason), qPrintable(error.message()));
    }
    QVERIFY(!store.cdsCategory().isActive());
    QVERIFY(!store.cdsRecipe().isActive());   // never opened after the category table failed
    store.close();
    QCOMPARE(fileHash(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), damage == QLatin1String("directory") ? 0 : 1);
}

void TableTest::failedWriteKeepsOldFileAndReports()
{
    QTemporaryDir dir;
    const QString blocked = dir.filePath(QStringLiteral("Category.cds"));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Category.cds/inside")));   // a non-empty directory in the way
    Table table(RecipeStore::categoryDefinition());
    table.setFileName(blocked);
    table.createEmpty();
    table.insert();
    table.setText(RecipeStore::CategoryDescription, QStringLiteral("Soups"));
    table.post();
    try {
        table.close();
        QFAIL("writing over a directory succeeded");
    } catch (const Error &error) {
        QVERIFY2(error.message().startsWith(QStringLiteral("Cannot write the table file")), qPrintable(error.message()));
    }
    QVERIFY(!table.isActive());
    QVERIFY(QFileInfo(blocked + QStringLiteral("/inside")).isDir());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);   // the temporary is gone

    // Into a directory that does not exist.
    Table lost(RecipeStore::categoryDefinition());
    lost.setFileName(dir.filePath(QStringLiteral("missing/Category.cds")));
    lost.createEmpty();
    lost.insert();
    lost.setText(RecipeStore::CategoryDescription, QStringLiteral("Soups"));
    lost.post();
    QVERIFY_THROWS_EXCEPTION(Error, lost.close());
}

void TableTest::closedTableRefusesEveryOperation()
{
    Table table(RecipeStore::categoryDefinition());
    const QString closed = QStringLiteral("Cannot perform this operation on a closed dataset");
    auto expectClosed = [&](auto operation) {
        try {
            operation();
            QFAIL("an operation on a closed table succeeded");
        } catch (const Error &error) {
            QCOMPARE(error.message(), closed);
        }
    };
    expectClosed([&] { table.first(); });
    expectClosed([&] { table.insert(); });
    expectClosed([&] { (void)table.isEmpty(); });
    expectClosed([&] { (void)table.text(RecipeStore::CategoryDescription); });
    expectClosed([&] { table.locate(RecipeStore::CategoryDescription, QStringLiteral("x")); });
    table.close();   // a table that never opened writes nothing and does not fail
}

void TableTest::recipesNeverLandUnderANewCategory_data()
{
    QTest::addColumn<bool>("blockedAtExit");   // else the category file is lost between runs
    QTest::newRow("category file cannot be written at exit") << true;
    QTest::newRow("category file missing beside the recipe file") << false;
}

void TableTest::recipesNeverLandUnderANewCategory()
{
    QFETCH(bool, blockedAtExit);
    QTemporaryDir dir;
    const QString categoryFile = dir.filePath(QStringLiteral("Category.cds"));
    const QString recipeFile = dir.filePath(QStringLiteral("Recipe.cds"));
    {
        RecipeStore store(dir.path());
        store.open();
        addCategory(store, QStringLiteral("Cakes"));
        addRecipe(store, QStringLiteral("Cakes"), QStringLiteral("Sponge"));
        store.close();
    }
    {
        RecipeStore store(dir.path());
        store.open();
        addCategory(store, QStringLiteral("Pies"));
        addRecipe(store, QStringLiteral("Pies"), QStringLiteral("Apple pie"));
        if (!blockedAtExit) {
            store.close();
        } else {
            // A non-empty directory stands where the category file goes, only while closing.
            const QByteArray recipesBefore = fileHash(recipeFile);
            QVERIFY(QFile::rename(categoryFile, categoryFile + QStringLiteral(".away")));
            QVERIFY(QDir().mkpath(categoryFile + QStringLiteral("/inside")));
            try {
                store.close();
                QFAIL("writing over a directory succeeded");
            } catch (const Error &error) {
                QVERIFY2(error.message().contains(QDir::toNativeSeparators(categoryFile)), qPrintable(error.message()));
                QVERIFY2(error.message().contains(QStringLiteral("not stored")), qPrintable(error.message()));
            }
            QVERIFY(!store.cdsCategory().isActive() && !store.cdsRecipe().isActive());
            QCOMPARE(fileHash(recipeFile), recipesBefore);   // no recipe points at the unstored "Pies"
            QVERIFY(QDir(categoryFile).removeRecursively());
            QVERIFY(QFile::rename(categoryFile + QStringLiteral(".away"), categoryFile));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);   // no temporaries
        }
    }
    if (!blockedAtExit)
        QVERIFY(QFile::remove(categoryFile));

    for (int run = 0; run < 2; ++run) {
        RecipeStore store(dir.path());
        store.open();
        if (run == 0) {
            addCategory(store, QStringLiteral("Fish"));
            store.LocateSelectedCategory(QStringLiteral("Fish"));
            QVERIFY(store.cdsRecipe().isEmpty());
            addRecipe(store, QStringLiteral("Fish"), QStringLiteral("Trout"));   // rewrites the recipe file
        }
        store.LocateSelectedCategory(QStringLiteral("Fish"));
        QCOMPARE(names(store.cdsRecipe(), RecipeStore::RecipeDescription), QStringList{QStringLiteral("Trout")});
        const QString notice = store.unfiledNotice();
        if (blockedAtExit) {
            store.LocateSelectedCategory(QStringLiteral("Cakes"));
            QCOMPARE(names(store.cdsRecipe(), RecipeStore::RecipeDescription), QStringList{QStringLiteral("Sponge")});
            QVERIFY2(notice.isEmpty(), qPrintable(notice));
        } else {
            // The recipes of the lost categories are kept, through a rewrite of their file, and named.
            QCOMPARE(store.unfiledRecipeRows().size(), 2);
            QVERIFY2(notice.startsWith(QStringLiteral("2 recipes are filed under categories that are missing")),
                     qPrintable(notice));
            QVERIFY2(notice.contains(QStringLiteral("\nApple pie (category number 2)")), qPrintable(notice));
            QVERIFY2(notice.contains(QStringLiteral("\nSponge (category number 1)")), qPrintable(notice));
        }
        store.close();
    }
}

void TableTest::unreadableRecipeFileIsExplainedOnceAndKept()
{
    QTemporaryDir dir;
    const QString recipeFile = dir.filePath(QStringLiteral("Recipe.cds"));
    {
        RecipeStore store(dir.path());
        store.open();
        addCategory(store, QStringLiteral("Soups"));
        addRecipe(store, QStringLiteral("Soups"), QStringLiteral("Pea soup"));
        store.close();
    }
    writeFile(recipeFile, QByteArray(8192, '\x5a'));
    const QByteArray before = fileHash(recipeFile);

    RecipeStore store(dir.path());
    store.OpenCategoryTable();
    QString opening;
    try {
        store.OpenRecipeTable();
        QFAIL("a damaged recipe file was opened");
    } catch (const Error &error) {
        opening = error.message();
    }
    // The first category chosen says why no recipes are listed; later ones do not repeat it.
    try {
        store.LocateSelectedCategory(QStringLiteral("Soups"));
        QFAIL("choosing a category said nothing about the unreadable recipes");
    } catch (const Error &error) {
        QVERIFY2(error.message().contains(opening), qPrintable(error.message()));
        QVERIFY2(error.message().startsWith(QStringLiteral("No recipes can be listed")), qPrintable(error.message()));
    }
    store.LocateSelectedCategory(QStringLiteral("Soups"));
    addCategory(store, QStringLiteral("Breads"));
    store.close();
    QCOMPARE(fileHash(recipeFile), before);
}

void TableTest::reopeningUnderOtherRulesSortsAgain()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Category.cds"));
    {
        Table swedish(RecipeStore::categoryDefinition());
        swedish.setCollationLocale(QLocale(QLocale::Swedish, QLocale::Sweden));
        swedish.setFileName(path);
        swedish.createEmpty();
        for (const char *name : {"Zander", "Öl", "Oat"}) {
            swedish.insert();
            swedish.setText(RecipeStore::CategoryDescription, QString::fromUtf8(name));
            swedish.post();
        }
        QCOMPARE(names(swedish, RecipeStore::CategoryDescription),
                 (QStringList{QStringLiteral("Oat"), QStringLiteral("Zander"), QStringLiteral("Öl")}));
        swedish.close();
    }
    Table english(RecipeStore::categoryDefinition());
    english.setCollationLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    english.setFileName(path);
    english.open();
    QCOMPARE(names(english, RecipeStore::CategoryDescription),
             (QStringList{QStringLiteral("Oat"), QStringLiteral("Öl"), QStringLiteral("Zander")}));

    // A recipe file whose rows are out of category order (not written by this program) still
    // shows each category its own recipes.
    {
        RecipeStore store(dir.path());
        store.open();
        addRecipe(store, QStringLiteral("Oat"), QStringLiteral("Porridge"));
        addRecipe(store, QStringLiteral("Zander"), QStringLiteral("Fried zander"));
        store.close();
    }
    runSql(dir.filePath(QStringLiteral("Recipe.cds")),
           "INSERT INTO Recipe (RecipeNo, CategoryNo, RecipeDescription, RecipeTag) VALUES (99, 1, 'Baked zander', '');");
    RecipeStore store(dir.path());
    store.open();
    store.LocateSelectedCategory(QStringLiteral("Zander"));
    QCOMPARE(names(store.cdsRecipe(), RecipeStore::RecipeDescription),
             (QStringList{QStringLiteral("Baked zander"), QStringLiteral("Fried zander")}));
    store.LocateSelectedCategory(QStringLiteral("Oat"));
    QCOMPARE(names(store.cdsRecipe(), RecipeStore::RecipeDescription), QStringList{QStringLiteral("Porridge")});
}

void TableTest::oneProcessAtATimeWritesACollection()
{
    QTemporaryDir dir;
    {
        RecipeStore first(dir.path());
        first.open();
        addCategory(first, QStringLiteral("Soups"));
        first.close();
    }
    const QByteArray stored = fileHash(dir.filePath(QStringLiteral("Category.cds")));

    auto refused = [&] {
        RecipeStore second(dir.path());
        try {
            second.open();
        } catch (const Error &error) {
            return second.lockedElsewhere() && error.message() == RecipeStore::lockedElsewhereMessage()
                   && !second.cdsCategory().isActive() && !second.cdsRecipe().isActive();
        }
        return false;
    };
    {
        RecipeStore holder(dir.path());
        holder.open();
        QVERIFY(refused());
        // Reading needs no lock.
        RecipeStore reader(dir.path(), RecipeStore::Access::ReadOnly);
        reader.open();
        QCOMPARE(names(reader.cdsCategory(), RecipeStore::CategoryDescription), QStringList{QStringLiteral("Soups")});
        addCategory(reader, QStringLiteral("Dropped"));
        reader.close();
        holder.close();
        QVERIFY(!refused());
    }
    QCOMPARE(fileHash(dir.filePath(QStringLiteral("Category.cds"))), stored);

    // A holder that is killed lets go of the collection.
    int ready[2];
    QCOMPARE(::pipe(ready), 0);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        RecipeStore holder(dir.path());
        holder.open();
        (void)!::write(ready[1], "x", 1);
        for (;;)
            ::pause();
    }
    char byte = 0;
    QCOMPARE(::read(ready[0], &byte, 1), ssize_t(1));
    ::close(ready[0]);
    ::close(ready[1]);
    QVERIFY(refused());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    QVERIFY(!refused());
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() <= 2);
}

namespace {

QByteArray bodyOf(char fill, int size)
{
    return QByteArray(size, fill) + QByteArray::number(size);
}

QMap<QString, QByteArray> recipesWithBodies(RecipeStore &store)
{
    QMap<QString, QByteArray> result;
    Table &categories = store.cdsCategory();
    Table &recipes = store.cdsRecipe();
    for (categories.first(); !categories.eof(); categories.next()) {
        for (recipes.first(); !recipes.eof(); recipes.next()) {
            result.insert(recipes.text(RecipeStore::RecipeDescription), recipes.blob(RecipeStore::RecipeDetail));
            if (recipes.blobSize(RecipeStore::RecipeDetail) != result.last().size())
                result.last() = "wrong size";
        }
    }
    return result;
}

} // namespace

void TableTest::bodiesComeOnDemandAndOnlyChangesAreWritten()
{
    QTemporaryDir dir;
    const QString recipeFile = dir.filePath(QStringLiteral("Recipe.cds"));
    {
        RecipeStore store(dir.path());
        store.open();
        addCategory(store, QStringLiteral("Pies"));
        for (const char *name : {"Apple", "Cherry", "Plum", "Quince"})
            addRecipe(store, QStringLiteral("Pies"), QString::fromLatin1(name), {}, bodyOf(name[0], 70000));
        store.close();
    }
    {
        RecipeStore store(dir.path());
        store.open();
        QCOMPARE(recipesWithBodies(store).value(QStringLiteral("Cherry")), bodyOf('C', 70000));
        Table &recipes = store.cdsRecipe();
        store.LocateSelectedCategory(QStringLiteral("Pies"));
        store.LocateSelectedRecipe(QStringLiteral("Apple"));   // renamed: its body stays
        recipes.edit();
        recipes.setText(RecipeStore::RecipeDescription, QStringLiteral("Zesty apple"));
        recipes.post();
        store.LocateSelectedRecipe(QStringLiteral("Cherry"));
        recipes.edit();
        recipes.setBlob(RecipeStore::RecipeDetail, bodyOf('c', 10));
        recipes.post();
        store.LocateSelectedRecipe(QStringLiteral("Plum"));
        recipes.remove();
        addRecipe(store, QStringLiteral("Pies"), QStringLiteral("Banana"), {}, bodyOf('B', 5));
        // Written behind the store's back into a record it does not change: a whole rewrite loses it.
        runSql(recipeFile, "UPDATE Recipe SET RecipeTag = 'untouched' WHERE RecipeDescription = 'Quince';");
        store.close();
    }
    RecipeStore store(dir.path());
    store.open();
    const QMap<QString, QByteArray> expected{
        {QStringLiteral("Banana"), bodyOf('B', 5)},
        {QStringLiteral("Cherry"), bodyOf('c', 10)},
        {QStringLiteral("Quince"), bodyOf('Q', 70000)},
        {QStringLiteral("Zesty apple"), bodyOf('A', 70000)},
    };
    QCOMPARE(recipesWithBodies(store), expected);
    store.LocateSelectedCategory(QStringLiteral("Pies"));
    QCOMPARE(names(store.cdsRecipe(), RecipeStore::RecipeDescription), QStringList(expected.keys()));
    store.LocateSelectedRecipe(QStringLiteral("Quince"));
    QCOMPARE(store.cdsRecipe().text(RecipeStore::RecipeTag), QStringLiteral("untouched"));
}

void TableTest::firstLayoutOpensAndIsConvertedByItsFirstWrite()
{
    QTemporaryDir dir;
    const QString recipeFile = dir.filePath(QStringLiteral("Recipe.cds"));
    {
        RecipeStore store(dir.path());
        store.open();
        addCategory(store, QStringLiteral("Soups"));
        store.close();
    }
    // A recipe file as the program wrote it before bodies had a table of their own.
    runSql(recipeFile,
           "CREATE TABLE saporin_meta (key TEXT PRIMARY KEY, value);"
           "INSERT INTO saporin_meta VALUES ('format', 'saporin-table/1'), ('table', 'Recipe'), ('next:RecipeNo', 8);"
           "CREATE TABLE Recipe (RecipeNo INTEGER, CategoryNo INTEGER, RecipeDescription TEXT, RecipeDetail BLOB, RecipeTag TEXT);"
           "INSERT INTO Recipe VALUES (3, 1, 'Leek soup', zeroblob(50000), 'green'), (5, 1, 'Pea soup', x'0102', 'green');");
    const QByteArray before = fileHash(recipeFile);
    {
        RecipeStore store(dir.path());
        store.open();
        QCOMPARE(recipesWithBodies(store).value(QStringLiteral("Leek soup")), QByteArray(50000, '\0'));
        store.close();
    }
    QCOMPARE(fileHash(recipeFile), before);   // unchanged: not even converted
    {
        RecipeStore store(dir.path());
        store.open();
        addRecipe(store, QStringLiteral("Soups"), QStringLiteral("Fish soup"), {}, "fish");
        store.close();
    }
    for (int run = 0; run < 2; ++run) {
        RecipeStore store(dir.path());
        store.open();
        const QMap<QString, QByteArray> expected{
            {QStringLiteral("Fish soup"), "fish"},
            {QStringLiteral("Leek soup"), QByteArray(50000, '\0')},
            {QStringLiteral("Pea soup"), QByteArray("\x01\x02")},
        };
        QCOMPARE(recipesWithBodies(store), expected);
        store.LocateSelectedCategory(QStringLiteral("Soups"));
        store.LocateSelectedRecipe(QStringLiteral("Fish soup"));
        QCOMPARE(store.cdsRecipe().text(RecipeStore::RecipeNo), QStringLiteral("8"));
        if (run == 0) {   // a second write goes by changes into the converted file
            store.LocateSelectedRecipe(QStringLiteral("Pea soup"));
            store.cdsRecipe().edit();
            store.cdsRecipe().setText(RecipeStore::RecipeTag, QStringLiteral("peas"));
            store.cdsRecipe().post();
        } else {
            store.LocateSelectedRecipe(QStringLiteral("Pea soup"));
            QCOMPARE(store.cdsRecipe().text(RecipeStore::RecipeTag), QStringLiteral("peas"));
        }
        store.close();
    }
}

void TableTest::damagedBodyFailsWithAMessage()
{
    QTemporaryDir dir;
    const QString recipeFile = dir.filePath(QStringLiteral("Recipe.cds"));
    {
        RecipeStore store(dir.path());
        store.open();
        addCategory(store, QStringLiteral("Pies"));
        addRecipe(store, QStringLiteral("Pies"), QStringLiteral("Apple"), {}, QByteArray(200000, 'Q'));
        addRecipe(store, QStringLiteral("Pies"), QStringLiteral("Plum"), {}, "plum");
        store.close();
    }
    RecipeStore store(dir.path());
    store.open();
    // Pages in the middle of the body's overflow chain are overwritten while the table is open.
    QFile file(recipeFile);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const qsizetype at = file.readAll().indexOf(QByteArray(4000, 'Q'));
    QVERIFY(at > 0);
    file.seek(at + 50000);
    file.write(QByteArray(60000, '\xff'));
    file.close();
    store.LocateSelectedCategory(QStringLiteral("Pies"));
    store.LocateSelectedRecipe(QStringLiteral("Apple"));
    try {
        (void)store.cdsRecipe().blob(RecipeStore::RecipeDetail);
        QFAIL("a damaged body was read");
    } catch (const Error &error) {
        QVERIFY2(error.message().startsWith(QStringLiteral("Cannot read \"RecipeDetail\"")), qPrintable(error.message()));
        QVERIFY2(error.message().contains(QDir::toNativeSeparators(recipeFile)), qPrintable(error.message()));
    }
    store.LocateSelectedRecipe(QStringLiteral("Plum"));
    QCOMPARE(store.cdsRecipe().blob(RecipeStore::RecipeDetail), QByteArray("plum"));
}

void TableTest::killedWhileWritingLeavesOldOrNewContent()
{
    // Each run rewrites every body with its own letter and adds a recipe named after it; a kill at
    // any moment must leave a file that opens with all bodies of one run and that run's recipes.
    QTemporaryDir dir;
    constexpr int Recipes = 150;
    constexpr int BodySize = 40000;
    {
        RecipeStore store(dir.path());
        store.open();
        addCategory(store, QStringLiteral("Pies"));
        for (int i = 0; i < Recipes; ++i)
            addRecipe(store, QStringLiteral("Pies"), QStringLiteral("Pie %1").arg(i, 3, 10, QLatin1Char('0')), {},
                      QByteArray(BodySize, 'a'));
        store.close();
    }
    // The writer tells through a pipe when its exit write begins.
    int closing[2];
    QCOMPARE(::pipe(closing), 0);
    auto runWriter = [&](char letter) {
        const pid_t child = ::fork();
        if (child == 0) {
            RecipeStore store(dir.path());
            store.open();
            store.LocateSelectedCategory(QStringLiteral("Pies"));
            Table &recipes = store.cdsRecipe();
            for (recipes.first(); !recipes.eof(); recipes.next()) {
                recipes.edit();
                recipes.setBlob(RecipeStore::RecipeDetail, QByteArray(BodySize, letter));
                recipes.post();
            }
            addRecipe(store, QStringLiteral("Pies"), QStringLiteral("Run %1").arg(QLatin1Char(letter)), {}, "x");
            (void)!::write(closing[1], "x", 1);
            store.close();
            ::_exit(0);
        }
        char byte = 0;
        (void)!::read(closing[0], &byte, 1);
        return child;
    };
    QElapsedTimer timer;
    pid_t child = runWriter('b');
    timer.start();
    ::waitpid(child, nullptr, 0);
    const qint64 write = timer.nsecsElapsed() / 1000;   // microseconds
    for (int run = 0; run < 12; ++run) {
        const char letter = char('c' + run);
        child = runWriter(letter);
        ::usleep(useconds_t(write * run / 10));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        RecipeStore store(dir.path());
        store.open();
        const QMap<QString, QByteArray> bodies = recipesWithBodies(store);
        const char found = bodies.value(QStringLiteral("Pie 000")).left(1).append(char(0)).at(0);
        QVERIFY2(found >= 'b' && found <= letter, "a body from no run");
        // The run whose bodies are there added its recipe; no later run left anything.
        for (auto it = bodies.cbegin(); it != bodies.cend(); ++it) {
            if (it.key().startsWith(QLatin1String("Run ")))
                QVERIFY2(it.key().at(4).toLatin1() <= found, qPrintable(it.key()));
        }
        for (auto it = bodies.cbegin(); it != bodies.cend(); ++it) {
            if (it.key().startsWith(QLatin1String("Pie ")))
                QCOMPARE(it.value(), QByteArray(BodySize, found));
        }
        QVERIFY(bodies.contains(QStringLiteral("Run %1").arg(QLatin1Char(found))));
        store.close();
    }
    ::close(closing[0]);
    ::close(closing[1]);
}

QTEST_GUILESS_MAIN(TableTest)
#include "tst_table.moc"
