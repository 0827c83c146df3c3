#include "printing/ui/pageview.h"

#include "printing/sheets.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <cmath>

PageView::PageView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("LxPreview1"));
    setAccessibleName(tr("Page view"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Window, QColor(163, 163, 163));
    viewport()->setPalette(p);
    viewport()->setAutoFillBackground(false);
    m_pages.margins().setVisible(true);
    m_pages.header().setVisible(true);
    m_pages.footer().setVisible(true);
    m_pages.header().setShowLine(false);
    m_pages.footer().setShowLine(false);
    QFont caption(QStringLiteral("Arial"));
    caption.setPointSizeF(15);
    for (int i = 0; i < 3; ++i) {
        m_pages.header().setCaptionFont(LxHeaderFooter::Position(i), caption);
        m_pages.footer().setCaptionFont(LxHeaderFooter::Position(i), caption);
    }
    connect(&m_pages, &LxPageList::currentPageChanged, this, [this] {
        invalidate();
        Q_EMIT pageChanged();
    });
    for (auto signal : {&LxPageList::pagesChanged, &LxPageList::pageContentChanged, &LxPageList::marginsChanged,
                        &LxPageList::headerFooterChanged, &LxPageList::paperSizeChanged, &LxPageList::cleared}) {
        connect(&m_pages, signal, this, [this] {
            invalidate();
            updateRanges();
        });
    }
    connect(&m_pages, &LxPageList::orientationChanged, this, [this] {
        invalidate();
        updateRanges();
        Q_EMIT orientationChanged();
    });
    updateRanges();
}

void PageView::FirstPage() { m_pages.setCurrentPage(1); }
void PageView::PrevPage() { m_pages.setCurrentPage(m_pages.currentPage() - 1); }
void PageView::NextPage() { m_pages.setCurrentPage(m_pages.currentPage() + 1); }
void PageView::LastPage() { m_pages.setCurrentPage(m_pages.count()); }

QSize PageView::paperPixels() const
{
    const LxPage &page = m_pages.page(m_pages.currentPage());
    const double scale = 96.0 * m_zoom / 100.0;
    return QSize(int(std::lround(double(page.width.inches()) * scale)), int(std::lround(double(page.height.inches()) * scale)));
}

void PageView::updateRanges()
{
    const QSize paper = paperPixels();
    const QSize visible = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, paper.width() + 2 * Gutter - visible.width()));
    verticalScrollBar()->setRange(0, std::max(0, paper.height() + 2 * Gutter - visible.height()));
    horizontalScrollBar()->setPageStep(visible.width());
    verticalScrollBar()->setPageStep(visible.height());
    horizontalScrollBar()->setSingleStep(10);
    verticalScrollBar()->setSingleStep(10);
    viewport()->update();
}

void PageView::invalidate()
{
    m_cache = QImage();
    viewport()->update();
}

void PageView::setZoom(int zoom)
{
    zoom = PageZoom::clamp(zoom, limits);
    if (zoom == m_zoom)
        return;
    QScrollBar *bars[] = {horizontalScrollBar(), verticalScrollBar()};
    const int visible[] = {viewport()->width(), viewport()->height()};
    double percent[2];
    for (int i = 0; i < 2; ++i)
        percent[i] = PageZoom::positionPercent(bars[i]->value(), bars[i]->maximum() + visible[i], visible[i]);
    m_zoom = zoom;
    invalidate();
    updateRanges();
    for (int i = 0; i < 2; ++i)
        bars[i]->setValue(PageZoom::positionFromPercent(percent[i], bars[i]->maximum() + visible[i], visible[i]));
}

void PageView::ZoomIn() { setZoom(PageZoom::zoomIn(m_zoom, limits)); }
void PageView::ZoomOut() { setZoom(PageZoom::zoomOut(m_zoom, limits)); }

void PageView::FitWholePage()
{
    const LxPage &page = m_pages.page(m_pages.currentPage());
    setZoom(PageZoom::fitWhole(width(), height(), Gutter, double(page.width.inches()), double(page.height.inches())));
}

void PageView::FitPageWidth()
{
    const LxPage &page = m_pages.page(m_pages.currentPage());
    setZoom(PageZoom::fitWidth(width(), Gutter, double(page.width.inches())));
}

QImage PageView::renderPage(int n, int zoom) const
{
    const LxPage &page = m_pages.page(n);
    const double scale = 96.0 * zoom / 100.0;
    const QSize size(std::max(1, int(std::lround(double(page.width.inches()) * scale))),
                     std::max(1, int(std::lround(double(page.height.inches()) * scale))));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The page is drawn at 600 units per inch onto the paper's rectangle.
    painter.scale(scale / 600.0, scale / 600.0);
    drawPage(painter, m_pages, n, 600, 600);
    if (m_pages.margins().isVisible()) {
        const QRectF m = m_pages.marginRect(n);
        QPen pen = m_pages.margins().pen();
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(m.left() * 600, m.top() * 600, m.width() * 600, m.height() * 600));
    }
    painter.resetTransform();
    painter.setPen(Qt::black);
    painter.drawRect(QRect(QPoint(0, 0), size - QSize(1, 1)));
    return image;
}

void PageView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), QColor(163, 163, 163));
    if (m_pages.isUpdating())
        return;
    const int n = m_pages.currentPage();
    if (m_cache.isNull() || m_cachePage != n || m_cacheZoom != m_zoom) {
        m_cache = renderPage(n, m_zoom);
        m_cachePage = n;
        m_cacheZoom = m_zoom;
    }
    const QPoint at(Gutter - horizontalScrollBar()->value(), Gutter - verticalScrollBar()->value());
    // The shadow, three pixels to the right and below.
    painter.fillRect(QRect(at + QPoint(3, 3), m_cache.size()), Qt::black);
    painter.drawImage(at, m_cache);
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateRanges();
}

void PageView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void PageView::keyPressEvent(QKeyEvent *event)
{
    QScrollBar *bar = verticalScrollBar()->maximum() > 0 ? verticalScrollBar()
                      : horizontalScrollBar()->maximum() > 0 ? horizontalScrollBar() : nullptr;
    switch (event->key()) {
    case Qt::Key_PageUp:
        if (bar)
            bar->setValue(bar->value() - 10 * bar->singleStep());
        break;
    case Qt::Key_PageDown:
        if (bar)
            bar->setValue(bar->value() + 10 * bar->singleStep());
        break;
    case Qt::Key_Home:
        horizontalScrollBar()->setValue(0);
        verticalScrollBar()->setValue(0);
        break;
    case Qt::Key_End:
        horizontalScrollBar()->setValue(horizontalScrollBar()->maximum());
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        break;
    case Qt::Key_Up: verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_Down: verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case Qt::Key_Left: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_Right: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    event->accept();
}

void PageView::startPan(QPoint at)
{
    if (m_panning)
        return;
    m_panning = true;
    m_panStart = at;
    m_scrollStart = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    viewport()->setCursor(Qt::ClosedHandCursor);
}

void PageView::endPan()
{
    if (!m_panning)
        return;
    m_panning = false;
    viewport()->unsetCursor();
}

void PageView::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT viewMousePressed(event);
}

void PageView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_panning)
        return;
    const QPoint delta = m_panStart - event->position().toPoint();
    horizontalScrollBar()->setValue(m_scrollStart.x() + delta.x());
    verticalScrollBar()->setValue(m_scrollStart.y() + delta.y());
}

void PageView::mouseReleaseEvent(QMouseEvent *event)
{
    Q_EMIT viewMouseReleased(event);
    endPan();
}

void PageView::leaveEvent(QEvent *event)
{
    endPan();
    QAbstractScrollArea::leaveEvent(event);
}

namespace {

// Paints each thumbnail from the strip's cache, the current page outlined with a thick line.
class ThumbnailDelegate : public QStyledItemDelegate
{
public:
    ThumbnailDelegate(PageThumbnails *strip, PageView *view)
        : QStyledItemDelegate(strip)
        , m_strip(strip)
        , m_view(view)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int n = index.row() + 1;
        const QImage picture = m_strip->thumbnail(n);
        const QRect cell = option.rect;
        const QPoint at(cell.left() + (cell.width() - picture.width()) / 2, cell.top() + 4);
        painter->drawImage(at, picture);
        if (n == m_view->CurrentPage()) {
            painter->setPen(QPen(QColor(0, 0, 128), 3));
            painter->drawRect(QRect(at, picture.size()).adjusted(-2, -2, 1, 1));
        }
        painter->setPen(Qt::black);
        painter->drawText(QRect(cell.left(), at.y() + picture.height() + 4, cell.width(), 16), Qt::AlignHCenter | Qt::AlignTop,
                          index.data(Qt::DisplayRole).toString());
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        const QSizeF page = m_view->pages().pageSize();
        const double scale = 96.0 * (m_strip->ThumbSize + 2) / 100.0;
        return QSize(int(page.width() * scale) + 14, int(page.height() * scale) + 30);
    }

private:
    PageThumbnails *m_strip;
    PageView *m_view;
};

} // namespace

PageThumbnails::PageThumbnails(PageView *view, QWidget *parent)
    : QListWidget(parent)
    , m_view(view)
{
    setObjectName(QStringLiteral("LxThumbnails1"));
    setAccessibleName(tr("Page thumbnails"));
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setSpacing(3);
    setItemDelegate(new ThumbnailDelegate(this, view));
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        m_view->pages().setCurrentPage(row(item) + 1);
        scrollToItem(item);
    });
    connect(view, &PageView::pageChanged, this, &PageThumbnails::showCurrent);
    for (auto signal : {&LxPageList::pagesChanged, &LxPageList::cleared, &LxPageList::orientationChanged, &LxPageList::paperSizeChanged,
                        &LxPageList::headerFooterChanged, &LxPageList::marginsChanged}) {
        connect(&view->pages(), signal, this, [this] {
            if (!m_view->pages().isUpdating())
                rebuild();
        });
    }
    rebuild();
}

QImage PageThumbnails::thumbnail(int n)
{
    auto it = m_pictures.find(n);
    if (it == m_pictures.end())
        it = m_pictures.insert(n, m_view->renderPage(n, ThumbSize + 2));
    return *it;
}

void PageThumbnails::rebuild()
{
    m_pictures.clear();
    clear();
    for (int n = 1; n <= m_view->PageCount(); ++n) {
        auto *item = new QListWidgetItem(QString(PageCaptions).replace(QLatin1Char('#'), QString::number(n)), this);
        item->setData(Qt::AccessibleTextRole, item->text());
    }
    showCurrent();
}

void PageThumbnails::showCurrent()
{
    if (QListWidgetItem *current = item(m_view->CurrentPage() - 1)) {
        setCurrentItem(current);
        scrollToItem(current);
    }
    viewport()->update();
}
