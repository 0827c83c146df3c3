#pragma once

#include "printing/lxvalue.h"
#include "printing/paper.h"

#include <QFont>
#include <QObject>
#include <QPen>
#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

class QTextDocument;
class RichTextCopies;

// The page margins, measured inwards from the paper edges, with the pens of the view's margin
// lines and of the printer's unprintable border.
class LxMargins : public QObject
{
    Q_OBJECT
public:
    explicit LxMargins(QObject *parent = nullptr);

    enum Side { Left, Top, Right, Bottom };
    [[nodiscard]] LxValue side(Side side) const { return m_sides[side]; }
    [[nodiscard]] LxValue left() const { return m_sides[Left]; }
    [[nodiscard]] LxValue top() const { return m_sides[Top]; }
    [[nodiscard]] LxValue right() const { return m_sides[Right]; }
    [[nodiscard]] LxValue bottom() const { return m_sides[Bottom]; }
    void setSide(Side side, LxMeasurement unit, long double value);

    [[nodiscard]] QPen pen() const { return m_pen; }
    [[nodiscard]] QPen printerPen() const { return m_printerPen; }
    void setPen(const QPen &pen);
    void setPrinterPen(const QPen &pen);

    [[nodiscard]] bool isVisible() const { return m_visible; }
    [[nodiscard]] bool showPrinterMargins() const { return m_showPrinterMargins; }
    [[nodiscard]] bool clipMargins() const { return m_clipMargins; }
    void setVisible(bool on);
    void setShowPrinterMargins(bool on);
    void setClipMargins(bool on);

    // "L,T,R,B" in whole twips, optionally followed by the two pens as
    // "colour,width,style,mode" texts in double quotes.
    [[nodiscard]] QString marginValues() const;
    // False when the text is not of that form; a list of just four numbers keeps the pens.
    bool setMarginValues(const QString &text);

Q_SIGNALS:
    void changed();

private:
    LxValue m_sides[4];
    QPen m_pen;
    QPen m_printerPen;
    bool m_visible = false;
    bool m_showPrinterMargins = false;
    bool m_clipMargins = false;
};

struct LxHeaderFooterCaption
{
    QString caption;
    QFont font;
};

// A header or footer band: three captions whose texts may hold {DATE}, {TIME}, {PAGE} and
// {NUMPAGES}, a line along the band's inner edge, and a height (0 means as tall as its tallest
// caption font).
class LxHeaderFooter : public QObject
{
    Q_OBJECT
public:
    enum Kind { Header, Footer };
    enum Position { CaptionLeft, CaptionCenter, CaptionRight };

    explicit LxHeaderFooter(Kind kind, QObject *parent = nullptr);

    [[nodiscard]] Kind kind() const { return m_kind; }
    [[nodiscard]] const LxHeaderFooterCaption &caption(Position position) const { return m_captions[position]; }
    void setCaption(Position position, const QString &text);
    void setCaptionFont(Position position, const QFont &font);
    [[nodiscard]] QPen pen() const { return m_pen; }
    void setPen(const QPen &pen);
    [[nodiscard]] bool showLine() const { return m_showLine; }
    void setShowLine(bool on);
    [[nodiscard]] bool isVisible() const { return m_visible; }
    void setVisible(bool on);
    [[nodiscard]] LxValue height() const { return m_height; }
    void setHeight(LxMeasurement unit, long double value);

    // The height the band takes: its own, or with height 0 the line height of the largest
    // caption font measured at 600 pixels per inch.
    [[nodiscard]] LxValue bandHeight() const;
    // Copies the three captions, texts and fonts.
    void copyCaptions(const LxHeaderFooter &other);

Q_SIGNALS:
    void changed();

private:
    Kind m_kind;
    LxHeaderFooterCaption m_captions[3];
    QPen m_pen;
    bool m_showLine = true;
    bool m_visible = false;
    LxValue m_height;
};

// The part of a rich-text copy that falls on one page. Indexes are document positions; the
// rectangle is the text area in inches. The vertical range is where the slice lies in the copy's
// layout, in the copy's layout pixels.
struct LxPageRtfInfo
{
    int firstIndex = 0;
    int endIndex = 0;
    QRectF textRect;
    QTextDocument *copy = nullptr;
    bool wrapLines = true;
    double layoutTop = 0;
    double layoutBottom = 0;
    // Layout resolution of the copy; a slice taller than its text area is drawn scaled down.
    double layoutResolution = 600;
};

struct LxPage
{
    LxValue width{8.26L};
    LxValue height{11.69L};
    LxOrientation orientation = LxOrientation::Portrait;
    bool showHeader = true;
    bool showFooter = true;
    LxPageRtfInfo rtf;
};

// The ordered pages of a preview or print job with the settings every page shares. It always
// holds at least one page; pages are numbered from 1.
class LxPageList : public QObject
{
    Q_OBJECT
public:
    explicit LxPageList(QObject *parent = nullptr);
    ~LxPageList() override;

    [[nodiscard]] int count() const { return int(m_pages.size()); }
    // Page n, numbered from 1.
    [[nodiscard]] LxPage &page(int n) { return *m_pages.at(size_t(n - 1)); }
    [[nodiscard]] const LxPage &page(int n) const { return *m_pages.at(size_t(n - 1)); }
    [[nodiscard]] int currentPage() const { return m_current; }
    void setCurrentPage(int n);

    void AddPage();
    void ClearPages();

    [[nodiscard]] LxPaperSize paperSize() const { return m_paper; }
    void setPaperSize(LxPaperSize paper);
    [[nodiscard]] LxOrientation orientation() const { return m_orientation; }
    void setOrientation(LxOrientation orientation);
    [[nodiscard]] LxPagesPerSheet pagesPerSheet() const { return m_pagesPerSheet; }
    void setPagesPerSheet(LxPagesPerSheet pages) { m_pagesPerSheet = pages; }
    // The size new pages receive, in inches.
    [[nodiscard]] QSizeF pageSize() const { return m_pageSize; }

    [[nodiscard]] LxMargins &margins() { return *m_margins; }
    [[nodiscard]] const LxMargins &margins() const { return *m_margins; }
    [[nodiscard]] LxHeaderFooter &header() { return *m_header; }
    [[nodiscard]] const LxHeaderFooter &header() const { return *m_header; }
    [[nodiscard]] LxHeaderFooter &footer() { return *m_footer; }
    [[nodiscard]] const LxHeaderFooter &footer() const { return *m_footer; }
    [[nodiscard]] RichTextCopies &copies() { return *m_copies; }

    void BeginUpdate();
    void EndUpdate();
    [[nodiscard]] bool isUpdating() const { return m_lock > 0; }

    // Band rectangles of a page, in inches.
    [[nodiscard]] QRectF headerRect(int n) const;
    [[nodiscard]] QRectF footerRect(int n) const;
    [[nodiscard]] QRectF marginRect(int n) const;

Q_SIGNALS:
    void currentPageChanged();
    void pagesChanged();
    void pageContentChanged();
    void pageAdded();
    void cleared();
    void orientationChanged();
    void paperSizeChanged();
    void marginsChanged();
    void headerFooterChanged();

private:
    void derivePageSize();

    std::vector<std::unique_ptr<LxPage>> m_pages;
    int m_current = 1;
    LxPaperSize m_paper = LxPaperSize::A4;
    LxOrientation m_orientation = LxOrientation::Portrait;
    LxPagesPerSheet m_pagesPerSheet = LxPagesPerSheet::OnePage;
    QSizeF m_pageSize;
    LxMargins *m_margins;
    LxHeaderFooter *m_header;
    LxHeaderFooter *m_footer;
    std::unique_ptr<RichTextCopies> m_copies;
    int m_lock = 0;
    bool m_orientationPending = false;
};
