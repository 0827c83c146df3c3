#include "shell/guardedapplication.h"
#include "shell/windowset.h"
#include "app/ui/application.h"
#include "app/ui/mainwindow.h"
#include "editor/ui/recipeeditor.h"
#include "search/tagsearch.h"
#include "search/ui/searchwindow.h"
#include "store/recipestore.h"
#include "store/table.h"
#include "tests/support/modal.h"
#include "tests/support/scriptedprompt.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

struct Recipe {
    const char *category;
    const char *name;
    const char *tags;
};

// Categories in table order: Breakfast, dinner, Dinner (a name equal to another ignoring case;
// small letters sort first), Empty; recipes as listed.
const Recipe Collection[] = {
    {"Dinner", "Omelette", "Eggs, bacon"},
    {"Breakfast", "Toast", "bread"},
    {"Breakfast", "Scramble", "SCRAMBLED EGG"},
    {"Breakfast", "Benedict", "eggs benedict"},
    {"Dinner", "Soup", ""},
    {"dinner", "Crème", "Œufs Ÿ egg"},
    {"Empty", "Stock", "  "},
};

void fill(RecipeStore &store)
{
    Table &categories = store.cdsCategory();
    for (const char *name : {"Dinner", "Breakfast", "dinner", "Empty"}) {
        categories.insert();
        categories.setText(RecipeStore::CategoryDescription, QString::fromUtf8(name));
        categories.post();
    }
    for (const Recipe &recipe : Collection) {
        QVERIFY(categories.locate(RecipeStore::CategoryDescription, QString::fromUtf8(recipe.category)));
        store.cdsRecipe().insert();
        store.cdsRecipe().setText(RecipeStore::RecipeDescription, QString::fromUtf8(recipe.name));
        store.cdsRecipe().setText(RecipeStore::RecipeTag, QString::fromUtf8(recipe.tags));
        store.cdsRecipe().post();
    }
}

// Every hit of a walk from the start, as "category/recipe#recNo".
QStringList walk(RecipeStore &store, const QString &text)
{
    QStringList hits;
    store.cdsCategory().first();
    store.cdsRecipe().first();
    while (const std::optional<int> hit = TagSearch::RunTagSearch(store, text)) {
        hits << store.cdsCategory().text(RecipeStore::CategoryDescription) + QLatin1Char('/')
                    + store.cdsRecipe().text(RecipeStore::RecipeDescription) + QLatin1Char('#') + QString::number(*hit);
        store.cdsRecipe().next();
    }
    return hits;
}

// The program's windows over the collection above, with the search window shown.
class SearchFixture
{
public:
    SearchFixture()
    {
        Prompt::install(&prompt);
        createWindows(dir.path());
        fill(windows().browser->store());
        windows().frmMain->show();
        windows().frmMain->SpeedButton1Click();
    }
    ~SearchFixture()
    {
        destroyWindows();
        Prompt::install(nullptr);
    }

    template <typename T = QAbstractButton>
    T *control(const char *name) const
    {
        return windows().frmSearch->findChild<T *>(QLatin1String(name));
    }

    QTemporaryDir dir;
    ScriptedPrompt prompt;
};

} // namespace

class TagSearchTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matching_data();
    void matching();
    void walkOrder_data();
    void walkOrder();
    void windowWalksOpensAndFinishes();
    void enterRestartsAndClosingDisablesNext();
    void nextAfterClickingAnotherCategory();
};

void TagSearchTest::matching_data()
{
    QTest::addColumn<QString>("tags");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hit");
    QTest::newRow("small in capitals") << "SCRAMBLED EGG" << "egg" << true;
    QTest::newRow("capital in small") << "Eggs, bacon" << "EGG" << true;
    QTest::newRow("inside a word") << "scrambled" << "ambl" << true;
    QTest::newRow("blank must match") << "eggs benedict" << "s b" << true;
    QTest::newRow("blank is not trimmed") << "eggs" << "egg " << false;
    QTest::newRow("accented capital not folded") << "ÉCLAIR" << "éclair" << false;
    QTest::newRow("accented small matches itself") << "éclair" << "ÉCLAIR" << false;
    QTest::newRow("same accents") << "Crème" << "crème" << true;
    QTest::newRow("empty tags") << "" << "egg" << false;
    QTest::newRow("empty text never hits") << "egg" << "" << false;
}

void TagSearchTest::matching()
{
    QFETCH(QString, tags);
    QFETCH(QString, text);
    QFETCH(bool, hit);
    QCOMPARE(TagSearch::isHit(tags, TagSearch::fold(text)), hit);
}

void TagSearchTest::walkOrder_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("hits");
    QTest::newRow("egg") << "egg" << QStringList{"Breakfast/Benedict#1", "Breakfast/Scramble#2", "dinner/Crème#1", "Dinner/Omelette#1"};
    QTest::newRow("Egg") << "Egg" << QStringList{"Breakfast/Benedict#1", "Breakfast/Scramble#2", "dinner/Crème#1", "Dinner/Omelette#1"};
    QTest::newRow("blank") << " " << QStringList{"Breakfast/Benedict#1", "Breakfast/Scramble#2", "dinner/Crème#1", "Dinner/Omelette#1", "Empty/Stock#1"};
    QTest::newRow("none") << "caviar" << QStringList{};
}

void TagSearchTest::walkOrder()
{
    QFETCH(QString, text);
    QFETCH(QStringList, hits);
    QTemporaryDir dir;
    RecipeStore store(dir.path());
    store.open();
    fill(store);
    QCOMPARE(walk(store, text), hits);
}

void TagSearchTest::windowWalksOpensAndFinishes()
{
    SearchFixture fixture;
    ScriptedPrompt &prompt = fixture.prompt;
    QVERIFY(windows().frmSearch->isVisible());
    auto *tag = fixture.control<QLineEdit>("edtTag");
    auto *start = fixture.control("btnSearch");
    auto *next = fixture.control("btnNext");
    QVERIFY(!next->isEnabled());

    start->click();
    QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Information), QStringList{QStringLiteral("Please enter a Search Tag to continue.")});
    prompt.clear();

    tag->setText(QStringLiteral("EGG"));
    QStringList opened;
    auto expectHit = [&](QAbstractButton *button) {
        duringModal([&] {
            Browser *browser = windows().browser;
            opened << browser->categoryList()->currentItem()->text() + QLatin1Char('/')
                          + browser->recipeList()->currentItem()->text();
            QCOMPARE(browser->store().cdsRecipe().text(RecipeStore::RecipeDescription),
                     browser->recipeList()->currentItem()->text());
            windows().frmAERecipe->close();
        });
        button->click();
    };
    expectHit(start);
    QVERIFY(next->isEnabled());
    expectHit(next);
    expectHit(next);
    // "Dinner" equals "dinner" ignoring case: the first such entry is highlighted for its hit too.
    expectHit(next);
    QCOMPARE(opened, (QStringList{QStringLiteral("Breakfast/Benedict"), QStringLiteral("Breakfast/Scramble"),
                                  QStringLiteral("dinner/Crème"), QStringLiteral("dinner/Omelette")}));
    next->click();
    QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Information), QStringList{QStringLiteral("Search Finished.")});
    QVERIFY(!next->isEnabled());
    QCOMPARE(windows().browser->categoryList()->count(), 4);
    QVERIFY(windows().browser->categoryList()->selectedItems().isEmpty());
    QCOMPARE(windows().browser->recipeList()->count(), 0);
}

void TagSearchTest::enterRestartsAndClosingDisablesNext()
{
    SearchFixture fixture;
    SearchWindow *search = windows().frmSearch;
    auto *tag = fixture.control<QLineEdit>("edtTag");
    auto *next = fixture.control("btnNext");
    tag->setText(QStringLiteral("egg"));
    QStringList opened;
    for (int i = 0; i < 3; ++i) {
        duringModal([&] {
            opened << windows().browser->recipeList()->currentItem()->text();
            windows().frmAERecipe->close();
        });
        if (i < 2)
            QTest::keyClick(tag, Qt::Key_Return);
        else
            next->click();
    }
    QCOMPARE(opened, (QStringList{QStringLiteral("Benedict"), QStringLiteral("Benedict"), QStringLiteral("Scramble")}));

    // No button is a Cancel button: Escape leaves the window and the walk as they are.
    QTest::keyClick(tag, Qt::Key_Escape);
    QVERIFY(search->isVisible());
    QVERIFY(next->isEnabled());

    // Every way of closing ends the walk: Cancel, the close box, a dialog's rejection.
    const std::function<void()> closings[] = {[&] { fixture.control("btnCancel")->click(); },
                                              [&] { search->close(); }, [&] { search->reject(); }};
    for (const auto &closeIt : closings) {
        next->setEnabled(true);
        closeIt();
        QVERIFY(!search->isVisible());
        search->show();
        QCOMPARE(tag->text(), QStringLiteral("egg"));
        QVERIFY(!next->isEnabled());
    }
}

void TagSearchTest::nextAfterClickingAnotherCategory()
{
    SearchFixture fixture;
    Browser *browser = windows().browser;
    fixture.control<QLineEdit>("edtTag")->setText(QStringLiteral("egg"));
    duringModal([] { windows().frmAERecipe->close(); });
    fixture.control("btnSearch")->click();

    // The user clicks "dinner": the recipe table then stands at the end of its list after the
    // fill, so Next resumes with the category after it.
    browser->FillCategoryList();
    browser->categoryList()->setCurrentRow(1);
    QCOMPARE(browser->categoryList()->currentItem()->text(), QStringLiteral("dinner"));
    QString opened;
    duringModal([&] {
        opened = browser->store().cdsRecipe().text(RecipeStore::RecipeDescription);
        windows().frmAERecipe->close();
    });
    fixture.control("btnNext")->click();
    QCOMPARE(opened, QStringLiteral("Omelette"));
}

int main(int argc, char *argv[])
{
    GuardedApplication application(argc, argv);
    TagSearchTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tagsearch.moc"
