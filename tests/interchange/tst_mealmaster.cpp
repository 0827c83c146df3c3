#include "interchange/mealmasterbody.h"
#include "interchange/mealmasterreader.h"
#include "interchange/mealmasterwriter.h"

#include "editor/recipebody.h"
#include "editor/rtfreader.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

// The MealMaster reader on small texts that each exercise a layout rule or a reason to reject, the
// body it leads to, the writer, and the reader on real archives against an independent reading.
class MealMasterTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data();
    void reads();
    void lineEndsAndChunksDoNotMatter();
    void decodes_data();
    void decodes();
    void bodyReadsBackAsTitleYieldTableAndDirections();
    void writtenRecipesReadBackTheSame();
    void libreOfficeReadsTheBody();
    void realArchivesMatchTheIndependentReading_data();
    void realArchivesMatchTheIndependentReading();
};

namespace {

// A recipe as one line: title | categories | yield | ingredients | directions; a reject as
// "rejected (REASON) at L".
QString summary(const MealMasterRecipe &r)
{
    QStringList items;
    for (const MealMasterIngredient &i : r.ingredients)
        items << (i.heading ? QStringLiteral("#") + i.item : i.amount + QLatin1Char('/') + i.unit + QLatin1Char('/') + i.item);
    return QStringList{r.title, r.categories.join(QLatin1Char(',')), r.yield, items.join(QLatin1Char(';')),
                       r.directions.join(QLatin1String("//"))}.join(QLatin1String(" | "));
}

QStringList readText(const QByteArray &text, MealMasterReader::Encoding encoding = MealMasterReader::Encoding::Auto,
                     QList<MealMasterReject> *rejects = nullptr)
{
    QStringList result;
    MealMasterReader::readAll(
        text, encoding, [&](MealMasterRecipe &&r) { result << summary(r); },
        [&](MealMasterReject &&r) {
            result << QStringLiteral("rejected (%1) at %2").arg(r.reason).arg(r.line);
            if (rejects)
                rejects->append(r);
        });
    return result;
}

const QByteArray Header = "MMMMM----- Recipe via Meal-Master (tm) v8.05\n";

} // namespace

void MealMasterTest::reads_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("v8.05 header, one column, MMMMM end")
        << Header + "\n      Title: Pea Soup\n Categories: Soups, Dutch\n      Yield: 4 servings\n\n"
                    "      1 lb Split peas\n  1 1/2 c  Water\n           Salt\n\n  Simmer the peas\n  for two hours.\n\n  Serve hot.\nMMMMM\n"
        << QStringList{"Pea Soup | Soups,Dutch | 4 servings | 1/lb/Split peas;1 1/2/c/Water;//Salt | Simmer the peas for two hours.//Serve hot."};
    QTest::newRow("v8.02 header, Servings, ----- end, text before and after is ignored")
        << QByteArray("From: someone\nnoise -----\n---------- Recipe via Meal-Master (tm) v8.02\n\n"
                      "      Title: Toast\n Categories: Breakfast\n   Servings:  2\n\n      2    Slices bread\n\n  Toast them.\n-----\ntrailing chatter\n")
        << QStringList{"Toast | Breakfast | 2 | 2//Slices bread | Toast them."};
    QTest::newRow("two columns, continuation in each column, section heading after a blank")
        << Header + "      Title: Pie\n Categories: Pies\n\n"
                    "      1 c  Flour                             1/2 ts Salt\n"
                    "           -sifted                                  -fine\n"
                    "\nMMMMM-----------------------FILLING------------------\n"
                    "      2 lb Apples, peeled and sliced,\n           -cored\n-----CRUST-----\n      1    Egg\n\n  Bake.\nMMMMM\n"
        << QStringList{"Pie | Pies |  | 1/c/Flour sifted;1/2/ts/Salt fine;#FILLING;2/lb/Apples, peeled and sliced, cored;#CRUST;1//Egg | Bake."};
    QTest::newRow("two columns, the second at column 41")
        << Header + "      Title: Soup\n\n      1 c  Navy beans, dry                     2    Small beets\n"
                    "  2 1/2 lb Lean beef                       1 1/2 c  Green cabbage, shredded\nMMMMM\n"
        << QStringList{"Soup |  |  | 1/c/Navy beans, dry;2//Small beets;2 1/2/lb/Lean beef;1 1/2/c/Green cabbage, shredded | "};
    QTest::newRow("a long one-column item past column 41 is not split")
        << Header + "      Title: Cheese\n\n      4 oz Danish blue cheese or 8 oz. of a milder cheese if you like\n\n  Crumble.\nMMMMM\n"
        << QStringList{"Cheese |  |  | 4/oz/Danish blue cheese or 8 oz. of a milder cheese if you like | Crumble."};
    QTest::newRow("text in the amount column: no ingredient block, directions start there")
        << Header + "      Title: Note\n Categories: Misc\n\nText only, first line\nsecond line\n\nMMMMM-----NOTES-----\nlast\nMMMMM\n"
        << QStringList{"Note | Misc |  |  | Text only, first line second line//NOTES//last"};
    QTest::newRow("paragraph mark, tab and form feed in directions")
        << Header + "      Title: Marks\n\n      1    Egg\n\n  Beat\tit.\x14Then fry.\x0c\nMMMMM\n"
        << QStringList{"Marks |  |  | 1//Egg | Beat it.//Then fry."};
    QTest::newRow("no ingredients, no directions")
        << Header + "      Title: Empty\nMMMMM\n"
        << QStringList{"Empty |  |  |  | "};
    QTest::newRow("the first title counts, categories add up, empty pieces dropped")
        << Header + "      Title: One\n      Title: Two\n Categories: A, ,B\n Categories: C\n\n      1    Egg\nMMMMM\n"
        << QStringList{"One | A,B,C |  | 1//Egg | "};

    QTest::newRow("no title")
        << Header + " Categories: Soups\n\n      1    Egg\nMMMMM\n" + Header + "      Title: Next\nMMMMM\n"
        << QStringList{"rejected (no title) at 1", "Next |  |  |  | "};
    QTest::newRow("no end marker before the next header")
        << Header + "      Title: Cut\n\n      1    Egg\n" + Header + "      Title: Whole\nMMMMM\n"
        << QStringList{"rejected (no end marker) at 1", "Whole |  |  |  | "};
    QTest::newRow("no title and no end marker at the end of the input")
        << Header + "\n      1    Egg\n\n  Stir.\n"
        << QStringList{"rejected (no title, no end marker) at 1"};
    QTest::newRow("text in the amount column inside the block")
        << Header + "      Title: Bad\n\n      1    Egg\nabout 2 cups of milk\nMMMMM\n"
        << QStringList{"rejected (text in the amount column at line 5) at 1"};
    QTest::newRow("a continuation with nothing to continue is a note of its own")
        << Header + "      Title: Note\n\n           -(from a friend)\nMMMMM-----TOP-----\n           -sifted\n      1    Egg\nMMMMM\n"
        << QStringList{"Note |  |  | //(from a friend);#TOP;//sifted;1//Egg | "};
}

void MealMasterTest::reads()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, expected);
    QCOMPARE(readText(text), expected);
}

void MealMasterTest::lineEndsAndChunksDoNotMatter()
{
    const QByteArray lf = Header + "      Title: Soup\n\n      1 c  Water\n\n  Boil.\n\n  Eat.\nMMMMM\n"
        + Header + "      Title: Cut\n" + Header + "\xEF\xBB\xBF      Title: Last\nMMMMM";
    const QStringList expected = readText(lf);
    QCOMPARE(expected.size(), 3);
    QCOMPARE(expected.at(0), QStringLiteral("Soup |  |  | 1/c/Water | Boil.//Eat."));

    QByteArray crlf = lf;
    crlf.replace("\n", "\r\n");
    QByteArray cr = lf;
    cr.replace('\n', '\r');
    for (const QByteArray &text : {crlf, cr, QByteArray("\xEF\xBB\xBF") + lf}) {
        QList<MealMasterReject> rejects;
        QCOMPARE(readText(text, MealMasterReader::Encoding::Auto, &rejects), expected);
        // A reject keeps its lines byte for byte, line ends included.
        QCOMPARE(rejects.size(), 1);
        const QByteArray end = text.contains("\r\n") ? "\r\n" : text.contains('\n') ? "\n" : "\r";
        QCOMPARE(rejects.at(0).original, QByteArray(Header.chopped(1) + end + "      Title: Cut" + end));
    }
    // Every way of cutting the input into two chunks, and one byte at a time.
    for (const QByteArray &text : {crlf, cr, QByteArray("\xEF\xBB\xBF") + crlf}) {
        for (qsizetype cut = 0; cut <= text.size(); cut += 7) {
            QStringList result;
            MealMasterReader reader(MealMasterReader::Encoding::Utf8, [&](MealMasterRecipe &&r) { result << summary(r); },
                                    [&](MealMasterReject &&r) { result << QStringLiteral("rejected (%1) at %2").arg(r.reason).arg(r.line); });
            if (cut == 0) {
                for (const char c : text)
                    reader.feed(QByteArrayView(&c, 1));
            } else {
                reader.feed(text.first(cut));
                reader.feed(text.mid(cut));
            }
            reader.finish();
            QCOMPARE(result, expected);
        }
    }
}

void MealMasterTest::decodes_data()
{
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("expected");

    QTest::newRow("auto, valid UTF-8") << QByteArray("Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9\xE2\x82\xAC") << "auto" << QString::fromUtf8("Crème brûlé€");
    QTest::newRow("auto, not UTF-8: cp1252") << QByteArray("Caf\xE9 \x80\x96\x81") << "auto" << QString::fromUtf8("Café €–\u0081");
    QTest::newRow("cp437") << QByteArray("Caf\x82 350\xF8 \xAB c \xE1") << "cp437" << QString::fromUtf8("Café 350° ½ c ß");
    QTest::newRow("cp1252 forced on UTF-8 bytes") << QByteArray("\xC3\xA9") << "cp1252" << QString::fromUtf8("Ã©");
    QTest::newRow("utf-8 forced on cp1252 bytes") << QByteArray("Caf\xE9") << "utf-8" << QString::fromUtf8("Caf\uFFFD");
}

void MealMasterTest::decodes()
{
    QFETCH(QByteArray, title);
    QFETCH(QString, encoding);
    QFETCH(QString, expected);
    bool ok = false;
    const auto chosen = MealMasterReader::encodingFromName(encoding, &ok);
    QVERIFY(ok);
    const QStringList result = readText(Header + "      Title: " + title + "\nMMMMM\n", chosen);
    QCOMPARE(result.value(0).section(QLatin1String(" | "), 0, 0), expected);
}

void MealMasterTest::bodyReadsBackAsTitleYieldTableAndDirections()
{
    MealMasterRecipe recipe;
    recipe.title = QString::fromUtf8("Crème {brûlée} \\ 🍮");
    recipe.yield = QStringLiteral("6 servings");
    recipe.ingredients = {{"1 1/2", "c", "Cream", false}, {"", "", "TOPPING", true}, {"", "", "Sugar", false}};
    recipe.directions = {QStringLiteral("Heat."), QString::fromUtf8("Bake at 150°.")};
    const QByteArray rtf = MealMasterBody(recipe);
    QVERIFY(IsMealMasterBody(rtf));
    // The stored form is that body, and holds little more memory than its bytes.
    const QByteArray stored = StoredMealMasterBody(recipe);
    QCOMPARE(LoadRecipeBody(stored), rtf);
    QVERIFY2(stored.capacity() < stored.size() + 64, qPrintable(QString::number(stored.capacity())));

    QTextDocument document;
    QCOMPARE(RtfReader::read(rtf, &document), RtfReader::Status::Ok);
    QStringList blocks;
    QTextTable *table = nullptr;
    for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto *frame = qobject_cast<QTextTable *>(it.currentFrame()))
            table = frame;
        else if (!it.currentBlock().text().isEmpty())
            blocks << it.currentBlock().text();
    }
    QCOMPARE(blocks, (QStringList{recipe.title, "Yield: 6 servings", "Heat.", QString::fromUtf8("Bake at 150°.")}));
    QVERIFY(document.begin().charFormat().fontWeight() >= QFont::Bold || document.begin().begin().fragment().charFormat().fontWeight() >= QFont::Bold);
    QVERIFY(table);
    QCOMPARE(table->rows(), 3);
    QCOMPARE(table->columns(), 2);
    QCOMPARE(table->cellAt(0, 0).firstCursorPosition().block().text(), QStringLiteral("1 1/2 c"));
    QCOMPARE(table->cellAt(1, 1).firstCursorPosition().block().text(), QStringLiteral("TOPPING"));
    QCOMPARE(table->cellAt(2, 1).firstCursorPosition().block().text(), QStringLiteral("Sugar"));

    // The export gets the same recipe back from the body, and plain text from any other body.
    const MealMasterRecipe back = MealMasterWriter::fromStored(recipe.title, "Desserts", "Desserts, French", rtf);
    QCOMPARE(summary(back), summary(recipe).replace(" |  | ", " | Desserts,French | "));
    const MealMasterRecipe other = MealMasterWriter::fromStored("Plain", "Misc", "", "{\\rtf1 First\\par Second\\par}");
    QCOMPARE(summary(other), QStringLiteral("Plain | Misc |  |  | First//Second"));
}

void MealMasterTest::writtenRecipesReadBackTheSame()
{
    MealMasterRecipe recipe;
    recipe.title = QStringLiteral("Round Trip");
    recipe.categories = {"Breads", "Holiday"};
    recipe.yield = QStringLiteral("1 loaf");
    recipe.ingredients = {{"3", "c", "Flour", false},
                          {"", "", "GLAZE", true},
                          {"1/4", "ts", QString(20, 'w').split(QString()).join(' ').simplified() + " of a very long item that wraps", false}};
    recipe.directions = {QString(60, 'x').split(QString()).join(' ').simplified(), QStringLiteral("1. Knead.")};
    const QStringList result = readText(MealMasterWriter::write(recipe) + MealMasterWriter::write(recipe));
    QCOMPARE(result, QStringList(2, summary(recipe)));
}

void MealMasterTest::libreOfficeReadsTheBody()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice is not installed");
    MealMasterRecipe recipe;
    recipe.title = QString::fromUtf8("Crème brûlée");
    recipe.yield = QStringLiteral("6 servings");
    recipe.ingredients = {{"1 1/2", "c", "Cream", false}, {"", "", "TOPPING", true}, {"2", "tb", "Sugar", false}};
    recipe.directions = {QStringLiteral("Heat {gently}."), QStringLiteral("Bake.")};
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("body.rtf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(MealMasterBody(recipe));
    file.close();
    QProcess process;
    process.setProcessEnvironment([&] {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), dir.path());
        return environment;
    }());
    process.start(soffice, {"--headless", "--convert-to", "html", "--outdir", dir.path(), file.fileName()});
    QVERIFY(process.waitForFinished(180000));
    QFile html(dir.filePath(QStringLiteral("body.html")));
    QVERIFY(html.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(html.readAll()).simplified();
    QCOMPARE(text.count(QLatin1String("<table")), 1);
    QCOMPARE(text.count(QLatin1String("<tr")), 3);
    QCOMPARE(text.count(QLatin1String("<td")), 6);
    QVERIFY(text.contains(QLatin1String("<h1")));
    for (const char *expected : {"Crème brûlée", "Yield: 6 servings", "1 1/2 c", "Cream", "TOPPING", "Heat {gently}.", "Bake."})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
}

void MealMasterTest::realArchivesMatchTheIndependentReading_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("rejects");
    // The independent reading does not look at columns; this recipe has words where the amounts
    // belong ("  oatmeal 1/2 lb swede"), so its amounts cannot be told from its items.
    QTest::newRow("javarecipes_1000") << "javarecipes_1000.mmf"
                                      << QStringList{"text in the amount column at line 12934 at 12926"};
    QTest::newRow("recipes_dataset_ffts") << "recipes_dataset_ffts.txt" << QStringList();
    QTest::newRow("cpan_mealmaster_0222-1") << "cpan_mealmaster_0222-1.txt" << QStringList();
    QTest::newRow("cpan_mealmaster_31000") << "cpan_mealmaster_31000.mmf" << QStringList();
}

namespace {

QString unescaped(const QString &field)
{
    QString result;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != QLatin1Char('\\') || i + 1 == field.size()) {
            result += field[i];
        } else if (field[i + 1] == QLatin1Char('t')) {
            result += QLatin1Char('\t');
            ++i;
        } else if (field[i + 1] == QLatin1Char('x')) {
            result += QChar(field.mid(i + 2, 2).toInt(nullptr, 16));
            i += 3;
        } else {
            result += field[i + 1];
            ++i;
        }
    }
    return result;
}

QString withoutControls(QString text)
{
    text.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
    return text;
}

} // namespace

void MealMasterTest::realArchivesMatchTheIndependentReading()
{
    QFETCH(QString, name);
    QFETCH(QStringList, rejects);
    const QDir data(QStringLiteral(SAPORIN_MEALMASTER_DATA));
    QFile archive(data.filePath(name));
    QFile expectation(data.filePath(name.section(QLatin1Char('.'), 0, -2) + QLatin1String(".expect.tsv")));
    if (!archive.exists())
        QSKIP("the real archives are not beside this checkout");
    QVERIFY(archive.open(QIODevice::ReadOnly));
    QVERIFY(expectation.open(QIODevice::ReadOnly));

    QStringList expected;
    int expectedRecipes = -1;
    for (const QString &line : QString::fromUtf8(expectation.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("# recipes ")))
            expectedRecipes = line.section(QLatin1Char(' '), 2, 2).chopped(1).toInt();
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList f = line.split(QLatin1Char('\t'));
        // title, categories, yield, ingredient lines and header line; control characters the
        // importer drops from titles.
        expected << QStringList{withoutControls(unescaped(f.at(0))).simplified(), unescaped(f.at(1)), unescaped(f.at(2)), f.at(3), f.at(5)}
                        .join(QLatin1String(" | "));
    }
    QStringList actual;
    QStringList rejected;
    MealMasterReader::readAll(
        archive.readAll(), MealMasterReader::Encoding::Auto,
        [&](MealMasterRecipe &&r) {
            actual << QStringList{r.title.simplified(), withoutControls(r.categories.join(QLatin1String(", "))), r.yield,
                                  QString::number(r.ingredientLines), QString::number(r.line)}
                          .join(QLatin1String(" | "));
        },
        [&](MealMasterReject &&r) {
            rejected << QStringLiteral("%1 at %2").arg(r.reason).arg(r.line);
            expected.removeIf([&](const QString &row) { return row.endsWith(QStringLiteral(" | %1").arg(r.line)); });
        });
    QCOMPARE(rejected, rejects);
    QCOMPARE(actual.size() + rejected.size(), expectedRecipes);
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i)
        QCOMPARE(actual.at(i), expected.at(i));
}

QTEST_MAIN(MealMasterTest)
#include "tst_mealmaster.moc"
