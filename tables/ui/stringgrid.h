#pragma once

#include <QAbstractScrollArea>

#include <functional>

class QPainter;
class TableGrid;

// The builder's grid (`StringGrid1`) over a TableGrid: the header row and column stay in place
// while the body scrolls cell by cell; 1-pixel lines follow each cell on its right and bottom,
// black around header cells and silver in the body. Cells are drawn by the owner's painter.
// The current cell is never a header cell. Dragging a header border resizes its column or row,
// dragging a header cell moves the column or row to where it is dropped.
class StringGrid : public QAbstractScrollArea
{
    Q_OBJECT
public:
    using CellPainter = std::function<void(QPainter &, int col, int row, const QRect &)>;

    explicit StringGrid(TableGrid *grid, QWidget *parent = nullptr);

    void setCellPainter(CellPainter painter) { m_painter = std::move(painter); }

    [[nodiscard]] int col() const { return m_col; }
    [[nodiscard]] int row() const { return m_row; }
    // Moves the current cell, kept out of the headers and inside the table, into view.
    void setCurrent(int col, int row);
    // Call after the grid's counts, sizes or headers changed.
    void tableChanged();

    // The rectangle of a cell in viewport coordinates, without its lines; empty when hidden.
    [[nodiscard]] QRect cellRect(int col, int row) const;
    // The visible cells with their lines, clipped to the viewport: what a snapshot shows.
    [[nodiscard]] QSize visibleGridSize() const;
    // The screen image of that area.
    [[nodiscard]] QImage snapshot() const;

Q_SIGNALS:
    // The current cell moved (by mouse, keys or setCurrent).
    void currentChanged(int col, int row);
    // The user started editing the current cell: Enter, F2, a typed character or Backspace.
    void editRequested();
    // A column or row was resized or moved by dragging.
    void layoutDragged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;

private:
    struct Hit {
        int col = -1;
        int row = -1;
    };
    [[nodiscard]] Hit hitTest(QPoint at) const;
    [[nodiscard]] int colLeft(int col) const;
    [[nodiscard]] int rowTop(int row) const;
    [[nodiscard]] int firstCol() const;
    [[nodiscard]] int firstRow() const;
    void updateScrollBars();
    void ensureVisible(int col, int row);

    enum class Drag { None, ResizeCol, ResizeRow, MoveCol, MoveRow };

    TableGrid *m_grid;
    CellPainter m_painter;
    int m_col = 1;
    int m_row = 1;
    Drag m_drag = Drag::None;
    int m_dragIndex = -1;
    int m_dragOrigin = 0;
    int m_dragStartSize = 0;
};
