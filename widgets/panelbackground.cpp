#include "widgets/panelbackground.h"

#include <QRegion>

#include <algorithm>

using namespace RbLook;

namespace {

constexpr int Factor = 3;

// The border rectangle (h, top, a * width - h, a * height - h), right and bottom exclusive, with
// its top lowered under a group-box caption, as regions of the full picture: its rounded inside
// and the band its pen paints. The pen is centred on the rectangle's outline, so a pen p wide
// covers p pixels from each outer edge inwards alike; a pen of width 0 is a one-pixel hairline.
struct Outline {
    QRegion inside;
    QRegion border;
};

Outline outlineFor(const PanelLook &look, QSize size, int a)
{
    const int penWidth = a * look.borderWidth - 1;
    const int half = penWidth / 2;
    const int top = half + a * look.groupBoxTextHeight / 2;
    const int right = a * size.width() - half, bottom = a * size.height() - half;
    const int ellipse = a * look.cornerWidth;
    Outline o;
    o.inside = RoundRectRegion(QRect(QPoint(half, top), QPoint(right - 1, bottom - 1)), ellipse);
    if (penWidth >= 0) {
        const int pen = std::max(penWidth, 1);
        // The pen reaches from the picture's edges (and the lowered top) inwards.
        const QRect outer(QPoint(0, top - half), QPoint(a * size.width() - 1, a * size.height() - 1));
        o.border = RoundRectBorder(outer, ellipse > 0 ? ellipse + pen - 1 : 0, pen);
    }
    return o;
}

// Draws the border and inside into `work`, whose pixel (0, 0) is `origin` of the full picture.
void drawOutline(QImage &work, const PanelLook &look, const Outline &o, QPoint origin)
{
    work.fill(look.outerColor);
    const QRegion inside = o.inside.translated(-origin);
    if (look.gradient) {
        // Only the plain (not smoothed) picture has a gradient, and it is drawn whole.
        Q_ASSERT(origin.isNull());
        GradientFill(work, work.rect(), look.defaultFrom, &inside, look.gradientType, look.defaultTo);
    } else {
        FillRegion(work, inside, look.color);
    }
    FillRegion(work, o.border.translated(-origin), look.borderColor);
}

// Averages factor x factor blocks of `large` (whose (0, 0) is area's top left, scaled) into area.
void averageInto(const QImage &large, QImage &target, const QRect &area)
{
    const int n = Factor * Factor;
    for (int y = 0; y < area.height(); ++y) {
        auto *out = reinterpret_cast<QRgb *>(target.scanLine(area.top() + y)) + area.left();
        for (int x = 0; x < area.width(); ++x) {
            int r = 0, g = 0, b = 0;
            for (int j = 0; j < Factor; ++j) {
                const auto *in = reinterpret_cast<const QRgb *>(large.constScanLine(Factor * y + j))
                                 + Factor * x;
                for (int i = 0; i < Factor; ++i) {
                    r += qRed(in[i]);
                    g += qGreen(in[i]);
                    b += qBlue(in[i]);
                }
            }
            out[x] = qRgb(r / n, g / n, b / n);
        }
    }
}

} // namespace

QImage PanelBackgroundReference(const PanelLook &look, QSize size)
{
    const int a = look.antialiased ? Factor : 1;
    const QSize s = size.expandedTo(QSize(1, 1));
    const PanelLook used = [&] {
        PanelLook l = look;
        l.gradient = look.gradient && !look.antialiased;
        return l;
    }();
    QImage work(a * s, QImage::Format_RGB32);
    drawOutline(work, used, outlineFor(used, s, a), QPoint(0, 0));
    if (!look.antialiased)
        return work;
    QImage background(s, QImage::Format_RGB32);
    SmoothEdges(work, background, Factor, look.color, look.cornerWidth + 20);
    return background;
}

QImage PanelBackground(const PanelLook &look, QSize size)
{
    const QSize s = size.expandedTo(QSize(1, 1));
    const int W = s.width(), H = s.height();
    const int strip = (look.cornerWidth + 20) / 2;
    // Small panels are mostly strip: the whole picture is as cheap and the bands would overlap.
    if (!look.antialiased || W < 2 * strip + 2 || H < 2 * strip + 2)
        return PanelBackgroundReference(look, size);
    PanelLook used = look;
    used.gradient = false;
    const Outline outline = outlineFor(used, s, Factor);

    QImage background(s, QImage::Format_RGB32);
    // The averaged pixels are those with x <= s, y <= s, x >= W - s or y >= H - s.
    const QRect bands[] = {
        QRect(0, 0, W, strip + 1),
        QRect(0, H - strip, W, strip),
        QRect(0, strip + 1, strip + 1, H - 2 * strip - 1),
        QRect(W - strip, strip + 1, strip, H - 2 * strip - 1),
    };
    for (const QRect &area : bands) {
        QImage large(area.size() * Factor, QImage::Format_RGB32);
        drawOutline(large, used, outline, area.topLeft() * Factor);
        averageInto(large, background, area);
    }
    const QRect inside(strip, strip, W - 2 * strip, H - 2 * strip);
    if (!inside.isEmpty()) {
        const QRgb c = look.color.rgb();
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(background.scanLine(y));
            std::fill(line + inside.left(), line + inside.right() + 1, c);
        }
    }
    return background;
}
