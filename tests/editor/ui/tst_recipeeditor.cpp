#include "shell/busynotice.h"
#include "shell/windowset.h"
#include "app/ui/application.h"
#include "app/ui/mainwindow.h"
#include "editor/control/richtextcontrol.h"
#include "editor/recipebody.h"
#include "editor/ui/recipeeditor.h"
#include "pickers/ui/emoticonpicker.h"
#include "store/recipestore.h"
#include "store/table.h"
#include "tests/support/findchild.h"
#include "tests/support/modal.h"
#include "tests/support/scriptedprompt.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <QToolButton>
#include <QUrl>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Records, on one clock, the frames a busy notice shows and the moments it is hidden.
class FrameLog : public QObject
{
public:
    explicit FrameLog(BusyNotice *notice) : m_notice(notice)
    {
        connect(notice, &BusyNotice::frameShown, this, [this] { m_frames << m_clock.elapsed(); });
        notice->installEventFilter(this);
    }
    void restart()
    {
        m_frames.clear();
        m_hiddenAt = -1;
        m_clock.restart();
    }
    // The longest time without a new frame between restart() and the notice's hiding.
    qint64 longestStill() const
    {
        qint64 longest = 0, last = 0;
        for (qint64 at : m_frames + QList<qint64>{m_hiddenAt}) {
            longest = qMax(longest, at - last);
            last = at;
        }
        return longest;
    }
    qint64 hiddenAt() const { return m_hiddenAt; }
    qsizetype frames() const { return m_frames.size(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_notice && event->type() == QEvent::Hide && m_hiddenAt < 0)
            m_hiddenAt = m_clock.elapsed();
        return false;
    }

private:
    BusyNotice *m_notice;
    QElapsedTimer m_clock;
    QList<qint64> m_frames;
    qint64 m_hiddenAt = -1;
};

} // namespace

class RecipeEditorTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void newRecipeSavesAndReopensWithTheSameBody();
    void saveChecksNameAndTags();
    void emptyBodyStoresAStream();
    void damagedBodyOpensEmptyWithTheZlibText();
    void cancelAndCloseBoxDropEverything();
    void toolbarFollowsTheCaret();
    void styleAlignmentAndBulletCommands();
    void colourAndFontCommandsUseThePrompt();
    void linksAreInsertedWithPercentAndOpenedWithBlanks();
    void insertPictureKeepsTheJpegSmall();
    void insertsEachPictureKind_data();
    void insertsEachPictureKind();
    void unknownPictureExtensionReachesTheErrorReport();
    void exportFollowsTheLastImport();
    void layoutFollowsTheWindowSize();
    void activationFillsTheWorkAreaHeight();
    void popupMenuHasItsItemsAndHeadings();
    void busyNoticeMovesThroughALargeLoadAndSave();
    void escapeKeepsTheEditAndPickersStayWithTheEditor();

private:
    MainWindow *main() const { return windows().frmMain; }
    RecipeEditor *editor() const { return windows().frmAERecipe; }
    Table &recipeTable() const { return main()->store().cdsRecipe(); }
    void addRecipe(const QString &name, const QString &tags, const QByteArray &body);
    void openFirstRecipe(std::function<void()> step);

    QTemporaryDir *m_dir = nullptr;
    ScriptedPrompt m_prompt;
    QList<QUrl> m_opened;
};

void RecipeEditorTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    Prompt::install(&m_prompt);
    RecipeEditor::setUrlOpener([this](const QUrl &url) { m_opened << url; });
}

void RecipeEditorTest::init()
{
    QFile::remove(MainWindow::profilePath());
    m_prompt.clear();
    m_opened.clear();
    m_dir = new QTemporaryDir;
    createWindows(m_dir->path());
    main()->show();
    Table &categories = main()->store().cdsCategory();
    categories.insert();
    categories.setText(RecipeStore::CategoryDescription, QStringLiteral("Soups"));
    categories.post();
    main()->FillCategoryList();
    main()->selectEntry(main()->categoryList(), QStringLiteral("Soups"));
}

void RecipeEditorTest::cleanup()
{
    destroyWindows();
    delete m_dir;
    QCOMPARE(m_prompt.unusedReplies(), 0);
}

void RecipeEditorTest::addRecipe(const QString &name, const QString &tags, const QByteArray &body)
{
    Table &recipes = recipeTable();
    recipes.insert();
    recipes.setText(RecipeStore::RecipeDescription, name);
    recipes.setText(RecipeStore::RecipeTag, tags);
    recipes.setBlob(RecipeStore::RecipeDetail, body);
    recipes.post();
    main()->FillRecipeList();
}

void RecipeEditorTest::openFirstRecipe(std::function<void()> step)
{
    main()->recipeList()->setCurrentRow(0);
    duringModal(std::move(step));
    child(main(), "btnEditRec")->click();
}

void RecipeEditorTest::newRecipeSavesAndReopensWithTheSameBody()
{
    duringModal([this] {
        QCOMPARE(editor()->windowTitle(), QStringLiteral("Add New Recipe"));
        QCOMPARE(recipeTable().state(), Table::State::Insert);
        RichTextControl *body = editor()->Editor();
        QCOMPARE(body->TextLength(), 0);
        QTest::keyClicks(body, QStringLiteral("Boil the peas."));
        body->selectAll();
        child(editor(), "btnBold")->click();
        QTest::keyClicks(child<QLineEdit>(editor(), "DBEdit1"), QStringLiteral("Pea soup"));
        QTest::keyClicks(child<QPlainTextEdit>(editor(), "DBMemo1"), QStringLiteral("peas green"));
        child(editor(), "btnSave")->click();
    });
    child(main(), "btnNewRec")->click();
    QVERIFY(!editor()->isVisible());
    QCOMPARE(recipeTable().state(), Table::State::Browse);
    QCOMPARE(main()->recipeList()->currentItem()->text(), QStringLiteral("Pea soup"));
    QCOMPARE(recipeTable().text(RecipeStore::RecipeTag), QStringLiteral("peas green"));
    const QByteArray rtf = LoadRecipeBody(recipeTable().blob(RecipeStore::RecipeDetail));
    QVERIFY(rtf.startsWith("{\\rtf"));

    openFirstRecipe([this, rtf] {
        QCOMPARE(editor()->windowTitle(), QStringLiteral("Edit Recipe"));
        RichTextControl *body = editor()->Editor();
        QCOMPARE(body->toPlainText(), QStringLiteral("Boil the peas."));
        QCOMPARE(body->textCursor().position(), 0);
        body->setSelStart(0);
        body->setSelLength(4);
        QVERIFY(body->SelAttributes().bold);
        QVERIFY(child<QToolButton>(editor(), "btnBold")->isChecked());
        QCOMPARE(body->StreamOut(), rtf);
        QVERIFY(!windows().frmExport->isVisible());
        child(editor(), "btnCancel")->click();
    });
    QVERIFY(m_prompt.shown().isEmpty());
}

void RecipeEditorTest::saveChecksNameAndTags()
{
    duringModal([this] {
        child(editor(), "btnSave")->click();
        QTest::keyClicks(child<QLineEdit>(editor(), "DBEdit1"), QStringLiteral("   "));
        child(editor(), "btnSave")->click();
        QVERIFY(editor()->isVisible());
        QTest::keyClicks(child<QPlainTextEdit>(editor(), "DBMemo1"), QStringLiteral(" "));
        child(editor(), "btnSave")->click(); // blanks are text: both pass
    });
    child(main(), "btnNewRec")->click();
    QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::Information),
             (QStringList{QStringLiteral("Please enter Recipe Name."), QStringLiteral("Please enter Recipe Tag(s).")}));
    QCOMPARE(main()->recipeList()->count(), 1);
    QCOMPARE(recipeTable().text(RecipeStore::RecipeDescription), QStringLiteral("   "));
}

void RecipeEditorTest::emptyBodyStoresAStream()
{
    duringModal([this] {
        QTest::keyClicks(child<QLineEdit>(editor(), "DBEdit1"), QStringLiteral("Water"));
        QTest::keyClicks(child<QPlainTextEdit>(editor(), "DBMemo1"), QStringLiteral("plain"));
        child(editor(), "btnSave")->click();
    });
    child(main(), "btnNewRec")->click();
    const QByteArray stored = recipeTable().blob(RecipeStore::RecipeDetail);
    QVERIFY(!stored.isEmpty());
    QCOMPARE(quint8(stored.at(0)), quint8(0x78)); // zlib header, 32 KB window
    QVERIFY(LoadRecipeBody(stored).startsWith("{\\rtf"));
}

void RecipeEditorTest::damagedBodyOpensEmptyWithTheZlibText()
{
    QByteArray damaged = SaveRecipeBody("{\\rtf1 Some text that will be damaged in its middle.}");
    damaged[2] = char(0xff); // the first block has the reserved type
    addRecipe(QStringLiteral("Broken"), QStringLiteral("x"), damaged);
    openFirstRecipe([this] {
        QCOMPARE(editor()->Editor()->TextLength(), 0);
        QVERIFY(!windows().frmExport->isVisible());
        QCOMPARE(recipeTable().state(), Table::State::Edit);
        child(editor(), "btnCancel")->click();
    });
    const QStringList errors = m_prompt.texts(ScriptedPrompt::Kind::Error);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().contains(QStringLiteral("data")) || errors.first().contains(QStringLiteral("block")),
             qPrintable(errors.first()));
}

void RecipeEditorTest::cancelAndCloseBoxDropEverything()
{
    addRecipe(QStringLiteral("Leek soup"), QStringLiteral("leek"), SaveRecipeBody("{\\rtf1 Leeks.}"));
    const QByteArray before = recipeTable().blob(RecipeStore::RecipeDetail);
    openFirstRecipe([this] {
        QTest::keyClicks(child<QLineEdit>(editor(), "DBEdit1"), QStringLiteral(" and potato"));
        QTest::keyClicks(editor()->Editor(), QStringLiteral("More. "));
        child(editor(), "btnCancel")->click();
    });
    QCOMPARE(recipeTable().state(), Table::State::Browse);
    QCOMPARE(recipeTable().text(RecipeStore::RecipeDescription), QStringLiteral("Leek soup"));
    openFirstRecipe([this] {
        QTest::keyClicks(child<QLineEdit>(editor(), "DBEdit1"), QStringLiteral(" and potato"));
        editor()->close();
    });
    QCOMPARE(recipeTable().state(), Table::State::Browse);
    QCOMPARE(recipeTable().text(RecipeStore::RecipeDescription), QStringLiteral("Leek soup"));
    QCOMPARE(recipeTable().blob(RecipeStore::RecipeDetail), before);
    QVERIFY(m_prompt.shown().isEmpty());
}

void RecipeEditorTest::toolbarFollowsTheCaret()
{
    duringModal([this] {
        RichTextControl *body = editor()->Editor();
        auto *copy = child<QToolButton>(editor(), "btnCopy");
        auto *cut = child<QToolButton>(editor(), "btnCut");
        auto *undo = child<QToolButton>(editor(), "btnUndo");
        auto *redo = child<QToolButton>(editor(), "btnRedo");
        QVERIFY(!copy->isEnabled() && !cut->isEnabled());
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());
        QTest::keyClicks(body, QStringLiteral("plain "));
        QVERIFY(undo->isEnabled());
        body->setStyles(false, true, false, false);
        QTest::keyClicks(body, QStringLiteral("slanted"));
        body->setSelStart(8);
        QVERIFY(child<QToolButton>(editor(), "btnItalic")->isChecked());
        body->setSelStart(2);
        QVERIFY(!child<QToolButton>(editor(), "btnItalic")->isChecked());
        body->setSelLength(3);
        QVERIFY(copy->isEnabled() && cut->isEnabled());
        child(editor(), "btnUndo")->click();
        QVERIFY(redo->isEnabled());
        child(editor(), "btnCancel")->click();
    });
    child(main(), "btnNewRec")->click();
}

void RecipeEditorTest::styleAlignmentAndBulletCommands()
{
    duringModal([this] {
        RichTextControl *body = editor()->Editor();
        body->setPlainText(QStringLiteral("one\ntwo"));
        body->selectAll();
        auto *bold = child<QToolButton>(editor(), "btnBold");
        bold->click();
        QVERIFY(body->SelAttributes().bold && bold->isChecked());
        bold->click();
        QVERIFY(!body->SelAttributes().bold && !bold->isChecked());

        child(editor(), "btnRight")->click();
        QCOMPARE(body->ParaAlignment(), Qt::AlignRight);
        QVERIFY(child<QToolButton>(editor(), "btnRight")->isChecked());
        QVERIFY(!child<QToolButton>(editor(), "btnLeft")->isChecked());
        child(editor(), "btnJustify")->click();
        QCOMPARE(body->ParaAlignment(), Qt::AlignJustify);

        // A numbered list becomes a bulleted one, not plain paragraphs.
        QTextCursor cursor = body->textCursor();
        cursor.createList(QTextListFormat::ListDecimal);
        body->setTextCursor(cursor);
        child(editor(), "btnBullet")->click();
        QVERIFY(body->ParaBullets());
        child(editor(), "btnBullet")->click();
        QVERIFY(!body->ParaNumbered());
        child(editor(), "btnCancel")->click();
    });
    child(main(), "btnNewRec")->click();
}

void RecipeEditorTest::colourAndFontCommandsUseThePrompt()
{
    m_prompt.answerColor(QColor(0, 0, 200));
    m_prompt.answerColor(std::nullopt);
    m_prompt.answerColor(QColor(255, 255, 0));
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(20);
    chosen.setItalic(true);
    m_prompt.answerFont(chosen);
    QString shownFamily;
    m_prompt.answerFontWith([&shownFamily](const QFont &initial) {
        shownFamily = initial.family();
        return initial;
    });
    m_prompt.answerFontWith([](QFont initial) {
        initial.setPointSize(14);
        return initial;
    });
    duringModal([this] {
        RichTextControl *body = editor()->Editor();
        body->setPlainText(QStringLiteral("colour"));
        body->selectAll();
        child(editor(), "btnNoteBookFontColour")->click();
        QCOMPARE(body->SelAttributes().color, QColor(0, 0, 200));
        child(editor(), "btnNoteBookFontColour")->click(); // cancelled: unchanged
        QCOMPARE(body->SelAttributes().color, QColor(0, 0, 200));
        child(editor(), "btnNoteBookFillColour")->click();
        QCOMPARE(body->SelAttributes().highlight, QColor(255, 255, 0));
        child(editor(), "btnFont")->click();
        const auto a = body->SelAttributes();
        QCOMPARE(a.fontName, QStringLiteral("DejaVu Serif"));
        QCOMPARE(a.pointSize, 20.0);
        QVERIFY(a.italic);
        QCOMPARE(a.color, QColor(0, 0, 200)); // the font dialog keeps the colour

        // A family that is not installed stays named unless the user picks another one.
        body->setSelFontName(QStringLiteral("Nowhere Grotesk"));
        child(editor(), "btnFont")->click(); // OK on what the dialog showed
        QCOMPARE(body->SelAttributes().fontName, QStringLiteral("Nowhere Grotesk"));
        QCOMPARE(body->SelAttributes().pointSize, 20.0);
        QVERIFY(body->SelAttributes().italic);
        child(editor(), "btnFont")->click(); // only the size changed
        QCOMPARE(body->SelAttributes().fontName, QStringLiteral("Nowhere Grotesk"));
        QCOMPARE(body->SelAttributes().pointSize, 14.0);
        child(editor(), "btnCancel")->click();
    });
    child(main(), "btnNewRec")->click();
    QVERIFY(!shownFamily.isEmpty());
    QCOMPARE(shownFamily, QFontInfo(QFont(QStringLiteral("Nowhere Grotesk"))).family()); // as drawn
}

void RecipeEditorTest::linksAreInsertedWithPercentAndOpenedWithBlanks()
{
    const QString path = m_dir->filePath(QStringLiteral("My Recipes/Old 50% cake.rtf"));
    m_prompt.answerFile(path);
    duringModal([this, path] {
        RichTextControl *body = editor()->Editor();
        child(editor(), "btnInsertLink")->click();
        QString expected = QStringLiteral("file:") + path;
        expected.replace(QLatin1Char(' '), QLatin1Char('%'));
        // Text typed after the link is plain, here and after a round trip through RTF.
        QTest::keyClicks(body, QStringLiteral(" more"));
        QCOMPARE(body->toPlainText(), expected + QStringLiteral(" more"));
        RichTextControl reread;
        reread.StreamIn(body->StreamOut());
        for (const RichTextControl *control : std::initializer_list<const RichTextControl *>{body, &reread}) {
            QCOMPARE(control->linkAt(3), expected);
            QCOMPARE(control->linkAt(int(expected.size()) + 2), QString());
        }
        body->setSelStart(int(expected.size()) + 2);
        QVERIFY(!body->SelAttributes().link);
        editor()->EditorURLClick(body->linkAt(3));
        editor()->EditorURLClick(QStringLiteral("https://saporin.example/a%b"));
        editor()->EditorURLClick(QStringLiteral("cook@kitchen.example"));
        child(editor(), "btnCancel")->click();
    });
    child(main(), "btnNewRec")->click();
    QCOMPARE(m_opened.size(), 3);
    QCOMPARE(m_opened.at(2), QUrl(QStringLiteral("mailto:cook@kitchen.example")));
    // Every "%" reads as a blank again, the one in the file name included.
    QCOMPARE(m_opened.at(0), QUrl::fromLocalFile(m_dir->filePath(QStringLiteral("My Recipes/Old 50  cake.rtf"))));
    QCOMPARE(m_opened.at(1).host(), QStringLiteral("saporin.example"));
    QCOMPARE(m_opened.at(1).path(), QStringLiteral("/a b"));
}

void RecipeEditorTest::insertPictureKeepsTheJpegSmall()
{
    QImage photo(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    const QString path = m_dir->filePath(QStringLiteral("photo.JPG"));
    QVERIFY(photo.save(path, "JPEG", 85));
    const qint64 jpegSize = QFileInfo(path).size();
    m_prompt.answerFile(path);
    duringModal([this] {
        QTest::keyClicks(child<QLineEdit>(editor(), "DBEdit1"), QStringLiteral("Photo soup"));
        QTest::keyClicks(child<QPlainTextEdit>(editor(), "DBMemo1"), QStringLiteral("photo"));
        child(editor(), "btnInsertPicture")->click();
        QCOMPARE(editor()->Editor()->TextLength(), 1);
        child(editor(), "btnSave")->click();
    });
    child(main(), "btnNewRec")->click();
    const QByteArray stored = recipeTable().blob(RecipeStore::RecipeDetail);
    QVERIFY2(stored.size() <= jpegSize * 14 / 10, qPrintable(QStringLiteral("%1 vs %2").arg(stored.size()).arg(jpegSize)));
    QVERIFY(LoadRecipeBody(stored).contains("\\jpegblip"));
    QVERIFY(m_prompt.texts(ScriptedPrompt::Kind::Error).isEmpty());
    QVERIFY(m_prompt.texts(ScriptedPrompt::Kind::ApplicationError).isEmpty());
}

namespace {

// Little-endian record writing for the metafiles the test makes.
struct Bytes {
    QByteArray data;
    Bytes &u16(quint16 v) { data.append(char(v & 0xff)).append(char(v >> 8)); return *this; }
    Bytes &u32(quint32 v) { return u16(quint16(v & 0xffff)).u16(quint16(v >> 16)); }
    Bytes &i32(qint32 v) { return u32(quint32(v)); }
};

// A 40 x 30 pixel enhanced metafile holding one rectangle.
QByteArray smallEmf()
{
    Bytes b;
    b.u32(1).u32(88);                               // header record
    b.i32(0).i32(0).i32(39).i32(29);                // bounds, pixels
    b.i32(0).i32(0).i32(1058).i32(793);             // frame, 0.01 mm
    b.u32(0x464D4520).u32(0x10000).u32(88 + 24 + 20).u32(3);
    b.u16(0).u16(0).u32(0).u32(0).u32(0);
    b.i32(1024).i32(768).i32(271).i32(203);         // device pixels and millimetres
    b.u32(43).u32(24).i32(2).i32(2).i32(37).i32(27); // rectangle
    b.u32(14).u32(20).u32(0).u32(16).u32(20);        // end of file
    return b.data;
}

// A placeable Windows metafile with no drawing records.
QByteArray smallWmf()
{
    Bytes b;
    b.u32(0x9AC6CDD7).u16(0).u16(0).u16(0).u16(400).u16(300).u16(1440).u32(0);
    quint16 checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= quint16(quint8(b.data.at(2 * i)) | (quint8(b.data.at(2 * i + 1)) << 8));
    b.u16(checksum);
    b.u16(1).u16(9).u16(0x300).u32(9 + 3).u16(0).u32(3).u16(0); // header, in 16-bit words
    b.u32(3).u16(0);                                             // end of file
    return b.data;
}

} // namespace

void RecipeEditorTest::insertsEachPictureKind_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("rtfWord");

    static const unsigned char gif[] = {
        'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0x21, 0xf9, 4, 1, 0, 0, 0, 0,
        0x2c, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0, 0x3b};
    QTest::newRow("gif") << "dot.gif" << QByteArray(reinterpret_cast<const char *>(gif), sizeof gif) << QByteArray("\\pngblip");
    QImage image(9, 7, QImage::Format_RGB32);
    image.fill(QColor(30, 120, 200));
    QByteArray bmp;
    {
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "BMP");
    }
    QTest::newRow("bmp") << "blue.bmp" << bmp << QByteArray("\\pngblip");
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG");
    }
    QTest::newRow("jpeg") << "blue.jpeg" << jpeg << QByteArray("\\jpegblip");
    QTest::newRow("emf") << "box.emf" << smallEmf() << QByteArray("\\emfblip");
    QTest::newRow("wmf") << "empty.wmf" << smallWmf() << QByteArray("\\wmetafile");
}

void RecipeEditorTest::insertsEachPictureKind()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, rtfWord);
    const QString path = m_dir->filePath(fileName);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    m_prompt.answerFile(path);
    QByteArray rtf;
    duringModal([this, &rtf] {
        child(editor(), "btnInsertPicture")->click();
        rtf = editor()->Editor()->StreamOut();
        QCOMPARE(editor()->Editor()->TextLength(), 1);
        child(editor(), "btnCancel")->click();
    });
    child(main(), "btnNewRec")->click();
    QVERIFY(m_prompt.texts(ScriptedPrompt::Kind::ApplicationError).isEmpty());
    QVERIFY2(rtf.contains(rtfWord), rtf.left(400).constData());
}

void RecipeEditorTest::unknownPictureExtensionReachesTheErrorReport()
{
    const QString png = m_dir->filePath(QStringLiteral("x.png"));
    QImage(4, 4, QImage::Format_RGB32).save(png);
    const QString bad = m_dir->filePath(QStringLiteral("broken.gif"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    m_prompt.answerFile(png);
    m_prompt.answerFile(bad);
    duringModal([this] {
        child(editor(), "btnInsertPicture")->click();
        child(editor(), "btnInsertPicture")->click();
        QCOMPARE(editor()->Editor()->TextLength(), 0);
        child(editor(), "btnCancel")->click();
    });
    child(main(), "btnNewRec")->click();
    const QStringList reports = m_prompt.texts(ScriptedPrompt::Kind::ApplicationError);
    QCOMPARE(reports.size(), 2);
    QVERIFY(reports.at(0).startsWith(QStringLiteral("Unknown picture file extension (.png)")));
}

void RecipeEditorTest::exportFollowsTheLastImport()
{
    const QString text = m_dir->filePath(QStringLiteral("in.txt"));
    QFile in(text);
    QVERIFY(in.open(QIODevice::WriteOnly));
    in.write("Rice\nWater");
    in.close();
    const QString out8 = m_dir->filePath(QStringLiteral("out8.txt"));
    const QString out16 = m_dir->filePath(QStringLiteral("out16.txt"));
    const QString again16 = m_dir->filePath(QStringLiteral("again16.txt"));
    const QString rtf = m_dir->filePath(QStringLiteral("out.rtf"));
    // Nothing imported yet: text files are 16-bit. Then a ".txt" import makes them 8-bit, and it
    // leaves nothing to undo.
    m_prompt.answerFile(out16);
    m_prompt.answerFile(rtf);
    m_prompt.answerFile(text);
    m_prompt.answerFile(out8);
    duringModal([this] {
        child(editor(), "btnNoteBookSaveAs")->click(); // empty: nothing, not even a dialog
        QTest::keyClicks(editor()->Editor(), QStringLiteral("Oats"));
        child(editor(), "btnNoteBookSaveAs")->click();
        child(editor(), "btnNoteBookSaveAs")->click();
        child(editor(), "btnNoteBookOpen")->click();
        QCOMPARE(editor()->Editor()->toPlainText(), QStringLiteral("Rice\nWater"));
        QVERIFY(!child(editor(), "btnUndo")->isEnabled());
        child(editor(), "btnNoteBookSaveAs")->click();
        child(editor(), "btnCancel")->click();
    });
    child(main(), "btnNewRec")->click();
    QVERIFY(fileBytes(out16).startsWith("\xFF\xFEO\0a\0"));
    QVERIFY(fileBytes(rtf).startsWith("{\\rtf"));
    QCOMPARE(fileBytes(out8), QByteArray("Rice\nWater"));

    // The mode lasts across openings until an import of anything else.
    m_prompt.answerFile(rtf);
    m_prompt.answerFile(again16);
    duringModal([this] {
        child(editor(), "btnNoteBookOpen")->click();
        QCOMPARE(editor()->Editor()->toPlainText(), QStringLiteral("Oats"));
        child(editor(), "btnNoteBookSaveAs")->click();
        child(editor(), "btnCancel")->click();
    });
    child(main(), "btnNewRec")->click();
    QVERIFY(fileBytes(again16).startsWith("\xFF\xFEO\0a\0"));
}

void RecipeEditorTest::layoutFollowsTheWindowSize()
{
    duringModal([this] {
        editor()->resize(1026, 550);
        QCOMPARE(child<QWidget>(editor(), "ToolBar1")->x(), (1026 - 838) / 2);
        QCOMPARE(child<QWidget>(editor(), "btnCancel")->x(), 1026 - 120);
        QCOMPARE(child<QWidget>(editor(), "DBEdit1")->width(), 1026 - 198);
        QCOMPARE(child<QWidget>(editor(), "DBMemo1")->width(), 1026 - 198);
        QCOMPARE(child<QWidget>(editor(), "DBMemo1")->height(), 57);
        editor()->resize(1200, 600);
        QCOMPARE(child<QWidget>(editor(), "ToolBar1")->x(), (1200 - 838) / 2);
        QCOMPARE(child<QWidget>(editor(), "btnCancel")->x(), 1200 - 120);
        QCOMPARE(editor()->Editor()->geometry(), QRect(0, 73, 1200, 600 - 73 - 168));
        child(editor(), "btnCancel")->click();
    });
    child(main(), "btnNewRec")->click();
}

void RecipeEditorTest::activationFillsTheWorkAreaHeight()
{
    duringModal([this] {
        const QRect work = editor()->screen()->availableGeometry();
        editor()->setGeometry(40, work.top() + 50, 700, 300);
        editor()->FormActivate();
        QCOMPARE(editor()->frameGeometry().top(), work.top());
        QCOMPARE(editor()->frameGeometry().height(), work.height());
        QCOMPARE(editor()->width(), 700);
        QCOMPARE(editor()->geometry().x(), 40);
        child(editor(), "btnCancel")->click();
    });
    child(main(), "btnNewRec")->click();
}

void RecipeEditorTest::popupMenuHasItsItemsAndHeadings()
{
    QMenu *menu = editor()->PopupMenu1();
    QStringList items;
    for (QAction *action : menu->actions())
        items << (action->isSeparator() ? QStringLiteral("[%1]").arg(action->text()) : action->text());
    QCOMPARE(items, (QStringList{QStringLiteral("Cut"), QStringLiteral("Copy"), QStringLiteral("Paste"),
                                 QStringLiteral("[Text Selection]"), QStringLiteral("Select All"),
                                 QStringLiteral("[Text Deletion]"), QStringLiteral("Clear Selection"),
                                 QStringLiteral("Clear All"), QStringLiteral("[Text Formatting]"),
                                 QStringLiteral("Formatting")}));
    QCOMPARE(menu->findChild<QAction *>(QStringLiteral("ClearSelection1"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    QCOMPARE(menu->findChild<QAction *>(QStringLiteral("Bold1"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+B")));
    // The shortcut keys work in the body.
    duringModal([this] {
        RichTextControl *body = editor()->Editor();
        body->setPlainText(QStringLiteral("abc"));
        body->selectAll();
        QApplication::setActiveWindow(editor());
        body->setFocus();
        QTest::keyClick(body, Qt::Key_B, Qt::ControlModifier);
        QVERIFY(body->SelAttributes().bold);
        QTest::keyClick(body, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(body->TextLength(), 0);
        child(editor(), "btnCancel")->click();
    });
    child(main(), "btnNewRec")->click();
}

void RecipeEditorTest::busyNoticeMovesThroughALargeLoadAndSave()
{
    // About 5 MB of formatted paragraphs: reading and writing them takes many animation frames.
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";
    for (int i = 0; rtf.size() < 5'000'000; ++i)
        rtf += "\\pard Stir the {\\b onions} and {\\i garlic " + QByteArray::number(i)
               + "} until soft, then add the {\\ul hot} stock.\\par\n";
    rtf += '}';
    addRecipe(QStringLiteral("Stock"), QStringLiteral("big"), SaveRecipeBody(rtf));
    FrameLog log(windows().frmExport);
    qint64 loaded = 0, loadStill = 0, length = 0;
    bool noticeOverEditor = false;
    QString report;
    main()->recipeList()->setCurrentRow(0);
    duringModal([&] {
        loaded = log.hiddenAt();
        loadStill = log.longestStill();
        length = editor()->Editor()->TextLength();
        report = QStringLiteral("load: %1 ms, %2 frames, still for %3 ms; ").arg(loaded).arg(log.frames()).arg(loadStill);
        log.restart();
        connect(windows().frmExport, &BusyNotice::frameShown, editor(), [&] {
            noticeOverEditor = windows().frmExport->windowHandle()->transientParent() == editor()->windowHandle();
        }, Qt::SingleShotConnection);
        child(editor(), "btnSave")->click();
    });
    log.restart();
    child(main(), "btnEditRec")->click();
    report += QStringLiteral("save: %1 ms, %2 frames, still for %3 ms")
                      .arg(log.hiddenAt()).arg(log.frames()).arg(log.longestStill());
    qInfo("%s", qPrintable(report));
    QVERIFY(length > 1'000'000);
    QVERIFY2(noticeOverEditor, "the notice shown while saving is transient for the editor");
    QVERIFY2(!editor()->isVisible(), qPrintable(report));
    // Frames are 100 ms apart; a loaded machine may stretch a few of them, a GUI thread that never
    // lets the notice paint shows one picture for the whole work.
    QVERIFY2(loaded > 0 && loadStill < 350, qPrintable(report));
    QVERIFY2(log.hiddenAt() > 0 && log.longestStill() < 350, qPrintable(report));
}

void RecipeEditorTest::escapeKeepsTheEditAndPickersStayWithTheEditor()
{
    addRecipe(QStringLiteral("Leek soup"), QStringLiteral("leek"),
              SaveRecipeBody("{\\rtf1 Leeks, see https://leeks.example for more.}"));
    for (int opening = 0; opening < 2; ++opening) { // the second load replaces the first document
        bool transient = false, restored = false;
        openFirstRecipe([&] {
            RichTextControl *body = editor()->Editor();
            QCOMPARE(body->linkAt(15), QStringLiteral("https://leeks.example"));
            QTest::keyClicks(body, QStringLiteral("Wash "));
            QTest::keyClick(body, Qt::Key_Escape);
            QTest::keyClick(child<QLineEdit>(editor(), "DBEdit1"), Qt::Key_Escape);
            QVERIFY(editor()->isVisible());
            QVERIFY(body->toPlainText().startsWith(QStringLiteral("Wash Leeks")));
            QDialog *picker = windows().frmEmoticons;
            QTimer::singleShot(0, picker, [&, picker] {
                transient = picker->windowHandle()->transientParent() == editor()->windowHandle();
                picker->reject();
            });
            child(editor(), "btnInsertEmoticon")->click();
            restored = picker->windowHandle()->transientParent() != editor()->windowHandle();
            child(editor(), "btnCancel")->click();
        });
        QVERIFY(!editor()->isVisible());
        QVERIFY2(transient, "a window shown from the editor is transient for it");
        QVERIFY(restored);
    }
}

QTEST_MAIN(RecipeEditorTest)
#include "tst_recipeeditor.moc"
