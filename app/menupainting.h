#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

// The painting of the editor's owner-drawn popup menu: command items with an icon column, a
// caption, a right-aligned shortcut and a hint line, and separators that may carry a bold heading.
// Measures count the font's external leading in the line height.

struct MenuItemView {
    QString caption;
    QString shortcut;    // display text, such as "Ctrl+X"; empty for none
    QString hint;        // second line; empty text still takes a line
    QImage icon;         // null for none
    bool checked = false;
    bool enabled = true;
    bool selected = false;
    bool hasImageList = true;
};

namespace MenuLook {
constexpr int IconColumn = 26;   // right edge of the icon column
inline const QColor EnabledText{0, 21, 110};
inline const QColor DisabledText{192, 192, 192};
inline const QColor Frame{158, 158, 158}; // the popup's own one-pixel frame
}

[[nodiscard]] QSize MenuItemMeasureItem(const QFont &font, const MenuItemView &item);
void MenuItemDrawItem(QPainter &painter, const QRect &rect, const QFont &font, const MenuItemView &item);

[[nodiscard]] QSize MeasureSeparator(const QFont &font, const QString &hint);
void SeparatorDrawItem(QPainter &painter, const QRect &rect, const QFont &font, const QString &hint,
                       bool hasImageList);
