#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QStringList>

class QFont;
class QPainter;

// The text layouts of table cells, the same on screen, in bitmaps and in metafiles: layout is
// ours (word wrap, ellipsis, "&" prefixes) and only whole lines go to QPainter, so every device
// receives the same runs at the same places.
namespace CellText {

enum class Layout {
    SingleLeft,   // one line, left, vertically centred, ellipsis, "&" prefixes
    SingleCentre, // the same, centred horizontally
    WrapLeft,     // word-wrapped from the top; "&" drawn as itself
    WrapCentre,
    WrapRight,
};

// The lines of `text` broken at blanks to fit `width` pixels; a word wider than the width stays
// whole on a line of its own.
[[nodiscard]] QStringList wrap(const QString &text, const QFont &font, int width);
// The height word-wrapped text needs within `width` pixels: its lines times the font height.
[[nodiscard]] int wrappedHeight(const QString &text, const QFont &font, int width);

// A header text: "&" is taken away and marks the next character as underlined; "&&" is one "&".
struct Prefixed {
    QString text;
    int underlined = -1; // index in text, or -1
};
[[nodiscard]] Prefixed stripPrefixes(const QString &text);
// Shortens a line to fit `width` pixels, ending it with "..." when anything was cut.
[[nodiscard]] QString elide(const QString &text, const QFont &font, int width);

// Draws `text` in `rect`, clipped to it, in the font and colour given.
void draw(QPainter &painter, const QRect &rect, const QString &text, Layout layout, const QFont &font,
          const QColor &color);

} // namespace CellText
