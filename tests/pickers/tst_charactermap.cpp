#include "pickers/characterpreview.h"
#include "pickers/ui/charactermap.h"
#include "tests/support/findchild.h"

#include <QClipboard>
#include <QFontComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

namespace {

void clickCell(QTableWidget *grid, int column, int row)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

QString clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

} // namespace

class CharacterMapTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QGuiApplication::clipboard()->setText(QStringLiteral("before")); }

    void cellsGiveTheirCodeAndCharacter_data();
    void cellsGiveTheirCodeAndCharacter();
    void remembersTheCellBetweenShowings();
    void composesAndInsertsALine();
    void fontPresetFillsTheGridInThatFont();
    void previewIsFramedWhite();
};

void CharacterMapTest::cellsGiveTheirCodeAndCharacter_data()
{
    QTest::addColumn<int>("pagesOn");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");

    QTest::newRow("first cell, code 0 gives no text") << 0 << 0 << 0 << "00" << "";
    QTest::newRow("code 7") << 0 << 7 << 0 << "07" << QString(QChar(7));
    QTest::newRow("A") << 0 << 5 << 3 << "065" << "A";
    QTest::newRow("code 200") << 0 << 0 << 10 << "0200" << QString(QChar(200));
    QTest::newRow("code 255, the last before the repeat") << 0 << 15 << 12 << "0255" << QString(QChar(255));
    QTest::newRow("code 0 again") << 0 << 16 << 12 << "00" << "";
    QTest::newRow("code 3 again, the last cell") << 0 << 19 << 12 << "03" << QString(QChar(3));
    QTest::newRow("next page") << 1 << 5 << 3 << "0321" << QString(QChar(0x141));
    QTest::newRow("next page repeats its own start") << 1 << 16 << 12 << "0256" << QString(QChar(0x100));
    QTest::newRow("surrogates are no characters") << 0xD8 << 0 << 0 << "055296" << "";
}

void CharacterMapTest::cellsGiveTheirCodeAndCharacter()
{
    QFETCH(int, pagesOn);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QString, label);
    QFETCH(QString, text);

    CharacterMap map;
    map.setFontName(QStringLiteral("DejaVu Sans"));
    for (int i = 0; i < qMin(pagesOn, 2); ++i)
        child(&map, "btnNextPage")->click();
    if (pagesOn > 2)
        map.setPage(pagesOn);
    map.show();
    auto *grid = child<QTableWidget>(&map, "StringGrid1");
    clickCell(grid, column, row);
    QCOMPARE(child<QLabel>(&map, "Label4")->text(), label);
    QCOMPARE(grid->item(row, column)->text(), text);
    child(&map, "btnInsert")->click();
    QCOMPARE(map.result(), int(QDialog::Accepted));
    QCOMPARE(clipboardText(), text);
}

void CharacterMapTest::remembersTheCellBetweenShowings()
{
    CharacterMap map;
    map.setFontName(QStringLiteral("DejaVu Sans"));
    auto *grid = child<QTableWidget>(&map, "StringGrid1");
    auto *code = child<QLabel>(&map, "Label4");

    // At first the label and the preview show code 65 while the highlight is on the first cell.
    map.show();
    QCOMPARE(code->text(), QStringLiteral("065"));
    QCOMPARE(grid->currentRow(), 0);
    QCOMPARE(grid->currentColumn(), 0);
    QVERIFY(!child<QLabel>(&map, "Image1")->pixmap().isNull());
    child(&map, "btnInsert")->click();
    QCOMPARE(clipboardText(), QStringLiteral("A"));

    // Close remembers the highlighted cell, not the one the label showed.
    map.show();
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    child(&map, "RbButton1")->click();
    QCOMPARE(map.result(), int(QDialog::Rejected));
    QCOMPARE(clipboardText(), QStringLiteral("kept"));
    map.show();
    QCOMPARE(code->text(), QStringLiteral("00"));

    // A selected cell is what the next showing shows.
    clickCell(grid, 3, 1);
    map.hide();
    map.show();
    QCOMPARE(code->text(), QStringLiteral("023"));
    map.hide();
}

void CharacterMapTest::composesAndInsertsALine()
{
    CharacterMap map;
    map.setFontName(QStringLiteral("DejaVu Sans"));
    auto *grid = child<QTableWidget>(&map, "StringGrid1");
    auto *line = child<QLineEdit>(&map, "Edit1");
    map.show();
    child(&map, "btnAdd")->click(); // the remembered A
    clickCell(grid, 16, 12);        // code 0 adds nothing
    child(&map, "btnAdd")->click();
    clickCell(grid, 10, 11);        // code 230
    child(&map, "btnAdd")->click();
    child(&map, "btnAdd")->click();
    QCOMPARE(line->text(), QStringLiteral("A\u00e6\u00e6"));
    child(&map, "btnInsertLine")->click();
    QCOMPARE(map.result(), int(QDialog::Accepted));
    QCOMPARE(clipboardText(), QStringLiteral("A\u00e6\u00e6"));

    // Each showing starts with an empty line, and an empty line is still inserted.
    map.show();
    QCOMPARE(line->text(), QString());
    child(&map, "btnInsertLine")->click();
    QCOMPARE(map.result(), int(QDialog::Accepted));
    QCOMPARE(clipboardText(), QString());
}

void CharacterMapTest::fontPresetFillsTheGridInThatFont()
{
    CharacterMap map;
    auto *grid = child<QTableWidget>(&map, "StringGrid1");
    QVERIFY(!grid->item(3, 5)); // no font chosen yet: the grid is empty
    map.setFontName(QStringLiteral("dejavu serif"));
    QCOMPARE(map.fontName(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(child<QFontComboBox>(&map, "FontComboBox1")->currentFont().family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(map.gridFont().family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(map.gridFont().pointSize(), 12);
    QCOMPARE(child<QLineEdit>(&map, "Edit1")->font().family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(grid->item(3, 5)->text(), QStringLiteral("A"));

    // A family that is not installed is shown as the one that stands in for it, never as nothing.
    map.setFontName(QStringLiteral("No Such Family 7"));
    QVERIFY(!map.fontName().isEmpty());
    QVERIFY(child<QFontComboBox>(&map, "FontComboBox1")->findText(map.fontName()) >= 0);

    // Choosing in the list refills the grid in exactly the chosen font, named without the
    // foundry that the list adds to families made by several foundries, where it can be.
    auto *fonts = child<QFontComboBox>(&map, "FontComboBox1");
    for (int i = 0; i < fonts->count(); ++i) {
        const QString entry = fonts->itemText(i);
        fonts->setCurrentIndex(i);
        QCOMPARE(map.fontName(), entry);
        if (QFontInfo(QFont(entry)).family() != entry)
            continue; // an alias such as "Monospace" stands for another family
        QCOMPARE(QFontInfo(map.gridFont()).family(), entry);
        const QString plain = entry.section(QStringLiteral(" ["), 0, 0);
        if (QFontInfo(QFont(plain)).family() == entry)
            QCOMPARE(map.gridFont().family(), plain);
    }
}

void CharacterMapTest::previewIsFramedWhite()
{
    const QSize size(121, 129);
    const QImage empty = characterPreview(size, QFont(QStringLiteral("DejaVu Sans")), QString());
    QCOMPARE(empty.size(), size);
    for (const QPoint p : {QPoint(0, 0), QPoint(120, 0), QPoint(0, 128), QPoint(120, 128), QPoint(60, 0), QPoint(0, 64)})
        QCOMPARE(empty.pixel(p), qRgb(0, 0, 0));
    for (const QPoint p : {QPoint(1, 1), QPoint(119, 127), QPoint(60, 64)})
        QCOMPARE(empty.pixel(p), qRgb(255, 255, 255));

    // The character is drawn large, inside the frame and without touching it.
    const QImage letter = characterPreview(size, QFont(QStringLiteral("DejaVu Sans")), QStringLiteral("&"));
    int inked = 0;
    for (int y = 1; y < 128; ++y)
        for (int x = 1; x < 120; ++x)
            inked += letter.pixel(x, y) != qRgb(255, 255, 255);
    QVERIFY2(inked > 800, qPrintable(QString::number(inked)));
    QCOMPARE(letter.pixel(60, 0), qRgb(0, 0, 0));
}

QTEST_MAIN(CharacterMapTest)
#include "tst_charactermap.moc"
