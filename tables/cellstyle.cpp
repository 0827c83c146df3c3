#include "tables/cellstyle.h"

const TCellStyle &CellStyleList::lookup(int row, int col) const
{
    static const TCellStyle fallback{0, 0, 0, Qt::white, std::make_shared<const CellFont>()};
    const auto found = m_first.constFind(key(row, col));
    if (found != m_first.cend())
        return m_entries.at(*found);
    return m_entries.isEmpty() ? fallback : m_entries.constLast();
}

TCellStyle *CellStyleList::find(int row, int col)
{
    const auto found = m_first.constFind(key(row, col));
    return found != m_first.cend() ? &m_entries[*found] : nullptr;
}

const TCellStyle *CellStyleList::find(int row, int col) const
{
    const auto found = m_first.constFind(key(row, col));
    return found != m_first.cend() ? &m_entries.at(*found) : nullptr;
}

void CellStyleList::append(const TCellStyle &style)
{
    m_entries.append(style);
    const quint64 k = key(style.Row, style.Col);
    if (!m_first.contains(k))
        m_first.insert(k, int(m_entries.size() - 1));
}

void CellStyleList::removeRow(int row)
{
    m_entries.removeIf([row](const TCellStyle &s) { return s.Row == row; });
    reindex();
}

void CellStyleList::removeColumn(int col)
{
    m_entries.removeIf([col](const TCellStyle &s) { return s.Col == col; });
    reindex();
}

void CellStyleList::clear()
{
    m_entries.clear();
    m_first.clear();
}

void CellStyleList::reindex()
{
    m_first.clear();
    for (int i = 0; i < m_entries.size(); ++i)
        if (const quint64 k = key(m_entries.at(i).Row, m_entries.at(i).Col); !m_first.contains(k))
            m_first.insert(k, i);
}

void CellStyleList::buildDefaults(int cols, int rows, bool headerRow, bool headerColumn, const QColor &headerColour,
                                  const QColor &bodyColour, const SharedCellFont &headerFont,
                                  const SharedCellFont &bodyFont)
{
    clear();
    m_entries.reserve(qsizetype(cols) * rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (r == 0 && headerRow)
                append({r, c, 2, headerColour, headerFont});
            else if (c == 0 && headerColumn)
                append({r, c, 0, headerColour, headerFont});
            else
                append({r, c, 0, bodyColour, bodyFont});
        }
    }
}
