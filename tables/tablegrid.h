#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The table of the table builder without its window: cell texts addressed by (column, row) from
// 0, the counts, the header row and column (fixed row and column counts, 0 or 1), and a width
// per column and a height per row in pixels. It follows the rules of a string grid: a count never
// drops below 1, and a header that would leave no body row or column is refused or dropped.
class TableGrid
{
public:
    static constexpr int DefaultColWidth = 64;
    static constexpr int DefaultRowHeight = 24;
    static constexpr int DefaultCount = 5;

    TableGrid();

    [[nodiscard]] int colCount() const { return int(m_widths.size()); }
    [[nodiscard]] int rowCount() const { return int(m_heights.size()); }
    // Below 1 counts as 1. A count not above the header count drops that header (to count - 1).
    // New columns and rows have empty texts and the default size.
    void setColCount(int count);
    void setRowCount(int count);

    [[nodiscard]] int fixedCols() const { return m_fixedCols; }
    [[nodiscard]] int fixedRows() const { return m_fixedRows; }
    // Throws Error when the header would leave no body column or row.
    void setFixedCols(int count);
    void setFixedRows(int count);
    [[nodiscard]] bool headerColumnShown() const { return m_fixedCols > 0; }
    [[nodiscard]] bool headerRowShown() const { return m_fixedRows > 0; }

    [[nodiscard]] QString cell(int col, int row) const;
    void setCell(int col, int row, const QString &text);
    void clearTexts();

    [[nodiscard]] int colWidth(int col) const { return m_widths.value(col, 0); }
    [[nodiscard]] int rowHeight(int row) const { return m_heights.value(row, 0); }
    void setColWidth(int col, int width);
    void setRowHeight(int row, int height);
    [[nodiscard]] int totalWidth() const;
    [[nodiscard]] int totalHeight() const;

    // Moves a column (its texts and width) or a row to another place, as dragging in the header
    // area does.
    void moveColumn(int from, int to);
    void moveRow(int from, int to);

private:
    QList<QStringList> m_columns; // m_columns[col][row]
    QList<int> m_widths;
    QList<int> m_heights;
    int m_fixedCols = 1;
    int m_fixedRows = 1;
};
