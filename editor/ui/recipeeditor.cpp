#include "editor/ui/recipeeditor.h"

#include "shell/browser.h"
#include "shell/busynotice.h"
#include "shell/fieldbinding.h"
#include "shell/guardedapplication.h"
#include "shell/look.h"
#include "shell/offthread.h"
#include "shell/prompt.h"
#include "shell/windowdesign.h"
#include "shell/windowset.h"
#include "conversions/ui/conversionswindow.h"
#include "editor/control/jpegdecoder.h"
#include "editor/control/richtextcontrol.h"
#include "editor/embeddedpicture.h"
#include "editor/recipebody.h"
#include "editor/ui/menustyle.h"
#include "editor/workprogress.h"
#include "pickers/ui/charactermap.h"
#include "pickers/ui/emoticonpicker.h"
#include "printing/ui/printpreviewwindow.h"
#include "store/error.h"
#include "store/recipestore.h"
#include "store/table.h"
#include "tables/ui/tablebuilder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QShowEvent>
#include <QToolButton>
#include <QUrl>
#include <QWindow>

#include <optional>

namespace {

RecipeEditor::UrlOpener &urlOpener()
{
    static RecipeEditor::UrlOpener opener = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    return opener;
}

Table *recipeTable()
{
    Browser *browser = windows().browser;
    return browser ? &browser->store().cdsRecipe() : nullptr;
}

enum StyleFlag { StyleBold, StyleItalic, StyleUnderline };

// Keeps the busy notice's animation moving while the document is read or written on this thread.
WorkProgress::Hook keepNoticeAlive()
{
    return [] {
        if (BusyNotice *notice = windows().frmExport)
            notice->keepAlive();
    };
}

constexpr int TopBand = 73;
constexpr int BottomBand = 168;
constexpr int ToolBarWidth = 838;
constexpr int ButtonSize = 30;
constexpr int SeparatorWidth = 7;

// The windows the editor opens belong to other modules and are parented to the main window; while
// one is shown from here it is transient for the editor, so the window manager keeps it above the
// editor and does not raise the main window along with it.
class TransientForEditor
{
public:
    TransientForEditor(QWidget *window, QWidget *editor)
    {
        window->winId(); // the platform window exists from here on
        m_window = window->windowHandle();
        m_previous = m_window->transientParent();
        m_window->setTransientParent(editor->windowHandle());
    }
    ~TransientForEditor()
    {
        if (m_window)
            m_window->setTransientParent(m_previous);
    }
    TransientForEditor(const TransientForEditor &) = delete;
    TransientForEditor &operator=(const TransientForEditor &) = delete;

private:
    QPointer<QWindow> m_window;
    QPointer<QWindow> m_previous;
};

} // namespace

void RecipeEditor::setUrlOpener(UrlOpener opener)
{
    urlOpener() = opener ? std::move(opener) : [](const QUrl &url) { QDesktopServices::openUrl(url); };
}

RecipeEditor::RecipeEditor(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "frmAERecipe", tr("Edit Recipe"), QSize(1026, 550), Frame::Sizable);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("DBText1"));
    m_title->setAccessibleName(tr("Recipe name"));
    m_title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_title->setTextFormat(Qt::PlainText);
    QFont titleFont(QStringLiteral("Times New Roman"));
    titleFont.setPixelSize(21);
    m_title->setFont(titleFont);
    QPalette titlePalette = m_title->palette();
    titlePalette.setColor(QPalette::WindowText, QColor(0, 128, 192));
    m_title->setPalette(titlePalette);

    m_toolBar = buildToolBar();

    m_editor = new RichTextControl(this);
    QFont body(QStringLiteral("Arial"));
    body.setPointSizeF(11.25); // 15 pixels at 96 dots per inch
    m_editor->setFont(body);
    m_editor->document()->setDefaultFont(body);
    m_editor->setContextMenuPolicy(Qt::NoContextMenu);
    m_editor->viewport()->installEventFilter(this);
    connect(m_editor, &RichTextControl::OnSelectionChange, this, &RecipeEditor::EditorSelectionChange);
    connect(m_editor, &RichTextControl::OnChange, this, &RecipeEditor::EditorChange);
    connect(m_editor, &RichTextControl::OnURLClick, this, &RecipeEditor::EditorURLClick);

    m_name = makeCaptionedBox(this, "Label2", tr("Recipe Description"), QPoint(16, 0), "DBEdit1", QRect());
    m_name->setMaxLength(RecipeStore::RecipeDescriptionSize);
    m_nameLabel = findChild<QLabel *>(QStringLiteral("Label2"));
    m_tagsLabel = new QLabel(tr("Recipe Tags"), this);
    m_tagsLabel->setObjectName(QStringLiteral("Label1"));
    QFont bold = m_tagsLabel->font();
    bold.setBold(true);
    m_tagsLabel->setFont(bold);
    m_tagsLabel->adjustSize();
    m_tags = new QPlainTextEdit(this);
    m_tags->setObjectName(QStringLiteral("DBMemo1"));
    m_tags->setAccessibleName(tr("Recipe Tags"));
    m_tags->setTabChangesFocus(true);
    m_tagsLabel->setBuddy(m_tags);

    QAbstractButton *save = makeButton(this, "btnSave", tr("Save"), QString(), QRect(0, 0, 75, 25));
    QAbstractButton *cancel = makeButton(this, "btnCancel", tr("Cancel"), QString(), QRect(0, 0, 75, 25));
    connect(save, &QAbstractButton::clicked, this, &RecipeEditor::btnSaveClick);
    connect(cancel, &QAbstractButton::clicked, this, &RecipeEditor::btnCancelClick);
    m_save = save;
    m_cancel = cancel;

    if (Browser *browser = windows().browser) {
        DataLink &link = browser->store().datRecipe();
        new FieldBinding(m_title, link, RecipeStore::RecipeDescription);
        m_nameBinding = new FieldBinding(m_name, link, RecipeStore::RecipeDescription);
        m_tagsBinding = new FieldBinding(m_tags, link, RecipeStore::RecipeTag);
    }

    m_menu = buildMenu();
    setTabOrder(m_editor, m_name);
    setTabOrder(m_name, m_tags);
    setTabOrder(m_tags, save);
    setTabOrder(save, cancel);
    FormResize();
}

QToolButton *RecipeEditor::toolButton(QWidget *bar, const char *name, const QString &hint, const char *icon,
                                      int &x, void (RecipeEditor::*handler)(), bool checkable)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setAccessibleName(QString(hint).remove(QStringLiteral("...")));
    button->setIcon(QIcon(QStringLiteral(":/icons/editor/%1.svg").arg(QLatin1String(icon))));
    button->setIconSize(QSize(20, 20));
    button->setAutoRaise(true);
    button->setCheckable(checkable);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(x, 0, ButtonSize, ButtonSize);
    x += ButtonSize;
    if (handler) {
        if (checkable) // the handlers decide the pressed state themselves
            connect(button, &QToolButton::clicked, this, [this, button, handler] {
                button->setChecked(!button->isChecked());
                (this->*handler)();
            });
        else
            connect(button, &QToolButton::clicked, this, handler);
    }
    return button;
}

QWidget *RecipeEditor::buildToolBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setAccessibleName(tr("Toolbar"));
    int x = 0;
    auto gap = [&x] { x += SeparatorWidth; };
    toolButton(bar, "btnNoteBookOpen", tr("Import..."), "import", x, &RecipeEditor::btnNoteBookOpenClick);
    toolButton(bar, "btnNoteBookSaveAs", tr("Export..."), "export", x, &RecipeEditor::btnNoteBookSaveAsClick);
    toolButton(bar, "ToolButton13", tr("Print Preview..."), "printpreview", x, &RecipeEditor::ToolButton13Click);
    gap();
    m_bold = toolButton(bar, "btnBold", tr("Bold"), "bold", x, &RecipeEditor::btnBoldClick, true);
    m_italic = toolButton(bar, "btnItalic", tr("Italic"), "italic", x, &RecipeEditor::btnItalicClick, true);
    m_underline = toolButton(bar, "btnUnderline", tr("Underline"), "underline", x, &RecipeEditor::btnUnderlineClick, true);
    gap();
    m_left = toolButton(bar, "btnLeft", tr("Align Left"), "alignleft", x, nullptr, true);
    m_center = toolButton(bar, "btnCenter", tr("Align Center"), "aligncenter", x, nullptr, true);
    m_right = toolButton(bar, "btnRight", tr("Align Right"), "alignright", x, nullptr, true);
    m_justify = toolButton(bar, "btnJustify", tr("Justify"), "justify", x, nullptr, true);
    for (QToolButton *button : {m_left, m_center, m_right, m_justify})
        connect(button, &QToolButton::clicked, this, [this, button] { ApplyAlignment(button); });
    gap();
    m_cut = toolButton(bar, "btnCut", tr("Cut"), "cut", x, nullptr);
    connect(m_cut, &QToolButton::clicked, m_editor ? static_cast<QObject *>(this) : this, [this] { m_editor->cut(); });
    m_copy = toolButton(bar, "btnCopy", tr("Copy"), "copy", x, nullptr);
    connect(m_copy, &QToolButton::clicked, this, [this] { m_editor->copy(); });
    QToolButton *paste = toolButton(bar, "btnPaste", tr("Paste"), "paste", x, nullptr);
    connect(paste, &QToolButton::clicked, this, [this] { m_editor->paste(); });
    gap();
    toolButton(bar, "btnFind", tr("Find Text..."), "find", x, &RecipeEditor::btnFindClick);
    toolButton(bar, "btnFont", tr("Font..."), "font", x, &RecipeEditor::btnFontClick);
    m_bullet = toolButton(bar, "btnBullet", tr("Bullets"), "bullets", x, &RecipeEditor::btnBulletClick, true);
    gap();
    m_undo = toolButton(bar, "btnUndo", tr("Undo"), "undo", x, nullptr);
    connect(m_undo, &QToolButton::clicked, this, [this] { m_editor->undo(); });
    m_redo = toolButton(bar, "btnRedo", tr("Redo"), "redo", x, nullptr);
    connect(m_redo, &QToolButton::clicked, this, [this] { m_editor->redo(); });
    gap();
    toolButton(bar, "btnNoteBookFillColour", tr("Highlight Colour..."), "highlight", x, &RecipeEditor::btnNoteBookFillColourClick);
    toolButton(bar, "btnNoteBookFontColour", tr("Font Colour..."), "fontcolour", x, &RecipeEditor::btnNoteBookFontColourClick);
    gap();
    toolButton(bar, "btnInsertChar", tr("Insert Special Characters..."), "specialchar", x, &RecipeEditor::btnInsertCharClick);
    toolButton(bar, "btnInsertEmoticon", tr("Insert Emoticon..."), "emoticon", x, &RecipeEditor::btnInsertEmoticonClick);
    toolButton(bar, "btnInsertPicture", tr("Insert Picture..."), "picture", x, &RecipeEditor::btnInsertPictureClick);
    toolButton(bar, "btnInsertLink", tr("Insert Link..."), "link", x, &RecipeEditor::btnInsertLinkClick);
    toolButton(bar, "btnConversions", tr("Conversions..."), "conversions", x, &RecipeEditor::btnConversionsClick);
    toolButton(bar, "btnTable", tr("Table Builder..."), "table", x, &RecipeEditor::btnTableClick);
    bar->resize(ToolBarWidth, ButtonSize);
    m_cut->setEnabled(false);
    m_copy->setEnabled(false);
    m_undo->setEnabled(false);
    m_redo->setEnabled(false);
    return bar;
}

QMenu *RecipeEditor::buildMenu()
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    menu->setAccessibleName(tr("Editing commands"));
    auto *style = new OwnerDrawnMenuStyle;
    style->setParent(menu);
    menu->setStyle(style);

    auto item = [this](QMenu *in, const char *name, const QString &caption, const char *icon,
                       const QKeySequence &shortcut, auto handler) {
        QAction *action = in->addAction(QIcon(QStringLiteral(":/icons/editor/%1.svg").arg(QLatin1String(icon))),
                                        caption);
        action->setObjectName(QLatin1String(name));
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
            action->setShortcutContext(Qt::WidgetShortcut);
            m_editor->addAction(action); // the keys work while the body has the focus
        }
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    item(menu, "Cut1", tr("Cut"), "cut", QKeySequence(tr("Ctrl+X")), [this] { m_editor->cut(); });
    item(menu, "Copy1", tr("Copy"), "copy", QKeySequence(tr("Ctrl+C")), [this] { m_editor->copy(); });
    item(menu, "Paste1", tr("Paste"), "paste", QKeySequence(tr("Ctrl+V")), [this] { m_editor->paste(); });
    menu->addSection(tr("Text Selection"))->setObjectName(QStringLiteral("N1"));
    item(menu, "SelectAll1", tr("Select All"), "selectall", QKeySequence(tr("Ctrl+A")), [this] { m_editor->selectAll(); });
    menu->addSection(tr("Text Deletion"))->setObjectName(QStringLiteral("N2"));
    item(menu, "ClearSelection1", tr("Clear Selection"), "clearselection", QKeySequence(tr("Ctrl+D")),
         [this] { m_editor->ClearSelection(); });
    item(menu, "ClearAll1", tr("Clear All"), "clearall", QKeySequence(), [this] { m_editor->Clear(); });
    menu->addSection(tr("Text Formatting"))->setObjectName(QStringLiteral("N3"));
    QMenu *formatting = menu->addMenu(QIcon(QStringLiteral(":/icons/editor/formatting.svg")), tr("Formatting"));
    formatting->setObjectName(QStringLiteral("Formatting1"));
    formatting->menuAction()->setObjectName(QStringLiteral("Formatting1"));
    auto *formattingStyle = new OwnerDrawnMenuStyle;
    formattingStyle->setParent(formatting);
    formatting->setStyle(formattingStyle);
    m_boldItem = item(formatting, "Bold1", tr("Bold"), "bold", QKeySequence(tr("Ctrl+B")), &RecipeEditor::btnBoldClick);
    m_italicItem = item(formatting, "Italic1", tr("Italic"), "italic", QKeySequence(tr("Ctrl+I")), &RecipeEditor::btnItalicClick);
    m_underlineItem = item(formatting, "Underline1", tr("Underline"), "underline", QKeySequence(tr("Ctrl+U")),
                           &RecipeEditor::btnUnderlineClick);
    for (QAction *check : {m_boldItem, m_italicItem, m_underlineItem})
        check->setCheckable(true);
    return menu;
}

void RecipeEditor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    placeOverMain();
    FormShow();
}

// Centred on the main window's client area, which unlike its frame is always known, and moved
// in where that would put part of the editor off the work area.
void RecipeEditor::placeOverMain()
{
    const QScreen *screen = this->screen();
    const QRect work = screen ? screen->availableGeometry() : QRect();
    const QWidget *over = parentWidget();
    QRect client(QPoint(0, 0), size());
    client.moveCenter(over && over->isVisible() ? over->geometry().center() : work.center());
    if (work.isValid()) {
        const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
        client.moveLeft(qMin(client.left(), work.right() - frame.right() - client.width() + 1));
        client.moveLeft(qMax(client.left(), work.left() + frame.left()));
    }
    setGeometry(client);
}

void RecipeEditor::FormShow()
{
    m_editor->Clear();
    Table *recipes = recipeTable();
    BusyNotice *notice = windows().frmExport;
    if (recipes && recipes->state() == Table::State::Edit) {
        try {
            LoadRecipeBody();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            if (notice)
                notice->finish();
        } catch (const Error &error) {
            if (notice)
                notice->finish();
            Prompt::instance().error(error.message());
        }
    }
    if (m_editor->isEnabled())
        m_editor->setFocus();
    EditorSelectionChange();
    EditorChange();
}

void RecipeEditor::LoadRecipeBody()
{
    const QByteArray stored = recipeTable()->blob(RecipeStore::RecipeDetail);
    // Inflating a large body runs beside the GUI thread so the busy notice keeps moving.
    const QByteArray rtf = runOffGuiThread([stored] { return ::LoadRecipeBody(stored); });
    const WorkProgress::Scope progress(keepNoticeAlive());
    if (!rtf.isEmpty())
        m_editor->StreamIn(rtf);
    m_editor->moveCursor(QTextCursor::Start);
}

void RecipeEditor::SaveRecipeBody()
{
    const WorkProgress::Scope progress(keepNoticeAlive());
    const QByteArray rtf = m_editor->StreamOut();
    const QByteArray stored = runOffGuiThread([rtf] { return ::SaveRecipeBody(rtf); });
    recipeTable()->setBlob(RecipeStore::RecipeDetail, stored);
}

void RecipeEditor::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void RecipeEditor::FormActivate()
{
    if (m_activating || isMaximized() || isFullScreen())
        return;
    QScreen *screen = this->screen();
    if (!screen)
        return;
    m_activating = true;
    const QRect work = screen->availableGeometry();
    // The window manager's frame as it stands now: the widget's own idea of its frame can lag
    // behind when the window has only just been mapped.
    QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    if (frame.isNull())
        frame = m_frame; // not published yet: as it was last time
    else
        m_frame = frame;
    const QRect client = geometry();
    setGeometry(client.left(), work.top() + frame.top(), client.width(),
                qMax(minimumHeight(), work.height() - frame.top() - frame.bottom()));
    m_activating = false;
}

void RecipeEditor::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void RecipeEditor::FormResize()
{
    const int w = width(), h = height();
    m_title->setGeometry(0, 6, w, 28);
    m_toolBar->move((w - ToolBarWidth) / 2, 38);
    m_editor->setGeometry(0, TopBand, w, qMax(0, h - TopBand - BottomBand));
    const int band = h - BottomBand;
    m_nameLabel->move(16, band + 16);
    m_name->setGeometry(168, band + 12, qMax(20, w - 198), 24);
    m_tagsLabel->move(16, band + 50);
    m_tags->setGeometry(168, band + 46, qMax(20, w - 198), 57);
    m_save->move(168, band + 120);
    m_cancel->move(w - 120, band + 120);
}

void RecipeEditor::btnSaveClick()
{
    if (m_name->text().isEmpty()) {
        Prompt::instance().information(tr("Please enter Recipe Name."));
        if (m_name->isEnabled())
            m_name->setFocus();
        return;
    }
    if (m_tags->toPlainText().isEmpty()) {
        Prompt::instance().information(tr("Please enter Recipe Tag(s)."));
        if (m_tags->isEnabled())
            m_tags->setFocus();
        return;
    }
    Browser *browser = windows().browser;
    BusyNotice *notice = windows().frmExport;
    std::optional<TransientForEditor> noticeOver;
    try {
        if (notice) {
            noticeOver.emplace(notice, this);
            notice->showMessage(tr("Saving Recipe..."));
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        const QString name = m_name->text();
        SaveRecipeBody();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        Table &recipes = *recipeTable();
        recipes.post();
        browser->FillRecipeList();
        if (!recipes.locate(RecipeStore::RecipeDescription, name))
            Prompt::instance().information(tr("Could not find %1 in dataset.").arg(name));
        browser->selectEntry(browser->recipeList(), recipes.text(RecipeStore::RecipeDescription));
        if (browser->recipeList()->isEnabled())
            browser->recipeList()->setFocus();
        if (notice)
            notice->finish();
        QDialog::done(Accepted);
    } catch (const Error &error) {
        if (notice)
            notice->finish();
        Prompt::instance().error(error.message());
    }
}

void RecipeEditor::btnCancelClick()
{
    try {
        if (Table *recipes = recipeTable())
            if (recipes->state() == Table::State::Edit || recipes->state() == Table::State::Insert)
                recipes->cancel();
        QDialog::done(Rejected);
    } catch (const Error &error) {
        Prompt::instance().error(error.message());
    }
}

// Escape never throws an edit away: only Cancel and the close box leave without saving.
void RecipeEditor::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// The close box leaves the way Cancel does: nothing of this opening is kept.
void RecipeEditor::done(int result)
{
    if (result == Accepted) {
        QDialog::done(result);
        return;
    }
    btnCancelClick();
}

void RecipeEditor::EditorSelectionChange()
{
    const RichTextControl::CharAttributes attributes = m_editor->SelAttributes();
    m_bold->setChecked(attributes.bold);
    m_italic->setChecked(attributes.italic);
    m_underline->setChecked(attributes.underline);
    m_boldItem->setChecked(attributes.bold);
    m_italicItem->setChecked(attributes.italic);
    m_underlineItem->setChecked(attributes.underline);
    m_bullet->setChecked(m_editor->ParaBullets());
    const Qt::Alignment alignment = m_editor->ParaAlignment();
    m_left->setChecked(!(alignment & (Qt::AlignHCenter | Qt::AlignRight | Qt::AlignJustify)));
    m_center->setChecked(alignment & Qt::AlignHCenter);
    m_right->setChecked(alignment & Qt::AlignRight);
    m_justify->setChecked(alignment & Qt::AlignJustify);
    const bool selected = m_editor->SelLength() > 0;
    m_copy->setEnabled(selected);
    m_cut->setEnabled(selected);
}

void RecipeEditor::EditorChange()
{
    m_undo->setEnabled(m_editor->CanUndo());
    m_redo->setEnabled(m_editor->CanRedo());
}

void RecipeEditor::toggleStyle(int flag)
{
    RichTextControl::CharAttributes a = m_editor->SelAttributes();
    QToolButton *button = flag == StyleBold ? m_bold : flag == StyleItalic ? m_italic : m_underline;
    bool &on = flag == StyleBold ? a.bold : flag == StyleItalic ? a.italic : a.underline;
    on = !on;
    m_editor->setStyles(a.bold, a.italic, a.underline, a.strikeOut);
    button->setChecked(on);
}

void RecipeEditor::btnBoldClick() { toggleStyle(StyleBold); }
void RecipeEditor::btnItalicClick() { toggleStyle(StyleItalic); }
void RecipeEditor::btnUnderlineClick() { toggleStyle(StyleUnderline); }

void RecipeEditor::ApplyAlignment(QToolButton *pressed)
{
    for (QToolButton *button : {m_left, m_center, m_right, m_justify})
        button->setChecked(button == pressed);
    Qt::Alignment alignment = Qt::AlignLeft;
    if (pressed == m_center)
        alignment = Qt::AlignHCenter;
    else if (pressed == m_right)
        alignment = Qt::AlignRight;
    else if (pressed == m_justify)
        alignment = Qt::AlignJustify;
    m_editor->setParaAlignment(alignment);
}

void RecipeEditor::btnFindClick()
{
    m_editor->ShowFind(m_editor->SelText());
}

void RecipeEditor::btnFontClick()
{
    // The dialog shows the font the text is drawn in, which is not the named one when that family
    // is not installed; only what the user changes there is applied, so a family that is merely
    // missing here stays named in the recipe.
    Prompt::FontRequest request;
    const QFont named = m_editor->SelFont();
    const QFontInfo drawn(named);
    request.initial = named;
    request.initial.setFamily(drawn.family());
    request.initial.setBold(drawn.bold());
    request.initial.setItalic(drawn.italic());
    request.title = tr("Font");
    if (const std::optional<QFont> font = Prompt::instance().font(request))
        m_editor->applyFontChanges(request.initial, *font);
    m_editor->setFocus();
}

void RecipeEditor::btnBulletClick()
{
    const bool on = !m_editor->ParaBullets();
    m_editor->setParaBullets(on);
    m_bullet->setChecked(on);
}

void RecipeEditor::btnNoteBookFillColourClick()
{
    const QColor current = m_editor->SelAttributes().highlight;
    const QColor preset = current.isValid() ? current : m_editor->palette().color(QPalette::Base);
    if (const std::optional<QColor> colour = Prompt::instance().color(preset))
        m_editor->setSelHighlight(*colour);
}

void RecipeEditor::btnNoteBookFontColourClick()
{
    const QColor current = m_editor->SelAttributes().color;
    const QColor preset = current.isValid() ? current : m_editor->palette().color(QPalette::Text);
    if (const std::optional<QColor> colour = Prompt::instance().color(preset))
        m_editor->setSelColor(*colour);
}

int RecipeEditor::showModalOver(QDialog *dialog)
{
    const TransientForEditor over(dialog, this);
    return dialog->exec();
}

void RecipeEditor::btnInsertCharClick()
{
    CharacterMap *map = windows().DLLForm;
    if (!map)
        return;
    map->setFontName(m_editor->SelAttributes().fontName);
    if (showModalOver(map) != QDialog::Accepted)
        return;
    // The pasted text replaces a selection and otherwise goes in at the caret, keeping the
    // character after it. It takes the map's font at the size and colour of the selection's first
    // character, whichever way the selection was made.
    QTextCursor cursor = m_editor->textCursor();
    if (cursor.hasSelection()) {
        QTextCursor first = cursor;
        first.setPosition(cursor.selectionStart());
        first.setPosition(cursor.selectionStart() + 1, QTextCursor::KeepAnchor);
        const QTextCharFormat format = first.charFormat();
        cursor.removeSelectedText();
        m_editor->setTextCursor(cursor);
        m_editor->setCurrentCharFormat(format);
    }
    const RichTextControl::CharAttributes attributes = m_editor->SelAttributes();
    QFont font = map->gridFont();
    font.setPointSizeF(attributes.pointSize > 0 ? attributes.pointSize : m_editor->font().pointSizeF());
    m_editor->setSelFont(font, attributes.color);
    m_editor->setFocus();
    m_editor->paste();
}

void RecipeEditor::btnInsertEmoticonClick()
{
    EmoticonPicker *picker = windows().frmEmoticons;
    if (!picker)
        return;
    showModalOver(picker);
    if (picker->EmoticonChosen)
        m_editor->paste();
    picker->EmoticonChosen = false;
}

void RecipeEditor::btnTableClick()
{
    TableBuilder *builder = windows().DllForms;
    if (!builder)
        return;
    showModalOver(builder);
    if (builder->inserted())
        m_editor->paste();
}

void RecipeEditor::btnConversionsClick()
{
    if (ConversionsWindow *conversions = windows().frmConversions)
        showModalOver(conversions);
}

void RecipeEditor::ToolButton13Click()
{
    if (PrintPreviewWindow *preview = windows().PrintPreviewForm) {
        preview->RebuildPreview(m_editor->document());
        showModalOver(preview);
    }
}

void RecipeEditor::insertPictureFile(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    static const QStringList known = {QStringLiteral("gif"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                      QStringLiteral("bmp"), QStringLiteral("emf"), QStringLiteral("wmf")};
    if (!known.contains(extension))
        throw Error(tr("Unknown picture file extension (.%1)").arg(extension));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(tr("Cannot open file %1").arg(QDir::toNativeSeparators(path)));
    const QByteArray bytes = file.readAll();

    QImage bitmap;
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg")) {
        bitmap = DecodeJpeg(bytes, EmbeddedPictureStore::MaxDisplaySide);
    } else if (extension != QLatin1String("emf") && extension != QLatin1String("wmf")) {
        bitmap = QImage::fromData(bytes, extension == QLatin1String("gif") ? "GIF" : "BMP");
        if (bitmap.isNull())
            throw Error(tr("%1 is not a valid %2 picture").arg(QFileInfo(path).fileName(), extension.toUpper()));
    }
    if (!bitmap.isNull())
        QApplication::clipboard()->setImage(bitmap); // the clipboard keeps the last picture
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // The body keeps the file's own bytes: the photo stays as small as its JPEG, and metafiles
    // stay vectors.
    m_editor->InsertPicture(bytes);
}

void RecipeEditor::btnInsertPictureClick()
{
    Prompt::FileRequest request;
    request.title = tr("Open");
    request.filter = tr("All (*.gif *.jpg *.jpeg *.bmp *.emf *.wmf);;CompuServe GIF Image (*.gif);;"
                        "JPEG Image File (*.jpg);;JPEG Image File (*.jpeg);;Bitmaps (*.bmp);;"
                        "Enhanced Metafiles (*.emf);;Metafiles (*.wmf)");
    const std::optional<QString> path = Prompt::instance().openFileName(request);
    if (!path)
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    try {
        insertPictureFile(*path);
    } catch (const Error &error) {
        reportApplicationError(error.message());
    }
}

void RecipeEditor::btnInsertLinkClick()
{
    Prompt::FileRequest request;
    request.title = tr("Link To Selected File");
    request.filter = tr("All Files (*);;Images (*.bmp *.jpg *.jpeg *.png *.gif)");
    request.confirmOverwrite = false;
    const std::optional<QString> path = Prompt::instance().openFileName(request);
    if (!path)
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    try {
        QString target = QFileInfo(*path).absoluteFilePath();
        target.replace(QLatin1Char(' '), QLatin1Char('%'));
        const QString link = QStringLiteral("file:") + target;
        // Only the inserted text becomes the link: what is typed after it keeps the format that
        // was in force before.
        const QTextCharFormat typing = m_editor->currentCharFormat();
        const int start = m_editor->SelStart();
        m_editor->setSelText(link);
        m_editor->setSelStart(start);
        m_editor->setSelLength(int(link.size()));
        m_editor->setSelLink(true);
        m_editor->setSelStart(start + int(link.size()));
        m_editor->setCurrentCharFormat(typing);
    } catch (const Error &error) {
        Prompt::instance().error(error.message());
    }
}

void RecipeEditor::EditorURLClick(const QString &link)
{
    QString target = link;
    target.replace(QLatin1Char('%'), QLatin1Char(' '));
    // "file:" links name a local path and bare e-mail addresses are mail links; everything else is
    // an address as typed.
    static const QRegularExpression bareMail(QStringLiteral(R"(^[^\s:/@]+@[^\s:/@]+$)"));
    const QUrl url = target.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)
            ? QUrl::fromLocalFile(target.mid(5))
            : bareMail.match(target).hasMatch() ? QUrl(QStringLiteral("mailto:") + target)
                                                : QUrl::fromUserInput(target);
    urlOpener()(url);
}

void RecipeEditor::btnNoteBookOpenClick()
{
    Prompt::FileRequest request;
    request.title = tr("Import Document");
    request.filter = tr("All Supported Documents (*.rtf *.txt);;Rich Text File (*.rtf);;Plain Text File (*.txt)");
    request.defaultExtension = QStringLiteral("rtf");
    request.confirmOverwrite = false;
    const std::optional<QString> path = Prompt::instance().openFileName(request);
    if (!path)
        return;
    try {
        m_editor->setUnicodeMode(QFileInfo(*path).suffix().toLower() != QLatin1String("txt"));
        m_editor->LoadFromFile(*path);
    } catch (const Error &error) {
        reportApplicationError(error.message());
    }
}

void RecipeEditor::btnNoteBookSaveAsClick()
{
    if (m_editor->TextLength() == 0)
        return;
    Prompt::FileRequest request;
    request.title = tr("Save As");
    request.filter = tr("Rich Text Format (*.rtf)");
    request.defaultExtension = QStringLiteral("rtf");
    request.confirmOverwrite = true;
    const std::optional<QString> path = Prompt::instance().saveFileName(request);
    if (!path)
        return;
    try {
        m_editor->SaveToFile(*path);
    } catch (const Error &error) {
        Prompt::instance().error(error.message());
    }
}

// The right mouse button opens the popup menu where it was pressed.
bool RecipeEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            m_menu->popup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
