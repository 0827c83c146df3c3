#pragma once

// The picture operations behind the application's gradient look: gradient fills in seven
// shapes, percentage blends, captions with a shadow or an embossed disabled look, a grey tint
// for disabled glyphs and edge smoothing from a picture drawn three times larger.
// All pictures are 24-bit colour (QImage::Format_RGB32, or ARGB32 where a glyph keeps its
// transparency); rounding follows the original arithmetic exactly (halves to even).

#include <QColor>
#include <QObject>
#include <QRect>

#include <QRegion>

class QImage;
class QPainter;
class QFont;
class QString;

namespace RbLook {
Q_NAMESPACE

enum TGradientType {
    gtHorizontal,
    gtVertical,
    gtFromTopLeft,
    gtFromTopRight,
    gtRadial,
    gtDoubleHorz,
    gtDoubleVert
};
Q_ENUM_NS(TGradientType)

// The interval of a widget's fade timer.
enum TFadeSpeed { fsSlow, fsMedium, fsFast, fsVeryFast };
Q_ENUM_NS(TFadeSpeed)

[[nodiscard]] int fadeInterval(TFadeSpeed speed); // milliseconds: 40, 20, 12, 8

// Fills rect (right and bottom exclusive) of the picture from `from` to `to`; with a region only
// the pixels inside it change. A rectangle too small for its type (no steps, such as a double
// gradient one pixel wide) is filled with the from colour.
void GradientFill(QImage &picture, const QRect &rect, const QColor &from, const QRegion *region,
                  TGradientType type, const QColor &to);

// target = round(a * target + (1 - a) * overlay(x - L, y - T)), a = (100 - percent) / 100,
// worked in whole numbers so that exact halves go to the even neighbour.
void BlendOver(QImage &target, const QImage &overlay, const QRect &rect, int percent);

// Copies base into target at (L + offset, T + offset), then blends overlay over rect at
// min(percent, 100) when percent > 0. Target and base may be the same picture.
void CopyAndBlend(QImage &target, const QImage &base, const QImage &overlay, int offset,
                  const QRect &rect, int percent);

// Draws text into rect with the Qt alignment and text flags; a one-line caption
// (Qt::TextSingleLine) that does not fit ends in an ellipsis. Enabled text gets an optional
// shadow one pixel right and down; disabled text is embossed in the palette's light and dark colours.
void DrawCaption(QPainter &painter, const QString &text, const QFont &font, const QColor &fontColor,
                 const QColor &shadowColor, bool shadowOn, int flags, const QRect &rect,
                 bool enabled);

// The button's caption flags: centred both ways, one line, "&" drawn as it is, ellipsis.
inline constexpr int ButtonCaptionFlags = Qt::AlignCenter | Qt::TextSingleLine;

// Greys every pixel: g = (r + g + b) / 3, new channel = min(tint + g, 255). Alpha is kept.
void TintDisabled(QImage &picture, const QColor &tint);

// Averages the edge strip of target (strip / 2 pixels from each side) from `large`, the same
// content drawn `factor` times larger, then fills the inside flat with `colour`.
void SmoothEdges(const QImage &large, QImage &target, int factor, const QColor &colour, int strip);

} // namespace RbLook

namespace RbLook {

// The dotted focus rectangle: every other pixel of the outline inverted, so it shows on any face.
void DrawFocusRect(QPainter &painter, const QRect &rect);

// The pixels of a rectangle whose corners are rounded by a circle `ellipse` pixels across
// (at most the rectangle's width and height): a corner pixel belongs when its centre lies in the
// circle, so a 5-pixel ellipse cuts one pixel from each corner. Symmetric on both axes.
[[nodiscard]] QRegion RoundRectRegion(const QRect &rect, int ellipse);

// The band a pen `penWidth` pixels wide paints along that shape's edge, wholly inside rect.
[[nodiscard]] QRegion RoundRectBorder(const QRect &rect, int ellipse, int penWidth);

// Fills the part of the region inside the picture with one colour.
void FillRegion(QImage &picture, const QRegion &region, const QColor &colour);

} // namespace RbLook
