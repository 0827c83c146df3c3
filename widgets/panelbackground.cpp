#include "widgets/panelbackground.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegion>

using namespace RbLook;

namespace {

constexpr int Factor = 3;

struct Outline {
    QRect border;
    qreal corner = 0;
    int penWidth = 0;
};

Outline outlineFor(const PanelLook &look, QSize size, int a)
{
    Outline o;
    o.penWidth = a * look.borderWidth - 1;
    const int half = o.penWidth / 2;
    const int top = half + a * look.groupBoxTextHeight / 2;
    o.border = QRect(QPoint(half, top), QPoint(a * size.width() - half - 1, a * size.height() - half - 1));
    o.corner = a * look.cornerWidth / 2.0; // the corner ellipse is a * CornerWidth across
    return o;
}

// Draws the border and inside into `work`, whose pixel (0, 0) is `origin` of the full picture.
void drawOutline(QImage &work, const PanelLook &look, const Outline &o, QPoint origin)
{
    work.fill(look.outerColor);
    if (look.gradient) {
        QPainterPath path;
        path.addRoundedRect(o.border, o.corner, o.corner);
        // Only the plain (not smoothed) picture has a gradient, and it is drawn whole.
        Q_ASSERT(origin.isNull());
        const QRegion region(path.toFillPolygon().toPolygon());
        GradientFill(work, work.rect(), look.defaultFrom, &region, look.gradientType, look.defaultTo);
    }
    QPainter p(&work);
    p.translate(-origin);
    if (o.penWidth > 0)
        p.setPen(QPen(look.borderColor, o.penWidth));
    else
        p.setPen(Qt::NoPen);
    p.setBrush(look.gradient ? QBrush(Qt::NoBrush) : QBrush(look.color));
    p.drawRoundedRect(o.border, o.corner, o.corner);
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
