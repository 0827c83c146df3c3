#include "printing/pagination.h"

#include "printing/pagemodel.h"
#include "printing/richtextcopies.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// A tiny image of a given resolution to measure text on: fonts, pictures and table borders are
// laid out at that resolution. Layouts keep a pointer to it, so it lives as long as the program.
QPaintDevice *measuringDevice(double resolution)
{
    static QHash<int, std::shared_ptr<QImage>> devices;
    const int key = int(std::lround(resolution));
    std::shared_ptr<QImage> &device = devices[key];
    if (!device) {
        device = std::make_shared<QImage>(1, 1, QImage::Format_ARGB32_Premultiplied);
        device->setDotsPerMeterX(qRound(key / 0.0254));
        device->setDotsPerMeterY(qRound(key / 0.0254));
    }
    return device.get();
}

} // namespace

TextFlow::TextFlow(QTextDocument *document, double widthPixels, double resolution)
    : m_document(document)
    , m_resolution(resolution)
    , m_width(widthPixels)
{
    QAbstractTextDocumentLayout *layout = document->documentLayout();
    if (layout->paintDevice() != measuringDevice(resolution))
        layout->setPaintDevice(measuringDevice(resolution));
    document->setDocumentMargin(0);
    document->setTextWidth(widthPixels);
    m_height = layout->documentSize().height();
    m_length = document->characterCount() - 1;
    collectFrame(document->rootFrame());
    std::stable_sort(m_pieces.begin(), m_pieces.end(), [](const Piece &a, const Piece &b) { return a.start < b.start; });
}

void TextFlow::collectFrame(QTextFrame *frame)
{
    auto *layout = m_document->documentLayout();
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame *child = it.currentFrame()) {
            if (auto *table = qobject_cast<QTextTable *>(child))
                collectTable(table);
            else
                collectFrame(child);
            continue;
        }
        const QTextBlock block = it.currentBlock();
        const QRectF box = layout->blockBoundingRect(block);
        const QTextLayout *text = block.layout();
        const int lines = text ? text->lineCount() : 0;
        if (lines == 0) {
            m_pieces.push_back({block.position(), box.top(), box.bottom()});
            continue;
        }
        const double origin = box.top() - text->boundingRect().top();
        for (int i = 0; i < lines; ++i) {
            const QTextLine line = text->lineAt(i);
            const double top = i == 0 ? box.top() : origin + line.y();
            m_pieces.push_back({block.position() + line.textStart(), top, origin + line.y() + line.height()});
        }
    }
}

void TextFlow::collectTable(QTextTable *table)
{
    auto *layout = m_document->documentLayout();
    const QRectF frameBox = layout->frameBoundingRect(table);
    const int rows = table->rows();
    const int columns = table->columns();
    // Where each row's cells begin: the highest first line of a cell that starts in the row.
    std::vector<double> rowTop(size_t(rows) + 1, frameBox.bottom());
    std::vector<int> groupEnd(size_t(rows), 0);
    const QTextTableFormat format = table->format();
    const double scale = m_resolution / 96.0;
    const double inset = (format.cellPadding() + format.border() + format.cellSpacing()) * scale;
    for (int r = 0; r < rows; ++r) {
        groupEnd[size_t(r)] = r;
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (!cell.isValid() || cell.row() != r)
                continue;
            groupEnd[size_t(r)] = std::max(groupEnd[size_t(r)], r + cell.rowSpan() - 1);
            const QRectF first = layout->blockBoundingRect(cell.firstCursorPosition().block());
            rowTop[size_t(r)] = std::min(rowTop[size_t(r)], first.top() - inset);
        }
    }
    rowTop[0] = frameBox.top();
    for (int r = rows - 1; r > 0; --r)
        rowTop[size_t(r)] = std::min(rowTop[size_t(r)], rowTop[size_t(r) + 1]);
    // Rows joined by cells that span them stay together.
    for (int r = 0; r < rows;) {
        int end = r;
        for (int k = r; k <= end && k < rows; ++k)
            end = std::max(end, groupEnd[size_t(k)]);
        end = std::min(end, rows - 1);
        const int start = r == 0 ? table->firstPosition() : table->cellAt(r, 0).firstPosition();
        m_pieces.push_back({start, rowTop[size_t(r)], rowTop[size_t(end) + 1]});
        r = end + 1;
    }
}

size_t TextFlow::pieceAt(int position) const
{
    auto it = std::upper_bound(m_pieces.begin(), m_pieces.end(), position, [](int p, const Piece &piece) { return p < piece.start; });
    return it == m_pieces.begin() ? 0 : size_t(it - m_pieces.begin() - 1);
}

int TextFlow::fit(int start, double height) const
{
    if (m_pieces.empty() || start >= m_length)
        return m_length;
    const size_t first = pieceAt(start);
    const double top = m_pieces[first].top;
    for (size_t i = first + 1; i < m_pieces.size(); ++i) {
        if (m_pieces[i].bottom - top > height)
            return m_pieces[i].start;
    }
    return m_length;
}

double TextFlow::top(int position) const
{
    if (position >= m_length || m_pieces.empty())
        return m_height;
    return m_pieces[pieceAt(position)].top;
}

LxRtfPreview::LxRtfPreview(LxPageList *pages)
    : m_pages(pages)
{
}

void LxRtfPreview::PaginateRichText(const QTextDocument *source)
{
    LxPageList &list = *m_pages;
    list.BeginUpdate();
    struct Unlock
    {
        LxPageList &list;
        ~Unlock() { list.EndUpdate(); }
    } unlock{list};

    const LxMargins &margins = list.margins();
    const qint64 topTwips = margins.top().twips() + list.header().bandHeight().twips();
    const qint64 bottomTwips = margins.bottom().twips() + list.footer().bandHeight().twips();
    ATopMargin = LxValue::from(LxMeasurement::Twips, topTwips);
    ABottomMargin = LxValue::from(LxMeasurement::Twips, bottomTwips);

    QTextDocument *copy = list.copies().copyOf(source);
    const int length = copy->characterCount() - 1;
    std::unique_ptr<TextFlow> flow;
    int start = 0;
    for (;;) {
        LxPage &page = list.page(list.currentPage());
        const qint64 pageWidth = page.width.twips();
        const qint64 pageHeight = page.height.twips();
        const qint64 left = margins.left().twips();
        const qint64 top = topTwips + 90;
        qint64 right = pageWidth - margins.right().twips();
        const qint64 bottom = pageHeight - bottomTwips;
        if (!WrapLines)
            right *= 10;
        const double widthPixels = std::max<double>(1, double(right - left) / 1440.0 * m_resolution);
        const double heightPixels = std::max<double>(1, double(bottom - top) / 1440.0 * m_resolution);
        if (!flow || !qFuzzyCompare(flow->width(), widthPixels))
            flow = std::make_unique<TextFlow>(copy, widthPixels, m_resolution);

        const int end = flow->fit(start, heightPixels);
        LxPageRtfInfo &slice = page.rtf;
        slice.firstIndex = start;
        slice.endIndex = end;
        slice.textRect = QRectF(QPointF(left / 1440.0, top / 1440.0), QPointF(right / 1440.0, bottom / 1440.0));
        slice.copy = copy;
        slice.wrapLines = WrapLines;
        slice.layoutTop = flow->top(start);
        slice.layoutBottom = flow->top(end);
        slice.layoutResolution = m_resolution;

        // A step that fits nothing would add pages without end.
        const bool more = end < length && end > start;
        if (more) {
            if (list.currentPage() == list.count() || ForceNewPages)
                list.AddPage();
            else
                list.setCurrentPage(list.currentPage() + 1);
            if (OnNewPage)
                OnNewPage(ATopMargin, ABottomMargin);
        }
        if (OnProgress)
            OnProgress(length > 0 ? int(std::lround(double(end) / length * 100)) : 100);
        if (!more)
            break;
        start = end;
    }
}

void LxRtfPreview::renderSlice(QPainter &painter, const LxPage &page, double resX, double resY)
{
    const LxPageRtfInfo &slice = page.rtf;
    if (!slice.copy)
        return;
    const double layoutRes = slice.layoutResolution;
    const double sliceHeight = slice.layoutBottom - slice.layoutTop;
    const double available = (slice.textRect.height() + 1 / 1440.0) * layoutRes;
    double sx = resX / layoutRes;
    double sy = resY / layoutRes;
    // A single line or picture taller than the text area is shown whole, scaled down.
    if (sliceHeight > available && sliceHeight > 0) {
        sx *= available / sliceHeight;
        sy *= available / sliceHeight;
    }
    painter.save();
    painter.translate(slice.textRect.left() * resX, slice.textRect.top() * resY);
    painter.scale(sx, sy);
    painter.translate(0, -slice.layoutTop);
    const QRectF clip(-1e7, slice.layoutTop, 2e7, sliceHeight);
    painter.setClipRect(clip, Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip;
    context.palette.setColor(QPalette::Text, Qt::black);
    slice.copy->documentLayout()->draw(&painter, context);
    painter.restore();
}
