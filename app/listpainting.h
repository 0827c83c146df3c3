#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>

class QPainter;

// The painting of list entries and menu items: the multi-colour gradient and the selection look,
// a rounded bar shaded from cream to amber that replaces the platform's highlight colour.

enum class GradientDirection {
    Across,   // colours change from left to right, drawn as vertical lines
    Down,     // colours change from top to bottom, drawn as horizontal lines
};

// Paints `rect` (right and bottom exclusive, as QRect's width and height give them) line by line
// with bands from each colour to the next. Throws Error "Please specify at least two colors." when
// fewer than two colours are given, and paints nothing then. The painter's pen is left unchanged.
void PaintGradient(QPainter &painter, const QRect &rect, GradientDirection direction, const QList<QColor> &colors);

// The rounded, shaded bar of a selected entry, clipped to a rounded rectangle, with its outline.
void paintSelectionLook(QPainter &painter, const QRect &rect);

// What differs between the two lists of the main window.
struct ListItemLook {
    QImage icon;            // drawn at its own size; pure white is transparent
    QPoint iconOffset;
    QPoint textOffset;
    QFont font;
    int itemHeight = 0;

    static ListItemLook category();   // lstCategory: 35 high, 32 x 32 icon, Tahoma 19 px bold
    static ListItemLook recipe();     // lstRecipe: 21 high, 16 x 16 icon, Tahoma 13 px
};

// One entry: the selection look when selected (else white), the icon, the text in black on one
// line, cut with an ellipsis at the item's right edge, and the dotted focus rectangle around the
// entry when it is the list's current one while the list has the keyboard focus.
void paintListItem(QPainter &painter, const QRect &rect, const QString &text, bool selected, const ListItemLook &look,
                   bool focused = false);
