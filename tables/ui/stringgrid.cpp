#include "tables/ui/stringgrid.h"

#include "tables/tablegrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr int Line = 1;         // grid line width
constexpr int ResizeMargin = 3; // pixels either side of a header border that grab it

} // namespace

StringGrid::StringGrid(TableGrid *grid, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_grid(grid)
{
    setObjectName(QStringLiteral("StringGrid1"));
    setAccessibleName(tr("Table"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
    tableChanged();
}

int StringGrid::firstCol() const
{
    return m_grid->fixedCols() + horizontalScrollBar()->value();
}

int StringGrid::firstRow() const
{
    return m_grid->fixedRows() + verticalScrollBar()->value();
}

int StringGrid::colLeft(int col) const
{
    int x = 0;
    for (int c = 0; c < m_grid->fixedCols(); ++c) {
        if (c == col)
            return x;
        x += m_grid->colWidth(c) + Line;
    }
    if (col < firstCol())
        return -1;
    for (int c = firstCol(); c < col; ++c)
        x += m_grid->colWidth(c) + Line;
    return x;
}

int StringGrid::rowTop(int row) const
{
    int y = 0;
    for (int r = 0; r < m_grid->fixedRows(); ++r) {
        if (r == row)
            return y;
        y += m_grid->rowHeight(r) + Line;
    }
    if (row < firstRow())
        return -1;
    for (int r = firstRow(); r < row; ++r)
        y += m_grid->rowHeight(r) + Line;
    return y;
}

QRect StringGrid::cellRect(int col, int row) const
{
    if (col < 0 || row < 0 || col >= m_grid->colCount() || row >= m_grid->rowCount())
        return {};
    const int x = colLeft(col);
    const int y = rowTop(row);
    if (x < 0 || y < 0 || x >= viewport()->width() || y >= viewport()->height())
        return {};
    return QRect(x, y, m_grid->colWidth(col), m_grid->rowHeight(row));
}

QSize StringGrid::visibleGridSize() const
{
    int width = 0;
    for (int c = 0; c < m_grid->colCount() && width < viewport()->width(); ++c)
        if (c < m_grid->fixedCols() || c >= firstCol())
            width += m_grid->colWidth(c) + Line;
    int height = 0;
    for (int r = 0; r < m_grid->rowCount() && height < viewport()->height(); ++r)
        if (r < m_grid->fixedRows() || r >= firstRow())
            height += m_grid->rowHeight(r) + Line;
    return QSize(std::min(width, viewport()->width()), std::min(height, viewport()->height()));
}

QImage StringGrid::snapshot() const
{
    const QSize size = visibleGridSize();
    if (size.isEmpty())
        return {};
    return viewport()->grab(QRect(QPoint(0, 0), size)).toImage().convertToFormat(QImage::Format_RGB32);
}

void StringGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Window));
    const QColor black(0, 0, 0), silver(192, 192, 192);
    const int width = viewport()->width(), height = viewport()->height();
    int y = 0;
    for (int r = 0; r < m_grid->rowCount() && y < height; ++r) {
        if (r >= m_grid->fixedRows() && r < firstRow())
            continue;
        const int h = m_grid->rowHeight(r);
        int x = 0;
        for (int c = 0; c < m_grid->colCount() && x < width; ++c) {
            if (c >= m_grid->fixedCols() && c < firstCol())
                continue;
            const int w = m_grid->colWidth(c);
            const QRect cell(x, y, w, h);
            if (m_painter) {
                painter.save();
                painter.setClipRect(cell);
                m_painter(painter, c, r, cell);
                painter.restore();
            }
            const bool fixed = c < m_grid->fixedCols() || r < m_grid->fixedRows();
            painter.fillRect(QRect(x + w, y, Line, h + Line), fixed ? black : silver);
            painter.fillRect(QRect(x, y + h, w, Line), fixed ? black : silver);
            x += w + Line;
        }
        y += h + Line;
    }
}

StringGrid::Hit StringGrid::hitTest(QPoint at) const
{
    Hit hit;
    int x = 0;
    for (int c = 0; c < m_grid->colCount(); ++c) {
        if (c >= m_grid->fixedCols() && c < firstCol())
            continue;
        x += m_grid->colWidth(c) + Line;
        if (at.x() < x) {
            hit.col = c;
            break;
        }
    }
    int y = 0;
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        if (r >= m_grid->fixedRows() && r < firstRow())
            continue;
        y += m_grid->rowHeight(r) + Line;
        if (at.y() < y) {
            hit.row = r;
            break;
        }
    }
    return hit;
}

void StringGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus();
    const QPoint at = event->position().toPoint();
    const Hit hit = hitTest(at);
    if (hit.col < 0 || hit.row < 0)
        return;
    const bool inHeaderRow = hit.row < m_grid->fixedRows();
    const bool inHeaderCol = hit.col < m_grid->fixedCols();
    if (inHeaderRow || inHeaderCol) {
        const QRect cell(colLeft(hit.col), rowTop(hit.row), m_grid->colWidth(hit.col), m_grid->rowHeight(hit.row));
        if (inHeaderRow && std::abs(at.x() - (cell.right() + 1)) <= ResizeMargin) {
            m_drag = Drag::ResizeCol;
            m_dragIndex = hit.col;
            m_dragOrigin = at.x();
            m_dragStartSize = m_grid->colWidth(hit.col);
        } else if (inHeaderCol && std::abs(at.y() - (cell.bottom() + 1)) <= ResizeMargin) {
            m_drag = Drag::ResizeRow;
            m_dragIndex = hit.row;
            m_dragOrigin = at.y();
            m_dragStartSize = m_grid->rowHeight(hit.row);
        } else if (inHeaderRow && !inHeaderCol) {
            m_drag = Drag::MoveCol;
            m_dragIndex = hit.col;
        } else if (inHeaderCol && !inHeaderRow) {
            m_drag = Drag::MoveRow;
            m_dragIndex = hit.row;
        }
        return;
    }
    setCurrent(hit.col, hit.row);
}

void StringGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (m_drag == Drag::ResizeCol) {
        m_grid->setColWidth(m_dragIndex, std::max(0, m_dragStartSize + at.x() - m_dragOrigin));
        tableChanged();
        return;
    }
    if (m_drag == Drag::ResizeRow) {
        m_grid->setRowHeight(m_dragIndex, std::max(0, m_dragStartSize + at.y() - m_dragOrigin));
        tableChanged();
        return;
    }
    if (m_drag != Drag::None)
        return;
    // The cursor shows where a header border can be dragged.
    const Hit hit = hitTest(at);
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (hit.col >= 0 && hit.row >= 0) {
        const QRect cell(colLeft(hit.col), rowTop(hit.row), m_grid->colWidth(hit.col), m_grid->rowHeight(hit.row));
        if (hit.row < m_grid->fixedRows() && std::abs(at.x() - (cell.right() + 1)) <= ResizeMargin)
            shape = Qt::SplitHCursor;
        else if (hit.col < m_grid->fixedCols() && std::abs(at.y() - (cell.bottom() + 1)) <= ResizeMargin)
            shape = Qt::SplitVCursor;
    }
    viewport()->setCursor(shape);
}

void StringGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const Drag drag = std::exchange(m_drag, Drag::None);
    const Hit hit = hitTest(event->position().toPoint());
    if (drag == Drag::MoveCol && hit.col >= m_grid->fixedCols() && hit.col != m_dragIndex) {
        m_grid->moveColumn(m_dragIndex, hit.col);
        tableChanged();
        Q_EMIT layoutDragged();
    } else if (drag == Drag::MoveRow && hit.row >= m_grid->fixedRows() && hit.row != m_dragIndex) {
        m_grid->moveRow(m_dragIndex, hit.row);
        tableChanged();
        Q_EMIT layoutDragged();
    } else if (drag == Drag::ResizeCol || drag == Drag::ResizeRow) {
        Q_EMIT layoutDragged();
    }
}

void StringGrid::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left: setCurrent(m_col - 1, m_row); return;
    case Qt::Key_Right: setCurrent(m_col + 1, m_row); return;
    case Qt::Key_Up: setCurrent(m_col, m_row - 1); return;
    case Qt::Key_Down: setCurrent(m_col, m_row + 1); return;
    case Qt::Key_Home: setCurrent(0, m_row); return;
    case Qt::Key_End: setCurrent(m_grid->colCount() - 1, m_row); return;
    case Qt::Key_PageDown: setCurrent(m_col, m_row + 10); return;
    case Qt::Key_PageUp: setCurrent(m_col, m_row - 10); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
    case Qt::Key_Backspace: Q_EMIT editRequested(); return;
    default: break;
    }
    if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
        Q_EMIT editRequested();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

bool StringGrid::focusNextPrevChild(bool next)
{
    // Tab moves the current cell along the row and on to the next one; focus stays here.
    int col = m_col + (next ? 1 : -1);
    int row = m_row;
    if (col >= m_grid->colCount()) {
        col = m_grid->fixedCols();
        row = row + 1 >= m_grid->rowCount() ? m_grid->fixedRows() : row + 1;
    } else if (col < m_grid->fixedCols()) {
        col = m_grid->colCount() - 1;
        row = row - 1 < m_grid->fixedRows() ? m_grid->rowCount() - 1 : row - 1;
    }
    setCurrent(col, row);
    return true;
}

void StringGrid::setCurrent(int col, int row)
{
    col = std::clamp(col, std::min(m_grid->fixedCols(), m_grid->colCount() - 1), m_grid->colCount() - 1);
    row = std::clamp(row, std::min(m_grid->fixedRows(), m_grid->rowCount() - 1), m_grid->rowCount() - 1);
    ensureVisible(col, row);
    m_col = col;
    m_row = row;
    viewport()->update();
    // Also when the cell stays: a click runs the click steps again.
    Q_EMIT currentChanged(m_col, m_row);
}

void StringGrid::ensureVisible(int col, int row)
{
    QScrollBar *h = horizontalScrollBar();
    QScrollBar *v = verticalScrollBar();
    if (col >= m_grid->fixedCols()) {
        if (col < firstCol())
            h->setValue(col - m_grid->fixedCols());
        while (firstCol() < col && colLeft(col) + m_grid->colWidth(col) > viewport()->width()
               && h->value() < h->maximum())
            h->setValue(h->value() + 1);
    }
    if (row >= m_grid->fixedRows()) {
        if (row < firstRow())
            v->setValue(row - m_grid->fixedRows());
        while (firstRow() < row && rowTop(row) + m_grid->rowHeight(row) > viewport()->height()
               && v->value() < v->maximum())
            v->setValue(v->value() + 1);
    }
}

void StringGrid::tableChanged()
{
    updateScrollBars();
    const int col = m_col, row = m_row;
    m_col = std::clamp(m_col, std::min(m_grid->fixedCols(), m_grid->colCount() - 1), m_grid->colCount() - 1);
    m_row = std::clamp(m_row, std::min(m_grid->fixedRows(), m_grid->rowCount() - 1), m_grid->rowCount() - 1);
    viewport()->update();
    if (col != m_col || row != m_row)
        Q_EMIT currentChanged(m_col, m_row);
}

void StringGrid::updateScrollBars()
{
    // The scroll range is in cells: the body columns (rows) that can be scrolled off the left
    // (top) while the last one still fits.
    const auto range = [](int fixedExtent, int count, int fixed, int viewport, const std::function<int(int)> &size) {
        int extent = fixedExtent;
        int last = count;
        while (last > fixed && extent + size(last - 1) + Line <= viewport) {
            extent += size(last - 1) + Line;
            --last;
        }
        return std::max(0, last - fixed);
    };
    int fixedWidth = 0;
    for (int c = 0; c < m_grid->fixedCols(); ++c)
        fixedWidth += m_grid->colWidth(c) + Line;
    int fixedHeight = 0;
    for (int r = 0; r < m_grid->fixedRows(); ++r)
        fixedHeight += m_grid->rowHeight(r) + Line;
    horizontalScrollBar()->setRange(0, range(fixedWidth, m_grid->colCount(), m_grid->fixedCols(), viewport()->width(),
                                             [this](int c) { return m_grid->colWidth(c); }));
    verticalScrollBar()->setRange(0, range(fixedHeight, m_grid->rowCount(), m_grid->fixedRows(), viewport()->height(),
                                           [this](int r) { return m_grid->rowHeight(r); }));
    horizontalScrollBar()->setPageStep(std::max(1, m_grid->colCount() / 10));
    verticalScrollBar()->setPageStep(std::max(1, m_grid->rowCount() / 10));
}

void StringGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void StringGrid::scrollContentsBy(int, int)
{
    viewport()->update();
}
