#pragma once

#include "printing/pagemodel.h"
#include "printing/pagesetup.h"
#include "printing/printer.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QListWidget>

// The scrolling view of a page list ("LxPreview1"): it owns the pages with their margins, bands
// and printer, shows the current page at a zoom, pans with the hand cursor and moves between
// pages. A page is drawn from its laid-out slice; the picture of the shown page is kept until the
// page, its content or the zoom changes.
class PageView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit PageView(QWidget *parent = nullptr);

    [[nodiscard]] LxPageList &pages() { return m_pages; }
    [[nodiscard]] LxPrinter &printer() { return m_printer; }
    [[nodiscard]] int CurrentPage() const { return m_pages.currentPage(); }
    [[nodiscard]] int PageCount() const { return m_pages.count(); }

    void FirstPage();
    void PrevPage();
    void NextPage();
    void LastPage();

    [[nodiscard]] int zoom() const { return m_zoom; }
    void setZoom(int zoom);
    void ZoomIn();
    void ZoomOut();
    void FitWholePage();
    void FitPageWidth();
    PageZoom::Limits limits{10, 400, 15, PageZoom::Style::Variable};
    int Gutter = 20;

    void startPan(QPoint at);
    void endPan();
    [[nodiscard]] bool isPanning() const { return m_panning; }

    // Draws page n as the view does, into an image whose width is the page at the given zoom.
    [[nodiscard]] QImage renderPage(int n, int zoom) const;

Q_SIGNALS:
    void pageChanged();
    void orientationChanged();
    void viewMousePressed(QMouseEvent *event);
    void viewMouseReleased(QMouseEvent *event);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    [[nodiscard]] QSize paperPixels() const;
    void updateRanges();
    void invalidate();

    LxPageList m_pages;
    LxPrinter m_printer{&m_pages};
    int m_zoom = 35;
    bool m_panning = false;
    QPoint m_panStart;
    QPoint m_scrollStart;
    // The shown page's picture and what it was drawn for.
    QImage m_cache;
    int m_cachePage = 0;
    int m_cacheZoom = 0;
};

// The page pictures beside the view ("LxThumbnails1"): one per page captioned "Page #", the
// current one outlined; a click shows that page. Pictures are drawn when first shown and kept.
class PageThumbnails : public QListWidget
{
    Q_OBJECT
public:
    explicit PageThumbnails(PageView *view, QWidget *parent = nullptr);
    QString PageCaptions = QStringLiteral("Page #");
    int ThumbSize = 8;

    // The picture of page n, drawn on first use.
    [[nodiscard]] QImage thumbnail(int n);
    void rebuild();

private:
    void showCurrent();

    PageView *m_view;
    QHash<int, QImage> m_pictures;
};
