#include "printing/pagemodel.h"

#include "printing/richtextcopies.h"

#include <QFontMetricsF>
#include <QImage>
#include <QStringList>

#include <cmath>

namespace {

// Colours are written as the design's numbers: red in the low byte, blue in the high one.
int colourNumber(const QColor &c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

QColor colourFromNumber(qint64 n)
{
    return QColor(int(n & 0xff), int((n >> 8) & 0xff), int((n >> 16) & 0xff));
}

int penStyleNumber(Qt::PenStyle style)
{
    switch (style) {
    case Qt::DashLine: return 1;
    case Qt::DotLine: return 2;
    case Qt::DashDotLine: return 3;
    case Qt::DashDotDotLine: return 4;
    case Qt::NoPen: return 5;
    default: return 0;
    }
}

Qt::PenStyle penStyleFromNumber(int n)
{
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
    return n >= 0 && n < 6 ? styles[n] : Qt::SolidLine;
}

QString penText(const QPen &pen)
{
    // Pens draw in copy mode (4); no other mode exists on this platform's painter.
    return QStringLiteral("\"%1,%2,%3,4\"").arg(colourNumber(pen.color())).arg(pen.width()).arg(penStyleNumber(pen.style()));
}

bool parsePen(QString text, QPen &pen)
{
    text = text.trimmed();
    if (text.size() < 2 || !text.startsWith(QLatin1Char('"')) || !text.endsWith(QLatin1Char('"')))
        return false;
    const QStringList parts = text.mid(1, text.size() - 2).split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    bool ok[4];
    const qint64 colour = parts[0].trimmed().toLongLong(&ok[0]);
    const int width = parts[1].trimmed().toInt(&ok[1]);
    const int style = parts[2].trimmed().toInt(&ok[2]);
    parts[3].trimmed().toInt(&ok[3]);
    if (!(ok[0] && ok[1] && ok[2] && ok[3]) || width < 0)
        return false;
    pen = QPen(colourFromNumber(colour), width, penStyleFromNumber(style));
    return true;
}

QPen silverDots()
{
    return QPen(QColor(192, 192, 192), 1, Qt::DotLine);
}

} // namespace

LxMargins::LxMargins(QObject *parent)
    : QObject(parent)
    , m_pen(silverDots())
    , m_printerPen(silverDots())
{
    for (LxValue &side : m_sides)
        side = LxValue(0.5L);
}

void LxMargins::setSide(Side side, LxMeasurement unit, long double value)
{
    if (m_sides[side].set(unit, value))
        Q_EMIT changed();
}

void LxMargins::setPen(const QPen &pen)
{
    m_pen = pen;
    Q_EMIT changed();
}

void LxMargins::setPrinterPen(const QPen &pen)
{
    m_printerPen = pen;
    Q_EMIT changed();
}

void LxMargins::setVisible(bool on)
{
    if (std::exchange(m_visible, on) != on)
        Q_EMIT changed();
}

void LxMargins::setShowPrinterMargins(bool on)
{
    if (std::exchange(m_showPrinterMargins, on) != on)
        Q_EMIT changed();
}

void LxMargins::setClipMargins(bool on)
{
    if (std::exchange(m_clipMargins, on) != on)
        Q_EMIT changed();
}

QString LxMargins::marginValues() const
{
    QStringList parts;
    for (const LxValue &side : m_sides)
        parts << QString::number(side.twips());
    parts << penText(m_pen) << penText(m_printerPen);
    return parts.join(QLatin1Char(','));
}

bool LxMargins::setMarginValues(const QString &text)
{
    // Split on commas outside quotes.
    QStringList items;
    QString current;
    bool quoted = false;
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (c == QLatin1Char(',') && !quoted) {
            items << current;
            current.clear();
        } else {
            current += c;
        }
    }
    items << current;
    if (quoted || (items.size() != 4 && items.size() != 6))
        return false;
    qint64 twips[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        twips[i] = items[i].trimmed().toLongLong(&ok);
        if (!ok)
            return false;
    }
    QPen pen = m_pen;
    QPen printerPen = m_printerPen;
    if (items.size() == 6 && !(parsePen(items[4], pen) && parsePen(items[5], printerPen)))
        return false;
    for (int i = 0; i < 4; ++i)
        m_sides[i].set(LxMeasurement::Twips, twips[i]);
    m_pen = pen;
    m_printerPen = printerPen;
    Q_EMIT changed();
    return true;
}

LxHeaderFooter::LxHeaderFooter(Kind kind, QObject *parent)
    : QObject(parent)
    , m_kind(kind)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(12);
    for (LxHeaderFooterCaption &c : m_captions)
        c.font = font;
}

void LxHeaderFooter::setCaption(Position position, const QString &text)
{
    if (m_captions[position].caption == text)
        return;
    m_captions[position].caption = text;
    Q_EMIT changed();
}

void LxHeaderFooter::setCaptionFont(Position position, const QFont &font)
{
    m_captions[position].font = font;
    Q_EMIT changed();
}

void LxHeaderFooter::setPen(const QPen &pen)
{
    m_pen = pen;
    Q_EMIT changed();
}

void LxHeaderFooter::setShowLine(bool on)
{
    if (std::exchange(m_showLine, on) != on)
        Q_EMIT changed();
}

void LxHeaderFooter::setVisible(bool on)
{
    if (std::exchange(m_visible, on) != on)
        Q_EMIT changed();
}

void LxHeaderFooter::setHeight(LxMeasurement unit, long double value)
{
    if (m_height.set(unit, value))
        Q_EMIT changed();
}

LxValue LxHeaderFooter::bandHeight() const
{
    if (m_height.inches() != 0)
        return m_height;
    const LxHeaderFooterCaption *tallest = &m_captions[0];
    for (const LxHeaderFooterCaption &c : m_captions) {
        if (c.font.pointSizeF() > tallest->font.pointSizeF())
            tallest = &c;
    }
    QImage reference(1, 1, QImage::Format_Mono);
    reference.setDotsPerMeterX(qRound(600 / 0.0254));
    reference.setDotsPerMeterY(qRound(600 / 0.0254));
    const QFontMetricsF metrics(tallest->font, &reference);
    return LxValue((metrics.ascent() + metrics.descent()) / 600.0L);
}

void LxHeaderFooter::copyCaptions(const LxHeaderFooter &other)
{
    for (int i = 0; i < 3; ++i)
        m_captions[i] = other.m_captions[i];
    Q_EMIT changed();
}

LxPageList::LxPageList(QObject *parent)
    : QObject(parent)
    , m_margins(new LxMargins(this))
    , m_header(new LxHeaderFooter(LxHeaderFooter::Header, this))
    , m_footer(new LxHeaderFooter(LxHeaderFooter::Footer, this))
    , m_copies(std::make_unique<RichTextCopies>())
{
    connect(m_margins, &LxMargins::changed, this, [this] {
        if (!isUpdating())
            Q_EMIT marginsChanged();
    });
    for (LxHeaderFooter *band : {m_header, m_footer}) {
        connect(band, &LxHeaderFooter::changed, this, [this] {
            if (!isUpdating())
                Q_EMIT headerFooterChanged();
        });
    }
    m_pageSize = Paper::pageInches(m_paper, m_orientation, {});
    AddPage();
}

LxPageList::~LxPageList() = default;

void LxPageList::derivePageSize()
{
    m_pageSize = Paper::pageInches(m_paper, m_orientation, m_pageSize);
}

void LxPageList::setCurrentPage(int n)
{
    if (n == m_current || n < 1 || n > count())
        return;
    m_current = n;
    Q_EMIT currentPageChanged();
}

void LxPageList::AddPage()
{
    derivePageSize();
    auto page = std::make_unique<LxPage>();
    page->orientation = m_orientation;
    page->width.setInches(m_pageSize.width());
    page->height.setInches(m_pageSize.height());
    m_pages.push_back(std::move(page));
    if (!isUpdating()) {
        Q_EMIT pagesChanged();
        Q_EMIT pageContentChanged();
    }
    if (m_current != count()) {
        m_current = count();
        Q_EMIT currentPageChanged();
    }
    Q_EMIT pageAdded();
}

void LxPageList::ClearPages()
{
    m_pages.clear();
    m_copies->clear();
    m_current = 1;
    AddPage();
    Q_EMIT cleared();
}

void LxPageList::setPaperSize(LxPaperSize paper)
{
    if (paper == m_paper)
        return;
    BeginUpdate();
    m_paper = paper;
    derivePageSize();
    for (auto &page : m_pages) {
        page->width.setInches(m_pageSize.width());
        page->height.setInches(m_pageSize.height());
    }
    EndUpdate();
    Q_EMIT paperSizeChanged();
}

void LxPageList::setOrientation(LxOrientation orientation)
{
    BeginUpdate();
    for (auto &page : m_pages) {
        const long double w = page->width.inches();
        const long double h = page->height.inches();
        const long double small = std::min(w, h);
        const long double large = std::max(w, h);
        page->orientation = orientation;
        page->width.setInches(orientation == LxOrientation::Portrait ? small : large);
        page->height.setInches(orientation == LxOrientation::Portrait ? large : small);
    }
    m_orientation = orientation;
    m_pageSize = QSizeF(double(m_pages.front()->width.inches()), double(m_pages.front()->height.inches()));
    EndUpdate();
    Q_EMIT orientationChanged();
}

void LxPageList::BeginUpdate()
{
    ++m_lock;
}

void LxPageList::EndUpdate()
{
    if (m_lock == 0)
        return;
    if (--m_lock == 0) {
        Q_EMIT pagesChanged();
        Q_EMIT pageContentChanged();
    }
}

QRectF LxPageList::headerRect(int n) const
{
    const LxPage &p = page(n);
    const double left = double(m_margins->left().inches());
    const double top = double(m_margins->top().inches());
    const double right = double(p.width.inches() - m_margins->right().inches());
    return QRectF(QPointF(left, top), QPointF(right, top + double(m_header->bandHeight().inches())));
}

QRectF LxPageList::footerRect(int n) const
{
    const LxPage &p = page(n);
    const double left = double(m_margins->left().inches());
    const double bottom = double(p.height.inches() - m_margins->bottom().inches());
    const double right = double(p.width.inches() - m_margins->right().inches());
    return QRectF(QPointF(left, bottom - double(m_footer->bandHeight().inches())), QPointF(right, bottom));
}

QRectF LxPageList::marginRect(int n) const
{
    const LxPage &p = page(n);
    return QRectF(QPointF(double(m_margins->left().inches()), double(m_margins->top().inches())),
                  QPointF(double(p.width.inches() - m_margins->right().inches()),
                          double(p.height.inches() - m_margins->bottom().inches())));
}
