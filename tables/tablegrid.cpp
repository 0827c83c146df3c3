#include "tables/tablegrid.h"

#include "store/error.h"

#include <QCoreApplication>

#include <algorithm>
#include <numeric>

TableGrid::TableGrid()
{
    setColCount(DefaultCount);
    setRowCount(DefaultCount);
}

void TableGrid::setColCount(int count)
{
    count = std::max(1, count);
    const int rows = rowCount();
    m_widths.resize(count, DefaultColWidth);
    m_columns.resize(count);
    for (QStringList &column : m_columns)
        column.resize(rows);
    if (count <= m_fixedCols)
        m_fixedCols = count - 1;
}

void TableGrid::setRowCount(int count)
{
    count = std::max(1, count);
    m_heights.resize(count, DefaultRowHeight);
    for (QStringList &column : m_columns)
        column.resize(count);
    if (count <= m_fixedRows)
        m_fixedRows = count - 1;
}

void TableGrid::setFixedCols(int count)
{
    if (count >= colCount())
        throw Error(QCoreApplication::translate("TableGrid", "Fixed column count must be less than column count"));
    m_fixedCols = std::max(0, count);
}

void TableGrid::setFixedRows(int count)
{
    if (count >= rowCount())
        throw Error(QCoreApplication::translate("TableGrid", "Fixed row count must be less than row count"));
    m_fixedRows = std::max(0, count);
}

QString TableGrid::cell(int col, int row) const
{
    if (col < 0 || col >= colCount() || row < 0 || row >= rowCount())
        return {};
    return m_columns.at(col).at(row);
}

void TableGrid::setCell(int col, int row, const QString &text)
{
    if (col >= 0 && col < colCount() && row >= 0 && row < rowCount())
        m_columns[col][row] = text;
}

void TableGrid::clearTexts()
{
    for (QStringList &column : m_columns)
        std::fill(column.begin(), column.end(), QString());
}

void TableGrid::setColWidth(int col, int width)
{
    if (col >= 0 && col < colCount())
        m_widths[col] = std::max(0, width);
}

void TableGrid::setRowHeight(int row, int height)
{
    if (row >= 0 && row < rowCount())
        m_heights[row] = std::max(0, height);
}

int TableGrid::totalWidth() const
{
    return std::accumulate(m_widths.cbegin(), m_widths.cend(), 0);
}

int TableGrid::totalHeight() const
{
    return std::accumulate(m_heights.cbegin(), m_heights.cend(), 0);
}

void TableGrid::moveColumn(int from, int to)
{
    if (from < 0 || from >= colCount() || to < 0 || to >= colCount() || from == to)
        return;
    m_columns.move(from, to);
    m_widths.move(from, to);
}

void TableGrid::moveRow(int from, int to)
{
    if (from < 0 || from >= rowCount() || to < 0 || to >= rowCount() || from == to)
        return;
    for (QStringList &column : m_columns)
        column.move(from, to);
    m_heights.move(from, to);
}
