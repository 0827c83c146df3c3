#pragma once

#include "tables/cellstyle.h"
#include "tables/tablegrid.h"

#include <QByteArray>
#include <QColor>
#include <QLocale>

// What the table builder edits, without its window: the grid, the style list, the header colour
// and the two shared fonts, with the commands that change them together. The window binds its
// controls to these commands; the renderer reads the grid and the style list.
class TableDesign
{
public:
    static QColor defaultHeaderColour() { return QColor(255, 234, 179); }
    // The grid font: Arial, 8 point (11 pixels high).
    static CellFont gridFont();

    TableDesign();

    // "Col Width: M mm - I inches" for a column of `width` pixels on a screen of `dpi` logical
    // pixels per inch: with t = 1440 div dpi twips per pixel, M = width / (t * 25.4 / 100).
    static QString columnWidthReadout(int width, int dpi, const QLocale &locale);

    [[nodiscard]] TableGrid &grid() { return m_grid; }
    [[nodiscard]] const TableGrid &grid() const { return m_grid; }
    [[nodiscard]] const CellStyleList &styles() const { return m_styles; }
    [[nodiscard]] QColor headerColour() const { return m_headerColour; }
    [[nodiscard]] QColor bodyColour() const { return Qt::white; }
    [[nodiscard]] const SharedCellFont &headerFont() const { return m_headerFont; }
    [[nodiscard]] const SharedCellFont &bodyFont() const { return m_bodyFont; }

    [[nodiscard]] bool isHeader(int col, int row) const;

    // The count fields' up and down steps change the count, then the style list: an added column
    // or row gets entries, a removed one loses them.
    void stepColCount(int newCount);
    void stepRowCount(int newCount);
    // A typed count changes only the grid; new cells take the list's last entry.
    void setColCount(int count) { m_grid.setColCount(count); }
    void setRowCount(int count) { m_grid.setRowCount(count); }

    // Header row ("Show Column Header") and header column ("Show Row Header"). Showing one that
    // would leave no body row or column throws Error and changes nothing.
    void setHeaderRow(bool shown);
    void setHeaderColumn(bool shown);

    // Commands on the current cell, row or column; cells without an entry stay as they are.
    void setAlignment(int col, int row, quint8 alignment);
    void setCellColour(int col, int row, const QColor &colour);
    void setRowColour(int row, const QColor &colour);
    void setColumnColour(int col, const QColor &colour);
    void setHeaderColour(const QColor &colour);
    void setBodyFont(const CellFont &font);
    void setHeaderFont(const CellFont &font);
    // The colour a colour dialog starts from: the cell's own, or the body colour without one.
    [[nodiscard]] QColor cellColour(int col, int row) const;

    // The height row `row` needs: 24, or more when a body text (columns 1 on) wraps taller.
    [[nodiscard]] int autoHeight(int row) const;
    void applyAutoHeight(int row) { m_grid.setRowHeight(row, autoHeight(row)); }
    // Rows 1 to the last; row 0 keeps its height.
    void applyAutoHeightToTable();
    // Auto height after a click on (col, row): cell (0, 0) is measured alone, without a minimum.
    void applyAutoHeightAt(int col, int row);

    // Empty texts, 64 x 24 cells, 5 x 5, default styles in the current header colour and fonts.
    void clearTable();
    // Discards the style list and builds the default entries for the current size and headers.
    void rebuildStyles();

    // Import of a table text file: default styles for the current size, texts cleared, then the
    // file read into the grid. Throws Error; what was done before a failure stays done.
    void importText(const QByteArray &bytes);
    void importFile(const QString &path);

private:
    [[nodiscard]] const CellFont &fontOf(int col, int row) const;

    TableGrid m_grid;
    CellStyleList m_styles;
    QColor m_headerColour = defaultHeaderColour();
    SharedCellFont m_headerFont;
    SharedCellFont m_bodyFont;
};
