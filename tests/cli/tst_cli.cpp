#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// saporin-cli as a user runs it: documents in, recipes listed, documents out.
class CliTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void importListExportConvert();
    void failuresExitNonZeroWithAMessage();
    void recipesOfAMissingCategoryAreListedAndExported();
    void printsPagesWithCaptionsToPdf();
    void writingCommandsWaitForTheirTurn();
    void backupOfAnOpenCollectionAndCheck();

private:
    struct Run {
        int code = -1;
        QString out;
        QString err;
    };
    Run cli(const QStringList &args);
};

CliTest::Run CliTest::cli(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(SAPORIN_CLI), args);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

static void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

static QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void CliTest::importListExportConvert()
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    QDir().mkpath(data);
    writeFile(dir.filePath(QStringLiteral("Pea soup.rtf")),
              "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Boil the \\b peas\\b0 . "
              "{\\field{\\*\\fldinst HYPERLINK \"https://saporin.example\"}{\\fldrslt site}}\\par}");
    writeFile(dir.filePath(QStringLiteral("Bread.txt")), "Flour\nWater\n");
    QCOMPARE(cli({QStringLiteral("add-category"), data, QStringLiteral("Soups")}).code, 0);
    const Run imported = cli({QStringLiteral("import"), data, QStringLiteral("Soups"),
                              dir.filePath(QStringLiteral("Pea soup.rtf")), dir.filePath(QStringLiteral("Bread.txt")),
                              QStringLiteral("--tags"), QStringLiteral("winter")});
    QVERIFY2(imported.code == 0, qPrintable(imported.err));

    const QStringList lines = cli({QStringLiteral("list"), data}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), QStringLiteral("Soups"));
    QVERIFY(lines.at(1).startsWith(QStringLiteral("\tBread\twinter\t")));
    QVERIFY(lines.at(2).startsWith(QStringLiteral("\tPea soup\twinter\t")));

    const QString out = dir.filePath(QStringLiteral("out"));
    QCOMPARE(cli({QStringLiteral("export"), data, out, QStringLiteral("--format"), QStringLiteral("txt")}).code, 0);
    QCOMPARE(readFile(out + QStringLiteral("/Soups/Bread.txt")), QByteArray("Flour\nWater\n"));
    QCOMPARE(readFile(out + QStringLiteral("/Soups/Pea soup.txt")), QByteArray("Boil the peas. site\n"));
    QCOMPARE(cli({QStringLiteral("export"), data, out, QStringLiteral("--format"), QStringLiteral("rtf")}).code, 0);
    const QString rtf = out + QStringLiteral("/Soups/Pea soup.rtf");
    QVERIFY(readFile(rtf).contains("HYPERLINK"));

    // A stored body (.zrtf) converts like the document it holds.
    const QString stored = dir.filePath(QStringLiteral("pea.zrtf"));
    QCOMPARE(cli({QStringLiteral("convert"), rtf, stored}).code, 0);
    const QByteArray zlibBytes = readFile(stored);
    QCOMPARE(quint8(zlibBytes.at(0)), quint8(0x78));
    const QString html = dir.filePath(QStringLiteral("pea.html"));
    QCOMPARE(cli({QStringLiteral("convert"), stored, html}).code, 0);
    QVERIFY(readFile(html).contains("https://saporin.example"));

    const Run info = cli({QStringLiteral("info"), rtf});
    QCOMPARE(info.code, 0);
    const QJsonObject json = QJsonDocument::fromJson(info.out.toUtf8()).object();
    QCOMPARE(json.value(QStringLiteral("links")).toInt(), 1);
    QCOMPARE(json.value(QStringLiteral("paragraphs")).toInt(), 2); // the closing \par opens an empty one
    QCOMPARE(json.value(QStringLiteral("pictures")).toArray().size(), 0);
    QVERIFY(json.value(QStringLiteral("fonts")).toArray().contains(QStringLiteral("Arial")));
}

void CliTest::failuresExitNonZeroWithAMessage()
{
    QTemporaryDir dir;
    const Run noCategory = cli({QStringLiteral("import"), dir.path(), QStringLiteral("Nope"),
                                QStringLiteral(SAPORIN_CLI)});
    QVERIFY(noCategory.code != 0);
    QVERIFY(!noCategory.err.isEmpty());
    const Run missing = cli({QStringLiteral("convert"), dir.filePath(QStringLiteral("none.rtf")),
                             dir.filePath(QStringLiteral("x.txt"))});
    QVERIFY(missing.code != 0);
    QVERIFY(missing.err.contains(QStringLiteral("none.rtf")));
    const Run badFormat = cli({QStringLiteral("export"), dir.path(), dir.filePath(QStringLiteral("o")),
                               QStringLiteral("--format"), QStringLiteral("pdf")});
    QVERIFY(badFormat.code != 0);
    // Nothing was written for the failed import.
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Recipe.cds"))));
}

void CliTest::recipesOfAMissingCategoryAreListedAndExported()
{
    QTemporaryDir dir;
    const QString data = dir.path();
    QCOMPARE(cli({QStringLiteral("add-category"), data, QStringLiteral("Pies")}).code, 0);
    QCOMPARE(cli({QStringLiteral("add-recipe"), data, QStringLiteral("Pies"), QStringLiteral("Apple pie"),
                  QStringLiteral("--tags"), QStringLiteral("sweet")}).code, 0);
    QVERIFY(QFile::remove(dir.filePath(QStringLiteral("Category.cds"))));
    QCOMPARE(cli({QStringLiteral("add-category"), data, QStringLiteral("Fish")}).code, 0);

    const Run listed = cli({QStringLiteral("list"), data});
    QCOMPARE(listed.code, 0);
    QCOMPARE(listed.out, QStringLiteral("Fish\n(missing category 1)\n\tApple pie\tsweet\t0\n"));
    QVERIFY2(listed.err.contains(QStringLiteral("1 recipe is filed under a category missing")), qPrintable(listed.err));

    const QString out = dir.filePath(QStringLiteral("out"));
    QCOMPARE(cli({QStringLiteral("export"), data, out, QStringLiteral("--format"), QStringLiteral("txt")}).code, 0);
    QVERIFY(QFile::exists(out + QStringLiteral("/(missing category 1)/Apple pie.txt")));
    QVERIFY(QDir(out + QStringLiteral("/Fish")).isEmpty());
}

void CliTest::writingCommandsWaitForTheirTurn()
{
    QTemporaryDir dir;
    const QString data = dir.path();
    QCOMPARE(cli({QStringLiteral("add-category"), data, QStringLiteral("Pies")}).code, 0);
    const QByteArray before = readFile(dir.filePath(QStringLiteral("Category.cds")));

    // As a running program holds it.
    const int lock = ::open(QFile::encodeName(dir.filePath(QStringLiteral(".saporin.lock"))).constData(),
                            O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    QVERIFY(lock >= 0);
    QCOMPARE(::flock(lock, LOCK_EX | LOCK_NB), 0);
    const Run refused = cli({QStringLiteral("add-category"), data, QStringLiteral("Fish")});
    QCOMPARE(refused.code, 1);
    QVERIFY2(refused.err.contains(QStringLiteral("open in another Saporin window")), qPrintable(refused.err));
    QCOMPARE(readFile(dir.filePath(QStringLiteral("Category.cds"))), before);
    const Run listed = cli({QStringLiteral("list"), data});
    QCOMPARE(listed.code, 0);
    QCOMPARE(listed.out, QStringLiteral("Pies\n"));
    ::close(lock);

    QCOMPARE(cli({QStringLiteral("add-category"), data, QStringLiteral("Fish")}).code, 0);
    QCOMPARE(cli({QStringLiteral("list"), data}).out, QStringLiteral("Fish\nPies\n"));
}

void CliTest::backupOfAnOpenCollectionAndCheck()
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString copy = dir.filePath(QStringLiteral("copy"));
    QDir().mkpath(data);
    const QString body = dir.filePath(QStringLiteral("pie.txt"));
    writeFile(body, QByteArray("Apples, flour, butter.\n").repeated(2000));
    QCOMPARE(cli({QStringLiteral("add-category"), data, QStringLiteral("Pies")}).code, 0);
    for (const QString &name : {QStringLiteral("Apple pie"), QStringLiteral("Plum pie")})
        QCOMPARE(cli({QStringLiteral("add-recipe"), data, QStringLiteral("Pies"), name, QStringLiteral("--tags"),
                      QStringLiteral("sweet"), QStringLiteral("--body"), body}).code, 0);
    const QString listing = cli({QStringLiteral("list"), data}).out;

    // While a program has the recipes open.
    const int lock = ::open(QFile::encodeName(data + QStringLiteral("/.saporin.lock")).constData(),
                            O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    QCOMPARE(::flock(lock, LOCK_EX | LOCK_NB), 0);
    const Run backedUp = cli({QStringLiteral("backup"), data, copy});
    QVERIFY2(backedUp.code == 0, qPrintable(backedUp.err));
    QCOMPARE(cli({QStringLiteral("list"), copy}).out, listing);
    const Run clean = cli({QStringLiteral("check"), copy});
    QVERIFY2(clean.code == 0 && clean.out.endsWith(QStringLiteral("\nno findings\n")), qPrintable(clean.out));
    QCOMPARE(cli({QStringLiteral("backup"), data, copy}).code, 1);   // never over an earlier copy
    ::close(lock);

    // A body that no longer inflates, and a recipe whose category is gone.
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(copy + QStringLiteral("/Recipe.cds")).constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, "UPDATE \"Recipe.RecipeDetail\" SET value = x'1234567890' WHERE row = "
                              "(SELECT rowid FROM Recipe WHERE RecipeDescription = 'Plum pie');"
                              "INSERT INTO Recipe (RecipeNo, CategoryNo, RecipeDescription, RecipeTag, saporin_order) "
                              "VALUES (9, 7, 'Lost pie', '', 1);",
                          nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const Run damaged = cli({QStringLiteral("check"), copy});
    QCOMPARE(damaged.code, 1);
    QVERIFY2(damaged.out.contains(QStringLiteral("finding: recipe \"Plum pie\" (number 2): its body cannot be read")),
             qPrintable(damaged.out));
    QVERIFY2(damaged.out.contains(QStringLiteral("finding: recipe \"Lost pie\" (number 9) is filed under category 7")),
             qPrintable(damaged.out));
    QVERIFY2(damaged.out.endsWith(QStringLiteral("\n2 findings\n")), qPrintable(damaged.out));
}

void CliTest::printsPagesWithCaptionsToPdf()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("poppler-utils are not installed");
    QTemporaryDir dir;
    // Steps, a picture, a table and more steps: a few A4 pages.
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 ";
    for (int i = 1; i <= 70; ++i)
        rtf += "Step " + QByteArray::number(i) + ": peel and slice the apples, toss them with sugar.\\par ";
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    rtf += "{\\pict\\pngblip\\picw300\\pich200 " + png.toHex() + "}\\par ";
    for (int r = 0; r < 40; ++r)
        rtf += "\\trowd\\cellx3000\\cellx6000\\intbl Ingredient " + QByteArray::number(r) + "\\cell " + QByteArray::number(r * 10) + " g\\cell\\row ";
    for (int i = 1; i <= 40; ++i)
        rtf += "Serve " + QByteArray::number(i) + ".\\par ";
    writeFile(dir.filePath(QStringLiteral("pie.rtf")), rtf + "}");
    const QString pdf = dir.filePath(QStringLiteral("pie.pdf"));
    const Run run = cli({QStringLiteral("print"), dir.filePath(QStringLiteral("pie.rtf")), QStringLiteral("--pdf"), pdf, QStringLiteral("--header"),
                         QStringLiteral("|Apple pie|Page {PAGE} of {NUMPAGES}"), QStringLiteral("--footer"), QStringLiteral("Saporin"),
                         QStringLiteral("--range"), QStringLiteral("3-2")});
    QCOMPARE(run.code, 0);
    const QRegularExpressionMatch counts = QRegularExpression(QStringLiteral(R"(printed 2 of (\d+) pages)")).match(run.out);
    QVERIFY2(counts.hasMatch(), qPrintable(run.out + run.err));
    const int pages = counts.captured(1).toInt();
    QVERIFY(pages >= 3);

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    const QStringList sheets = printed.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QCOMPARE(sheets.size(), 2);
    // A descending range: page 3 first, each page with its own captions.
    QVERIFY(sheets.at(0).contains(QStringLiteral("Page 3 of %1").arg(pages)));
    QVERIFY(sheets.at(1).contains(QStringLiteral("Page 2 of %1").arg(pages)));
    QVERIFY(sheets.at(0).contains(QStringLiteral("Apple pie")) && sheets.at(0).contains(QStringLiteral("Saporin")));
    // Page 3 goes on where page 2 stopped: nothing lost or repeated at the break.
    static const QRegularExpression step(QStringLiteral(R"((Step|Ingredient|Serve) (\d+))"));
    QStringList onPage2;
    for (auto it = step.globalMatch(sheets.at(1)); it.hasNext();)
        onPage2 << it.next().captured(0);
    const QRegularExpressionMatch firstOnPage3 = step.match(sheets.at(0));
    QVERIFY(!onPage2.isEmpty() && firstOnPage3.hasMatch());
    const QString last = onPage2.last();
    const QString next = last.section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ') + QString::number(last.section(QLatin1Char(' '), 1).toInt() + 1);
    QVERIFY2(firstOnPage3.captured(0) == next || firstOnPage3.captured(2) == QLatin1String(last.startsWith(QLatin1String("Step")) ? "0" : "1"),
             qPrintable(last + QLatin1String(" then ") + firstOnPage3.captured(0)));

    const Run bad = cli({QStringLiteral("print"), dir.filePath(QStringLiteral("pie.rtf")), QStringLiteral("--pdf"), pdf, QStringLiteral("--range"),
                         QStringLiteral("1-%1").arg(pages + 1)});
    QCOMPARE(bad.code, 1);
    QVERIFY(bad.err.contains(QStringLiteral("pages")));
}

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
