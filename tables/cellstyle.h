#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>

#include <memory>

// One of the two fonts the table's cells share (header and body): family, size and style, and
// the colour texts are drawn in.
struct CellFont
{
    QFont font;
    QColor color = Qt::black;
};
using SharedCellFont = std::shared_ptr<const CellFont>;

// The style of one cell. Alignment: 0 left, 1 right, 2 centre.
struct TCellStyle
{
    int Row = 0;
    int Col = 0;
    quint8 Alignment = 0;
    QColor Colour = Qt::white;
    SharedCellFont Font;
};

// The style list of the table builder, handed to the renderer. Lookup by (row, column) gives the
// first entry of that cell, or the last entry of the list when the cell has none, in constant
// time: an index from each cell to its first entry is kept in step with every change.
class CellStyleList
{
public:
    [[nodiscard]] bool isEmpty() const { return m_entries.isEmpty(); }
    [[nodiscard]] int size() const { return int(m_entries.size()); }
    [[nodiscard]] const TCellStyle &at(int i) const { return m_entries.at(i); }

    // The style a cell is drawn with (a plain white left-aligned style while the list is empty).
    [[nodiscard]] const TCellStyle &lookup(int row, int col) const;
    // The cell's own first entry, or nullptr: commands change only cells that have one.
    [[nodiscard]] TCellStyle *find(int row, int col);
    [[nodiscard]] const TCellStyle *find(int row, int col) const;

    void append(const TCellStyle &style);
    // Deletes every entry of a row or of a column.
    void removeRow(int row);
    void removeColumn(int col);
    void clear();

    // The builder's default entries for a table, row by row and within a row column by column:
    // header-row cells centred, header-column cells left-aligned, both in the header colour and
    // font; body cells left-aligned in the body colour and font.
    void buildDefaults(int cols, int rows, bool headerRow, bool headerColumn, const QColor &headerColour,
                       const QColor &bodyColour, const SharedCellFont &headerFont, const SharedCellFont &bodyFont);

private:
    static quint64 key(int row, int col) { return quint64(quint32(row)) << 32 | quint32(col); }
    void reindex();

    QList<TCellStyle> m_entries;
    QHash<quint64, int> m_first;
};
