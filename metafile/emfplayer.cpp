#include "metafile/emfplayer.h"

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Record types, as the EMF format numbers them.
enum : quint32 {
    Header = 1, PolyBezier = 2, Polygon = 3, Polyline = 4, PolyBezierTo = 5, PolylineTo = 6, SetWindowExt = 9,
    SetWindowOrg = 10, SetViewportExt = 11, SetViewportOrg = 12, SetBrushOrg = 13, Eof = 14, SetMapperFlags = 16,
    SetMapMode = 17, SetBkMode = 18, SetPolyFillMode = 19, SetRop2 = 20, SetStretchBltMode = 21, SetTextAlign = 22,
    SetTextColor = 24, SetBkColor = 25, MoveTo = 27, IntersectClipRect = 30, SaveDc = 33, RestoreDc = 34,
    SelectObject = 37, CreatePen = 38, CreateBrush = 39, DeleteObject = 40, Ellipse = 42, Rectangle = 43,
    LineTo = 54, SetMiterLimit = 58, BeginPath = 59, EndPath = 60, CloseFigure = 61, FillPath = 62,
    StrokeAndFillPath = 63, StrokePath = 64, Comment = 70, ExtSelectClipRgn = 75, StretchDiBits = 81,
    ExtCreateFont = 82, ExtTextOutW = 84, PolyBezier16 = 85, Polygon16 = 86, Polyline16 = 87, PolyBezierTo16 = 88,
    PolylineTo16 = 89, SetIcmMode = 98, SetLayout = 115,
};

bool playable(quint32 type)
{
    switch (type) {
    case Header: case PolyBezier: case Polygon: case Polyline: case PolyBezierTo: case PolylineTo:
    case SetWindowExt: case SetWindowOrg: case SetViewportExt: case SetViewportOrg: case SetBrushOrg: case Eof:
    case SetMapperFlags: case SetMapMode: case SetBkMode: case SetPolyFillMode: case SetRop2:
    case SetStretchBltMode: case SetTextAlign: case SetTextColor: case SetBkColor: case MoveTo:
    case IntersectClipRect: case SaveDc: case RestoreDc: case SelectObject: case CreatePen: case CreateBrush:
    case DeleteObject: case Ellipse: case Rectangle: case LineTo: case SetMiterLimit: case BeginPath: case EndPath:
    case CloseFigure: case FillPath: case StrokeAndFillPath: case StrokePath: case Comment: case ExtSelectClipRgn:
    case StretchDiBits: case ExtCreateFont: case ExtTextOutW: case PolyBezier16: case Polygon16: case Polyline16:
    case PolyBezierTo16: case PolylineTo16: case SetIcmMode: case SetLayout:
        return true;
    default:
        return false;
    }
}

// Bounds-checked little-endian reads from one record.
struct Record
{
    const char *data = nullptr;
    quint32 size = 0;

    [[nodiscard]] bool has(quint64 offset, quint64 bytes) const { return offset + bytes <= size; }
    [[nodiscard]] qint32 i32(quint32 offset) const
    {
        qint32 v = 0;
        if (has(offset, 4))
            std::memcpy(&v, data + offset, 4);
        return v;
    }
    [[nodiscard]] quint32 u32(quint32 offset) const { return quint32(i32(offset)); }
    [[nodiscard]] qint16 i16(quint32 offset) const
    {
        qint16 v = 0;
        if (has(offset, 2))
            std::memcpy(&v, data + offset, 2);
        return v;
    }
};

// Pixels as integers, held to a range that any later arithmetic can take.
int pixel(double value)
{
    return int(std::lround(std::clamp(value, -1.0e7, 1.0e7)));
}

QColor colorRef(quint32 ref)
{
    return QColor(int(ref & 0xff), int((ref >> 8) & 0xff), int((ref >> 16) & 0xff));
}

struct Pen {
    bool null = false;
    int width = 0; // logical units; 0 is one device pixel
    int style = 0;
    QColor color = Qt::black;
};

struct Brush {
    bool null = false;
    QColor color = Qt::white;
};

struct Font {
    int height = 0; // negative: character height
    int weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    QString face;
};

struct Object {
    enum Kind { None, PenKind, BrushKind, FontKind } kind = None;
    Pen pen;
    Brush brush;
    Font font;
};

// A font made ready for drawing at the target's scale.
struct TextFont {
    QFont font;
    QRawFont raw;
};

struct DcState {
    Pen pen;
    Brush brush;
    Font font;
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    bool transparent = false;
    quint32 textAlign = 0;
    int fillMode = 1; // ALTERNATE
    int mapMode = 1;  // MM_TEXT
    QPointF windowOrg, viewportOrg;
    QSizeF windowExt{1, 1}, viewportExt{1, 1};
    bool clipped = false;
    QRegion clip; // in target pixels
};

class Player
{
public:
    Player(QPainter &painter, const QRectF &target, const QRectF &frame)
        : m_painter(painter)
        , m_sx(target.width() / frame.width())
        , m_sy(target.height() / frame.height())
        , m_ox(target.left() - frame.left() * m_sx)
        , m_oy(target.top() - frame.top() * m_sy)
    {
    }

    void play(const Record &r);

private:
    // Logical units to device pixels to target pixels.
    [[nodiscard]] QPointF map(double x, double y) const
    {
        double dx = x, dy = y;
        if (m_dc.mapMode != 1) {
            dx = (x - m_dc.windowOrg.x()) * m_dc.viewportExt.width() / m_dc.windowExt.width() + m_dc.viewportOrg.x();
            dy = (y - m_dc.windowOrg.y()) * m_dc.viewportExt.height() / m_dc.windowExt.height() + m_dc.viewportOrg.y();
        }
        return QPointF(m_ox + dx * m_sx, m_oy + dy * m_sy);
    }
    [[nodiscard]] double scaleX() const
    {
        return m_sx * (m_dc.mapMode != 1 ? m_dc.viewportExt.width() / m_dc.windowExt.width() : 1.0);
    }
    [[nodiscard]] double scaleY() const
    {
        return m_sy * (m_dc.mapMode != 1 ? m_dc.viewportExt.height() / m_dc.windowExt.height() : 1.0);
    }
    // A device-pixel rectangle from logical corners, right and bottom exclusive.
    [[nodiscard]] QRect pixelRect(double l, double t, double r, double b) const
    {
        const QPointF a = map(l, t), c = map(r, b);
        const int x0 = pixel(std::min(a.x(), c.x())), x1 = pixel(std::max(a.x(), c.x()));
        const int y0 = pixel(std::min(a.y(), c.y())), y1 = pixel(std::max(a.y(), c.y()));
        return QRect(x0, y0, x1 - x0, y1 - y0);
    }
    [[nodiscard]] QPen qPen() const
    {
        if (m_dc.pen.null)
            return Qt::NoPen;
        QPen pen(m_dc.pen.color);
        const double width = m_dc.pen.width * std::sqrt(std::abs(scaleX() * scaleY()));
        pen.setWidthF(width <= 1.0 ? 0.0 : width);
        const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
        pen.setStyle(m_dc.pen.style >= 0 && m_dc.pen.style <= 5 ? styles[m_dc.pen.style] : Qt::SolidLine);
        return pen;
    }
    [[nodiscard]] QBrush qBrush() const { return m_dc.brush.null ? QBrush(Qt::NoBrush) : QBrush(m_dc.brush.color); }
    [[nodiscard]] QList<QPointF> points(const Record &r, quint32 countAt, bool shorts) const;
    void applyClip();
    void drawPathNow(bool fill, bool stroke);
    void text(const Record &r);
    const TextFont &fontFor(const Font &f);
    QHash<QString, TextFont> m_textFonts;
    void bitmap(const Record &r);

    QPainter &m_painter;
    double m_sx, m_sy, m_ox, m_oy;
    DcState m_dc;
    QList<DcState> m_saved;
    QHash<quint32, Object> m_objects;
    QPointF m_current; // logical
    bool m_inPath = false;
    QPainterPath m_path; // target pixels
};

QList<QPointF> Player::points(const Record &r, quint32 countAt, bool shorts) const
{
    QList<QPointF> result;
    const quint32 count = r.u32(countAt);
    const quint32 step = shorts ? 4 : 8;
    if (!r.has(countAt + 4, quint64(count) * step))
        return result;
    result.reserve(qsizetype(count));
    for (quint32 i = 0; i < count; ++i) {
        const quint32 at = countAt + 4 + i * step;
        result.append(shorts ? QPointF(r.i16(at), r.i16(at + 2)) : QPointF(r.i32(at), r.i32(at + 4)));
    }
    return result;
}

void Player::applyClip()
{
    if (m_dc.clipped)
        m_painter.setClipRegion(m_dc.clip);
    else
        m_painter.setClipping(false);
}

void Player::drawPathNow(bool fill, bool stroke)
{
    m_path.setFillRule(m_dc.fillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    m_painter.setPen(stroke ? qPen() : QPen(Qt::NoPen));
    m_painter.setBrush(fill ? qBrush() : QBrush(Qt::NoBrush));
    m_painter.drawPath(m_path);
    m_path = QPainterPath();
}

void Player::play(const Record &r)
{
    const quint32 type = r.u32(0);
    switch (type) {
    case SetMapMode: m_dc.mapMode = r.i32(8); break;
    case SetWindowExt:
        if (r.i32(8) != 0 && r.i32(12) != 0)
            m_dc.windowExt = QSizeF(r.i32(8), r.i32(12));
        break;
    case SetViewportExt:
        if (r.i32(8) != 0 && r.i32(12) != 0)
            m_dc.viewportExt = QSizeF(r.i32(8), r.i32(12));
        break;
    case SetWindowOrg: m_dc.windowOrg = QPointF(r.i32(8), r.i32(12)); break;
    case SetViewportOrg: m_dc.viewportOrg = QPointF(r.i32(8), r.i32(12)); break;
    case SetBkMode: m_dc.transparent = r.i32(8) == 1; break;
    case SetPolyFillMode: m_dc.fillMode = r.i32(8); break;
    case SetTextAlign: m_dc.textAlign = r.u32(8); break;
    case SetTextColor: m_dc.textColor = colorRef(r.u32(8)); break;
    case SetBkColor: m_dc.bkColor = colorRef(r.u32(8)); break;
    case SaveDc:
        if (m_saved.size() < 1000)
            m_saved.append(m_dc);
        break;
    case RestoreDc: {
        const int relative = r.i32(8);
        if (relative < 0 && -relative <= m_saved.size()) {
            m_dc = m_saved.at(m_saved.size() + relative);
            m_saved.resize(m_saved.size() + relative);
            applyClip();
        }
        break;
    }
    case CreatePen: {
        Object o;
        o.kind = Object::PenKind;
        o.pen.style = r.i32(12) & 0xf;
        o.pen.null = o.pen.style == 5;
        o.pen.width = r.i32(16);
        o.pen.color = colorRef(r.u32(24));
        m_objects.insert(r.u32(8), o);
        break;
    }
    case CreateBrush: {
        Object o;
        o.kind = Object::BrushKind;
        o.brush.null = r.u32(12) == 1; // BS_NULL
        o.brush.color = colorRef(r.u32(16));
        m_objects.insert(r.u32(8), o);
        break;
    }
    case ExtCreateFont: {
        Object o;
        o.kind = Object::FontKind;
        o.font.height = r.i32(12);
        o.font.weight = r.i32(28);
        o.font.italic = r.has(32, 1) && r.data[32];
        o.font.underline = r.has(33, 1) && r.data[33];
        o.font.strikeOut = r.has(34, 1) && r.data[34];
        if (r.has(40, 64)) {
            const auto *name = reinterpret_cast<const char16_t *>(r.data + 40);
            int length = 0;
            while (length < 32 && name[length])
                ++length;
            o.font.face = QString(reinterpret_cast<const QChar *>(name), length);
        }
        m_objects.insert(r.u32(8), o);
        break;
    }
    case DeleteObject: m_objects.remove(r.u32(8)); break;
    case SelectObject: {
        const quint32 handle = r.u32(8);
        if (handle & 0x80000000u) { // stock objects
            switch (handle & 0x7fffffff) {
            case 0: m_dc.brush = Brush{false, Qt::white}; break;
            case 1: m_dc.brush = Brush{false, QColor(192, 192, 192)}; break;
            case 2: m_dc.brush = Brush{false, QColor(128, 128, 128)}; break;
            case 3: m_dc.brush = Brush{false, QColor(64, 64, 64)}; break;
            case 4: m_dc.brush = Brush{false, Qt::black}; break;
            case 5: m_dc.brush = Brush{true, {}}; break;
            case 6: m_dc.pen = Pen{false, 0, 0, Qt::white}; break;
            case 7: m_dc.pen = Pen{false, 0, 0, Qt::black}; break;
            case 8: m_dc.pen = Pen{true, 0, 5, {}}; break;
            default: break;
            }
            break;
        }
        const auto found = m_objects.constFind(handle);
        if (found == m_objects.cend())
            break;
        if (found->kind == Object::PenKind)
            m_dc.pen = found->pen;
        else if (found->kind == Object::BrushKind)
            m_dc.brush = found->brush;
        else if (found->kind == Object::FontKind)
            m_dc.font = found->font;
        break;
    }
    case IntersectClipRect: {
        // Logical corners, right and bottom exclusive.
        const QRect box = pixelRect(r.i32(8), r.i32(12), r.i32(16), r.i32(20));
        m_dc.clip = m_dc.clipped ? m_dc.clip.intersected(box) : QRegion(box);
        m_dc.clipped = true;
        applyClip();
        break;
    }
    case ExtSelectClipRgn: {
        const quint32 dataSize = r.u32(8);
        const quint32 mode = r.u32(12);
        if (dataSize == 0 || !r.has(16, dataSize)) {
            if (mode == 5) { // RGN_COPY without a region: no clip
                m_dc.clipped = false;
                applyClip();
            }
            break;
        }
        const quint32 count = r.u32(24);
        if (!r.has(48, quint64(count) * 16))
            break;
        QRegion region;
        for (quint32 i = 0; i < count; ++i) {
            const quint32 at = 48 + 16 * i;
            // Region rectangles are in device pixels.
            const QPointF a(m_ox + r.i32(at) * m_sx, m_oy + r.i32(at + 4) * m_sy);
            const QPointF b(m_ox + r.i32(at + 8) * m_sx, m_oy + r.i32(at + 12) * m_sy);
            region += QRect(QPoint(pixel(a.x()), pixel(a.y())), QPoint(pixel(b.x()) - 1, pixel(b.y()) - 1));
        }
        if (mode == 1 && m_dc.clipped) // RGN_AND
            m_dc.clip = m_dc.clip.intersected(region);
        else if (mode == 2 && m_dc.clipped) // RGN_OR
            m_dc.clip = m_dc.clip.united(region);
        else
            m_dc.clip = region;
        m_dc.clipped = true;
        applyClip();
        break;
    }
    case Rectangle: {
        const double l = r.i32(8), t = r.i32(12), rr = r.i32(16), b = r.i32(20);
        if (m_inPath) {
            m_path.addRect(QRectF(map(l, t), map(rr, b)));
            break;
        }
        // The platform's rectangle covers left..right-1; its outline is the pen drawn inside
        // that, and without a pen the fill ends one pixel short.
        if (m_dc.pen.null) {
            if (!m_dc.brush.null)
                m_painter.fillRect(pixelRect(l, t, rr - 1, b - 1), m_dc.brush.color);
            break;
        }
        const QRect outer = pixelRect(l, t, rr, b);
        const int pw = std::clamp(pixel(m_dc.pen.width * std::min(scaleX(), scaleY())), 1, 1000);
        const QRect inner = outer.adjusted(pw, pw, -pw, -pw);
        if (m_dc.pen.style == 0) {
            m_painter.fillRect(QRect(outer.left(), outer.top(), outer.width(), pw), m_dc.pen.color);
            m_painter.fillRect(QRect(outer.left(), outer.bottom() - pw + 1, outer.width(), pw), m_dc.pen.color);
            m_painter.fillRect(QRect(outer.left(), outer.top(), pw, outer.height()), m_dc.pen.color);
            m_painter.fillRect(QRect(outer.right() - pw + 1, outer.top(), pw, outer.height()), m_dc.pen.color);
        } else {
            m_painter.setPen(qPen());
            m_painter.setBrush(Qt::NoBrush);
            m_painter.drawRect(outer.adjusted(0, 0, -1, -1));
        }
        if (!m_dc.brush.null && inner.isValid())
            m_painter.fillRect(inner, m_dc.brush.color);
        break;
    }
    case Ellipse: {
        const QRectF box(map(r.i32(8), r.i32(12)), map(double(r.i32(16)) - 1, double(r.i32(20)) - 1));
        if (m_inPath) {
            m_path.addEllipse(box);
            break;
        }
        m_painter.setPen(qPen());
        m_painter.setBrush(qBrush());
        m_painter.drawEllipse(box);
        break;
    }
    case MoveTo:
        m_current = QPointF(r.i32(8), r.i32(12));
        if (m_inPath)
            m_path.moveTo(map(m_current.x(), m_current.y()));
        break;
    case LineTo: {
        const QPointF to(r.i32(8), r.i32(12));
        if (m_inPath) {
            m_path.lineTo(map(to.x(), to.y()));
        } else {
            m_painter.setPen(qPen());
            m_painter.drawLine(map(m_current.x(), m_current.y()), map(to.x(), to.y()));
        }
        m_current = to;
        break;
    }
    case Polygon: case Polyline: case Polygon16: case Polyline16: case PolyBezier: case PolyBezier16:
    case PolylineTo: case PolylineTo16: case PolyBezierTo: case PolyBezierTo16: {
        const bool shorts = type >= PolyBezier16;
        const QList<QPointF> pts = points(r, 24, shorts);
        if (pts.isEmpty())
            break;
        QPolygonF mapped;
        mapped.reserve(pts.size());
        for (const QPointF &p : pts)
            mapped.append(map(p.x(), p.y()));
        const bool to = type == PolylineTo || type == PolylineTo16 || type == PolyBezierTo || type == PolyBezierTo16;
        const bool bezier = type == PolyBezier || type == PolyBezier16 || type == PolyBezierTo || type == PolyBezierTo16;
        QPainterPath piece;
        qsizetype i = 0;
        if (to) {
            piece.moveTo(map(m_current.x(), m_current.y()));
        } else {
            piece.moveTo(mapped.first());
            i = 1;
        }
        if (bezier)
            for (; i + 2 < mapped.size(); i += 3)
                piece.cubicTo(mapped.at(i), mapped.at(i + 1), mapped.at(i + 2));
        else
            for (; i < mapped.size(); ++i)
                piece.lineTo(mapped.at(i));
        if (to)
            m_current = pts.constLast();
        if (m_inPath) {
            if (to && !m_path.isEmpty()) {
                for (int e = 1; e < piece.elementCount(); ++e) {
                    const QPainterPath::Element el = piece.elementAt(e);
                    if (el.type == QPainterPath::LineToElement)
                        m_path.lineTo(el.x, el.y);
                    else if (el.type == QPainterPath::CurveToElement && e + 2 < piece.elementCount()) {
                        m_path.cubicTo(QPointF(el.x, el.y), piece.elementAt(e + 1), piece.elementAt(e + 2));
                        e += 2;
                    }
                }
            } else {
                m_path.addPath(piece);
            }
            break;
        }
        const bool closed = type == Polygon || type == Polygon16;
        if (closed) {
            piece.closeSubpath();
            piece.setFillRule(m_dc.fillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
            m_painter.setPen(qPen());
            m_painter.setBrush(qBrush());
        } else {
            m_painter.setPen(qPen());
            m_painter.setBrush(Qt::NoBrush);
        }
        m_painter.drawPath(piece);
        break;
    }
    case BeginPath:
        m_inPath = true;
        m_path = QPainterPath();
        break;
    case EndPath: m_inPath = false; break;
    case CloseFigure:
        if (m_inPath)
            m_path.closeSubpath();
        break;
    case FillPath: drawPathNow(true, false); break;
    case StrokePath: drawPathNow(false, true); break;
    case StrokeAndFillPath: drawPathNow(true, true); break;
    case ExtTextOutW: text(r); break;
    case StretchDiBits: bitmap(r); break;
    default: break; // states without effect on the picture (ROP2 copy, stretch mode, comments)
    }
}

const TextFont &Player::fontFor(const Font &f)
{
    // A negative height is the em height; a positive one the cell height, of which the em is
    // most of it.
    const double em = std::abs(double(f.height)) * (f.height > 0 ? 0.82 : 1.0) * std::abs(scaleY());
    const int pixels = std::clamp(pixel(em > 0 ? em : 12 * std::abs(scaleY())), 1, 4000);
    const QString key = f.face + QLatin1Char('/') + QString::number(pixels) + QLatin1Char('/') + QString::number(f.weight)
        + QLatin1Char(f.italic ? 'i' : '-') + QLatin1Char(f.underline ? 'u' : '-') + QLatin1Char(f.strikeOut ? 's' : '-');
    auto found = m_textFonts.find(key);
    if (found != m_textFonts.end())
        return *found;
    if (m_textFonts.size() > 64)
        m_textFonts.clear();
    QFont font(f.face.isEmpty() ? QStringLiteral("Arial") : f.face);
    font.setPixelSize(pixels);
    font.setWeight(QFont::Weight(std::clamp(f.weight > 0 ? f.weight : 400, 1, 1000)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    return *m_textFonts.insert(key, TextFont{font, QRawFont::fromFont(font)});
}

void Player::text(const Record &r)
{
    // EMRTEXT at 36: reference, characters, offset of the string, options, rectangle, offset of Dx.
    const QPointF ref(r.i32(36), r.i32(40));
    const quint32 count = r.u32(44);
    const quint32 stringAt = r.u32(48);
    const quint32 options = r.u32(52);
    const quint32 dxAt = r.u32(72);
    if (count == 0 || count > 100000 || !r.has(stringAt, quint64(count) * 2))
        return;
    const QString text(reinterpret_cast<const QChar *>(r.data + stringAt), qsizetype(count));
    const bool haveDx = dxAt != 0 && r.has(dxAt, quint64(count) * 4);

    const Font &f = m_dc.font;
    const TextFont &textFont = fontFor(f);
    const QFont &font = textFont.font;
    const QRawFont &raw = textFont.raw;

    m_painter.save();
    if (options & 0x4) { // ETO_CLIPPED
        const QRect box = pixelRect(r.i32(56), r.i32(60), r.i32(64), r.i32(68));
        m_painter.setClipRect(box, Qt::IntersectClip);
    }
    if (options & 0x2) // ETO_OPAQUE
        m_painter.fillRect(pixelRect(r.i32(56), r.i32(60), r.i32(64), r.i32(68)), m_dc.bkColor);

    // Character positions along the baseline, from the advances the file gives.
    QList<double> xs(text.size(), 0.0);
    double width = 0;
    const double sx = scaleX();
    for (qsizetype i = 0; i < text.size(); ++i) {
        xs[i] = width;
        width += haveDx ? r.i32(dxAt + quint32(i) * 4) * sx : 0.0;
    }
    const QList<quint32> glyphs = raw.isValid() ? raw.glyphIndexesForString(text) : QList<quint32>();
    const bool simple = haveDx && glyphs.size() == text.size() && !glyphs.contains(0u);
    if (!haveDx) {
        width = QFontMetricsF(font).horizontalAdvance(text);
    }
    QPointF origin = map(ref.x(), ref.y());
    const quint32 align = m_dc.textAlign;
    if ((align & 6) == 6) // TA_CENTER
        origin.rx() -= width / 2;
    else if (align & 2) // TA_RIGHT
        origin.rx() -= width;
    if ((align & 24) == 0) // TA_TOP
        origin.ry() += raw.isValid() ? raw.ascent() : QFontMetricsF(font).ascent();
    else if ((align & 24) == 8) // TA_BOTTOM
        origin.ry() -= raw.isValid() ? raw.descent() : QFontMetricsF(font).descent();
    if (!m_dc.transparent && !(options & 0x2)) {
        const QFontMetricsF metrics(font);
        m_painter.fillRect(QRectF(origin.x(), origin.y() - metrics.ascent(), width, metrics.height()), m_dc.bkColor);
    }
    m_painter.setPen(m_dc.textColor);
    if (simple) {
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes(glyphs);
        QList<QPointF> positions;
        positions.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i)
            positions.append(QPointF(origin.x() + xs.at(i), origin.y()));
        run.setPositions(positions);
        run.setUnderline(f.underline);
        run.setStrikeOut(f.strikeOut);
        m_painter.drawGlyphRun(QPointF(0, 0), run);
    } else {
        m_painter.setFont(font);
        m_painter.drawText(origin, text);
    }
    m_painter.restore();
}

void Player::bitmap(const Record &r)
{
    // EMR_STRETCHDIBITS: bounds, destination, source, sizes, offsets of the header and the bits.
    const qint32 xDest = r.i32(24), yDest = r.i32(28);
    const qint32 xSrc = r.i32(32), ySrc = r.i32(36), cxSrc = r.i32(40), cySrc = r.i32(44);
    const quint32 bmiAt = r.u32(48), bmiSize = r.u32(52), bitsAt = r.u32(56), bitsSize = r.u32(60);
    const qint32 cxDest = r.i32(72), cyDest = r.i32(76);
    if (!r.has(bmiAt, std::max<quint32>(bmiSize, 40)) || !r.has(bitsAt, bitsSize))
        return;
    const qint32 width = r.i32(bmiAt + 4), height = r.i32(bmiAt + 8);
    const int bits = r.i16(bmiAt + 14);
    const quint32 compression = r.u32(bmiAt + 16);
    if (width <= 0 || height == 0 || width > 30000 || height > 30000 || height < -30000 || compression != 0)
        return;
    const int rows = height < 0 ? -height : height;
    const quint64 stride = ((quint64(width) * quint64(std::max(bits, 1)) + 31) / 32) * 4;
    if (stride * quint64(rows) > bitsSize || (bits != 24 && bits != 32 && bits != 8))
        return;
    QImage image(width, rows, QImage::Format_RGB32);
    QList<QRgb> palette;
    if (bits == 8) {
        const quint32 used = r.u32(bmiAt + 32) ? r.u32(bmiAt + 32) : 256;
        for (quint32 i = 0; i < std::min<quint32>(used, 256); ++i)
            palette.append(r.has(bmiAt + 40 + 4 * i, 4) ? (r.u32(bmiAt + 40 + 4 * i) | 0xff000000u) : 0xff000000u);
    }
    for (int y = 0; y < rows; ++y) {
        const uchar *src = reinterpret_cast<const uchar *>(r.data + bitsAt + stride * quint64(height > 0 ? rows - 1 - y : y));
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (bits == 32)
                dst[x] = qRgb(src[4 * x + 2], src[4 * x + 1], src[4 * x]);
            else if (bits == 24)
                dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
            else
                dst[x] = src[x] < palette.size() ? palette.at(src[x]) : 0xff000000u;
        }
    }
    const QRectF targetRect(map(xDest, yDest), map(double(xDest) + cxDest, double(yDest) + cyDest));
    m_painter.drawImage(targetRect.normalized(), image, QRectF(xSrc, ySrc, cxSrc, cySrc));
}

// The header's frame in device pixels of its reference device; empty when the header is bad.
QRectF headerFrame(const QByteArray &emf)
{
    const Record header{emf.constData(), quint32(std::min<qsizetype>(emf.size(), 88))};
    if (emf.size() < 88 || header.u32(0) != Header || header.u32(40) != 0x464D4520)
        return {};
    const double devW = header.i32(72), devH = header.i32(76), mmW = header.i32(80), mmH = header.i32(84);
    const double px = devW > 0 && mmW > 0 ? devW / (mmW * 100.0) : 96 / 2540.0;
    const double py = devH > 0 && mmH > 0 ? devH / (mmH * 100.0) : 96 / 2540.0;
    const QRectF frame(QPointF(header.i32(24) * px, header.i32(28) * py), QPointF(header.i32(32) * px, header.i32(36) * py));
    return frame.isValid() ? frame : QRectF();
}

} // namespace

bool EmfPlayer::canPlay(const QByteArray &emf)
{
    if (headerFrame(emf).isEmpty())
        return false;
    qsizetype at = 0;
    while (at + 8 <= emf.size()) {
        quint32 type, size;
        std::memcpy(&type, emf.constData() + at, 4);
        std::memcpy(&size, emf.constData() + at + 4, 4);
        if (size < 8 || size % 4 || qint64(size) > emf.size() - at || !playable(type))
            return false;
        if (type == Eof)
            return true;
        at += size;
    }
    return false;
}

QSizeF EmfPlayer::frameSize(const QByteArray &emf)
{
    const QRectF frame = headerFrame(emf);
    return frame.isEmpty() ? QSizeF() : frame.size();
}

bool EmfPlayer::play(const QByteArray &emf, QPainter &painter, const QRectF &target)
{
    if (!canPlay(emf) || target.isEmpty())
        return false;
    const QRectF frame = headerFrame(emf);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    Player player(painter, target, frame);
    qsizetype at = 0;
    while (at + 8 <= emf.size()) {
        quint32 size;
        std::memcpy(&size, emf.constData() + at + 4, 4);
        const Record record{emf.constData() + at, size};
        player.play(record);
        if (record.u32(0) == Eof)
            break;
        at += size;
    }
    painter.restore();
    return true;
}
