#include "search/ui/searchwindow.h"

#include "shell/browser.h"
#include "shell/look.h"
#include "shell/prompt.h"
#include "shell/windowdesign.h"
#include "shell/windowset.h"
#include "search/tagsearch.h"
#include "store/recipestore.h"
#include "store/table.h"
#include "widgets/ui/gradientbutton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QAbstractButton>

namespace {

// Next's picture: a green arrow pointing on, on a transparent ground.
QPixmap nextArrow()
{
    QPixmap arrow(10, 10);
    arrow.fill(Qt::transparent);
    QPainter painter(&arrow);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 128, 0));
    painter.drawPolygon(QPolygonF{QPointF(1, 0.5), QPointF(9, 5), QPointF(1, 9.5)});
    return arrow;
}

} // namespace

SearchWindow::SearchWindow(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "frmSearch", tr("Search..."), QSize(343, 106), Frame::Fixed);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(false);
    QWidget *panel = makeContentPanel(this, "RbPanel1", 3, false);
    panel->setGeometry(rect());

    m_tag = makeCaptionedBox(panel, "Label2", tr("Search Tag"), QPoint(24, 18), "edtTag", QRect(104, 16, 210, 21));
    m_tag->installEventFilter(this);

    QAbstractButton *start = makeButton(panel, "btnSearch", tr("Start"), QString(), QRect(27, 58, 75, 25));
    m_next = makeButton(panel, "btnNext", tr("Next"), QString(), QRect(135, 58, 75, 25));
    if (auto *next = qobject_cast<GradientButton *>(m_next)) {
        next->setGlyph(nextArrow());
        next->setGlyphLayout(GradientButton::blGlyphRight);   // the picture on the right of the caption
    }
    m_next->setEnabled(false);
    QAbstractButton *cancel = makeButton(panel, "btnCancel", tr("Cancel"), QString(), QRect(239, 58, 75, 25));
    connect(start, &QAbstractButton::clicked, this, &SearchWindow::btnSearchClick);
    connect(m_next, &QAbstractButton::clicked, this, &SearchWindow::btnNextClick);
    connect(cancel, &QAbstractButton::clicked, this, &SearchWindow::btnCancelClick);
}

void SearchWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        centreWindow(this, parentWidget());
        FormShow();
    }
}

void SearchWindow::FormShow()
{
    focusTag();
}

void SearchWindow::focusTag()
{
    if (m_tag->isEnabled() && isVisible())
        m_tag->setFocus();
}

void SearchWindow::closeEvent(QCloseEvent *event)
{
    FormClose();
    // Not QDialog's handling, which would go round through reject(); the window just hides.
    QWidget::closeEvent(event);
}

void SearchWindow::FormClose()
{
    m_next->setEnabled(false);
}

bool SearchWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tag && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            btnSearchClick();   // Enter always starts anew
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SearchWindow::keyPressEvent(QKeyEvent *event)
{
    // None of the buttons is a Cancel button, so Escape does not close the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SearchWindow::reject()
{
    // However the window goes away, it goes through its close handling.
    close();
}

bool SearchWindow::requireText()
{
    if (!m_tag->text().isEmpty())
        return true;
    Prompt::instance().information(tr("Please enter a Search Tag to continue."));
    focusTag();
    return false;
}

void SearchWindow::btnSearchClick()
{
    if (!requireText())
        return;
    RecipeStore &store = windows().browser->store();
    store.cdsCategory().first();
    store.cdsRecipe().first();
    m_next->setEnabled(true);
    RunTagSearch();
}

void SearchWindow::btnNextClick()
{
    if (!requireText())
        return;
    Table &recipes = windows().browser->store().cdsRecipe();
    if (!recipes.eof())
        recipes.next();
    RunTagSearch();
}

void SearchWindow::btnCancelClick()
{
    close();
}

void SearchWindow::RunTagSearch()
{
    Browser *browser = windows().browser;
    const std::optional<int> hit = TagSearch::RunTagSearch(browser->store(), m_tag->text());
    if (!hit) {
        Prompt::instance().information(tr("Search Finished."));
        browser->FillCategoryList();
        browser->recipeList()->clear();
        m_next->setEnabled(false);
        focusTag();
        return;
    }
    browser->FillRecipeList();
    ShowSearchHit(*hit);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    browser->btnEditRecClick();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void SearchWindow::ShowSearchHit(int recNo)
{
    Browser *browser = windows().browser;
    RecipeStore &store = browser->store();
    browser->selectEntry(browser->categoryList(), store.cdsCategory().text(RecipeStore::CategoryDescription));
    if (recNo == -1)
        return;
    store.cdsRecipe().setRecNo(recNo);
    QListWidget *recipes = browser->recipeList();
    {
        QSignalBlocker quiet(recipes);
        recipes->setCurrentRow(recNo - 1);
    }
    if (recipes->isEnabled())
        recipes->setFocus();
}
