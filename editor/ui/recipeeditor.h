#pragma once

#include <QDialog>
#include <QMargins>

#include <functional>

class FieldBinding;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QToolButton;
class QUrl;
class RichTextControl;

// The recipe editor ("frmAERecipe"): a recipe's name, tags and formatted body, with the toolbar
// and popup menu of formatting and insertion commands. It is shown modally with the recipe table
// already inserting or editing; Save posts the record, anything else cancels it.
class RecipeEditor : public QDialog
{
    Q_OBJECT
public:
    explicit RecipeEditor(QWidget *parent = nullptr);

    [[nodiscard]] RichTextControl *Editor() const { return m_editor; }
    [[nodiscard]] QMenu *PopupMenu1() const { return m_menu; }

    // Opens links for the link click; tests replace it to see what would be opened.
    using UrlOpener = std::function<void(const QUrl &)>;
    static void setUrlOpener(UrlOpener opener);

    void done(int result) override;

    // Window events and commands, named as the design names them.
    void FormShow();
    void FormActivate();
    void FormResize();
    void btnSaveClick();
    void btnCancelClick();
    void EditorSelectionChange();
    void EditorChange();
    void EditorURLClick(const QString &link);
    void btnBoldClick();
    void btnItalicClick();
    void btnUnderlineClick();
    void ApplyAlignment(QToolButton *pressed);
    void btnFindClick();
    void btnFontClick();
    void btnBulletClick();
    void btnNoteBookFillColourClick();
    void btnNoteBookFontColourClick();
    void btnInsertCharClick();
    void btnInsertEmoticonClick();
    void btnTableClick();
    void btnConversionsClick();
    void ToolButton13Click();
    void btnInsertPictureClick();
    void btnInsertLinkClick();
    void btnNoteBookOpenClick();
    void btnNoteBookSaveAsClick();

    // The picture file types Insert Picture reads, by lower-cased extension without the dot.
    // Throws Error "Unknown picture file extension (.%s)" for any other, or when the file
    // cannot be read as its type.
    void insertPictureFile(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildToolBar();
    QMenu *buildMenu();
    QToolButton *toolButton(QWidget *bar, const char *name, const QString &hint, const char *icon,
                            int &x, void (RecipeEditor::*handler)(), bool checkable = false);
    int showModalOver(QDialog *dialog);
    void placeOverMain();
    void LoadRecipeBody();
    void SaveRecipeBody();
    void toggleStyle(int flag);

    QLabel *m_title = nullptr;          // DBText1
    QWidget *m_toolBar = nullptr;       // ToolBar1
    RichTextControl *m_editor = nullptr;
    QLabel *m_nameLabel = nullptr;      // Label2
    QLineEdit *m_name = nullptr;        // DBEdit1
    QLabel *m_tagsLabel = nullptr;      // Label1
    QPlainTextEdit *m_tags = nullptr;   // DBMemo1
    QWidget *m_save = nullptr;
    QWidget *m_cancel = nullptr;
    QMenu *m_menu = nullptr;            // PopupMenu1
    FieldBinding *m_nameBinding = nullptr;
    FieldBinding *m_tagsBinding = nullptr;
    QToolButton *m_bold = nullptr, *m_italic = nullptr, *m_underline = nullptr;
    QToolButton *m_left = nullptr, *m_center = nullptr, *m_right = nullptr, *m_justify = nullptr;
    QToolButton *m_cut = nullptr, *m_copy = nullptr, *m_bullet = nullptr;
    QToolButton *m_undo = nullptr, *m_redo = nullptr;
    QAction *m_boldItem = nullptr, *m_italicItem = nullptr, *m_underlineItem = nullptr;
    bool m_activating = false;
    QMargins m_frame; // the window manager's frame, as last seen
};
