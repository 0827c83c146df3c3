#include "store/error.h"
#include "tables/tabledesign.h"
#include "tables/tabletext.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestTableText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void import_data();
    void import();
    void exportFormats();
    void fileErrors();
    void commandLine_data();
    void commandLine();
};

void TestTableText::import_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QSize>("size");        // columns x rows after the import
    QTest::addColumn<QSize>("headers");     // fixed columns x fixed rows
    QTest::addColumn<QStringList>("cells"); // "col,row=text" checks
    QTest::addColumn<QString>("error");

    const QSize both(1, 1);
    QTest::newRow("column by column") << QByteArray("3\r\n2\r\nA\r\nB\r\nC\r\nD\r\nE\r\nF\r\n") << QSize(3, 2) << both
                                      << QStringList{"0,0=A", "0,1=B", "1,0=C", "1,1=D", "2,0=E", "2,1=F"} << QString();
    QTest::newRow("line feeds only, lone CR dropped") << QByteArray("2\n2\nA\nB\rC\nD\n") << QSize(2, 2) << both
                                                      << QStringList{"0,0=A", "0,1=BC", "1,0=D", "1,1="} << QString();
    QTest::newRow("counts only") << QByteArray("4\r\n3\r\n") << QSize(4, 3) << both << QStringList{"0,0=", "3,2="}
                                 << QString();
    QTest::newRow("fewer lines leave cells empty") << QByteArray("2\r\n2\r\nA\r\n") << QSize(2, 2) << both
                                                   << QStringList{"0,0=A", "0,1=", "1,0="} << QString();
    QTest::newRow("lines after the last cell ignored") << QByteArray("2\n2\na\nb\nc\nd\ne\n") << QSize(2, 2) << both
                                                       << QStringList{"1,1=d"} << QString();
    QTest::newRow("counts with blanks and rest of line") << QByteArray("  \t\n 2 columns\n+2\tx\nA\nB\n")
                                                         << QSize(2, 2) << both << QStringList{"0,1=B"} << QString();
    QTest::newRow("zero and negative give 1, no headers") << QByteArray("0\n-3\nonly\n") << QSize(1, 1) << QSize(0, 0)
                                                          << QStringList{"0,0=only"} << QString();
    QTest::newRow("one row drops the header row") << QByteArray("3\n1\na\nb\nc\n") << QSize(3, 1) << QSize(1, 0)
                                                  << QStringList{"2,0=c"} << QString();
    QTest::newRow("empty file") << QByteArray() << QSize(1, 1) << QSize(0, 0) << QStringList{"0,0="} << QString();
    QByteArray wide = "150\n1\n";
    for (int c = 0; c < 150; ++c)
        wide += "c" + QByteArray::number(c) + '\n';
    QTest::newRow("150 columns cut to 100") << wide << QSize(100, 1) << QSize(1, 0)
                                            << QStringList{"99,0=c99", "0,0=c0"} << QString();
    QTest::newRow("huge counts read only what is there") << QByteArray("2000000000\n2000000000\nx\n") << QSize(100, 100)
                                                         << both << QStringList{"0,0=x", "0,1="} << QString();
    QTest::newRow("UTF-8") << QByteArray("1\n2\nCr\xc3\xa8me br\xc3\xbbl\xc3\xa9\ne\xe2\x82\xac\n") << QSize(1, 2)
                           << QSize(0, 1) << QStringList{QStringLiteral("0,0=Crème brûlé"), QStringLiteral("0,1=e€")}
                           << QString();
    QTest::newRow("8-bit code page") << QByteArray("1\n2\nCr\xe8me\n\x80 \x93q\x94\n") << QSize(1, 2) << QSize(0, 1)
                                     << QStringList{QStringLiteral("0,0=Crème"), QStringLiteral("0,1=€ “q”")}
                                     << QString();
    QTest::newRow("column count not a number") << QByteArray("x3\n2\n") << QSize(5, 5) << both << QStringList{"0,0="}
                                               << "Invalid numeric input";
    // The column count was already taken when the row count fails.
    QTest::newRow("row count not a number") << QByteArray("3\n2.5\nA\n") << QSize(3, 5) << both << QStringList{"0,0="}
                                            << "Invalid numeric input";
    QTest::newRow("count beyond an integer") << QByteArray("99999999999\n2\n") << QSize(5, 5) << both
                                             << QStringList{} << "Invalid numeric input";
}

void TestTableText::import()
{
    QFETCH(QByteArray, file);
    QFETCH(QSize, size);
    QFETCH(QSize, headers);
    QFETCH(QStringList, cells);
    QFETCH(QString, error);

    TableDesign design;
    design.grid().setCell(0, 0, QStringLiteral("old"));
    design.grid().setColWidth(1, 99);
    QString thrown;
    try {
        design.importText(file);
    } catch (const Error &e) {
        thrown = e.message();
    }
    QCOMPARE(thrown, error);
    QCOMPARE(QSize(design.grid().colCount(), design.grid().rowCount()), size);
    QCOMPARE(QSize(design.grid().fixedCols(), design.grid().fixedRows()), headers);
    for (const QString &check : cells) {
        const qsizetype comma = check.indexOf(','), equals = check.indexOf('=');
        const int c = check.left(comma).toInt(), r = check.mid(comma + 1, equals - comma - 1).toInt();
        QCOMPARE(design.grid().cell(c, r), check.mid(equals + 1));
    }
    if (size.width() > 1)
        QCOMPARE(design.grid().colWidth(1), 99); // sizes are not part of the file
    // Styles were rebuilt for the size before the import: added cells have no entry of their own.
    QCOMPARE(design.styles().size(), 25);
}

void TestTableText::exportFormats()
{
    TableDesign design;
    TableGrid &grid = design.grid();
    grid.setColCount(3);
    grid.setRowCount(3);
    const QStringList texts = {"plain", "two words", "a,b", "say \"hi\"", "tab\there", "", "x", "", ""};
    for (int i = 0; i < texts.size(); ++i)
        grid.setCell(i % 3, i / 3, texts.at(i));

    QCOMPARE(TableText::writeCsv(grid), QByteArray("plain,\"two words\",\"a,b\"\r\n"
                                                   "\"say \"\"hi\"\"\",\"tab\there\",\r\n"
                                                   "x,,\r\n"));
    const QByteArray text = TableText::write(grid);
    QCOMPARE(text, QByteArray("3\r\n3\r\nplain\r\nsay \"hi\"\r\nx\r\ntwo words\r\ntab\there\r\n\r\na,b\r\n\r\n\r\n"));
    TableDesign back;
    back.importText(text);
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(back.grid().cell(i % 3, i / 3), texts.at(i));

    grid.setColCount(5);
    grid.setRowCount(1);
    grid.clearTexts();
    QCOMPARE(TableText::writeCsv(grid), QByteArray(",,,,\r\n"));
    grid.setColCount(1);
    QCOMPARE(TableText::writeCsv(grid), QByteArray("\"\"\r\n"));

    QCOMPARE(TableText::exportKindFor("/tmp/T.TXT"), TableText::ExportKind::TableText);
    QCOMPARE(TableText::exportKindFor("a.b/t.Csv"), TableText::ExportKind::Csv);
    QCOMPARE(TableText::exportKindFor("t.dat"), TableText::ExportKind::None);
    QCOMPARE(TableText::exportKindFor("txt"), TableText::ExportKind::None);
}

void TestTableText::fileErrors()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("no/such/t.csv");
    TableGrid grid;
    try {
        TableText::writeCsvFile(missing, grid);
        QFAIL("written");
    } catch (const Error &e) {
        QCOMPARE(e.message(), "Cannot create file " + missing);
    }
    try {
        TableText::readFile(dir.filePath("absent.txt"), grid);
        QFAIL("read");
    } catch (const Error &e) {
        QCOMPARE(e.message(), QStringLiteral("File not found"));
    }
    TableText::writeFile(dir.filePath("t.txt"), grid);
    TableGrid back;
    back.setColCount(2);
    TableText::readFile(dir.filePath("t.txt"), back);
    QCOMPARE(back.colCount(), 5);
}

void TestTableText::commandLine_data()
{
    QTest::addColumn<QStringList>("args"); // OUT stands for the output file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("start"); // the output's first bytes
    QTest::newRow("metafile") << QStringList{"render", "OUT.emf"} << 0 << QByteArray("\x01\0\0\0", 4);
    QTest::newRow("png") << QStringList{"render", "OUT.png"} << 0 << QByteArray("\x89PNG");
    QTest::newRow("jpeg") << QStringList{"render", "OUT.jpg"} << 0 << QByteArray("\xff\xd8\xff");
    QTest::newRow("csv") << QStringList{"csv", "OUT.csv"} << 0 << QByteArray("Item,Grams\r\nFlour,\"250 g\"\r\n");
    QTest::newRow("unknown picture") << QStringList{"render", "OUT.gif"} << 2 << QByteArray();
}

// saporin-cli draws and converts a table text file with the builder's own code.
void TestTableText::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, start);
    QTemporaryDir dir;
    QFile in(dir.filePath("in.txt"));
    QVERIFY(in.open(QIODevice::WriteOnly));
    in.write("2\r\n2\r\nItem\r\nFlour\r\nGrams\r\n250 g\r\n");
    in.close();
    const QString out = dir.filePath(QString(args.at(1)).replace("OUT", "out"));
    QProcess cli;
    cli.start(QStringLiteral(SAPORIN_CLI), {"table", args.at(0), in.fileName(), out});
    QVERIFY(cli.waitForFinished(60'000));
    QCOMPARE(cli.exitCode(), exitCode);
    QFile result(out);
    QCOMPARE(result.open(QIODevice::ReadOnly), exitCode == 0);
    if (exitCode == 0)
        QCOMPARE(result.read(start.size()), start);
    if (out.endsWith(".png"))
        QCOMPARE(QImage(out).size(), QSize(128, 48));
}

QTEST_MAIN(TestTableText)
#include "tst_tabletext.moc"
