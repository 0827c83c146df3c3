#include "store/inifile.h"
#include "shell/guardedapplication.h"
#include "shell/windowset.h"
#include "app/ui/application.h"
#include "app/ui/categorydialog.h"
#include "app/ui/mainwindow.h"
#include "editor/ui/recipeeditor.h"
#include "store/recipestore.h"
#include "store/table.h"
#include "tests/support/findchild.h"
#include "tests/support/modal.h"
#include "tests/support/scriptedprompt.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>

namespace {

QStringList entries(QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

} // namespace

class BrowserTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void addRenameAndCancelCategories();
    void categoryNameBoxKeys();
    void deletingCategories();
    void recipeCommandsFollowTheHighlight();
    void duplicateRecipeNamesDeleteByPosition();
    void informationWhenNothingSelected_data();
    void informationWhenNothingSelected();
    void onlyTheLeftButtonActs();
    void helpAndExitButton();
    void placementSurvivesRestart();
    void placementFromOtherPixelsPerInchKeepsOnlyState();
    void unreadableProfileIsReportedAndKept();

public Q_SLOTS:
    // Stands in for the desktop's browser.
    void openUrl(const QUrl &url) { m_opened << url; }

private:
    MainWindow *main() const { return windows().frmMain; }
    QListWidget *categories() const { return main()->categoryList(); }
    QListWidget *recipes() const { return main()->recipeList(); }
    Table &categoryTable() const { return main()->store().cdsCategory(); }
    Table &recipeTable() const { return main()->store().cdsRecipe(); }
    void addCategory(const QString &name);
    void addRecipes(const QString &category, const QStringList &names);
    void clickCategory(const QString &name);
    void start();

    QTemporaryDir *m_dir = nullptr;
    ScriptedPrompt m_prompt;
    QList<QUrl> m_opened;
};

void BrowserTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    Prompt::install(&m_prompt);
}

void BrowserTest::init()
{
    QFile::remove(MainWindow::profilePath());
    m_prompt.clear();
    m_dir = new QTemporaryDir;
    start();
}

void BrowserTest::start()
{
    createWindows(m_dir->path());
    main()->show();
}

void BrowserTest::cleanup()
{
    destroyWindows();
    delete m_dir;
    QCOMPARE(m_prompt.unusedReplies(), 0);
}

void BrowserTest::addCategory(const QString &name)
{
    duringModal([name] {
        auto *dialog = windows().frmAECategory;
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Add New Category"));
        QTest::keyClicks(child<QLineEdit>(dialog, "DBEdit1"), name);
        child(dialog, "btnSave")->click();
    });
    child(main(), "btnNewCat")->click();
}

void BrowserTest::addRecipes(const QString &category, const QStringList &names)
{
    Table &recipes = recipeTable();
    QVERIFY(categoryTable().locate(RecipeStore::CategoryDescription, category));
    for (const QString &name : names) {
        recipes.insert();
        recipes.setText(RecipeStore::RecipeDescription, name);
        recipes.post();
    }
}

void BrowserTest::clickCategory(const QString &name)
{
    const QList<QListWidgetItem *> found = categories()->findItems(name, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    const QRect rect = categories()->visualItemRect(found.constFirst());
    QTest::mouseClick(categories()->viewport(), Qt::LeftButton, {}, rect.center());
}

void BrowserTest::addRenameAndCancelCategories()
{
    addCategory(QStringLiteral("Cakes"));
    addCategory(QStringLiteral("Bread"));
    addCategory(QStringLiteral("Soups"));
    QCOMPARE(entries(categories()), (QStringList{QStringLiteral("Bread"), QStringLiteral("Cakes"), QStringLiteral("Soups")}));
    QCOMPARE(categories()->currentItem()->text(), QStringLiteral("Soups"));
    QVERIFY(categories()->hasFocus() || !categories()->isActiveWindow());
    QCOMPARE(recipes()->count(), 0);

    // A name that differs only in case is another category; the selection by text finds the first.
    addCategory(QStringLiteral("soups"));
    QCOMPARE(categories()->count(), 4);

    // Renaming moves the entry to its place and keeps it highlighted.
    clickCategory(QStringLiteral("Bread"));
    duringModal([] {
        auto *dialog = windows().frmAECategory;
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Category"));
        auto *box = child<QLineEdit>(dialog, "DBEdit1");
        QCOMPARE(box->text(), QStringLiteral("Bread"));
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("Yeast breads"));
        child(dialog, "btnSave")->click();
    });
    child(main(), "btnEditCat")->click();
    QCOMPARE(entries(categories()).constLast(), QStringLiteral("Yeast breads"));
    QCOMPARE(categories()->currentItem()->text(), QStringLiteral("Yeast breads"));

    // Cancel, and the close box, leave the list as it was.
    const QStringList before = entries(categories());
    duringModal([] {
        QTest::keyClicks(child<QLineEdit>(windows().frmAECategory, "DBEdit1"), QStringLiteral("Pies"));
        child(windows().frmAECategory, "btnCancel")->click();
    });
    child(main(), "btnNewCat")->click();
    duringModal([] {
        QTest::keyClicks(child<QLineEdit>(windows().frmAECategory, "DBEdit1"), QStringLiteral("Tarts"));
        windows().frmAECategory->close();
    });
    child(main(), "btnNewCat")->click();
    QCOMPARE(categoryTable().state(), Table::State::Browse);
    main()->FillCategoryList();
    QCOMPARE(entries(categories()), before);
    QVERIFY(m_prompt.shown().isEmpty());
}

void BrowserTest::categoryNameBoxKeys()
{
    addCategory(QStringLiteral("Soups"));
    // Enter saves like the button; Escape puts the stored name back and keeps the dialog open.
    duringModal([this] {
        auto *dialog = windows().frmAECategory;
        auto *box = child<QLineEdit>(dialog, "DBEdit1");
        QTest::keyClicks(box, QStringLiteral(" and stews"));
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        QCOMPARE(box->text(), QStringLiteral("Soups"));
        QCOMPARE(box->selectedText(), QStringLiteral("Soups"));
        box->clear();
        QTest::keyClick(box, Qt::Key_Return);   // empty: refused
        QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::Information),
                 QStringList{QStringLiteral("Please enter a Category Description.")});
        QVERIFY(dialog->isVisible());
        QTest::keyClicks(box, QString(101, QLatin1Char('x')));
        QCOMPARE(box->text().size(), 100);
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(!dialog->isVisible());
    });
    clickCategory(QStringLiteral("Soups"));
    child(main(), "btnEditCat")->click();
    QCOMPARE(entries(categories()), QStringList{QString(100, QLatin1Char('x'))});
}

void BrowserTest::deletingCategories()
{
    addCategory(QStringLiteral("Empty"));
    addCategory(QStringLiteral("Soups"));
    addRecipes(QStringLiteral("Soups"), {QStringLiteral("Leek")});
    main()->FillCategoryList();

    clickCategory(QStringLiteral("Soups"));
    QCOMPARE(entries(recipes()), QStringList{QStringLiteral("Leek")});
    child(main(), "btnDeleteCat")->click();
    QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::Information),
             QStringList{QStringLiteral("Please Delete this Categories recipes before continuing.")});
    QCOMPARE(categories()->count(), 2);

    clickCategory(QStringLiteral("Empty"));
    QCOMPARE(recipes()->count(), 0);
    m_prompt.answer(Prompt::Answer::No);
    child(main(), "btnDeleteCat")->click();
    QCOMPARE(categories()->count(), 2);
    m_prompt.answer(Prompt::Answer::Yes);
    child(main(), "btnDeleteCat")->click();
    QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::Confirm),
             (QStringList{QStringLiteral("Delete selected Category?"), QStringLiteral("Delete selected Category?")}));
    QCOMPARE(entries(categories()), QStringList{QStringLiteral("Soups")});
    QVERIFY(categories()->selectedItems().isEmpty());

    m_prompt.clear();
    child(main(), "btnNewRec")->click();
    QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::Information),
             QStringList{QStringLiteral("Select a Category before continuing.")});
}

void BrowserTest::recipeCommandsFollowTheHighlight()
{
    addCategory(QStringLiteral("Soups"));
    addRecipes(QStringLiteral("Soups"), {QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("B")});
    main()->FillCategoryList();
    clickCategory(QStringLiteral("Soups"));
    QCOMPARE(entries(recipes()), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    QCOMPARE(recipes()->currentRow(), 0);

    // Highlight B, edit the category and cancel: Edit/View still opens B, with the busy notice.
    recipes()->setCurrentRow(1);
    duringModal([] { child(windows().frmAECategory, "btnCancel")->click(); });
    child(main(), "btnEditCat")->click();
    QString opened;
    duringModal([&] {
        opened = recipeTable().text(RecipeStore::RecipeDescription);
        QCOMPARE(recipeTable().state(), Table::State::Edit);
        QCOMPARE(windows().frmAERecipe->windowTitle(), QStringLiteral("Edit Recipe"));
        windows().frmAERecipe->close();
    });
    child(main(), "btnEditRec")->click();
    QCOMPARE(opened, QStringLiteral("B"));
    QCOMPARE(recipeTable().state(), Table::State::Browse);   // the closed editor cancelled

    // New recipe: inserting into the selected category, without the notice. Assistive technology
    // announces the editor by the caption it has now, and the main window as a window.
    duringModal([] {
        QCOMPARE(windows().frmAERecipe->windowTitle(), QStringLiteral("Add New Recipe"));
        QCOMPARE(QAccessible::queryAccessibleInterface(windows().frmAERecipe)->text(QAccessible::Name),
                 QStringLiteral("Add New Recipe"));
        QCOMPARE(QAccessible::queryAccessibleInterface(windows().frmMain)->role(), QAccessible::Window);
        QCOMPARE(windows().browser->store().cdsRecipe().state(), Table::State::Insert);
        windows().frmAERecipe->close();
    });
    child(main(), "btnNewRec")->click();
    QCOMPARE(recipeTable().recordCount(), 3);

    // Delete removes the highlighted recipe and leaves nothing highlighted.
    recipes()->setCurrentRow(2);
    m_prompt.answer(Prompt::Answer::Yes);
    child(main(), "btnDeleteRec")->click();
    QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::Confirm), QStringList{QStringLiteral("Delete selected Recipe?")});
    QCOMPARE(entries(recipes()), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    QVERIFY(recipes()->selectedItems().isEmpty());
}

void BrowserTest::duplicateRecipeNamesDeleteByPosition()
{
    addCategory(QStringLiteral("Soups"));
    addRecipes(QStringLiteral("Soups"), {QStringLiteral("Leek"), QStringLiteral("Leek")});
    recipeTable().setRecNo(2);
    const int second = recipeTable().value(RecipeStore::RecipeNo).toInt();
    main()->FillCategoryList();
    clickCategory(QStringLiteral("Soups"));
    recipes()->setCurrentRow(1);
    m_prompt.answer(Prompt::Answer::Yes);
    child(main(), "btnDeleteRec")->click();
    recipeTable().first();
    QCOMPARE(recipeTable().recordCount(), 1);
    QVERIFY(recipeTable().value(RecipeStore::RecipeNo).toInt() != second);
}

void BrowserTest::informationWhenNothingSelected_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("edit category") << "btnEditCat" << "Please select a Category to Edit.";
    QTest::newRow("delete category") << "btnDeleteCat" << "Please select Category to Delete.";
    QTest::newRow("new recipe") << "btnNewRec" << "Select a Category before continuing.";
    QTest::newRow("edit recipe") << "btnEditRec" << "Please select a Recipe to Edit.";
    QTest::newRow("delete recipe") << "btnDeleteRec" << "Please select Recipe to Delete.";
}

void BrowserTest::informationWhenNothingSelected()
{
    QFETCH(QString, button);
    QFETCH(QString, message);
    addCategory(QStringLiteral("Soups"));
    addRecipes(QStringLiteral("Soups"), {QStringLiteral("Leek")});
    main()->FillCategoryList();
    // The recipe view is the last category's after the fill; nothing is selected in either list.
    main()->FillRecipeList();
    m_prompt.clear();
    child(main(), qPrintable(button))->click();
    QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::Information), QStringList{message});
}

void BrowserTest::onlyTheLeftButtonActs()
{
    addCategory(QStringLiteral("Soups"));
    addRecipes(QStringLiteral("Soups"), {QStringLiteral("Leek")});
    main()->FillCategoryList();
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
    auto *link = child<QLabel>(main(), "Label4");
    const QPoint soups = categories()->visualItemRect(categories()->item(0)).center();
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseClick(categories()->viewport(), button, {}, soups);
        QTest::mouseClick(link, button);
    }
    QVERIFY(categories()->selectedItems().isEmpty());
    QCOMPARE(recipes()->count(), 0);
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton})
        QTest::mouseDClick(categories()->viewport(), button, {}, soups);
    QVERIFY(m_prompt.shown().isEmpty());   // no "Please select a Category to Edit."
    QVERIFY(m_opened.isEmpty());

    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(m_opened, QList<QUrl>{QUrl(QString::fromLatin1(MainWindow::WebAddress))});
    clickCategory(QStringLiteral("Soups"));
    QCOMPARE(entries(recipes()), QStringList{QStringLiteral("Leek")});
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void BrowserTest::helpAndExitButton()
{
    child(main(), "btnHelp")->click();
    const QStringList shown = m_prompt.texts(ScriptedPrompt::Kind::Information);
    QCOMPARE(shown.size(), 1);
    const QStringList lines = shown.constFirst().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 13);
    QCOMPARE(lines.at(0), QStringLiteral("This is a short help tutorial."));
    QCOMPARE(lines.at(3), QStringLiteral("   adding the Category and then add the Recipes for that Category."));
    QCOMPARE(lines.at(12), QStringLiteral("   tag as entered in the recipe's tag field."));

    for (int width : {1026, 1400, 800}) {
        main()->resize(width, 603);
        QCOMPARE(child(main(), "btnExit")->x(), main()->frameGeometry().width() - 110);
    }
}

void BrowserTest::placementSurvivesRestart()
{
    main()->setGeometry(120, 80, 900, 500);
    main()->close();   // saves, then fades
    destroyWindows();
    IniFile profile(MainWindow::profilePath());
    QVERIFY(profile.load());
    QCOMPARE(profile.value(QStringLiteral("TfrmMain"), QStringLiteral("NormPos")), QStringLiteral("120,80,1020,580"));
    QCOMPARE(profile.intValue(QStringLiteral("TfrmMain"), QStringLiteral("ShowCmd"), 0), 1);

    start();
    QCOMPARE(main()->geometry(), QRect(120, 80, 900, 500));
    main()->showMaximized();
    destroyWindows();   // saved while destroyed this time
    QVERIFY(profile.load());
    QCOMPARE(profile.intValue(QStringLiteral("TfrmMain"), QStringLiteral("ShowCmd"), 0), 3);
    QCOMPARE(profile.value(QStringLiteral("TfrmMain"), QStringLiteral("Visible")), QStringLiteral("1"));

    start();
    QVERIFY(main()->isMaximized());
}

void BrowserTest::placementFromOtherPixelsPerInchKeepsOnlyState()
{
    destroyWindows();
    IniFile profile(MainWindow::profilePath());
    profile.setValue(QStringLiteral("TfrmMain"), QStringLiteral("PixelsPerInch"), 1000);
    profile.setValue(QStringLiteral("TfrmMain"), QStringLiteral("NormPos"), QStringLiteral("1,2,301,202"));
    profile.setValue(QStringLiteral("TfrmMain"), QStringLiteral("ShowCmd"), 3);
    QVERIFY(profile.save());
    start();
    QVERIFY(main()->isMaximized());
    QVERIFY(main()->normalGeometry().size() != QSize(300, 200));

    // A damaged profile never stops the window from showing.
    destroyWindows();
    QFile file(MainWindow::profilePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\x01\x02[TfrmMain\nNormPos=,,,\nShowCmd=\xff\n");
    file.close();
    start();
    QVERIFY(main()->isVisible());
    QVERIFY(m_prompt.shown().isEmpty());
}

void BrowserTest::unreadableProfileIsReportedAndKept()
{
    destroyWindows();
    // A folder in the profile's place: it exists and cannot be read, even by the superuser.
    const QString path = MainWindow::profilePath();
    QFile::remove(path);
    QVERIFY(QDir().mkpath(path));
    m_prompt.clear();
    start();
    QVERIFY(main()->isVisible());
    const QString shown = QDir::toNativeSeparators(path);
    QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::ApplicationError),
             QStringList{QStringLiteral("Cannot read the profile file %1.").arg(shown)});
    destroyWindows();
    QCOMPARE(m_prompt.texts(ScriptedPrompt::Kind::ApplicationError).constLast(),
             QStringLiteral("Cannot read the profile file %1, so the window's placement was not saved.").arg(shown));
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(QDir(path).removeRecursively());
}

int main(int argc, char *argv[])
{
    GuardedApplication application(argc, argv);
    BrowserTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browser.moc"
