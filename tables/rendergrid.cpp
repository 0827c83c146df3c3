#include "tables/rendergrid.h"

#include "metafile/emfdevice.h"
#include "store/error.h"
#include "tables/celltext.h"
#include "tables/tablegrid.h"

#include <QCoreApplication>
#include <QPainter>

#include <exception>

TRenderGrid::TRenderGrid(const TableGrid *grid, const CellStyleList *styles, ErrorReport report)
    : m_report(std::move(report))
{
    if (!grid || !styles) {
        if (m_report)
            m_report(QCoreApplication::translate("TRenderGrid", "String Grid or Alignment List was not assigned."));
        return;
    }
    m_grid = grid;
    m_styles = styles;
}

void TRenderGrid::buildSpecs()
{
    m_specs.clear();
    if (!m_grid || !m_styles)
        return;
    const bool headerColumn = m_grid->headerColumnShown();
    const bool headerRow = m_grid->headerRowShown();
    m_specs.reserve(qsizetype(m_grid->colCount()) * m_grid->rowCount());
    int y = 0;
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        const int h = m_grid->rowHeight(r);
        int x = 0;
        for (int c = 0; c < m_grid->colCount(); ++c) {
            const int w = m_grid->colWidth(c);
            const TCellStyle &style = m_styles->lookup(r, c);
            const bool header = (headerColumn && c == 0) || (headerRow && r == 0);
            m_specs.append({x, y, x + w, y + h, r, c, header ? headerPen() : bodyPen(), style.Alignment,
                            m_grid->cell(c, r), style.Colour, style.Font, header});
            x += w;
        }
        y += h;
    }
}

void TRenderGrid::paint(QPainter &painter, const QList<TCellSpecs> &specs)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Passes 1 and 2: a one-pixel outline in the pen colour around the brush, covering the pixels
    // from Left to Right - 1 and from Top to Bottom - 1.
    for (const bool headers : {false, true}) {
        for (const TCellSpecs &s : specs) {
            if (s.IsHeader != headers || s.Right <= s.Left || s.Bottom <= s.Top)
                continue;
            painter.setPen(QPen(s.PenColour, 0));
            painter.setBrush(s.Colour);
            painter.drawRect(QRect(s.Left, s.Top, s.Right - s.Left - 1, s.Bottom - s.Top - 1));
        }
    }
    // Pass 3: texts, after every rectangle, so that text running two units below its cell is not
    // covered by the cell underneath.
    static const CellFont fallbackFont;
    for (const TCellSpecs &s : specs) {
        if (s.Text.isEmpty())
            continue;
        CellText::Layout layout;
        if (s.IsHeader && s.Col == 0)
            layout = CellText::Layout::SingleLeft;
        else if (s.IsHeader && s.Row == 0)
            layout = CellText::Layout::SingleCentre;
        else if (s.Alignment == 0)
            layout = CellText::Layout::WrapLeft;
        else if (s.Alignment == 2)
            layout = CellText::Layout::WrapCentre;
        else if (s.Alignment == 1)
            layout = CellText::Layout::WrapRight;
        else
            continue;
        const CellFont &font = s.Font ? *s.Font : fallbackFont;
        const QRect text(QPoint(s.Left + 1, s.Top), QPoint(s.Right - 2, s.Bottom + 1));
        CellText::draw(painter, text, s.Text, layout, font.font, font.color);
    }
}

void TRenderGrid::Render()
{
    m_metafile.clear();
    if (!m_grid || !m_styles)
        return;
    try {
        buildSpecs();
        EmfDevice device(QSize(m_grid->totalWidth(), m_grid->totalHeight()), QStringLiteral("Saporin"),
                         QStringLiteral("Table"));
        {
            QPainter painter(&device);
            try {
                paint(painter, m_specs);
            } catch (...) {
                painter.end(); // the metafile keeps what was drawn
                m_metafile = device.data();
                throw;
            }
        }
        m_metafile = device.data();
    } catch (const Error &e) {
        if (m_report)
            m_report(e.message());
    } catch (const std::exception &e) {
        if (m_report)
            m_report(QString::fromUtf8(e.what()));
    }
}

QImage TRenderGrid::renderImage()
{
    if (!m_grid || !m_styles)
        return {};
    buildSpecs();
    QImage image(QSize(m_grid->totalWidth(), m_grid->totalHeight()).expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter, m_specs);
    return image;
}
