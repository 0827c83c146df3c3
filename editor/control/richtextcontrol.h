#pragma once

#include <QColor>
#include <QFont>
#include <QTextDocument>
#include <QTextEdit>

class FindDialog;
class LinkHighlighter;

// The recipe body's rich-text control: a QTextEdit that streams its document as RTF, reads plain
// text when data is not RTF, embeds pasted pictures, detects links and reports clicks on them,
// and offers the character and paragraph operations the editor's commands need.
class RichTextControl : public QTextEdit
{
    Q_OBJECT

public:
    // The character format of the selection (or of the typing position when nothing is selected).
    // An invalid colour is the automatic colour.
    struct CharAttributes {
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        QColor color;
        QColor highlight;
        QString fontName;
        qreal pointSize = 0;
        bool link = false;
    };

    // Hanging offset of bulleted paragraphs, in points: the text after the bullet starts at least
    // this far right of the bullet.
    static constexpr qreal BulletOffset = 10.0;
    // Undo reaches back this many steps; older steps are out of reach.
    static constexpr int MaxUndoSteps = 100;

    explicit RichTextControl(QWidget *parent = nullptr);
    ~RichTextControl() override;

    // The whole document as RTF. Throws Error("Failed to Save Stream") when it cannot be written.
    [[nodiscard]] QByteArray StreamOut() const;
    // Replaces the document with RTF, or with plain text when the data is not RTF; the caret ends
    // at the start. Throws Error("Failed to Load Stream") when neither reading works.
    void StreamIn(const QByteArray &data);

    // Loads or saves a file by its lower-cased extension: ".txt" is plain text (16-bit Unicode
    // while the Unicode mode is on, 8-bit otherwise); any other name is RTF. Throw Error.
    void LoadFromFile(const QString &path);
    void SaveToFile(const QString &path) const;
    // The document as a text file holds it: list items start with their label ("1.", "a)", "•")
    // and pictures leave nothing behind.
    [[nodiscard]] QString PlainText() const;
    bool unicodeMode() const { return m_unicodeMode; }
    void setUnicodeMode(bool on) { m_unicodeMode = on; }

    // Empties the document, embedded pictures included.
    void Clear();

    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    void setSelText(const QString &text);
    void ClearSelection(); // deletes the selection as one undo step

    // With a selection, a style flag counts as set only when every selected character has it, so
    // the reading does not depend on the direction the selection was made in; the other
    // attributes are those of the first selected character.
    [[nodiscard]] CharAttributes SelAttributes() const;
    // Bold, italic, underline and strike-out are written together.
    void setStyles(bool bold, bool italic, bool underline, bool strikeOut);
    void setSelColor(const QColor &color);     // invalid: automatic
    void setSelHighlight(const QColor &color); // invalid: none
    void setSelFontName(const QString &name);
    void setSelPointSize(qreal size);
    void setSelLink(bool on);
    // The whole font of the selection, colour included, both ways.
    [[nodiscard]] QFont SelFont() const;
    void setSelFont(const QFont &font, const QColor &color);
    // Applies to the selection only what differs between two fonts (family, size, style flags),
    // so that what a font dialog showed but the user did not change stays as it was.
    void applyFontChanges(const QFont &shown, const QFont &chosen);

    [[nodiscard]] Qt::Alignment ParaAlignment() const;
    void setParaAlignment(Qt::Alignment alignment);
    [[nodiscard]] bool ParaBullets() const;
    [[nodiscard]] bool ParaNumbered() const; // numbered in some other way than bullets
    void setParaBullets(bool on);

    bool CanUndo() const;
    bool CanRedo() const;
    // Undo and redo within the reach of MaxUndoSteps (hide QTextEdit's, which reach back forever).
    void undo();
    void redo();

    // Pastes, from the clipboard: plain text, RTF, bitmaps and metafiles.
    bool CanPaste() const;

    // The find dialog, created on first use and kept; seeded with the text.
    void ShowFind(const QString &seed);
    // Searches from the selection; selects the hit and returns true, or leaves all as it was.
    bool FindNext(const QString &text, bool forward, bool matchCase, bool wholeWord);
    FindDialog *findDialog() const { return m_find; }

    // Print layout: replaces the selection with a complete RTF document; the text length in
    // characters; drops any cached layout so the next measurement starts afresh.
    void InsertRtfAsSelection(const QByteArray &rtf);
    [[nodiscard]] int TextLength() const;
    void DiscardCachedLayout();

    // Inserts a picture (its file bytes) at the caret as an embedded picture. Throws Error.
    void InsertPicture(const QByteArray &fileBytes);

    // The link (detected or marked) at a document position, or an empty string.
    [[nodiscard]] QString linkAt(int position) const;

    // What paste and drop take, and what copy and drag give (public so other windows' insertions
    // and tests can use them without the clipboard).
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;

Q_SIGNALS:
    void OnChange();
    void OnSelectionChange();
    void OnURLClick(const QString &link);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void mergeFormat(const QTextCharFormat &format);
    void watchUndo();
    void readPlainText(const QByteArray &data, bool sixteenBit, QTextDocument *into = nullptr);
    [[nodiscard]] QByteArray selectionAsRtf() const;

    bool m_unicodeMode = true; // 16-bit text files until a ".txt" import says otherwise
    int m_undoDepth = 0;       // undo steps within reach, at most MaxUndoSteps
    FindDialog *m_find = nullptr;
    LinkHighlighter *m_links = nullptr;
    QString m_pressedLink;
};
