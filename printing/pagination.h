#pragma once

#include "printing/lxvalue.h"

#include <QRectF>

#include <functional>
#include <vector>

class LxPageList;
class QPainter;
class QTextDocument;
struct LxPage;

// The layout of a rich-text copy for pages: the document laid out once at the text width on a
// device of the printer's resolution, cut into the pieces that must stay together (each line of
// text with its pictures, each row of a table with the rows its cells span).
class TextFlow
{
public:
    // Lays the document out: width in device pixels at the given resolution.
    TextFlow(QTextDocument *document, double widthPixels, double resolution);

    // The first position that does not fit into a height of the given pixels when the page starts
    // at position start; at least one piece is always taken, so a piece taller than the page
    // stands alone. Returns the text length when everything fits.
    [[nodiscard]] int fit(int start, double heightPixels) const;
    // Where a position's piece begins in the layout, in pixels; the document's height at the end.
    [[nodiscard]] double top(int position) const;
    [[nodiscard]] int length() const { return m_length; }
    [[nodiscard]] double resolution() const { return m_resolution; }
    [[nodiscard]] double width() const { return m_width; }

private:
    struct Piece
    {
        int start;
        double top;
        double bottom;
    };
    void collectFrame(class QTextFrame *frame);
    void collectTable(class QTextTable *table);
    [[nodiscard]] size_t pieceAt(int position) const;

    QTextDocument *m_document;
    double m_resolution;
    double m_width;
    double m_height = 0;
    int m_length = 0;
    std::vector<Piece> m_pieces;
};

// Flows a rich-text document over the pages of a page list: each page records the slice of a
// private copy that fits into its text area on the printer.
class LxRtfPreview
{
public:
    explicit LxRtfPreview(LxPageList *pages);

    // Resolution of the printer that measures the text, pixels per inch.
    void setPrinterResolution(double resolution) { m_resolution = resolution; }
    [[nodiscard]] double printerResolution() const { return m_resolution; }

    bool ForceNewPages = true;
    bool WrapLines = true;
    LxValue ATopMargin;
    LxValue ABottomMargin;
    std::function<void(const LxValue &top, const LxValue &bottom)> OnNewPage;
    std::function<void(int percent)> OnProgress;

    // Clears nothing: the caller clears the page list first.
    void PaginateRichText(const QTextDocument *source);

    // Draws a page's slice; painter coordinates are device pixels of a target with the given
    // resolution, measured from the paper's corner.
    static void renderSlice(QPainter &painter, const LxPage &page, double resolutionX, double resolutionY);

private:
    LxPageList *m_pages;
    double m_resolution = 600;
};
