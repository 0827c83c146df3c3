#pragma once

#include "shell/browser.h"

#include <QWidget>

class IniFile;
class QAbstractButton;
class QLabel;
class QListWidget;
class QPropertyAnimation;
class RecipeStore;

// The browser (main) window ("frmMain"): the category list and the recipe list of the current
// category, and the commands on both. It owns the recipe store; creating it opens both tables,
// destroying it writes them. Its position, size and state are kept in a profile between runs.
class MainWindow : public QWidget, public Browser
{
    Q_OBJECT
public:
    // `dataDirectory` holds the table files; the program's own directory in a real run.
    explicit MainWindow(const QString &dataDirectory, QWidget *parent = nullptr);
    ~MainWindow() override;

    RecipeStore &store() override { return *m_store; }
    void FillCategoryList() override;
    void FillRecipeList() override;
    QListWidget *categoryList() override { return m_categories; }
    QListWidget *recipeList() override { return m_recipes; }
    bool selectEntry(QListWidget *list, const QString &text) override;

    // The commands, named after their buttons.
    void lstCategoryClick();
    void lstRecipeClick();
    void btnNewCatClick();
    void btnEditCatClick();
    void btnDeleteCatClick();
    void btnNewRecClick();
    void btnEditRecClick() override;
    void btnDeleteRecClick();
    void btnHelpClick();
    void SpeedButton1Click();
    void btnExitClick();

    // Writes the changed tables and closes them. Failures go to standard error and, while the
    // application object exists, to an error box. Returns false when a table could not be written.
    bool closeStore();

    // The profile file that keeps the window's placement: the program's name with ".INI", in the
    // user's configuration directory.
    [[nodiscard]] static QString profilePath();

    // The fade-out that ends the run lasts this long.
    static constexpr int FadeMs = 600;
    // The web address the link label shows and opens.
    static const char *const WebAddress;
    // The help text of the "?" button.
    [[nodiscard]] static QString helpText();

Q_SIGNALS:
    // The window has faded out and the event loop is being told to end.
    void fadedOut();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void FormResize();
    void restorePlacement();
    void savePlacement(bool destroying);
    // Positions the recipe table on the highlighted entry: entry i is record i + 1 of the view.
    void positionOnHighlightedRecipe();
    [[nodiscard]] QWidget *buildBanner();
    [[nodiscard]] QWidget *buildCommandBar();
    [[nodiscard]] QListWidget *buildList(const char *name, const QString &accessibleName, bool category);

    RecipeStore *m_store;
    QListWidget *m_categories = nullptr;   // lstCategory
    QListWidget *m_recipes = nullptr;      // lstRecipe
    QLabel *m_link = nullptr;              // Label4
    QAbstractButton *m_exit = nullptr;     // btnExit
    QPropertyAnimation *m_fade = nullptr;
    int m_rowAtPress = -1;                 // the list's current row when the mouse went down
    bool m_closing = false;
    bool m_storeClosed = false;
    bool m_placementRestored = false;      // nothing is saved before a restore has run
    bool m_placementSaved = false;
    int m_placementFlags = 0;
};
