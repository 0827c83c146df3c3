#include "app/ui/categorydialog.h"

#include "shell/browser.h"
#include "shell/fieldbinding.h"
#include "shell/prompt.h"
#include "shell/windowdesign.h"
#include "shell/windowset.h"
#include "shell/look.h"
#include "store/error.h"
#include "store/recipestore.h"
#include "store/table.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QShowEvent>

CategoryDialog::CategoryDialog(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "frmAECategory", tr("Add/Edit Category"), QSize(619, 120), Frame::Fixed);
    QWidget *panel = makeContentPanel(this, "RbPanel1", 3, true);
    panel->setGeometry(rect());

    m_name = makeCaptionedBox(panel, "Label1", tr("Category Description"), QPoint(24, 27), "DBEdit1",
                              QRect(160, 24, 433, 24));
    QFont text = m_name->font();
    text.setPixelSize(13);
    m_name->setFont(text);
    m_name->installEventFilter(this);
    if (Browser *browser = windows().browser)
        m_binding = new FieldBinding(m_name, browser->store().datCategory(), RecipeStore::CategoryDescription);

    QAbstractButton *save = makeButton(panel, "btnSave", tr("Save"), QString(), QRect(27, 74, 75, 25));
    QAbstractButton *cancel = makeButton(panel, "btnCancel", tr("Cancel"), QString(), QRect(519, 74, 75, 25));
    connect(save, &QAbstractButton::clicked, this, &CategoryDialog::btnSaveClick);
    connect(cancel, &QAbstractButton::clicked, this, &CategoryDialog::btnCancelClick);
}

void CategoryDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        centreWindow(this, parentWidget());
        FormShow();
    }
}

void CategoryDialog::FormShow()
{
    if (m_name->isEnabled())
        m_name->setFocus();
}

bool CategoryDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_name && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            btnSaveClick();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            // Puts the stored name back and keeps the dialog open.
            if (m_binding)
                m_binding->restore();
            m_name->selectAll();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CategoryDialog::btnSaveClick()
{
    if (m_name->text().isEmpty()) {
        Prompt::instance().information(tr("Please enter a Category Description."));
        if (m_name->isEnabled())
            m_name->setFocus();
        return;
    }
    Browser *browser = windows().browser;
    try {
        const QString typed = m_name->text();
        Table &categories = browser->store().cdsCategory();
        categories.post();
        browser->FillCategoryList();
        if (!categories.locate(RecipeStore::CategoryDescription, typed))
            Prompt::instance().information(tr("Could not find %1 in dataset").arg(typed));
        browser->selectEntry(browser->categoryList(), categories.text(RecipeStore::CategoryDescription));
        browser->FillRecipeList();
        if (browser->categoryList()->isEnabled())
            browser->categoryList()->setFocus();
        accept();
    } catch (const Error &error) {
        Prompt::instance().error(error.message());
    }
}

void CategoryDialog::btnCancelClick()
{
    try {
        if (Browser *browser = windows().browser)
            browser->store().cdsCategory().cancel();
        QDialog::reject();
    } catch (const Error &error) {
        Prompt::instance().error(error.message());
    }
}

void CategoryDialog::reject()
{
    btnCancelClick();
}
