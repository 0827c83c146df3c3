#include "app/ui/mainwindow.h"

#include "store/inifile.h"
#include "app/listpainting.h"
#include "shell/appinfo.h"
#include "shell/busynotice.h"
#include "widgets/ui/gradientsplitter.h"
#include "shell/guardedapplication.h"
#include "shell/prompt.h"
#include "shell/windowdesign.h"
#include "shell/windowset.h"
#include "app/ui/categorydialog.h"
#include "shell/look.h"
#include "app/windowplacement.h"
#include "editor/ui/recipeeditor.h"
#include "search/ui/searchwindow.h"
#include "store/error.h"
#include "store/recipestore.h"
#include "store/table.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScreen>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdio>

const char *const MainWindow::WebAddress = "https://saporin.example";

namespace {

const QString PlacementSection = QStringLiteral("TfrmMain");

// Paints the entries of the two lists in the application's own look.
class ListItemDelegate : public QStyledItemDelegate
{
public:
    ListItemDelegate(ListItemLook look, QObject *parent) : QStyledItemDelegate(parent), m_look(std::move(look)) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        painter->save();
        paintListItem(*painter, option.rect, index.data(Qt::DisplayRole).toString(),
                      option.state & QStyle::State_Selected, m_look, option.state & QStyle::State_HasFocus);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return QSize(option.rect.width(), m_look.itemHeight);
    }

private:
    ListItemLook m_look;
};

// The main window is a plain QWidget, which assistive technology would otherwise meet as a
// "filler" pane instead of a window.
QAccessibleInterface *mainWindowAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("MainWindow") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

bool hasSelection(const QListWidget *list)
{
    return !list->selectedItems().isEmpty();
}

} // namespace

MainWindow::MainWindow(const QString &dataDirectory, QWidget *parent)
    : QWidget(parent), m_store(new RecipeStore(dataDirectory, this))
{
    static const bool accessibleAsWindow = [] {
        QAccessible::installFactory(mainWindowAccessible);
        return true;
    }();
    Q_UNUSED(accessibleAsWindow);
    designWindow(this, "frmMain", applicationTitle(), QSize(1026, 603), Frame::Sizable);

    auto *splitter = new GradientSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("RbSplitter1"));
    splitter->setHandleWidth(5);
    splitter->setGradientType(RbLook::gtDoubleHorz);
    splitter->setDefaultFrom(QColor(192, 220, 192));
    splitter->setDefaultTo(QColor(0, 128, 64));
    splitter->setChildrenCollapsible(false);
    QWidget *left = makeContentPanel(splitter, "RbPanel4", 5, false);
    m_categories = buildList("lstCategory", tr("Categories"), true);
    left->layout()->addWidget(m_categories);
    QWidget *right = makeContentPanel(splitter, "RbPanel1", 5, false);
    m_recipes = buildList("lstRecipe", tr("Recipes"), false);
    right->layout()->addWidget(m_recipes);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({345, 676});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildBanner());
    layout->addWidget(splitter, 1);
    layout->addWidget(buildCommandBar());

    // The selection changes after the current row does, so the handlers follow the selection.
    connect(m_categories, &QListWidget::itemSelectionChanged, this, [this] { lstCategoryClick(); });
    connect(m_recipes, &QListWidget::itemSelectionChanged, this, [this] { lstRecipeClick(); });
    connect(m_categories, &QListWidget::itemDoubleClicked, this, [this] { btnEditCatClick(); });
    connect(m_recipes, &QListWidget::itemDoubleClicked, this, [this] { btnEditRecClick(); });

    FormCreate();
}

MainWindow::~MainWindow()
{
    savePlacement(true);
    closeStore();
}

QWidget *MainWindow::buildBanner()
{
    QWidget *banner = makeBand(this, "RbPanel2", QColor(16, 132, 208), QColor(113, 184, 255),
                               QStringLiteral("Brindle Saporin"));
    banner->setFixedHeight(45);
    QFont caption(QStringLiteral("Arial"));
    caption.setPixelSize(24);
    caption.setBold(true);
    banner->setFont(caption);

    m_link = new QLabel(QString::fromLatin1(WebAddress), banner);
    m_link->setObjectName(QStringLiteral("Label4"));
    m_link->setAccessibleName(tr("Web site"));
    QFont linkFont = m_link->font();
    linkFont.setPixelSize(11);
    linkFont.setBold(false);
    m_link->setFont(linkFont);
    QPalette white = m_link->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    m_link->setPalette(white);
    m_link->setCursor(Qt::PointingHandCursor);
    m_link->move(5, 14);
    m_link->adjustSize();
    m_link->installEventFilter(this);
    return banner;
}

QWidget *MainWindow::buildCommandBar()
{
    QWidget *bar = makeBand(this, "RbPanel3", QColor(0, 159, 0), QColor(3, 199, 82));
    bar->setFixedHeight(45);

    QAbstractButton *help = makeFlatButton(bar, "btnHelp", QStringLiteral("?"), QString(), QRect(8, 11, 23, 22));
    help->setAccessibleName(tr("Help"));
    QFont helpFont = help->font();
    helpFont.setPixelSize(13);
    helpFont.setBold(true);
    help->setFont(helpFont);
    help->setStyleSheet(QStringLiteral("QPushButton { color: yellow; background: transparent; border: none; } QPushButton:focus { border: 1px dotted yellow; }"));
    connect(help, &QAbstractButton::clicked, this, &MainWindow::btnHelpClick);

    struct Command {
        const char *name;
        QString caption;
        QString toolTip;
        QRect geometry;
        void (MainWindow::*handler)();
    };
    const Command commands[] = {
        {"btnNewCat", tr("New"), tr("Add new Category"), QRect(40, 10, 75, 25), &MainWindow::btnNewCatClick},
        {"btnEditCat", tr("Edit"), tr("Edit Category"), QRect(136, 10, 75, 25), &MainWindow::btnEditCatClick},
        {"btnDeleteCat", tr("Delete"), tr("Delete Category"), QRect(232, 10, 75, 25), &MainWindow::btnDeleteCatClick},
        {"btnNewRec", tr("New"), tr("Add new Recipe"), QRect(416, 10, 75, 25), &MainWindow::btnNewRecClick},
        {"btnEditRec", tr("Edit/View"), tr("Edit/View Recipe"), QRect(512, 10, 80, 25), &MainWindow::btnEditRecClick},
        {"btnDeleteRec", tr("Delete"), tr("Delete Recipe"), QRect(608, 10, 75, 25), &MainWindow::btnDeleteRecClick},
        {"btnExit", tr("Exit"), QString(), QRect(927, 10, 75, 25), &MainWindow::btnExitClick},
    };
    for (const Command &command : commands) {
        QAbstractButton *button = makeButton(bar, command.name, command.caption, command.toolTip, command.geometry);
        connect(button, &QAbstractButton::clicked, this, command.handler);
        if (command.handler == &MainWindow::btnExitClick)
            m_exit = button;
        else
            button->setAccessibleName(command.toolTip);
    }

    QAbstractButton *search = makeFlatButton(bar, "SpeedButton1", QString(), tr("Search for Tags"), QRect(368, 8, 30, 30));
    search->setIcon(QIcon(QStringLiteral(":/icons/search24.png")));
    search->setIconSize(QSize(24, 24));
    search->setStyleSheet(QStringLiteral("QPushButton { background: transparent; border: none; }"));
    connect(search, &QAbstractButton::clicked, this, &MainWindow::SpeedButton1Click);
    return bar;
}

QListWidget *MainWindow::buildList(const char *name, const QString &accessibleName, bool category)
{
    auto *list = new QListWidget(this);
    list->setObjectName(QLatin1String(name));
    list->setAccessibleName(accessibleName);
    list->setToolTip(tr("Double-click to edit"));
    list->setFrameShape(QFrame::NoFrame);
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const ListItemLook look = category ? ListItemLook::category() : ListItemLook::recipe();
    list->setFont(look.font);
    list->setItemDelegate(new ListItemDelegate(look, list));
    list->viewport()->installEventFilter(this);
    return list;
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
    if (!event->spontaneous()) {
        restorePlacement();
        FormShow();
    }
    QWidget::showEvent(event);
}

void MainWindow::FormShow()
{
    FillCategoryList();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// Fills a list from a table's present view in one go; the table ends on its last record.
static void fillList(QListWidget *list, Table &table, const QString &field)
{
    QSignalBlocker quiet(list);
    list->setUpdatesEnabled(false);
    list->clear();
    if (table.isActive()) {
        QStringList names;
        names.reserve(table.recordCount());
        for (table.first(); !table.eof(); table.next())
            names << table.text(field);
        list->addItems(names);
    }
    list->setCurrentRow(-1);
    list->setUpdatesEnabled(true);
}

void MainWindow::FillCategoryList()
{
    fillList(m_categories, m_store->cdsCategory(), RecipeStore::CategoryDescription);
}

void MainWindow::FillRecipeList()
{
    fillList(m_recipes, m_store->cdsRecipe(), RecipeStore::RecipeDescription);
}

bool MainWindow::selectEntry(QListWidget *list, const QString &text)
{
    QSignalBlocker quiet(list);
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text().compare(text, Qt::CaseInsensitive) == 0) {
            list->setCurrentRow(row);
            list->scrollToItem(list->item(row));
            return true;
        }
    }
    return false;
}

void MainWindow::lstCategoryClick()
{
    QListWidgetItem *item = m_categories->currentItem();
    if (!item || !item->isSelected())
        return;
    try {
        m_store->LocateSelectedCategory(item->text());
        FillRecipeList();
    } catch (const Error &error) {
        Prompt::instance().error(error.message());
        return;
    }
    if (m_recipes->count() > 0) {
        QSignalBlocker quiet(m_recipes);
        m_recipes->setCurrentRow(0);
    }
}

void MainWindow::lstRecipeClick()
{
    QListWidgetItem *item = m_recipes->currentItem();
    if (!item || !item->isSelected())
        return;
    try {
        m_store->LocateSelectedRecipe(item->text());
    } catch (const Error &error) {
        Prompt::instance().error(error.message());
    }
}

void MainWindow::btnNewCatClick()
{
    CategoryDialog *dialog = windows().frmAECategory;
    dialog->setWindowTitle(tr("Add New Category"));
    m_store->cdsCategory().insert();
    dialog->exec();
}

void MainWindow::btnEditCatClick()
{
    Table &categories = m_store->cdsCategory();
    if (categories.isEmpty())
        return;
    if (!hasSelection(m_categories)) {
        Prompt::instance().information(tr("Please select a Category to Edit."));
        return;
    }
    CategoryDialog *dialog = windows().frmAECategory;
    dialog->setWindowTitle(tr("Edit Category"));
    categories.edit();
    dialog->exec();
}

void MainWindow::btnDeleteCatClick()
{
    Table &categories = m_store->cdsCategory();
    if (categories.isEmpty())
        return;
    if (!hasSelection(m_categories)) {
        Prompt::instance().information(tr("Please select Category to Delete."));
        return;
    }
    if (!m_store->cdsRecipe().isEmpty()) {
        Prompt::instance().information(tr("Please Delete this Categories recipes before continuing."));
        return;
    }
    if (Prompt::instance().confirm(tr("Delete selected Category?")) != Prompt::Answer::Yes)
        return;
    try {
        categories.remove();
    } catch (const Error &error) {
        Prompt::instance().error(error.message());
        return;
    }
    FillCategoryList();
}

void MainWindow::btnNewRecClick()
{
    if (!hasSelection(m_categories)) {
        Prompt::instance().information(tr("Select a Category before continuing."));
        return;
    }
    RecipeEditor *editor = windows().frmAERecipe;
    editor->setWindowTitle(tr("Add New Recipe"));
    m_store->cdsRecipe().insert();
    editor->exec();
}

void MainWindow::positionOnHighlightedRecipe()
{
    m_store->cdsRecipe().setRecNo(m_recipes->currentRow() + 1);
}

void MainWindow::btnEditRecClick()
{
    Table &recipes = m_store->cdsRecipe();
    if (recipes.isEmpty())
        return;
    if (!hasSelection(m_recipes)) {
        Prompt::instance().information(tr("Please select a Recipe to Edit."));
        return;
    }
    positionOnHighlightedRecipe();
    RecipeEditor *editor = windows().frmAERecipe;
    editor->setWindowTitle(tr("Edit Recipe"));
    recipes.edit();
    windows().frmExport->showMessage(tr("Loading Recipe..."));
    editor->exec();
}

void MainWindow::btnDeleteRecClick()
{
    Table &recipes = m_store->cdsRecipe();
    if (recipes.isEmpty())
        return;
    if (!hasSelection(m_recipes)) {
        Prompt::instance().information(tr("Please select Recipe to Delete."));
        return;
    }
    if (Prompt::instance().confirm(tr("Delete selected Recipe?")) != Prompt::Answer::Yes)
        return;
    try {
        positionOnHighlightedRecipe();
        recipes.remove();
    } catch (const Error &error) {
        Prompt::instance().error(error.message());
        return;
    }
    FillRecipeList();
}

QString MainWindow::helpText()
{
    const QStringList lines{
        tr("This is a short help tutorial."),
        QString(),
        tr("- The New buttons let you add new Categories and Recipes. Start by"),
        tr("   adding the Category and then add the Recipes for that Category."),
        QString(),
        tr("- The Edit buttons let you edit the Categories and Recipes. The listboxes"),
        tr("   can also be double-clicked to edit a specific Category or Recipe."),
        QString(),
        tr("- The Delete buttons let you delete Categories and Recipes. Start by"),
        tr("   deleting the Recipes first, then the Category can be deleted."),
        QString(),
        tr("- The Search button lets you search through the recipes for a specified"),
        tr("   tag as entered in the recipe's tag field."),
    };
    return lines.join(QLatin1String("\r\n"));
}

void MainWindow::btnHelpClick()
{
    Prompt::instance().information(helpText());
}

void MainWindow::SpeedButton1Click()
{
    SearchWindow *search = windows().frmSearch;
    search->show();
    search->raise();
    search->activateWindow();
}

void MainWindow::btnExitClick()
{
    close();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void MainWindow::FormResize()
{
    if (m_exit)
        m_exit->move(frameGeometry().width() - 110, m_exit->y());
}

// Whatever a user does with keyboard or mouse: once the fade-out has begun none of it may start a
// command, which the end of the run would cut short.
static bool isUserInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (m_fade && isUserInput(event))
        return true;
    if (watched == m_link) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
            QFont font = m_link->font();
            font.setUnderline(event->type() == QEvent::Enter);
            m_link->setFont(font);
        } else if (event->type() == QEvent::MouseButtonRelease
                   && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            QDesktopServices::openUrl(QUrl(QString::fromLatin1(WebAddress)));
        }
        return false;
    }
    // A click on the entry that is already selected runs the click handling again; a click that
    // changes the selection runs it through the list's change of selection.
    for (QListWidget *list : {m_categories, m_recipes}) {
        if (!list || watched != list->viewport())
            continue;
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick
            || event->type() == QEvent::MouseButtonRelease) {
            // Only the left button selects and runs the click handling; the lists have no use for
            // the others.
            if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
                return true;
        }
        if (event->type() == QEvent::MouseButtonPress) {
            // A click below the last entry keeps the selection, as list boxes do.
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (!list->indexAt(mouse->position().toPoint()).isValid())
                return true;
            m_rowAtPress = list->currentRow();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const int row = list->indexAt(mouse->position().toPoint()).row();
            if (mouse->button() == Qt::LeftButton && row >= 0 && row == m_rowAtPress && row == list->currentRow()) {
                if (list == m_categories)
                    lstCategoryClick();
                else
                    lstRecipeClick();
            }
        }
    }
    return false;
}

void MainWindow::restorePlacement()
{
    IniFile profile(profilePath());
    if (!profile.load()) {
        // Shown, and the window opens as designed; the save at the end leaves the file alone.
        reportApplicationError(tr("Cannot read the profile file %1").arg(QDir::toNativeSeparators(profile.path())));
    }
    WindowPlacement::Current current;
    current.geometry = geometry();
    current.pixelsPerInch = qRound(screen()->logicalDotsPerInchX());
    const WindowPlacement::Restored restored =
        WindowPlacement::restore(profile, PlacementSection, current, screen()->geometry().size());
    m_placementFlags = restored.flags;
    if (restored.applyPosition)
        setGeometry(restored.normal);
    else
        centreWindow(this, nullptr);
    switch (restored.state) {
    case WindowPlacement::Restored::State::Maximized:
        setWindowState(windowState() | Qt::WindowMaximized);
        break;
    case WindowPlacement::Restored::State::MinimizeApplication:
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
        QTimer::singleShot(0, this, &QWidget::showMinimized);
        break;
    case WindowPlacement::Restored::State::Normal:
        break;
    }
    m_placementRestored = true;
    m_placementSaved = false;
}

void MainWindow::savePlacement(bool destroying)
{
    if (!m_placementRestored || m_placementSaved)
        return;
    m_placementSaved = true;
    IniFile profile(profilePath());
    if (!profile.load()) {
        // Writing now would replace whatever else the file keeps with this window's section alone.
        reportApplicationError(tr("Cannot read the profile file %1, so the window's placement was not saved")
                                   .arg(QDir::toNativeSeparators(profile.path())));
        return;
    }
    WindowPlacement::Saved saved;
    saved.flags = m_placementFlags;
    saved.showCmd = isMinimized() ? WindowPlacement::Minimized
                    : isMaximized() ? WindowPlacement::Maximized : WindowPlacement::Normal;
    saved.pixelsPerInch = qRound(screen()->logicalDotsPerInchX());
    saved.normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    if (!saved.normal.isValid())
        saved.normal = geometry();
    saved.destroying = destroying;
    WindowPlacement::save(profile, PlacementSection, saved, screen()->geometry().size());
    QDir().mkpath(QFileInfo(profile.path()).absolutePath());
    if (!profile.save())
        reportApplicationError(tr("Cannot write the profile file %1").arg(QDir::toNativeSeparators(profile.path())));
}

QString MainWindow::profilePath()
{
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/')
           + (program.isEmpty() ? QStringLiteral("saporin") : program) + QLatin1String(".INI");
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    savePlacement(false);
    // Fade out first; the run ends when the fade has finished.
    event->ignore();
    m_closing = true;
    m_fade = new QPropertyAnimation(this, "windowOpacity", this);
    m_fade->setDuration(FadeMs);
    m_fade->setStartValue(1.0);
    m_fade->setEndValue(0.0);
    // From here on the window takes no input: a click or key during the fade would open a dialog
    // that the end of the run then closes with whatever was typed into it.
    qApp->installEventFilter(this);
    connect(m_fade, &QPropertyAnimation::finished, this, [this] {
        qApp->removeEventFilter(this);
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
