#include "shell/windowset.h"
#include "app/ui/application.h"
#include "app/ui/mainwindow.h"
#include "editor/control/richtextcontrol.h"
#include "editor/embeddedpicture.h"
#include "metafile/emfplayer.h"
#include "editor/ui/recipeeditor.h"
#include "pickers/emoticons.h"
#include "pickers/ui/charactermap.h"
#include "pickers/ui/emoticonpicker.h"
#include "store/recipestore.h"
#include "store/table.h"
#include "tests/support/findchild.h"
#include "tests/support/modal.h"
#include "tests/support/scriptedprompt.h"

#include <QFontComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Runs `step` once `window` is the running modal window (the pickers open over the editor,
// which is modal itself).
void whenModal(QWidget *window, std::function<void()> step)
{
    QTimer::singleShot(0, [window, step = std::move(step)] {
        if (QApplication::activeModalWidget() == window)
            step();
        else
            whenModal(window, step);
    });
}

void clickCell(QWidget *map, int column, int row)
{
    auto *grid = child<QTableWidget>(map, "StringGrid1");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, column)).center());
}

void chooseFont(QWidget *map, const QString &family)
{
    auto *fonts = child<QFontComboBox>(map, "FontComboBox1");
    fonts->setCurrentIndex(fonts->findText(family));
}

QTextCharFormat formatAt(RichTextControl *body, int position)
{
    QTextCursor cursor(body->document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

} // namespace

class PickersInEditorTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void insertsCharactersInTheChosenFont();
    void insertsOneEmoticonPerClick();

private:
    MainWindow *main() const { return windows().frmMain; }
    RecipeEditor *editor() const { return windows().frmAERecipe; }
    void saveAs(const QString &name);
    void reopen(std::function<void()> step);

    QTemporaryDir *m_dir = nullptr;
    ScriptedPrompt m_prompt;
};

void PickersInEditorTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    Prompt::install(&m_prompt);
}

void PickersInEditorTest::init()
{
    QFile::remove(MainWindow::profilePath());
    m_prompt.clear();
    m_dir = new QTemporaryDir;
    createWindows(m_dir->path());
    main()->show();
    Table &categories = main()->store().cdsCategory();
    categories.insert();
    categories.setText(RecipeStore::CategoryDescription, QStringLiteral("Desserts"));
    categories.post();
    main()->FillCategoryList();
    main()->selectEntry(main()->categoryList(), QStringLiteral("Desserts"));
}

void PickersInEditorTest::cleanup()
{
    destroyWindows();
    delete m_dir;
    QCOMPARE(m_prompt.unusedReplies(), 0);
    QVERIFY(m_prompt.shown().isEmpty());
}

void PickersInEditorTest::saveAs(const QString &name)
{
    QTest::keyClicks(child<QLineEdit>(editor(), "DBEdit1"), name);
    QTest::keyClicks(child<QPlainTextEdit>(editor(), "DBMemo1"), QStringLiteral("sweet"));
    child(editor(), "btnSave")->click();
}

void PickersInEditorTest::reopen(std::function<void()> step)
{
    main()->recipeList()->setCurrentRow(0);
    duringModal(std::move(step));
    child(main(), "btnEditRec")->click();
}

void PickersInEditorTest::insertsCharactersInTheChosenFont()
{
    CharacterMap *map = windows().DLLForm;
    duringModal([this, map] {
        RichTextControl *body = editor()->Editor();
        QTest::keyClicks(body, QStringLiteral("xyz"));
        body->selectAll();
        body->setSelPointSize(20);
        body->setSelColor(QColor(200, 0, 0));
        body->setSelStart(1);
        body->setSelLength(0);

        // At the caret: the character goes in before "y", which stays.
        whenModal(map, [map] {
            chooseFont(map, QStringLiteral("Liberation Mono"));
            clickCell(map, 10, 11); // code 230
            child(map, "btnInsert")->click();
        });
        child(editor(), "btnInsertChar")->click();
        QCOMPARE(body->toPlainText(), QStringLiteral("x\u00e6yz"));
        QCOMPARE(formatAt(body, 1).fontFamilies().toStringList().value(0), QStringLiteral("Liberation Mono"));
        QCOMPARE(formatAt(body, 1).fontPointSize(), 20.0);
        QCOMPARE(formatAt(body, 1).foreground().color(), QColor(200, 0, 0));
        QVERIFY(formatAt(body, 2).fontFamilies().toStringList().value(0) != QStringLiteral("Liberation Mono"));

        // Over a selection made backwards: the line replaces it, in the chosen font all the same.
        QTextCursor backwards(body->document());
        backwards.setPosition(3);
        backwards.setPosition(1, QTextCursor::KeepAnchor);
        body->setTextCursor(backwards);
        whenModal(map, [map] {
            chooseFont(map, QStringLiteral("DejaVu Serif"));
            clickCell(map, 6, 3); // B
            child(map, "btnAdd")->click();
            clickCell(map, 7, 3); // C
            child(map, "btnAdd")->click();
            child(map, "btnInsertLine")->click();
        });
        child(editor(), "btnInsertChar")->click();
        QCOMPARE(body->toPlainText(), QStringLiteral("xBCz"));
        for (int i : {1, 2}) {
            QCOMPARE(formatAt(body, i).fontFamilies().toStringList().value(0), QStringLiteral("DejaVu Serif"));
            QCOMPARE(formatAt(body, i).fontPointSize(), 20.0);
        }

        // Close inserts nothing.
        whenModal(map, [map] { child(map, "RbButton1")->click(); });
        child(editor(), "btnInsertChar")->click();
        QCOMPARE(body->toPlainText(), QStringLiteral("xBCz"));
        saveAs(QStringLiteral("Crumble"));
    });
    child(main(), "btnNewRec")->click();

    reopen([this] {
        RichTextControl *body = editor()->Editor();
        QCOMPARE(body->toPlainText(), QStringLiteral("xBCz"));
        QCOMPARE(formatAt(body, 1).fontFamilies().toStringList().value(0), QStringLiteral("DejaVu Serif"));
        QCOMPARE(formatAt(body, 2).fontPointSize(), 20.0);
        child(editor(), "btnCancel")->click();
    });
}

void PickersInEditorTest::insertsOneEmoticonPerClick()
{
    EmoticonPicker *picker = windows().frmEmoticons;
    const QByteArray happy = Emoticons::metafile(*Emoticons::byTag(23));
    duringModal([this, picker, happy] {
        RichTextControl *body = editor()->Editor();
        whenModal(picker, [picker] { QTest::mouseClick(child(picker, "Image1"), Qt::LeftButton); });
        child(editor(), "btnInsertEmoticon")->click();
        QCOMPARE(body->TextLength(), 1);
        QVERIFY(!picker->EmoticonChosen);

        // A second showing that only points at a picture and closes pastes nothing.
        whenModal(picker, [picker] {
            QTest::mouseMove(child(picker, "Image23"));
            child(picker, "btnClose")->click();
        });
        child(editor(), "btnInsertEmoticon")->click();
        QCOMPARE(body->TextLength(), 1);
        saveAs(QStringLiteral("Trifle"));
    });
    child(main(), "btnNewRec")->click();

    reopen([this, happy] {
        RichTextControl *body = editor()->Editor();
        QCOMPARE(body->TextLength(), 1);
        QVERIFY(body->StreamOut().contains("\\emfblip"));
        const QString name = formatAt(body, 0).toImageFormat().name();
        const std::optional<EmbeddedPicture> picture = EmbeddedPictureStore::find(body->document(), name);
        QVERIFY(picture);
        QCOMPARE(picture->kind, EmbeddedPicture::Kind::Emf);
        QCOMPARE(picture->data, happy);
        QVERIFY(!picture->svg.isEmpty() || EmfPlayer::canPlay(picture->data)); // drawn as vectors, not as a placeholder
        child(editor(), "btnCancel")->click();
    });
}

QTEST_MAIN(PickersInEditorTest)
#include "tst_pickersineditor.moc"
