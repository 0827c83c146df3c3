#pragma once

#include <QDialog>
#include <QFont>
#include <QPoint>
#include <QRawFont>

class QAbstractButton;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

// The character map ("DLLForm"): picks one character of any installed font, or composes a line
// of them, and puts the choice on the clipboard as text for the recipe editor, which closes it
// with OK. The grid shows one page of 256 code points; the first page is codes 0 to 255 with
// codes 0 to 3 repeated in the last four cells. The window keeps its font, page and remembered
// cell between showings; only the composed line is emptied each time it is shown.
class CharacterMap : public QDialog
{
    Q_OBJECT
public:
    explicit CharacterMap(QWidget *parent = nullptr);

    // Presets the font list; the grid is refilled only when the name differs from the one shown.
    // A family that is not installed is shown as the family that stands in for it.
    void setFontName(const QString &name);
    [[nodiscard]] QString fontName() const { return m_fontName; }
    // The font of the character grid: the chosen family, 12 points, regular. Its family name is
    // the plain one where that alone finds the font chosen in the list.
    [[nodiscard]] QFont gridFont() const;

    // Shows the page of code points from page x 256 (0 to CharacterGrid::PageCount - 1).
    void setPage(int page);
    [[nodiscard]] int page() const { return m_page; }

    void FontComboBox1Change(const QString &family);
    void StringGrid1SelectCell(int column, int row);
    void dxButton2Click();       // "  Insert"
    void btnAddClick();
    void btnInsertLineClick();
    void dxButton1Click();       // "  Close"
    void FormActivate();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillGrid();
    [[nodiscard]] QString remembered() const;

    QFontComboBox *m_fonts = nullptr;
    QTableWidget *m_grid = nullptr;
    QLabel *m_preview = nullptr;
    QLabel *m_code = nullptr;
    QLabel *m_pageRange = nullptr;
    QAbstractButton *m_previousPage = nullptr;
    QAbstractButton *m_nextPage = nullptr;
    QLineEdit *m_line = nullptr;
    QString m_fontName;     // empty until the first font choice
    QRawFont m_rawFont;     // the chosen family alone, to tell which characters it has
    int m_page = 0;
    QPoint m_remembered{5, 3}; // column, row: code 65 on the first page
};
