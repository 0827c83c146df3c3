#include "app/ui/application.h"
#include "app/ui/mainwindow.h"
#include "editor/control/richtextcontrol.h"
#include "editor/embeddedpicture.h"
#include "editor/recipebody.h"
#include "editor/ui/recipeeditor.h"
#include "shell/windowset.h"
#include "store/recipestore.h"
#include "store/table.h"
#include "tables/ui/stringgrid.h"
#include "tables/ui/tablebuilder.h"
#include "tests/support/findchild.h"
#include "tests/support/modal.h"
#include "tests/support/scriptedprompt.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// Runs `step` once `window` is the modal window in front (dialogs opened from dialogs).
void whenModal(QWidget *window, std::function<void()> step)
{
    QTimer::singleShot(0, [window, step = std::move(step)] {
        if (QApplication::activeModalWidget() == window)
            step();
        else
            whenModal(window, step);
    });
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<EmbeddedPicture> pictures(const QTextDocument *document)
{
    QList<EmbeddedPicture> found;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                if (auto picture = EmbeddedPictureStore::find(document, it.fragment().charFormat().toImageFormat().name()))
                    found.append(*picture);
    return found;
}

void clickCell(StringGrid *grid, int col, int row)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(col, row).center());
}

} // namespace

class TestTableBuilder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void columnReadout_data();
    void columnReadout();
    void countFieldsAndHeaders();
    void textEntryAndSizes();
    void clearTableAndColours();
    void saveAs_data();
    void saveAs();
    void exportAndImport();
    void insertIntoRecipe_data();
    void insertIntoRecipe();

private:
    ScriptedPrompt m_prompt;
    TableBuilder *m_builder = nullptr;
    QTemporaryDir *m_dir = nullptr;
};

void TestTableBuilder::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    Prompt::install(&m_prompt);
}

void TestTableBuilder::init()
{
    m_prompt.clear();
    m_dir = new QTemporaryDir;
    m_builder = new TableBuilder;
    m_builder->show();
    QVERIFY(QTest::qWaitForWindowActive(m_builder));
}

void TestTableBuilder::cleanup()
{
    delete m_builder;
    delete m_dir;
    QCOMPARE(m_prompt.unusedReplies(), 0);
}

void TestTableBuilder::columnReadout_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("readout");
    QTest::newRow("64 at 96 dpi") << 64 << 96 << "C" << "Col Width: 16.798 mm - 0.661 inches";
    QTest::newRow("64 at 120 dpi") << 64 << 120 << "C" << "Col Width: 20.997 mm - 0.827 inches";
    QTest::newRow("decimal comma, no grouping") << 6000 << 96 << "de_DE" << "Col Width: 1574,803 mm - 62,000 inches";
}

void TestTableBuilder::columnReadout()
{
    QFETCH(int, width);
    QFETCH(int, dpi);
    QFETCH(QString, locale);
    QFETCH(QString, readout);
    QCOMPARE(TableDesign::columnWidthReadout(width, dpi, QLocale(locale)), readout);
}

// The count fields change the table on every change; only their steps keep the style list in
// step. The header boxes turn row 0 and column 0 into header or body cells, or refuse.
void TestTableBuilder::countFieldsAndHeaders()
{
    const TableDesign &design = m_builder->design();
    StringGrid *grid = m_builder->grid();
    auto *rows = child<QSpinBox>(m_builder, "RowCount");
    const QColor yellow(255, 234, 179);
    QCOMPARE(child<QLabel>(m_builder, "Label3")->text(), QStringLiteral("Col Width: 16.798 mm - 0.661 inches"));
    QCOMPARE(QSize(design.grid().colCount(), design.grid().rowCount()), QSize(5, 5));
    QCOMPARE(QList<int>({grid->col(), grid->row()}), QList<int>({1, 1}));
    QCOMPARE(design.styles().lookup(0, 3).Colour, yellow);
    QCOMPARE(design.styles().lookup(3, 0).Colour, yellow);
    QCOMPARE(design.styles().lookup(3, 3).Colour, QColor(Qt::white));

    QTest::keyClick(rows, Qt::Key_Up);
    QCOMPARE(design.grid().rowCount(), 6);
    QVERIFY(grid->hasFocus());
    QCOMPARE(design.styles().find(5, 0)->Colour, yellow);
    QCOMPARE(design.styles().find(5, 4)->Colour, QColor(Qt::white));
    QTest::keyClick(rows, Qt::Key_Down);
    QCOMPARE(design.grid().rowCount(), 5);
    QVERIFY(!design.styles().find(5, 0));
    m_builder->design().setCellColour(4, 4, QColor(9, 9, 9));
    rows->selectAll();
    QTest::keyClicks(rows, QStringLiteral("6"));
    QCOMPARE(design.grid().rowCount(), 6);
    QVERIFY(!design.styles().find(5, 0));
    QCOMPARE(design.styles().lookup(5, 0).Colour, QColor(9, 9, 9)); // the last entry stands in
    QVERIFY(grid->hasFocus());

    auto *columnHeader = child(m_builder, "chkColH");
    columnHeader->click();
    QCOMPARE(design.grid().fixedRows(), 0);
    QCOMPARE(design.styles().lookup(0, 2).Colour, QColor(Qt::white));
    QCOMPARE(design.styles().lookup(0, 2).Alignment, quint8(2));
    QCOMPARE(design.styles().lookup(0, 0).Colour, yellow); // still in the header column
    columnHeader->click();
    QCOMPARE(design.grid().fixedRows(), 1);
    QCOMPARE(design.styles().lookup(0, 2).Colour, yellow);

    // One row leaves no body row: the header goes silently, and cannot come back.
    rows->selectAll();
    QTest::keyClicks(rows, QStringLiteral("1"));
    QCOMPARE(design.grid().fixedRows(), 0);
    QVERIFY(columnHeader->isChecked());
    columnHeader->click();
    columnHeader->click();
    QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::Error), QStringList{"Fixed row count must be less than row count"});
    QVERIFY(columnHeader->isChecked());
    QCOMPARE(design.grid().fixedRows(), 0);
}

// Text goes in through the Insert Text box; auto height follows it; the size commands keep
// their limits.
void TestTableBuilder::textEntryAndSizes()
{
    const TableDesign &design = m_builder->design();
    StringGrid *grid = m_builder->grid();
    auto *edit = child<QLineEdit>(m_builder, "Edit1");
    clickCell(grid, 2, 3);
    QCOMPARE(QList<int>({grid->col(), grid->row()}), QList<int>({2, 3}));
    clickCell(grid, 2, 0); // a header cell never becomes current
    QCOMPARE(QList<int>({grid->col(), grid->row()}), QList<int>({2, 3}));

    QTest::keyClick(grid, Qt::Key_Return);
    QVERIFY(edit->hasFocus());
    QTest::keyClicks(edit, QStringLiteral("two cups of flour, sifted twice"));
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(grid->hasFocus());
    QCOMPARE(design.grid().cell(2, 3), QStringLiteral("two cups of flour, sifted twice"));
    QVERIFY2(design.grid().rowHeight(3) > 24, qPrintable(QString::number(design.grid().rowHeight(3))));
    QCOMPARE(design.grid().rowHeight(2), 24);
    QTest::keyClick(grid, Qt::Key_Up);
    QCOMPARE(edit->text(), QString()); // the box follows the selection
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(edit->text(), QStringLiteral("two cups of flour, sifted twice"));

    auto *widthField = child<QSpinBox>(m_builder, "SetColWidth");
    m_builder->design().grid().setColWidth(2, 595);
    QTest::keyClick(widthField, Qt::Key_Up);
    QCOMPARE(design.grid().colWidth(2), 600);
    child(m_builder, "dxToolButton2")->click();
    QCOMPARE(design.grid().colWidth(2), 600);
    QCOMPARE(widthField->value(), 600);
    widthField->selectAll();
    QTest::keyClicks(widthField, QStringLiteral("10"));
    QTest::keyClick(widthField, Qt::Key_Return);
    QCOMPARE(design.grid().colWidth(2), 10);
    child(m_builder, "dxToolButton1")->click();
    QCOMPARE(design.grid().colWidth(2), 10);
    widthField->selectAll();
    QTest::keyClicks(widthField, QStringLiteral("700"));
    QTest::keyClick(widthField, Qt::Key_Return); // typed sizes are not held to the range
    QCOMPARE(design.grid().colWidth(2), 700);
    QVERIFY(!child<QSpinBox>(m_builder, "SetRowHeight")->isEnabled());

    // Dragging column 2 by its header onto column 4 moves its texts and width; its styles stay
    // with the column number.
    m_builder->design().setCellColour(2, 3, QColor(1, 1, 1));
    m_builder->design().grid().setColWidth(2, 80);
    grid->tableChanged();
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(2, 0).center());
    QTest::mouseMove(grid->viewport(), grid->cellRect(4, 0).center());
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(4, 0).center());
    QCOMPARE(design.grid().cell(4, 3), QStringLiteral("two cups of flour, sifted twice"));
    QCOMPARE(design.grid().colWidth(4), 80);
    QCOMPARE(design.styles().lookup(3, 2).Colour, QColor(1, 1, 1));
    // Dragging a border in the header row resizes without limits.
    const QRect header = grid->cellRect(1, 0);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, QPoint(header.right() + 1, header.center().y()));
    QTest::mouseMove(grid->viewport(), QPoint(header.right() - 60, header.center().y()));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, QPoint(header.right() - 60, header.center().y()));
    QCOMPARE(design.grid().colWidth(1), 3);
}

void TestTableBuilder::clearTableAndColours()
{
    TableDesign &design = m_builder->design();
    design.grid().setCell(1, 1, QStringLiteral("x"));
    design.grid().setColWidth(1, 90);
    child<QSpinBox>(m_builder, "ColCount")->setFocus();
    QTest::keyClick(child<QSpinBox>(m_builder, "ColCount"), Qt::Key_Up);
    m_prompt.answerColor(QColor(0, 128, 0));
    child(m_builder, "RbButton5")->click();
    m_prompt.answerColor(std::nullopt);
    child(m_builder, "dxButton6")->click(); // cancelled: nothing changes
    QCOMPARE(design.styles().lookup(1, 2).Colour, QColor(Qt::white));

    m_prompt.answer(Prompt::Answer::No);
    child(m_builder, "btnClearTabel")->click();
    QCOMPARE(design.grid().cell(1, 1), QStringLiteral("x"));
    QCOMPARE(design.grid().colCount(), 6);
    m_prompt.answer(Prompt::Answer::Yes);
    child(m_builder, "btnClearTabel")->click();
    QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::Confirm).last(), QStringLiteral("Clear Table and Reset Cell Sizes?"));
    QCOMPARE(QSize(design.grid().colCount(), design.grid().rowCount()), QSize(5, 5));
    QCOMPARE(child<QSpinBox>(m_builder, "ColCount")->value(), 5);
    QCOMPARE(design.grid().cell(1, 1), QString());
    QCOMPARE(QSize(design.grid().totalWidth(), design.grid().totalHeight()), QSize(320, 120));
    QCOMPARE(design.styles().size(), 25);
    QCOMPARE(design.styles().lookup(0, 3).Colour, QColor(0, 128, 0)); // the header colour stays
    QVERIFY(m_builder->grid()->hasFocus());

    m_prompt.answerColor(QColor(1, 2, 3));
    child(m_builder, "dxButton5")->click(); // the current column's body cells
    QCOMPARE(design.styles().lookup(4, 1).Colour, QColor(1, 2, 3));
    QCOMPARE(design.styles().lookup(0, 1).Colour, QColor(0, 128, 0));
    QCOMPARE(design.styles().lookup(4, 2).Colour, QColor(Qt::white));

    m_prompt.applyFont(QFont(QStringLiteral("DejaVu Serif"), 20));
    m_prompt.answerFont(std::nullopt);
    design.grid().setCell(3, 2, QStringLiteral("word"));
    child(m_builder, "RbButton3")->click(); // Apply, then Cancel: the applied font stays
    QCOMPARE(design.styles().lookup(2, 3).Font->font.family(), QStringLiteral("DejaVu Serif"));
    QVERIFY(design.grid().rowHeight(2) > 24);
    QCOMPARE(design.styles().lookup(0, 3).Font->font.family(), TableDesign::gridFont().font.family());

    m_prompt.clear();
    child(m_builder, "SpeedButton1")->click();
    const QString help = m_prompt.texts(ScriptedPrompt::Kind::Information).value(0);
    QVERIFY(help.startsWith("This is a short help tutorial for Inserting a Table / StringGrid.\n\n- If you insert"));
    QVERIFY(help.contains("\n  Everything outside the visible area will be cut automatically from the Bitmap. \n\n"));
    QVERIFY(help.endsWith("\n\nTo move around in the table, use the direction keys or [TAB] button, the mouse's "
                          "scrollwheel works too."));
}

void TestTableBuilder::saveAs_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QByteArray>("magic");
    QTest::addColumn<int>("at");
    QTest::newRow("BMP") << "Bitmaps (*.bmp)" << QByteArray("BM") << 0;
    QTest::newRow("JPEG under a .bmp name") << "JPEG Image File (*.jpg)" << QByteArray("\xff\xd8\xff") << 0;
    QTest::newRow("EMF") << "Enhanced Metafiles (*.emf)" << QByteArray(" EMF") << 40;
}

// The chosen filter decides the format, not the name; the window stays open.
void TestTableBuilder::saveAs()
{
    QFETCH(QString, filter);
    QFETCH(QByteArray, magic);
    QFETCH(int, at);
    const QString path = m_dir->filePath(QStringLiteral("table.bmp"));
    m_prompt.answerFile(path, filter);
    child(m_builder, "RbButton6")->click();
    QVERIFY(m_prompt.texts(ScriptedPrompt::Kind::Plain).isEmpty());
    QCOMPARE(fileBytes(path).mid(at, magic.size()), magic);
    QVERIFY(m_builder->isVisible());
    QVERIFY(!m_builder->inserted());
    if (at == 0) { // both bitmaps are the visible grid, with black lines along the header edges
        const QImage saved(path);
        QCOMPARE(saved.size(), m_builder->grid()->visibleGridSize());
        QVERIFY(qGray(saved.pixel(0, 30)) < 40 && qGray(saved.pixel(30, 0)) < 40);
    }

    // Without headers the snapshot's edge lines are silver.
    child(m_builder, "chkRowH")->click();
    const QImage plain = m_builder->gridSnapshot();
    QCOMPARE(plain.pixelColor(0, 30), QColor(192, 192, 192));
    QVERIFY(qGray(plain.pixel(30, 0)) < 40);

    m_prompt.answerFile(m_dir->filePath(QStringLiteral("no/such/folder/t.bmp")), filter);
    child(m_builder, "RbButton6")->click();
    QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::Plain), QStringList{"Error in Creating Image File"});
}

// Export writes by the typed extension; import replaces texts and counts, keeps the sizes, and
// leaves the count fields alone when it fails.
void TestTableBuilder::exportAndImport()
{
    TableDesign &design = m_builder->design();
    design.grid().setCell(1, 1, QStringLiteral("Flour"));
    design.grid().setColWidth(1, 90);
    const QString text = m_dir->filePath(QStringLiteral("T.TXT"));
    const QString other = m_dir->filePath(QStringLiteral("t.dat"));
    const QString csv = m_dir->filePath(QStringLiteral("t.csv"));
    for (const QString &path : {text, other, csv}) {
        m_prompt.answerFile(path);
        child(m_builder, "btnExport")->click();
    }
    QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::SaveFile).value(0), QStringLiteral("Save Table to Text or CSV"));
    QVERIFY(fileBytes(text).startsWith("5\r\n5\r\n\r\n\r\n"));
    QVERIFY(!QFile::exists(other));
    QCOMPARE(fileBytes(csv).split('\n').value(1), QByteArray(",Flour,,,\r"));

    QFile wide(m_dir->filePath(QStringLiteral("wide.txt")));
    QVERIFY(wide.open(QIODevice::WriteOnly));
    wide.write("150\n3\n\nFirst\n\n\n\n\n\nA long text that wraps over several lines\n");
    wide.close();
    m_prompt.answerFile(wide.fileName());
    child(m_builder, "btnImport")->click();
    QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::OpenFile).value(0), QStringLiteral("Open Text File"));
    QCOMPARE(QSize(design.grid().colCount(), design.grid().rowCount()), QSize(100, 3));
    QCOMPARE(child<QSpinBox>(m_builder, "ColCount")->value(), 100);
    QCOMPARE(child<QSpinBox>(m_builder, "RowCount")->value(), 3);
    QCOMPARE(design.grid().cell(0, 1), QStringLiteral("First"));
    QCOMPARE(design.grid().cell(1, 1), QString()); // the old texts are gone
    QCOMPARE(design.grid().colWidth(1), 90);
    QVERIFY(design.grid().rowHeight(1) > 24); // auto height after the import

    QFile bad(m_dir->filePath(QStringLiteral("bad.txt")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("4\nmany\n");
    bad.close();
    m_prompt.answerFile(bad.fileName());
    child(m_builder, "btnImport")->click();
    QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::Error), QStringList{"Invalid numeric input"});
    QCOMPARE(design.grid().colCount(), 4);
    QCOMPARE(child<QSpinBox>(m_builder, "ColCount")->value(), 100);
    QVERIFY(m_builder->grid()->hasFocus());
}

void TestTableBuilder::insertIntoRecipe_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("kind"); // EmbeddedPicture::Kind, or -1 for nothing pasted
    QTest::newRow("Bitmap") << "btnInsert" << int(EmbeddedPicture::Kind::Png);
    QTest::newRow("Metafile") << "btnEmf" << int(EmbeddedPicture::Kind::Emf);
    QTest::newRow("Close after an insert") << "RbButton7" << -1;
}

// A table goes into a new recipe through the editor's toolbar, is saved with the recipe and is
// there again when the recipe is opened.
void TestTableBuilder::insertIntoRecipe()
{
    QFETCH(QString, button);
    QFETCH(int, kind);
    delete m_builder;
    m_builder = nullptr;
    createWindows(m_dir->path());
    MainWindow *main = windows().frmMain;
    main->show();
    Table &categories = main->store().cdsCategory();
    categories.insert();
    categories.setText(RecipeStore::CategoryDescription, QStringLiteral("Cakes"));
    categories.post();
    main->FillCategoryList();
    main->selectEntry(main->categoryList(), QStringLiteral("Cakes"));
    TableBuilder *builder = windows().DllForms;
    RecipeEditor *editor = windows().frmAERecipe;
    builder->setInserted(true); // as after an earlier insert
    QApplication::clipboard()->setText(QStringLiteral("stale"));

    QByteArray saved;
    duringModal([&] {
        whenModal(builder, [&] {
            builder->design().grid().setCell(1, 1, QStringLiteral("Flour"));
            builder->design().grid().setCell(2, 0, QStringLiteral("Grams"));
            child(builder, button.toLatin1().constData())->click();
        });
        child(editor, "btnTable")->click();
        const QList<EmbeddedPicture> found = pictures(editor->Editor()->document());
        if (kind < 0) {
            QVERIFY(found.isEmpty());
            QCOMPARE(editor->Editor()->toPlainText(), QString());
        } else {
            QCOMPARE(found.size(), 1);
            QCOMPARE(int(found.first().kind), kind);
            const QSizeF size = EmbeddedPictureStore::naturalSize(found.first());
            const QSize expected = kind == int(EmbeddedPicture::Kind::Emf) ? QSize(320, 120)
                                                                           : builder->grid()->visibleGridSize();
            QVERIFY2(qAbs(size.width() - expected.width()) < 1 && qAbs(size.height() - expected.height()) < 1,
                     qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
        }
        QTest::keyClicks(child<QLineEdit>(editor, "DBEdit1"), QStringLiteral("Sponge"));
        QTest::keyClicks(child<QWidget>(editor, "DBMemo1"), QStringLiteral("cake"));
        child(editor, "btnSave")->click();
    });
    child(main, "btnNewRec")->click();
    QCOMPARE(builder->inserted(), kind >= 0);
    QVERIFY(m_prompt.texts(ScriptedPrompt::Kind::Error).isEmpty());
    QVERIFY(m_prompt.texts(ScriptedPrompt::Kind::Plain).isEmpty());
    const QByteArray rtf = LoadRecipeBody(main->store().cdsRecipe().blob(RecipeStore::RecipeDetail));
    if (kind == int(EmbeddedPicture::Kind::Emf))
        QVERIFY(rtf.contains("\\emfblip"));
    else if (kind >= 0)
        QVERIFY(rtf.contains("\\pngblip"));

    main->recipeList()->setCurrentRow(0);
    duringModal([&] {
        const QList<EmbeddedPicture> found = pictures(editor->Editor()->document());
        QCOMPARE(found.size(), kind < 0 ? 0 : 1);
        if (kind >= 0)
            QCOMPARE(int(found.first().kind), kind);
        child(editor, "btnCancel")->click();
    });
    child(main, "btnEditRec")->click();
    destroyWindows();
}

QTEST_MAIN(TestTableBuilder)
#include "tst_tablebuilder.moc"
