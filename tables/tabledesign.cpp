#include "tables/tabledesign.h"

#include "tables/celltext.h"
#include "tables/tabletext.h"

#include <QCoreApplication>

#include <algorithm>

CellFont TableDesign::gridFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    return CellFont{font, Qt::black};
}

QString TableDesign::columnWidthReadout(int width, int dpi, const QLocale &locale)
{
    const int twips = 1440 / std::max(1, dpi);
    const double millimetres = twips > 0 ? width / (twips * 25.4 / 100.0) : 0.0;
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return QCoreApplication::translate("TableDesign", "Col Width: %1 mm - %2 inches")
        .arg(plain.toString(millimetres, 'f', 3), plain.toString(millimetres / 25.4, 'f', 3));
}

TableDesign::TableDesign()
    : m_headerFont(std::make_shared<const CellFont>(gridFont()))
    , m_bodyFont(m_headerFont)
{
    rebuildStyles();
}

bool TableDesign::isHeader(int col, int row) const
{
    return (row == 0 && m_grid.headerRowShown()) || (col == 0 && m_grid.headerColumnShown());
}

void TableDesign::rebuildStyles()
{
    m_styles.buildDefaults(m_grid.colCount(), m_grid.rowCount(), m_grid.headerRowShown(), m_grid.headerColumnShown(),
                           m_headerColour, bodyColour(), m_headerFont, m_bodyFont);
}

void TableDesign::stepColCount(int newCount)
{
    const int old = m_grid.colCount();
    m_grid.setColCount(newCount);
    const int now = m_grid.colCount();
    if (now > old) {
        for (int n = old; n < now; ++n)
            for (int r = 0; r < m_grid.rowCount(); ++r) {
                if (r == 0 && m_grid.headerRowShown())
                    m_styles.append({r, n, 2, m_headerColour, m_headerFont});
                else
                    m_styles.append({r, n, 0, bodyColour(), m_bodyFont});
            }
    } else {
        for (int n = old - 1; n >= now; --n)
            m_styles.removeColumn(n);
    }
}

void TableDesign::stepRowCount(int newCount)
{
    const int old = m_grid.rowCount();
    m_grid.setRowCount(newCount);
    const int now = m_grid.rowCount();
    if (now > old) {
        for (int n = old; n < now; ++n)
            for (int c = 0; c < m_grid.colCount(); ++c) {
                if (c == 0 && m_grid.headerColumnShown())
                    m_styles.append({n, c, 0, m_headerColour, m_headerFont});
                else
                    m_styles.append({n, c, 0, bodyColour(), m_bodyFont});
            }
    } else {
        for (int n = old - 1; n >= now; --n)
            m_styles.removeRow(n);
    }
}

void TableDesign::setHeaderRow(bool shown)
{
    if (shown) {
        m_grid.setFixedRows(1); // throws when the table has one row
        for (int c = 0; c < m_grid.colCount(); ++c)
            if (TCellStyle *s = m_styles.find(0, c))
                s->Colour = m_headerColour;
        if (m_grid.headerColumnShown())
            for (int r = 0; r < m_grid.rowCount(); ++r)
                if (TCellStyle *s = m_styles.find(r, 0))
                    s->Colour = m_headerColour;
        for (int c = 0; c < m_grid.colCount(); ++c)
            if (TCellStyle *s = m_styles.find(0, c))
                s->Font = m_headerFont;
        if (m_grid.headerColumnShown())
            for (int r = 0; r < m_grid.rowCount(); ++r)
                if (TCellStyle *s = m_styles.find(r, 0))
                    s->Font = m_headerFont;
        return;
    }
    m_grid.setFixedRows(0);
    // The former header row becomes body cells but keeps its alignment.
    for (int c = m_grid.headerColumnShown() ? 1 : 0; c < m_grid.colCount(); ++c)
        if (TCellStyle *s = m_styles.find(0, c)) {
            s->Colour = bodyColour();
            s->Font = m_bodyFont;
        }
}

void TableDesign::setHeaderColumn(bool shown)
{
    if (shown) {
        m_grid.setFixedCols(1);
        for (int r = 0; r < m_grid.rowCount(); ++r)
            if (TCellStyle *s = m_styles.find(r, 0))
                s->Colour = m_headerColour;
        if (m_grid.headerRowShown())
            for (int c = 0; c < m_grid.colCount(); ++c)
                if (TCellStyle *s = m_styles.find(0, c))
                    s->Colour = m_headerColour;
        for (int r = 0; r < m_grid.rowCount(); ++r)
            if (TCellStyle *s = m_styles.find(r, 0))
                s->Font = m_headerFont;
        if (m_grid.headerRowShown())
            for (int c = 0; c < m_grid.colCount(); ++c)
                if (TCellStyle *s = m_styles.find(0, c))
                    s->Font = m_headerFont;
        return;
    }
    m_grid.setFixedCols(0);
    for (int r = m_grid.headerRowShown() ? 1 : 0; r < m_grid.rowCount(); ++r)
        if (TCellStyle *s = m_styles.find(r, 0)) {
            s->Colour = bodyColour();
            s->Font = m_bodyFont;
        }
}

void TableDesign::setAlignment(int col, int row, quint8 alignment)
{
    if (TCellStyle *s = m_styles.find(row, col))
        s->Alignment = alignment;
}

void TableDesign::setCellColour(int col, int row, const QColor &colour)
{
    if (TCellStyle *s = m_styles.find(row, col))
        s->Colour = colour;
}

void TableDesign::setRowColour(int row, const QColor &colour)
{
    for (int c = m_grid.headerColumnShown() ? 1 : 0; c < m_grid.colCount(); ++c)
        setCellColour(c, row, colour);
}

void TableDesign::setColumnColour(int col, const QColor &colour)
{
    for (int r = m_grid.headerRowShown() ? 1 : 0; r < m_grid.rowCount(); ++r)
        setCellColour(col, r, colour);
}

void TableDesign::setHeaderColour(const QColor &colour)
{
    m_headerColour = colour;
    for (int r = 0; r < m_grid.rowCount(); ++r)
        for (int c = 0; c < m_grid.colCount(); ++c)
            if (isHeader(c, r))
                setCellColour(c, r, colour);
}

QColor TableDesign::cellColour(int col, int row) const
{
    const TCellStyle *s = m_styles.find(row, col);
    return s ? s->Colour : bodyColour();
}

void TableDesign::setBodyFont(const CellFont &font)
{
    m_bodyFont = std::make_shared<const CellFont>(font);
    for (int r = 0; r < m_grid.rowCount(); ++r)
        for (int c = 0; c < m_grid.colCount(); ++c)
            if (!isHeader(c, r))
                if (TCellStyle *s = m_styles.find(r, c))
                    s->Font = m_bodyFont;
}

void TableDesign::setHeaderFont(const CellFont &font)
{
    m_headerFont = std::make_shared<const CellFont>(font);
    for (int r = 0; r < m_grid.rowCount(); ++r)
        for (int c = 0; c < m_grid.colCount(); ++c)
            if (isHeader(c, r))
                if (TCellStyle *s = m_styles.find(r, c))
                    s->Font = m_headerFont;
}

const CellFont &TableDesign::fontOf(int col, int row) const
{
    static const CellFont fallback = gridFont();
    const TCellStyle &s = m_styles.lookup(row, col);
    return s.Font ? *s.Font : fallback;
}

int TableDesign::autoHeight(int row) const
{
    // Texts are measured in the cell's own font, within the width the text is drawn in.
    int h = TableGrid::DefaultRowHeight;
    for (int c = 1; c < m_grid.colCount(); ++c) {
        const QString text = m_grid.cell(c, row);
        if (!text.isEmpty())
            h = std::max(h, CellText::wrappedHeight(text, fontOf(c, row).font, m_grid.colWidth(c)));
    }
    return h;
}

void TableDesign::applyAutoHeightToTable()
{
    for (int r = 1; r < m_grid.rowCount(); ++r)
        applyAutoHeight(r);
}

void TableDesign::applyAutoHeightAt(int col, int row)
{
    if (col == 0 && row == 0) {
        const QString text = m_grid.cell(0, 0);
        m_grid.setRowHeight(0, text.isEmpty() ? TableGrid::DefaultRowHeight
                                              : CellText::wrappedHeight(text, fontOf(0, 0).font, m_grid.colWidth(0)));
    } else if (col >= 1 && row >= 1) {
        applyAutoHeight(row);
    }
}

void TableDesign::clearTable()
{
    m_grid.clearTexts();
    m_grid.setColCount(TableGrid::DefaultCount);
    m_grid.setRowCount(TableGrid::DefaultCount);
    for (int r = 0; r < m_grid.rowCount(); ++r)
        m_grid.setRowHeight(r, TableGrid::DefaultRowHeight);
    for (int c = 0; c < m_grid.colCount(); ++c)
        m_grid.setColWidth(c, TableGrid::DefaultColWidth);
    rebuildStyles();
}

void TableDesign::importText(const QByteArray &bytes)
{
    rebuildStyles();
    m_grid.clearTexts();
    TableText::read(bytes, m_grid);
}

void TableDesign::importFile(const QString &path)
{
    rebuildStyles();
    m_grid.clearTexts();
    TableText::readFile(path, m_grid);
}
