#include "app/ui/mainwindow.h"

#include "app/shell/appinfo.h"
#include "app/shell/prompt.h"
#include "app/shell/windowdesign.h"
#include "store/error.h"
#include "store/recipestore.h"
#include "store/table.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPropertyAnimation>
#include <QSplitter>

#include <cstdio>

MainWindow::MainWindow(const QString &dataDirectory, QWidget *parent)
    : QWidget(parent), m_store(new RecipeStore(dataDirectory, this))
{
    designWindow(this, "frmMain", applicationTitle(), QSize(1026, 603), Frame::Sizable);

    auto *splitter = new QSplitter(this);
    m_categories = new QListWidget(splitter);
    m_categories->setObjectName(QStringLiteral("lstCategory"));
    m_categories->setAccessibleName(tr("Categories"));
    m_categories->setUniformItemSizes(true);
    m_recipes = new QListWidget(splitter);
    m_recipes->setObjectName(QStringLiteral("lstRecipe"));
    m_recipes->setAccessibleName(tr("Recipes"));
    m_recipes->setUniformItemSizes(true);
    splitter->setSizes({345, 681});
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    connect(m_categories, &QListWidget::currentTextChanged, this, [this](const QString &text) {
        if (text.isEmpty() || !m_store->cdsCategory().isActive())
            return;
        m_store->LocateSelectedCategory(text);
        FillRecipeList();
    });

    FormCreate();
}

MainWindow::~MainWindow()
{
    closeStore();
}

void MainWindow::FormCreate()
{
    try {
        m_store->OpenCategoryTable();
        m_store->OpenRecipeTable();
    } catch (const Error &error) {
        Prompt::instance().error(error.message());
    }
}

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void MainWindow::FormShow()
{
    FillCategoryList();
}

void MainWindow::FillCategoryList()
{
    m_categories->clear();
    Table &categories = m_store->cdsCategory();
    if (!categories.isActive())
        return;
    QStringList names;
    names.reserve(categories.recordCount());
    for (categories.first(); !categories.eof(); categories.next())
        names << categories.text(RecipeStore::CategoryDescription);
    QSignalBlocker quiet(m_categories);
    m_categories->addItems(names);
    categories.first();
    if (!names.isEmpty())
        m_categories->setCurrentRow(0);
    FillRecipeList();
}

void MainWindow::FillRecipeList()
{
    m_recipes->clear();
    Table &recipes = m_store->cdsRecipe();
    if (!recipes.isActive())
        return;
    QStringList names;
    names.reserve(recipes.recordCount());
    for (recipes.first(); !recipes.eof(); recipes.next())
        names << recipes.text(RecipeStore::RecipeDescription);
    recipes.first();
    m_recipes->addItems(names);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    // Fade out first; the run ends when the fade has finished.
    event->ignore();
    m_closing = true;
    m_fade = new QPropertyAnimation(this, "windowOpacity", this);
    m_fade->setDuration(FadeMs);
    m_fade->setStartValue(1.0);
    m_fade->setEndValue(0.0);
    connect(m_fade, &QPropertyAnimation::finished, this, [this] {
        hide();
        Q_EMIT fadedOut();
        QCoreApplication::quit();
    });
    m_fade->start();
}

bool MainWindow::closeStore()
{
    if (m_storeClosed)
        return true;
    m_storeClosed = true;
    try {
        m_store->close();
        return true;
    } catch (const Error &error) {
        std::fprintf(stderr, "saporin: %s\n", qUtf8Printable(error.message()));
        if (QApplication::instance())
            Prompt::instance().error(error.message());
        return false;
    }
}
