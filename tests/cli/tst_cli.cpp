#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// saporin-cli as a user runs it: documents in, recipes listed, documents out.
class CliTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void importListExportConvert();
    void failuresExitNonZeroWithAMessage();
    void recipesOfAMissingCategoryAreListedAndExported();

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

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
