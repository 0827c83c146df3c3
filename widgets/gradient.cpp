#include "widgets/gradient.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <vector>

namespace RbLook {

namespace {

// Nearest integer, halves to even (the default floating-point rounding mode).
inline long roundEven(double v) { return std::lrint(v); }

inline QRgb *scan(QImage &img, int y) { return reinterpret_cast<QRgb *>(img.scanLine(y)); }
inline const QRgb *scan(const QImage &img, int y)
{
    return reinterpret_cast<const QRgb *>(img.constScanLine(y));
}

bool isPixelImage(const QImage &img)
{
    return img.depth() == 32;
}

// Colour of distance d, channels kept in their low 8 bits as the original did.
struct Ramp {
    double step[3];
    int base[3];
    QRgb at(double d) const
    {
        const int r = int(roundEven(step[0] * d + base[0])) & 0xff;
        const int g = int(roundEven(step[1] * d + base[1])) & 0xff;
        const int b = int(roundEven(step[2] * d + base[2])) & 0xff;
        return qRgb(r, g, b);
    }
};

} // namespace

int fadeInterval(TFadeSpeed speed)
{
    switch (speed) {
    case fsSlow: return 40;
    case fsMedium: return 20;
    case fsFast: return 12;
    case fsVeryFast: return 8;
    }
    return 20;
}

void GradientFill(QImage &picture, const QRect &rect, const QColor &from, const QRegion *region,
                  TGradientType type, const QColor &to)
{
    if (picture.width() < 1 || picture.height() < 1 || !isPixelImage(picture))
        return;
    const int L = rect.left(), T = rect.top();
    const int R = L + rect.width(), B = T + rect.height();
    const QRect area = QRect(L, T, R - L, B - T).intersected(picture.rect());
    if (area.isEmpty())
        return;
    QRegion clip = region ? (*region & area) : QRegion(area);
    if (clip.isEmpty())
        return;

    const QRgb c1 = from.rgb(), c2 = to.rgb();
    if (from.rgb() == to.rgb()) {
        const QRgb flat = c1 | 0xff000000u;
        for (const QRect &r : clip)
            for (int y = r.top(); y <= r.bottom(); ++y)
                std::fill(scan(picture, y) + r.left(), scan(picture, y) + r.right() + 1, flat);
        return;
    }

    const int w = R - L, h = B - T;
    const int D = int(roundEven(std::sqrt(double(w) * w + double(h) * h)));
    int n = 0;
    switch (type) {
    case gtHorizontal: n = w; break;
    case gtVertical: n = h; break;
    case gtFromTopLeft:
    case gtFromTopRight: n = D - L; break;
    case gtRadial: n = (D - L) / 2; break;
    case gtDoubleHorz: n = w / 2; break;
    case gtDoubleVert: n = h / 2; break;
    }

    Ramp ramp{};
    const int from3[3] = {qRed(c1), qGreen(c1), qBlue(c1)};
    const int to3[3] = {qRed(c2), qGreen(c2), qBlue(c2)};
    for (int k = 0; k < 3; ++k) {
        ramp.base[k] = from3[k];
        // With no steps the whole rectangle keeps the from colour instead of dividing by zero.
        ramp.step[k] = n != 0 ? std::min(double(to3[k] - from3[k]) / n, 255.0) : 0.0;
    }

    const bool byColumn = type == gtHorizontal || type == gtDoubleHorz;
    const bool byRow = type == gtVertical || type == gtDoubleVert;
    std::vector<QRgb> columns;
    if (byColumn) {
        columns.resize(size_t(w));
        for (int x = L; x < R; ++x)
            columns[size_t(x - L)] = ramp.at(type == gtHorizontal ? x - L : std::abs(x - n - L));
    }

    for (const QRect &r : clip) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            QRgb *line = scan(picture, y);
            if (byRow) {
                const QRgb c = ramp.at(type == gtVertical ? y - T : std::abs(y - n - T));
                std::fill(line + r.left(), line + r.right() + 1, c);
                continue;
            }
            if (byColumn) {
                std::copy(columns.begin() + (r.left() - L), columns.begin() + (r.right() + 1 - L),
                          line + r.left());
                continue;
            }
            for (int x = r.left(); x <= r.right(); ++x) {
                double d = 0;
                if (type == gtFromTopLeft)
                    d = std::sqrt(double(x - L) * (x - L) + double(y - T) * (y - T));
                else if (type == gtFromTopRight)
                    d = std::sqrt(double(R - x) * (R - x) + double(y - T) * (y - T));
                else // gtRadial: the centre comes from the size alone
                    d = std::sqrt(double(w / 2 - x) * (w / 2 - x) + double(y - h / 2) * (y - h / 2));
                line[x] = ramp.at(d);
            }
        }
    }
}

void BlendOver(QImage &target, const QImage &overlay, const QRect &rect, int percent)
{
    if (!isPixelImage(target) || !isPixelImage(overlay))
        return;
    const QRect area = rect.intersected(target.rect());
    if (area.isEmpty())
        return;
    // In hundredths: (100 - p) * target + p * overlay, divided by 100 with halves to even. The
    // same sum in floating point lands a hair beside .5 for most p and rounds the wrong way.
    const int take = std::clamp(percent, 0, 100), keep = 100 - take;
    // Every channel of every pixel takes one of 256 x 256 values; a table keeps a fade tick cheap.
    std::vector<quint8> table(256 * 256);
    for (int t = 0; t < 256; ++t) {
        for (int o = 0; o < 256; ++o) {
            const int sum = keep * t + take * o;
            int value = sum / 100;
            const int rest = sum % 100;
            if (rest > 50 || (rest == 50 && (value & 1)))
                ++value;
            table[size_t(t * 256 + o)] = quint8(std::clamp(value, 0, 255));
        }
    }
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const int oy = y - rect.top();
        if (oy >= overlay.height())
            break;
        QRgb *line = scan(target, y);
        const QRgb *over = scan(overlay, oy);
        const int xEnd = std::min(area.right(), rect.left() + overlay.width() - 1);
        for (int x = area.left(); x <= xEnd; ++x) {
            const QRgb t = line[x], o = over[x - rect.left()];
            line[x] = qRgba(table[size_t(qRed(t) * 256 + qRed(o))],
                            table[size_t(qGreen(t) * 256 + qGreen(o))],
                            table[size_t(qBlue(t) * 256 + qBlue(o))], qAlpha(t));
        }
    }
}

void CopyAndBlend(QImage &target, const QImage &base, const QImage &overlay, int offset,
                  const QRect &rect, int percent)
{
    if (!isPixelImage(target) || !isPixelImage(base))
        return;
    const QImage source = (&target == &base) ? base.copy() : base;
    const int bw = rect.width() - offset, bh = rect.height() - offset;
    const int dx = rect.left() + offset, dy = rect.top() + offset;
    for (int y = 0; y < bh && y < source.height(); ++y) {
        if (dy + y < 0 || dy + y >= target.height())
            continue;
        const QRgb *from = scan(source, y);
        QRgb *to = scan(target, dy + y);
        for (int x = 0; x < bw && x < source.width(); ++x)
            if (dx + x >= 0 && dx + x < target.width())
                to[dx + x] = from[x];
    }
    if (percent > 0)
        BlendOver(target, overlay, rect, std::min(percent, 100));
}

void DrawCaption(QPainter &painter, const QString &text, const QFont &font, const QColor &fontColor,
                 const QColor &shadowColor, bool shadowOn, int flags, const QRect &rect,
                 bool enabled)
{
    painter.save();
    painter.setFont(font);
    QString shown = text;
    if (flags & Qt::TextSingleLine) {
        const QFontMetrics metrics(font);
        shown = metrics.elidedText(text, Qt::ElideRight, rect.width(),
                                   flags & (Qt::TextShowMnemonic | Qt::TextSingleLine));
    }
    const QPalette palette = QGuiApplication::palette();
    const QColor under = enabled ? shadowColor : palette.color(QPalette::Light);
    const QColor over = enabled ? fontColor : palette.color(QPalette::Dark);
    if (!enabled || shadowOn) {
        painter.setPen(under);
        painter.drawText(rect.translated(1, 1), flags, shown);
    }
    painter.setPen(over);
    painter.drawText(rect, flags, shown);
    painter.restore();
}

void TintDisabled(QImage &picture, const QColor &tint)
{
    if (!isPixelImage(picture))
        return;
    const int tr = tint.red(), tg = tint.green(), tb = tint.blue();
    for (int y = 0; y < picture.height(); ++y) {
        QRgb *line = scan(picture, y);
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = line[x];
            const int g = (qRed(p) + qGreen(p) + qBlue(p)) / 3;
            line[x] = qRgba(std::min(tr + g, 255), std::min(tg + g, 255), std::min(tb + g, 255),
                            qAlpha(p));
        }
    }
}

void SmoothEdges(const QImage &large, QImage &target, int factor, const QColor &colour, int strip)
{
    if (!isPixelImage(target) || factor < 1)
        return;
    const int W = target.width(), H = target.height();
    const int s = strip / 2;
    const int area = factor * factor;
    const bool readable = isPixelImage(large);
    for (int y = 0; y < H && readable; ++y) {
        // A large picture too small to cover this row stops the averaging; the fill still happens.
        if (factor * y + factor > large.height())
            break;
        const bool wholeRow = y <= s || y >= H - s;
        QRgb *out = scan(target, y);
        for (int x = 0; x < W; ++x) {
            if (!wholeRow && x > s && x < W - s) {
                x = W - s - 1; // jump over the flat inside
                continue;
            }
            if (factor * x + factor > large.width())
                break;
            int r = 0, g = 0, b = 0;
            for (int j = 0; j < factor; ++j) {
                const QRgb *in = scan(large, factor * y + j) + factor * x;
                for (int i = 0; i < factor; ++i) {
                    r += qRed(in[i]);
                    g += qGreen(in[i]);
                    b += qBlue(in[i]);
                }
            }
            out[x] = qRgb(r / area, g / area, b / area);
        }
    }
    const QRect inside(s, s, W - 2 * s, H - 2 * s);
    if (!inside.isEmpty()) {
        const QRgb c = colour.rgb();
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            std::fill(scan(target, y) + inside.left(), scan(target, y) + inside.right() + 1, c);
    }
}

} // namespace RbLook

namespace RbLook {

void DrawFocusRect(QPainter &painter, const QRect &rect)
{
    if (rect.width() < 1 || rect.height() < 1)
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255));
    // Walk the outline once, so corners are inverted a single time.
    const int l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
    QPolygon dots;
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            dots << QPoint(x, y);
    };
    for (int x = l; x <= r; ++x)
        dot(x, t);
    for (int y = t + 1; y <= b; ++y)
        dot(r, y);
    if (b > t)
        for (int x = r - 1; x >= l; --x)
            dot(x, b);
    if (r > l)
        for (int y = b - 1; y > t; --y)
            dot(l, y);
    for (const QPoint &p : dots)
        painter.fillRect(p.x(), p.y(), 1, 1, Qt::white);
    painter.restore();
}

} // namespace RbLook

namespace RbLook {

QRegion RoundRectRegion(const QRect &rect, int ellipse)
{
    if (rect.isEmpty())
        return {};
    const int e = std::min({ellipse, rect.width(), rect.height()});
    if (e < 2)
        return QRegion(rect);
    // Twice the distances, so the test "centre inside the circle" stays in whole numbers:
    // (2x - (e - 1))^2 + (2j - (e - 1))^2 <= e^2 for the pixel x of row j of a corner.
    const int rows = e / 2;
    std::vector<int> inset(size_t(rows), 0);
    for (int j = 0; j < rows; ++j) {
        const int dy = 2 * j - (e - 1);
        int x = 0;
        while (x < rows && (2 * x - (e - 1)) * (2 * x - (e - 1)) + dy * dy > e * e)
            ++x;
        inset[size_t(j)] = x;
    }
    QRegion region;
    const int top = rect.top(), bottom = rect.bottom();
    for (int y = top; y <= bottom;) {
        const int j = std::min(y - top, bottom - y);
        const int cut = j < rows ? inset[size_t(j)] : 0;
        // Rows past the corners share one rectangle.
        const int last = j < rows ? y : bottom - rows;
        region += QRect(rect.left() + cut, y, rect.width() - 2 * cut, last - y + 1);
        y = last + 1;
    }
    return region;
}

QRegion RoundRectBorder(const QRect &rect, int ellipse, int penWidth)
{
    if (penWidth < 1 || rect.isEmpty())
        return {};
    const int e = std::min({ellipse, rect.width(), rect.height()});
    const QRect inner = rect.adjusted(penWidth, penWidth, -penWidth, -penWidth);
    return RoundRectRegion(rect, e) - RoundRectRegion(inner, std::max(0, e - 2 * penWidth));
}

void FillRegion(QImage &picture, const QRegion &region, const QColor &colour)
{
    if (!isPixelImage(picture))
        return;
    const QRgb c = colour.rgb();
    for (const QRect &r : region) {
        const QRect area = r.intersected(picture.rect());
        for (int y = area.top(); y <= area.bottom(); ++y)
            std::fill(scan(picture, y) + area.left(), scan(picture, y) + area.right() + 1, c);
    }
}

} // namespace RbLook
