#include "shell/guardedapplication.h"
#include "shell/windowset.h"
#include "app/ui/application.h"
#include "app/ui/mainwindow.h"
#include "store/error.h"
#include "store/recipestore.h"
#include "store/table.h"
#include "tests/support/scriptedprompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCryptographicHash>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                          : QByteArray();
}

QList<QWidget *> windowList()
{
    const WindowSet &w = windows();
    return {reinterpret_cast<QWidget *>(w.frmMain), reinterpret_cast<QWidget *>(w.HeaderFooterForm),
            reinterpret_cast<QWidget *>(w.MarginsForm), reinterpret_cast<QWidget *>(w.PrintPreviewForm),
            reinterpret_cast<QWidget *>(w.frmAECategory), reinterpret_cast<QWidget *>(w.frmAERecipe),
            reinterpret_cast<QWidget *>(w.DLLForm), reinterpret_cast<QWidget *>(w.frmEmoticons),
            reinterpret_cast<QWidget *>(w.frmSearch), reinterpret_cast<QWidget *>(w.frmExport),
            reinterpret_cast<QWidget *>(w.frmConversions), reinterpret_cast<QWidget *>(w.DllForms)};
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { destroyWindows(); }
    void firstRunShowsEmptyMainWindowOnly();
    void closingOtherWindowsOnlyHidesThem();
    void damagedCategoryFileIsReportedAndKept();
    void closingMainWindowFadesOutAndWritesTables();
    void recipeFileTroubleIsToldOnce_data();
    void recipeFileTroubleIsToldOnce();
};

void StartupTest::firstRunShowsEmptyMainWindowOnly()
{
    QTemporaryDir dir;
    ScriptedPrompt prompt;
    ScriptedPrompt::Scope scope(prompt);
    createWindows(dir.path());
    windows().frmMain->show();

    const QStringList expected{QStringLiteral("frmMain"), QStringLiteral("HeaderFooterForm"),
                               QStringLiteral("MarginsForm"), QStringLiteral("PrintPreviewForm"),
                               QStringLiteral("frmAECategory"), QStringLiteral("frmAERecipe"),
                               QStringLiteral("DLLForm"), QStringLiteral("frmEmoticons"),
                               QStringLiteral("frmSearch"), QStringLiteral("frmExport"),
                               QStringLiteral("frmConversions"), QStringLiteral("DllForms")};
    QStringList names;
    for (QWidget *window : windowList()) {
        QVERIFY(window);
        names << window->objectName();
        QVERIFY2(window->isWindow(), qPrintable(window->objectName()));
        QCOMPARE(window->isVisible(), window == windowList().constFirst());
    }
    QCOMPARE(names, expected);
    QCOMPARE(windowList().constFirst()->windowTitle(), QStringLiteral("Brindle Office - Saporin"));
    QVERIFY(prompt.shown().isEmpty());
    QCOMPARE(windows().frmMain->findChild<QListWidget *>(QStringLiteral("lstCategory"))->count(), 0);
    QVERIFY(windows().browser->store().cdsCategory().isActive());
    QVERIFY(windows().browser->store().cdsRecipe().isActive());
}

void StartupTest::closingOtherWindowsOnlyHidesThem()
{
    QTemporaryDir dir;
    createWindows(dir.path());
    windows().frmMain->show();
    for (QWidget *window : windowList().mid(1)) {
        QPointer<QWidget> alive(window);
        window->show();
        QVERIFY(window->isVisible());
        window->close();
        QVERIFY(alive);
        QVERIFY(!window->isVisible());
    }
    QVERIFY(windows().frmMain->isVisible());
}

void StartupTest::damagedCategoryFileIsReportedAndKept()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Category.cds"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, '\x5a'));
    }
    const QByteArray before = fileHash(path);
    ScriptedPrompt prompt;
    ScriptedPrompt::Scope scope(prompt);
    createWindows(dir.path());
    windows().frmMain->show();

    const QStringList errors = prompt.texts(ScriptedPrompt::Kind::Error);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(prompt.shown().size(), 1);
    QVERIFY2(errors.constFirst().contains(QDir::toNativeSeparators(path)), qPrintable(errors.constFirst()));
    QVERIFY(windows().frmMain->isVisible());
    QVERIFY(!windows().browser->store().cdsCategory().isActive());
    QVERIFY(!windows().browser->store().cdsRecipe().isActive());

    destroyWindows();
    QCOMPARE(fileHash(path), before);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Recipe.cds"))));
    QCOMPARE(prompt.shown().size(), 1);   // nothing more reported at exit
}

void StartupTest::closingMainWindowFadesOutAndWritesTables()
{
    QTemporaryDir dir;
    createWindows(dir.path());
    MainWindow *main = windows().frmMain;
    main->show();
    Table &categories = windows().browser->store().cdsCategory();
    categories.insert();
    categories.setText(RecipeStore::CategoryDescription, QStringLiteral("Soups"));
    categories.post();

    QSignalSpy faded(main, &MainWindow::fadedOut);
    QElapsedTimer clock;
    clock.start();
    main->close();
    QVERIFY(main->isVisible());   // still fading

    // The fading window takes no input: neither a click on New nor Space on it opens the category
    // dialog. (Should one open, the timer closes it so that the test goes on and fails.)
    QStringList opened;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            opened << modal->objectName();
            modal->close();
        }
    });
    closer.start(10);
    auto *newCategory = main->findChild<QAbstractButton *>(QStringLiteral("btnNewCat"));
    QTest::mouseClick(newCategory, Qt::LeftButton);
    newCategory->setFocus();
    QTest::keyClick(newCategory, Qt::Key_Space);
    QVERIFY(faded.wait(5000));
    closer.stop();
    QCOMPARE(opened, QStringList());
    QCOMPARE(categories.state(), Table::State::Browse);
    QVERIFY(clock.elapsed() >= MainWindow::FadeMs - 50);
    QVERIFY(!main->isVisible());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Category.cds"))));   // nothing written while running

    destroyWindows();
    RecipeStore reread(dir.path());
    reread.open();
    QVERIFY(reread.cdsCategory().locate(RecipeStore::CategoryDescription, QStringLiteral("Soups")));
}

void StartupTest::recipeFileTroubleIsToldOnce_data()
{
    QTest::addColumn<bool>("damagedRecipes");   // else the category file was lost
    QTest::addColumn<QString>("atStart");
    QTest::addColumn<QString>("onFirstChoice");
    QTest::newRow("category file missing") << false << QStringLiteral("Apple pie (category number 1)") << QString();
    QTest::newRow("recipe file damaged") << true << QStringLiteral("Recipe.cds") << QStringLiteral("No recipes can be listed");
}

void StartupTest::recipeFileTroubleIsToldOnce()
{
    QFETCH(bool, damagedRecipes);
    QFETCH(QString, atStart);
    QFETCH(QString, onFirstChoice);
    QTemporaryDir dir;
    {
        RecipeStore store(dir.path());
        store.open();
        store.cdsCategory().insert();
        store.cdsCategory().setText(RecipeStore::CategoryDescription, QStringLiteral("Pies"));
        store.cdsCategory().post();
        store.cdsRecipe().insert();
        store.cdsRecipe().setText(RecipeStore::RecipeDescription, QStringLiteral("Apple pie"));
        store.cdsRecipe().post();
        store.close();
    }
    if (damagedRecipes) {
        QFile file(dir.filePath(QStringLiteral("Recipe.cds")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(4096, '\x5a'));
    } else {
        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("Category.cds"))));
    }
    {
        RecipeStore store(dir.path());
        try {
            store.open();
        } catch (const Error &) {
        }
        store.cdsCategory().insert();
        store.cdsCategory().setText(RecipeStore::CategoryDescription, QStringLiteral("Fish"));
        store.cdsCategory().post();
        store.close();
    }

    ScriptedPrompt prompt;
    ScriptedPrompt::Scope scope(prompt);
    createWindows(dir.path());
    windows().frmMain->show();
    QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Error).size(), 1);
    QVERIFY2(prompt.texts(ScriptedPrompt::Kind::Error).constFirst().contains(atStart),
             qPrintable(prompt.texts(ScriptedPrompt::Kind::Error).constFirst()));

    auto *categories = windows().frmMain->findChild<QListWidget *>(QStringLiteral("lstCategory"));
    auto *recipes = windows().frmMain->findChild<QListWidget *>(QStringLiteral("lstRecipe"));
    const int expected = onFirstChoice.isEmpty() ? 1 : 2;
    for (int row = 0; row < categories->count(); ++row) {
        categories->setCurrentRow(row);
        QCOMPARE(recipes->count(), 0);   // Apple pie is never shown under Fish
        QCOMPARE(prompt.shown().size(), expected);
    }
    if (!onFirstChoice.isEmpty())
        QVERIFY(prompt.shown().constLast().text.startsWith(onFirstChoice));
}

int main(int argc, char *argv[])
{
    GuardedApplication application(argc, argv);
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
