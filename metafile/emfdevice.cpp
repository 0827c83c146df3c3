#include "metafile/emfdevice.h"

#include <QFile>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRawFont>
#include <QRegion>
#include <QTextItem>
#include <QTextLayout>
#include <QTransform>

#include <uemf.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int Dpi = 96;
// The reference device the header names: 1920 x 1440 pixels are exactly 508 x 381 mm at 96 dpi,
// so every reader derives the same 96 dpi from it.
constexpr int RefWidth = 1920;
constexpr int RefHeight = 1440;
constexpr int RefWidthMm = 508;
constexpr int RefHeightMm = 381;
// Objects of one kind (pens, brushes, fonts) kept alive for reuse before the oldest is deleted.
constexpr int CachedObjects = 16;

U_COLORREF colorRef(const QColor &c)
{
    return colorref3_set(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

quint32 recordSize(const char *record)
{
    quint32 size;
    std::memcpy(&size, record + 4, 4);
    return size;
}

// The colour a brush fills with. Gradients and textures have no plain GDI brush; they are drawn
// in the mean colour of their stops, or mid grey for a texture.
QColor brushColor(const QBrush &brush)
{
    if (const QGradient *gradient = brush.gradient()) {
        const QGradientStops stops = gradient->stops();
        if (stops.isEmpty())
            return {};
        double r = 0, g = 0, b = 0, a = 0;
        for (const QGradientStop &stop : stops) {
            r += stop.second.redF();
            g += stop.second.greenF();
            b += stop.second.blueF();
            a += stop.second.alphaF();
        }
        const double n = double(stops.size());
        return QColor::fromRgbF(float(r / n), float(g / n), float(b / n), float(a / n));
    }
    if (brush.style() == Qt::TexturePattern)
        return QColor(128, 128, 128);
    return brush.color();
}

// One kind of GDI object: handles by a key describing the object, the oldest deleted first.
struct ObjectCache
{
    QList<QPair<QByteArray, uint32_t>> entries; // most recently used last
    uint32_t selected = 0;                      // 0: none of ours (or unknown)
    uint32_t savedSelected = 0;                 // selected when the clip state was saved
};

// A font's metrics for text runs: its raw font gives kerned advances cheaply; runs with
// characters the font lacks (drawn from fallback fonts) are laid out in full instead.
struct RunFont
{
    QFont font;
    QRawFont raw;
    double ascent = 0;
    double descent = 0;

    // The x position after each UTF-16 unit of `text` (the second unit of a pair adds nothing).
    [[nodiscard]] QList<double> positions(const QString &text, const QPaintDevice *device) const
    {
        QList<double> result(text.size(), 0.0);
        const QList<quint32> glyphs = raw.isValid() ? raw.glyphIndexesForString(text) : QList<quint32>();
        const bool complete = !glyphs.isEmpty() && !glyphs.contains(0u);
        if (complete) {
            const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances);
            double x = 0;
            qsizetype glyph = 0;
            for (qsizetype i = 0; i < text.size() && glyph < advances.size(); ++i) {
                x += advances.at(glyph++).x();
                if (text.at(i).isHighSurrogate() && i + 1 < text.size())
                    result[i++] = x;
                result[i] = x;
            }
            return result;
        }
        QTextLayout layout(text, font, device);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        for (qsizetype i = 0; i < text.size(); ++i)
            result[i] = line.isValid() ? line.cursorToX(int(i + 1)) : 0.0;
        return result;
    }
};

} // namespace

class EmfPaintEngine final : public QPaintEngine
{
public:
    explicit EmfPaintEngine(EmfDevice *device)
        : QPaintEngine(AllFeatures)
        , m_device(device)
    {
    }

    ~EmfPaintEngine() override { release(); }

    bool begin(QPaintDevice *) override;
    bool end() override;
    void updateState(const QPaintEngineState &state) override;
    void drawRects(const QRectF *rects, int count) override;
    void drawRects(const QRect *rects, int count) override;
    void drawLines(const QLineF *lines, int count) override;
    void drawLines(const QLine *lines, int count) override;
    void drawEllipse(const QRectF &rect) override;
    void drawPath(const QPainterPath &path) override;
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override;
    void drawPolygon(const QPoint *points, int count, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr) override;
    void drawImage(const QRectF &r, const QImage &image, const QRectF &sr,
                   Qt::ImageConversionFlags flags = Qt::AutoColor) override;
    void drawTextItem(const QPointF &p, const QTextItem &textItem) override;
    Type type() const override { return QPaintEngine::User; }

private:
    void release();
    void append(char *record); // takes the record (malloc'ed by libuemf)
    void appendRaw(const QByteArray &record);
    [[nodiscard]] U_POINTL point(const QPointF &p) const;
    [[nodiscard]] U_RECTL bounds(const QList<U_POINTL> &points) const;
    [[nodiscard]] bool simpleTransform() const { return m_transform.type() <= QTransform::TxScale; }
    [[nodiscard]] int units(double pixels) const { return int(std::lround(pixels * m_unitsPerPixel)); }
    void selectPen();
    void selectBrush(const QBrush &brush);
    void selectFont(const QFont &font);
    void select(ObjectCache &cache, const QByteArray &key, char *(*create)(uint32_t *, EMFHANDLES *, const void *),
                const void *arg);
    void setFillRule(Qt::FillRule rule);
    const RunFont &runFont(const QFont &font);
    void applyClip();
    void emitPath(const QPainterPath &path, bool fill, bool stroke);
    void emitPolygon(const QPolygonF &polygon, bool closed, Qt::FillRule rule);

    EmfDevice *m_device;
    QByteArray m_out;
    quint32 m_records = 0;
    EMFHANDLES *m_handles = nullptr;
    EMFTRACK m_track{};
    int m_unitsPerPixel = 1;

    QPen m_pen;
    QBrush m_brush;
    QFont m_font;
    QTransform m_transform;
    ObjectCache m_pens, m_brushes, m_fonts;
    QList<RunFont> m_runFonts; // most recently used last
    QColor m_textColor;
    int m_fillMode = 0;
    bool m_clipped = false;
    QRect m_clipBounds; // in pixels, while clipped
};

// ---- device -------------------------------------------------------------------------------------

EmfDevice::EmfDevice(QSize size, QString creator, QString title, int unitsPerPixel)
    : m_size(size.expandedTo(QSize(1, 1)))
    , m_creator(std::move(creator))
    , m_title(std::move(title))
    , m_unitsPerPixel(std::clamp(unitsPerPixel, 1, 64))
{
}

EmfDevice::~EmfDevice() = default;

QPaintEngine *EmfDevice::paintEngine() const
{
    if (!m_engine)
        const_cast<EmfDevice *>(this)->m_engine = std::make_unique<EmfPaintEngine>(const_cast<EmfDevice *>(this));
    return m_engine.get();
}

QByteArray EmfDevice::data() const
{
    return m_data;
}

bool EmfDevice::save(const QString &path) const
{
    QFile file(path);
    return !m_data.isEmpty() && file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(m_data) == m_data.size() && file.flush();
}

int EmfDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return m_size.width();
    case PdmHeight: return m_size.height();
    case PdmWidthMM: return int(std::lround(m_size.width() * 25.4 / Dpi));
    case PdmHeightMM: return int(std::lround(m_size.height() * 25.4 / Dpi));
    case PdmNumColors: return 0x7fffffff;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return Dpi;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
    }
    return 0;
}

// ---- engine -------------------------------------------------------------------------------------

void EmfPaintEngine::release()
{
    if (m_handles)
        emf_htable_free(&m_handles);
    m_handles = nullptr;
}

bool EmfPaintEngine::begin(QPaintDevice *)
{
    release();
    m_out.clear();
    m_records = 0;
    m_unitsPerPixel = m_device->m_unitsPerPixel;
    if (emf_htable_create(128, 128, &m_handles) != 0)
        return false;
    m_pens = m_brushes = m_fonts = ObjectCache{};
    m_textColor = QColor();
    m_fillMode = 0;
    m_clipped = false;
    m_transform = QTransform();

    const QSize size = m_device->m_size;
    // The bounds run to the far edge itself rather than to the last pixel: players that scale by
    // right - left then show the picture at exactly its size.
    const U_RECTL bounds = rectl_set(point32_set(0, 0), point32_set(size.width(), size.height()));
    const U_RECTL frame = rectl_set(point32_set(0, 0),
                                    point32_set(int(std::lround(size.width() * 2540.0 / Dpi)),
                                                int(std::lround(size.height() * 2540.0 / Dpi))));
    // The description is the creator, a NUL, the title and two NULs.
    QString description = m_device->m_creator + QChar(0) + m_device->m_title + QChar(0) + QChar(0);
    if (description.size() % 2)
        description += QChar(0); // the record stays a multiple of four bytes
    append(U_EMRHEADER_set(bounds, frame, nullptr, U_CBSTR(description.size()),
                           reinterpret_cast<uint16_t *>(description.data()),
                           sizel_set(RefWidth, RefHeight), sizel_set(RefWidthMm, RefHeightMm), 0));
    if (m_unitsPerPixel > 1) {
        append(U_EMRSETMAPMODE_set(U_MM_ANISOTROPIC));
        append(U_EMRSETWINDOWEXTEX_set(sizel_set(size.width() * m_unitsPerPixel, size.height() * m_unitsPerPixel)));
        append(U_EMRSETVIEWPORTEXTEX_set(sizel_set(size.width(), size.height())));
    }
    append(U_EMRSETBKMODE_set(U_TRANSPARENT));
    append(U_EMRSETTEXTALIGN_set(U_TA_BASELINE | U_TA_LEFT));
    setActive(true);
    return true;
}

bool EmfPaintEngine::end()
{
    if (m_clipped) {
        append(U_EMRRESTOREDC_set(-1));
        m_clipped = false;
    }
    append(U_EMREOF_set(0, nullptr, &m_track));
    if (m_out.size() >= 60) {
        // The header counts the file's bytes, records and handle slots (slot 0 is reserved).
        const quint32 bytes = quint32(m_out.size());
        const quint16 handles = quint16(std::min<quint32>(m_handles ? m_handles->peak + 1 : 1, 0xffff));
        std::memcpy(m_out.data() + 48, &bytes, 4);
        std::memcpy(m_out.data() + 52, &m_records, 4);
        std::memcpy(m_out.data() + 56, &handles, 2);
    }
    m_device->m_data = m_out;
    m_out.clear();
    release();
    setActive(false);
    return true;
}

void EmfPaintEngine::append(char *record)
{
    if (!record)
        return;
    m_out.append(record, qsizetype(recordSize(record)));
    ++m_records;
    std::free(record);
}

void EmfPaintEngine::appendRaw(const QByteArray &record)
{
    m_out.append(record);
    ++m_records;
}

U_POINTL EmfPaintEngine::point(const QPointF &p) const
{
    const QPointF d = m_transform.map(p);
    return point32_set(units(d.x()), units(d.y()));
}

U_RECTL EmfPaintEngine::bounds(const QList<U_POINTL> &points) const
{
    // Bounds are in device pixels, inclusive.
    int l = INT_MAX, t = INT_MAX, r = INT_MIN, b = INT_MIN;
    for (const U_POINTL &p : points) {
        l = std::min(l, int(p.x));
        t = std::min(t, int(p.y));
        r = std::max(r, int(p.x));
        b = std::max(b, int(p.y));
    }
    const int u = m_unitsPerPixel;
    return rectl_set(point32_set(l / u, t / u), point32_set(r / u, b / u));
}

void EmfPaintEngine::updateState(const QPaintEngineState &state)
{
    const DirtyFlags flags = state.state();
    if (flags & DirtyPen)
        m_pen = state.pen();
    if (flags & DirtyBrush)
        m_brush = state.brush();
    if (flags & DirtyFont)
        m_font = state.font();
    if (flags & DirtyTransform)
        m_transform = state.transform();
    if (flags & (DirtyClipRegion | DirtyClipPath | DirtyClipEnabled))
        applyClip();
}

void EmfPaintEngine::applyClip()
{
    QPainter *p = painter();
    const bool clipped = p && p->hasClipping();
    if (!clipped && !m_clipped)
        return;
    // A clip lives in a saved state of the device context, so that restoring it lifts the clip
    // (players that ignore region records still follow the state and the clip rectangle).
    // Restoring also brings back the objects selected before, so selections are made anew.
    if (m_clipped) {
        append(U_EMRRESTOREDC_set(-1));
        m_pens.selected = m_brushes.selected = m_fonts.selected = 0;
        m_textColor = QColor();
        m_fillMode = 0;
        m_clipped = false;
    }
    if (!clipped)
        return;
    const QRegion region = p->combinedTransform().map(p->clipRegion());
    const QRect box = region.boundingRect();
    for (ObjectCache *cache : {&m_pens, &m_brushes, &m_fonts})
        cache->savedSelected = cache->selected;
    append(U_EMRSAVEDC_set());
    const int u = m_unitsPerPixel;
    append(U_EMRINTERSECTCLIPRECT_set(rectl_set(point32_set(box.left() * u, box.top() * u),
                                                point32_set((box.right() + 1) * u, (box.bottom() + 1) * u))));
    if (region.rectCount() > 1) {
        // The exact region, in device pixels with right and bottom exclusive.
        const QList<QRect> rects(region.begin(), region.end());
        const quint32 rgnSize = quint32(32 + 16 * rects.size());
        QByteArray record(int(16 + rgnSize), 0);
        auto put = [&record](int at, qint32 value) { std::memcpy(record.data() + at, &value, 4); };
        put(0, U_EMR_EXTSELECTCLIPRGN);
        put(4, qint32(record.size()));
        put(8, qint32(rgnSize));
        put(12, U_RGN_AND);
        put(16, 32); // header size
        put(20, 1);  // RDH_RECTANGLES
        put(24, qint32(rects.size()));
        put(28, qint32(16 * rects.size()));
        put(32, box.left());
        put(36, box.top());
        put(40, box.right() + 1);
        put(44, box.bottom() + 1);
        int at = 48;
        for (const QRect &r : rects) {
            put(at, r.left());
            put(at + 4, r.top());
            put(at + 8, r.right() + 1);
            put(at + 12, r.bottom() + 1);
            at += 16;
        }
        appendRaw(record);
    }
    m_clipped = true;
    m_clipBounds = box;
}

void EmfPaintEngine::select(ObjectCache &cache, const QByteArray &key,
                            char *(*create)(uint32_t *, EMFHANDLES *, const void *), const void *arg)
{
    for (qsizetype i = 0; i < cache.entries.size(); ++i) {
        if (cache.entries.at(i).first == key) {
            const uint32_t handle = cache.entries.at(i).second;
            cache.entries.move(i, cache.entries.size() - 1);
            if (cache.selected != handle) {
                append(selectobject_set(handle, m_handles));
                cache.selected = handle;
            }
            return;
        }
    }
    uint32_t handle = 0;
    append(create(&handle, m_handles, arg));
    append(selectobject_set(handle, m_handles));
    cache.selected = handle;
    cache.entries.append({key, handle});
    if (cache.entries.size() > CachedObjects) {
        // The oldest object that no state of the device context still has selected.
        for (qsizetype i = 0; i < cache.entries.size(); ++i) {
            uint32_t oldest = cache.entries.at(i).second;
            if (oldest != cache.selected && oldest != cache.savedSelected) {
                cache.entries.removeAt(i);
                append(deleteobject_set(&oldest, m_handles));
                break;
            }
        }
    }
}

void EmfPaintEngine::selectPen()
{
    const QColor color = m_pen.color();
    const bool none = m_pen.style() == Qt::NoPen || color.alpha() == 0;
    if (none) {
        if (m_pens.selected != U_NULL_PEN) {
            append(U_EMRSELECTOBJECT_set(U_NULL_PEN));
            m_pens.selected = U_NULL_PEN;
        }
        return;
    }
    uint32_t style = U_PS_SOLID;
    switch (m_pen.style()) {
    case Qt::DashLine: style = U_PS_DASH; break;
    case Qt::DotLine: style = U_PS_DOT; break;
    case Qt::DashDotLine: style = 3; break;    // PS_DASHDOT
    case Qt::DashDotDotLine: style = 4; break; // PS_DASHDOTDOT
    default: break;
    }
    // A cosmetic pen or one of at most a pixel is the one-pixel pen; wider pens scale with the
    // drawing.
    const double scale = std::sqrt(std::abs(m_transform.determinant()));
    const double pixels = m_pen.isCosmetic() ? m_pen.widthF() : m_pen.widthF() * scale;
    const int width = pixels <= 1.0 ? (m_unitsPerPixel > 1 ? m_unitsPerPixel : 0) : units(pixels);
    QByteArray key;
    key.append(reinterpret_cast<const char *>(&style), 4).append(reinterpret_cast<const char *>(&width), 4);
    const QRgb rgb = color.rgb();
    key.append(reinterpret_cast<const char *>(&rgb), 4);
    struct Args { uint32_t style; int width; QColor color; } args{style, width, color};
    select(m_pens, key, [](uint32_t *ih, EMFHANDLES *eht, const void *a) {
        const auto *p = static_cast<const Args *>(a);
        U_POINT w;
        w.x = p->width;
        w.y = 0;
        return createpen_set(ih, eht, logpen_set(p->style, w, colorRef(p->color)));
    }, &args);
}

void EmfPaintEngine::selectBrush(const QBrush &brush)
{
    const QColor color = brushColor(brush);
    if (brush.style() == Qt::NoBrush || !color.isValid() || color.alpha() == 0) {
        if (m_brushes.selected != U_NULL_BRUSH) {
            append(U_EMRSELECTOBJECT_set(U_NULL_BRUSH));
            m_brushes.selected = U_NULL_BRUSH;
        }
        return;
    }
    const QRgb rgb = color.rgb();
    const QByteArray key(reinterpret_cast<const char *>(&rgb), 4);
    select(m_brushes, key, [](uint32_t *ih, EMFHANDLES *eht, const void *a) {
        const QColor &c = *static_cast<const QColor *>(a);
        return createbrushindirect_set(ih, eht, logbrush_set(U_BS_SOLID, colorRef(c), 0));
    }, &color);
}

void EmfPaintEngine::selectFont(const QFont &font)
{
    // The em height in device pixels, scaled with the drawing.
    const double em = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * Dpi / 72.0;
    const double scale = std::sqrt(std::abs(m_transform.determinant()));
    const int height = -std::max(1, units(em * scale));
    QString face = font.family().left(31);
    const QByteArray key = face.toUtf8() + '/' + QByteArray::number(height) + '/'
        + QByteArray::number(font.weight()) + '/' + QByteArray::number(int(font.italic()))
        + QByteArray::number(int(font.underline())) + QByteArray::number(int(font.strikeOut()));
    struct Args { int height; int weight; bool italic, underline, strikeOut; QString face; } args{
        height, int(font.weight()), font.italic(), font.underline(), font.strikeOut(), face};
    select(m_fonts, key, [](uint32_t *ih, EMFHANDLES *eht, const void *a) {
        const auto *f = static_cast<const Args *>(a);
        uint16_t name[32] = {};
        std::memcpy(name, f->face.utf16(), size_t(f->face.size()) * 2);
        const U_LOGFONT logFont = logfont_set(f->height, 0, 0, 0, f->weight, f->italic, f->underline,
                                              f->strikeOut, U_DEFAULT_CHARSET, 0 /* OUT_DEFAULT */,
                                              0 /* CLIP_DEFAULT */, 5 /* CLEARTYPE */, 0, name);
        return extcreatefontindirectw_set(ih, eht, reinterpret_cast<const char *>(&logFont), nullptr);
    }, &args);
}

const RunFont &EmfPaintEngine::runFont(const QFont &font)
{
    for (qsizetype i = m_runFonts.size() - 1; i >= 0; --i) {
        if (m_runFonts.at(i).font == font) {
            if (i != m_runFonts.size() - 1)
                m_runFonts.move(i, m_runFonts.size() - 1);
            return m_runFonts.constLast();
        }
    }
    if (m_runFonts.size() >= 8)
        m_runFonts.removeFirst();
    const QFontMetricsF metrics(font, m_device);
    m_runFonts.append({font, QRawFont::fromFont(font), metrics.ascent(), metrics.descent()});
    return m_runFonts.constLast();
}

void EmfPaintEngine::setFillRule(Qt::FillRule rule)
{
    const int mode = rule == Qt::WindingFill ? U_WINDING : U_ALTERNATE;
    if (mode != m_fillMode) {
        append(U_EMRSETPOLYFILLMODE_set(uint32_t(mode)));
        m_fillMode = mode;
    }
}

void EmfPaintEngine::drawRects(const QRect *rects, int count)
{
    for (int i = 0; i < count; ++i) {
        const QRectF r(rects[i]);
        drawRects(&r, 1);
    }
}

void EmfPaintEngine::drawRects(const QRectF *rects, int count)
{
    for (int i = 0; i < count; ++i) {
        const QRectF &r = rects[i];
        if (!simpleTransform()) {
            emitPolygon(QPolygonF(r), true, Qt::OddEvenFill);
            continue;
        }
        selectPen();
        selectBrush(m_brush);
        // A one-pixel outline of QRectF(x, y, w, h) covers x..x+w, and a fill without a pen covers
        // x..x+w-1: both are the platform's Rectangle(x, y, x+w+1, y+h+1).
        const U_POINTL tl = point(r.topLeft());
        const U_POINTL br = point(r.bottomRight());
        append(U_EMRRECTANGLE_set(rectl_set(tl, point32_set(br.x + m_unitsPerPixel, br.y + m_unitsPerPixel))));
    }
}

void EmfPaintEngine::drawLines(const QLine *lines, int count)
{
    for (int i = 0; i < count; ++i) {
        const QLineF l(lines[i]);
        drawLines(&l, 1);
    }
}

void EmfPaintEngine::drawLines(const QLineF *lines, int count)
{
    if (m_pen.style() == Qt::NoPen)
        return;
    selectPen();
    for (int i = 0; i < count; ++i) {
        // A line includes its last pixel in Qt and excludes it on the platform: one more pixel
        // along the line's main direction.
        const QPointF a = m_transform.map(lines[i].p1());
        const QPointF b = m_transform.map(lines[i].p2());
        QPointF end = b;
        const QPointF d = b - a;
        if (std::abs(d.x()) >= std::abs(d.y()))
            end.rx() += d.x() >= 0 ? 1 : -1;
        else
            end.ry() += d.y() >= 0 ? 1 : -1;
        const U_POINTL pts[2] = {point32_set(units(a.x()), units(a.y())), point32_set(units(end.x()), units(end.y()))};
        append(U_EMRPOLYLINE_set(bounds({pts[0], pts[1]}), 2, pts));
    }
}

void EmfPaintEngine::drawEllipse(const QRectF &rect)
{
    if (!simpleTransform()) {
        QPainterPath path;
        path.addEllipse(rect);
        drawPath(path);
        return;
    }
    selectPen();
    selectBrush(m_brush);
    const U_POINTL tl = point(rect.topLeft());
    const U_POINTL br = point(rect.bottomRight());
    append(U_EMRELLIPSE_set(rectl_set(tl, point32_set(br.x + m_unitsPerPixel, br.y + m_unitsPerPixel))));
}

void EmfPaintEngine::emitPolygon(const QPolygonF &polygon, bool closed, Qt::FillRule rule)
{
    if (polygon.size() < 2)
        return;
    QList<U_POINTL> pts;
    pts.reserve(polygon.size());
    for (const QPointF &p : polygon)
        pts.append(point(p));
    selectPen();
    if (closed) {
        selectBrush(m_brush);
        setFillRule(rule);
        append(U_EMRPOLYGON_set(bounds(pts), uint32_t(pts.size()), pts.constData()));
    } else {
        append(U_EMRPOLYLINE_set(bounds(pts), uint32_t(pts.size()), pts.constData()));
    }
}

void EmfPaintEngine::drawPolygon(const QPoint *points, int count, PolygonDrawMode mode)
{
    QPolygonF polygon;
    for (int i = 0; i < count; ++i)
        polygon.append(QPointF(points[i]));
    drawPolygon(polygon.constData(), count, mode);
}

void EmfPaintEngine::drawPolygon(const QPointF *points, int count, PolygonDrawMode mode)
{
    QPolygonF polygon;
    for (int i = 0; i < count; ++i)
        polygon.append(points[i]);
    emitPolygon(polygon, mode != PolylineMode, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
}

void EmfPaintEngine::emitPath(const QPainterPath &path, bool fill, bool stroke)
{
    QList<U_POINTL> all;
    append(U_EMRBEGINPATH_set());
    QPointF start;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const U_POINTL p = point(QPointF(e.x, e.y));
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (i > 0 && fill)
                append(U_EMRCLOSEFIGURE_set());
            append(U_EMRMOVETOEX_set(p));
            start = QPointF(e.x, e.y);
            all.append(p);
            break;
        case QPainterPath::LineToElement:
            append(U_EMRLINETO_set(p));
            all.append(p);
            break;
        case QPainterPath::CurveToElement: {
            if (i + 2 >= path.elementCount())
                break;
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element to = path.elementAt(i + 2);
            const U_POINTL pts[3] = {p, point(QPointF(c2.x, c2.y)), point(QPointF(to.x, to.y))};
            append(U_EMRPOLYBEZIERTO_set(bounds({pts[0], pts[1], pts[2]}), 3, pts));
            all.append({pts[0], pts[1], pts[2]});
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    if (fill)
        append(U_EMRCLOSEFIGURE_set());
    append(U_EMRENDPATH_set());
    const U_RECTL box = all.isEmpty() ? rectl_set(point32_set(0, 0), point32_set(0, 0)) : bounds(all);
    if (fill && stroke)
        append(U_EMRSTROKEANDFILLPATH_set(box));
    else if (fill)
        append(U_EMRFILLPATH_set(box));
    else
        append(U_EMRSTROKEPATH_set(box));
}

void EmfPaintEngine::drawPath(const QPainterPath &path)
{
    if (path.isEmpty())
        return;
    const bool stroke = m_pen.style() != Qt::NoPen && m_pen.color().alpha() > 0;
    const bool fill = m_brush.style() != Qt::NoBrush && brushColor(m_brush).alpha() > 0;
    if (!stroke && !fill)
        return;
    selectPen();
    selectBrush(m_brush);
    setFillRule(path.fillRule());
    emitPath(path, fill, stroke);
}

void EmfPaintEngine::drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr)
{
    drawImage(r, pm.toImage(), sr);
}

void EmfPaintEngine::drawImage(const QRectF &r, const QImage &image, const QRectF &sr, Qt::ImageConversionFlags)
{
    if (image.isNull() || r.isEmpty())
        return;
    // A bottom-up 32-bit DIB of the source part; transparent pixels are laid on white.
    QImage source = image.copy(sr.toAlignedRect());
    if (source.hasAlphaChannel()) {
        QImage flat(source.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter p(&flat);
        p.drawImage(0, 0, source);
        p.end();
        source = flat;
    } else {
        source = source.convertToFormat(QImage::Format_RGB32);
    }
    source = source.mirrored(false, true);
    const int w = source.width();
    const int h = source.height();
    QByteArray pixels;
    pixels.reserve(qsizetype(w) * h * 4);
    for (int y = 0; y < h; ++y)
        pixels.append(reinterpret_cast<const char *>(source.constScanLine(y)), qsizetype(w) * 4);

    const U_BITMAPINFOHEADER header = bitmapinfoheader_set(w, h, 1, 32, U_BI_RGB, uint32_t(pixels.size()),
                                                           3780, 3780, 0, 0);
    PU_BITMAPINFO info = bitmapinfo_set(header, nullptr);
    const QRectF target = m_transform.mapRect(r);
    const U_POINTL dest = point32_set(units(target.x()), units(target.y()));
    const U_POINTL destSize = point32_set(units(target.width()), units(target.height()));
    const U_RECTL box = rectl_set(point32_set(int(target.left()), int(target.top())),
                                  point32_set(int(std::ceil(target.right())) - 1, int(std::ceil(target.bottom())) - 1));
    append(U_EMRSTRETCHDIBITS_set(box, dest, destSize, point32_set(0, 0), point32_set(w, h), U_DIB_RGB_COLORS,
                                  U_SRCCOPY, info, uint32_t(pixels.size()), pixels.data()));
    std::free(info);
}

void EmfPaintEngine::drawTextItem(const QPointF &p, const QTextItem &textItem)
{
    const QString text = textItem.text();
    if (text.isEmpty())
        return;
    const QFont font = textItem.font();
    selectFont(font);
    const QColor color = m_pen.color();
    if (color != m_textColor) {
        append(U_EMRSETTEXTCOLOR_set(colorRef(color)));
        m_textColor = color;
    }

    // Each character advances as Qt lays the run out (kerning included), so that every reader
    // places it where Qt does. Positions are rounded, not advances, so that no error piles up.
    const RunFont &run = runFont(font);
    const double scale = std::sqrt(std::abs(m_transform.determinant()));
    const QList<double> positions = run.positions(text, m_device);
    QList<uint32_t> dx(text.size(), 0);
    int previous = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int x = units(positions.at(i) * scale);
        dx[i] = uint32_t(std::max(0, x - previous));
        previous = std::max(previous, x);
    }

    const U_POINTL ref = point(p);
    U_RECTL clip = rectl_set(point32_set(0, 0), point32_set(-1, -1));
    uint32_t options = 0;
    if (m_clipped) {
        const int u = m_unitsPerPixel;
        clip = rectl_set(point32_set(m_clipBounds.left() * u, m_clipBounds.top() * u),
                         point32_set((m_clipBounds.right() + 1) * u, (m_clipBounds.bottom() + 1) * u));
        options = U_ETO_CLIPPED;
    }
    const U_RECTL box = rectl_set(
        point32_set(ref.x / m_unitsPerPixel, int((ref.y / m_unitsPerPixel) - run.ascent * scale)),
        point32_set(ref.x / m_unitsPerPixel + previous / m_unitsPerPixel,
                    int((ref.y / m_unitsPerPixel) + run.descent * scale)));
    QString units16 = text;
    char *emrText = emrtext_set(ref, U_NUM_STR(units16.size()), 2, units16.data(), options, clip, dx.data());
    append(U_EMREXTTEXTOUTW_set(box, U_GM_COMPATIBLE, 1.0f, 1.0f, reinterpret_cast<PU_EMRTEXT>(emrText)));
    std::free(emrText);
}
