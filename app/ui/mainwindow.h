#pragma once

#include "app/shell/browser.h"

#include <QWidget>

class QListWidget;
class QPropertyAnimation;
class RecipeStore;

// The browser (main) window ("frmMain"): the category list and the recipe list of the current
// category. It owns the recipe store; creating it opens both tables, destroying it writes them.
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

    // Writes the changed tables and closes them. Failures go to standard error and, while the
    // application object exists, to an error box. Returns false when a table could not be written.
    bool closeStore();

    // The fade-out that ends the run lasts this long.
    static constexpr int FadeMs = 600;

Q_SIGNALS:
    // The window has faded out and the event loop is being told to end.
    void fadedOut();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void FormShow();

    RecipeStore *m_store;
    QListWidget *m_categories = nullptr;   // lstCategory
    QListWidget *m_recipes = nullptr;      // lstRecipe
    QPropertyAnimation *m_fade = nullptr;
    bool m_closing = false;
    bool m_storeClosed = false;
};
