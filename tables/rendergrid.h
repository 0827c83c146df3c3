#pragma once

#include "tables/cellstyle.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

#include <functional>

class QPainter;
class TableGrid;

// What is drawn for one cell, in pixels from the table's top-left corner.
struct TCellSpecs
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Row = 0;
    int Col = 0;
    QColor PenColour;
    quint8 Alignment = 0;
    QString Text;
    QColor Colour;
    SharedCellFont Font;
    bool IsHeader = false;
};

// The table renderer: draws the whole table (every row and column) as an enhanced metafile of
// exactly the table's size, in three passes: body cell rectangles, header cell rectangles, texts.
// It reads the grid and the style list and changes neither. The same drawing goes to a QImage.
class TRenderGrid
{
public:
    using ErrorReport = std::function<void(const QString &)>;

    // Both must outlive the renderer. A missing one is reported, and the renderer draws nothing.
    TRenderGrid(const TableGrid *grid, const CellStyleList *styles, ErrorReport report = {});

    // Builds the cell specs and draws the metafile; errors are reported, never thrown.
    void Render();
    // The metafile of the last Render (EMF bytes), empty when there is none.
    [[nodiscard]] const QByteArray &Metafile() const { return m_metafile; }
    [[nodiscard]] const QList<TCellSpecs> &specs() const { return m_specs; }

    // The same table drawn on an image of the table's size (the cell specs are rebuilt).
    [[nodiscard]] QImage renderImage();

    // The three passes on any painter, from the table's top-left corner.
    static void paint(QPainter &painter, const QList<TCellSpecs> &specs);

    static QColor headerPen() { return QColor(0, 0, 0); }
    static QColor bodyPen() { return QColor(192, 192, 192); }

private:
    void buildSpecs();

    const TableGrid *m_grid = nullptr;
    const CellStyleList *m_styles = nullptr;
    ErrorReport m_report;
    QList<TCellSpecs> m_specs;
    QByteArray m_metafile;
};
