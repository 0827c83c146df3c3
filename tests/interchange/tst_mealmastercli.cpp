#include "editor/recipebody.h"
#include "editor/rtfreader.h"
#include "store/recipestore.h"
#include "store/table.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

// saporin-cli import-mealmaster and export-mealmaster as a user runs them, checked in the store.
class MealMasterCliTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void importsRejectsAndCountsThenExportsAndImportsTheSame();
    void failuresOfItsOwnExitNonZeroAndWriteNothing();
    void showsProgressForLargeInputs();
};

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run cli(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(SAPORIN_CLI), args);
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Each recipe as "category | name | tags | body text", in the store's order.
QStringList contents(const QString &directory)
{
    RecipeStore store(directory);
    store.open();
    QStringList result;
    Table &categories = store.cdsCategory();
    Table &recipes = store.cdsRecipe();
    for (categories.first(); !categories.eof(); categories.next()) {
        for (recipes.first(); !recipes.eof(); recipes.next()) {
            QTextDocument document;
            RtfReader::read(LoadRecipeBody(recipes.blob(RecipeStore::RecipeDetail)), &document);
            result << QStringList{categories.text(RecipeStore::CategoryDescription), recipes.text(RecipeStore::RecipeDescription),
                                  recipes.text(RecipeStore::RecipeTag), document.toPlainText().replace(QLatin1Char('\n'), QLatin1Char('/'))}
                          .join(QLatin1String(" | "));
        }
    }
    store.close();
    return result;
}

const QByteArray Archive =
    "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n\r\n      Title: Soupe \xE0 l'oignon\r\n Categories: Soups, French\r\n"
    "      Yield: 4 servings\r\n\r\n      4    Onions                              1 qt Stock\r\n"
    "MMMMM-----TOPPING-----\r\n      4 sl Bread\r\n\r\n  Cook the onions\r\n  slowly.\r\n\r\n  Gratinate.\r\nMMMMM\r\n"
    "---------- Recipe via Meal-Master (tm) v8.02\r\n      Title: Lost end\r\n\r\n      1    Egg\r\n"
    "---------- Recipe via Meal-Master (tm) v8.02\r\n      Title: Bread\r\n Categories: Breads\r\n\r\n      3 c  Flour\r\n-----\r\n";

} // namespace

void MealMasterCliTest::importsRejectsAndCountsThenExportsAndImportsTheSame()
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkpath(data));
    const QString input = dir.filePath(QStringLiteral("soups.mmf"));
    writeFile(input, Archive);

    Run run = cli({"import-mealmaster", data, input});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, QStringLiteral("2 imported, 1 rejected\n"));
    QCOMPARE(readFile(input + ".rejects"),
             "# rejected (no end marker): header at line 16 of " + input.toUtf8() + "\n"
             "---------- Recipe via Meal-Master (tm) v8.02\r\n      Title: Lost end\r\n\r\n      1    Egg\r\n");
    const QStringList imported = contents(data);
    QCOMPARE(imported, (QStringList{
        "Breads | Bread | Breads | Bread/3 c/Flour/",
        QString::fromUtf8("Soups | Soupe à l'oignon | Soups, French | Soupe à l'oignon/Yield: 4 servings/4/Onions/1 qt/Stock//TOPPING/4 sl/Bread/Cook the onions slowly./Gratinate.")}));

    // Into a category of the user's choosing, with the rejects where they are asked for.
    const QString chosen = dir.filePath(QStringLiteral("chosen"));
    QVERIFY(QDir().mkpath(chosen));
    run = cli({"import-mealmaster", chosen, input, "--category", "From friends", "--rejects", dir.filePath("out.txt"), "--encoding", "cp437"});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, QStringLiteral("2 imported, 1 rejected\n"));
    QVERIFY(readFile(dir.filePath("out.txt")).startsWith("# rejected (no end marker)"));
    QCOMPARE(contents(chosen).value(1).section(" | ", 0, 2), QString::fromUtf8("From friends | Soupe α l'oignon | Soups, French"));

    // Export, then import the export: the same recipes.
    const QString exported = dir.filePath(QStringLiteral("export.mmf"));
    run = cli({"export-mealmaster", data, exported});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.code, 0);
    const QString again = dir.filePath(QStringLiteral("again"));
    QVERIFY(QDir().mkpath(again));
    run = cli({"import-mealmaster", again, exported});
    QCOMPARE(run.out, QStringLiteral("2 imported, 0 rejected\n"));
    QCOMPARE(contents(again), imported);
    QVERIFY(!QFile::exists(exported + ".rejects"));

    run = cli({"export-mealmaster", data, exported, "--category", "Breads"});
    QCOMPARE(run.code, 0);
    QCOMPARE(readFile(exported).count("Title:"), 1);
}

void MealMasterCliTest::failuresOfItsOwnExitNonZeroAndWriteNothing()
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("in.mmf"));
    writeFile(input, Archive);
    const QList<QStringList> failing = {
        {"import-mealmaster", dir.path(), input, dir.filePath("missing.mmf")},
        {"import-mealmaster", dir.path(), input, "--encoding", "latin-9"},
        {"import-mealmaster", dir.path()},
        {"export-mealmaster", dir.path(), dir.filePath("out.mmf"), "--category", "Nowhere"},
    };
    for (const QStringList &args : failing) {
        const Run run = cli(args);
        QVERIFY2(run.code != 0, qPrintable(args.join(' ')));
        QVERIFY2(run.err.startsWith("saporin-cli: "), qPrintable(run.err));
        QVERIFY(!QFile::exists(dir.filePath("Recipe.cds")));
        QVERIFY(!QFile::exists(input + ".rejects"));
    }
}

void MealMasterCliTest::showsProgressForLargeInputs()
{
    QTemporaryDir dir;
    QByteArray text;
    for (int i = 0; i < 6000; ++i)
        text += "MMMMM----- Recipe via Meal-Master (tm) v8.05\n      Title: R" + QByteArray::number(i) + "\n\n      1    Egg\nMMMMM\n";
    writeFile(dir.filePath("big.mmf"), text);
    const Run run = cli({"import-mealmaster", dir.path(), dir.filePath("big.mmf")});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, QStringLiteral("6000 imported, 0 rejected\n"));
    QCOMPARE(run.err, QStringLiteral("\r5000 recipes read\r6000 recipes read\n"));
}

QTEST_MAIN(MealMasterCliTest)
#include "tst_mealmastercli.moc"
