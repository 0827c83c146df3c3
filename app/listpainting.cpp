#include "app/listpainting.h"

#include "store/error.h"
#include "widgets/gradient.h"

#include <QBitmap>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace {

const QList<QColor> SelectionColors{QColor(255, 245, 221), QColor(255, 245, 221), QColor(255, 210, 94)};
const QColor SelectionOutline(197, 197, 197);

// Pure white is the transparent colour of the list icons.
QImage withoutWhite(const QImage &image)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if ((line[x] & 0x00ffffff) == 0x00ffffff)
                line[x] = 0;
        }
    }
    return result;
}

QFont tahoma(int pixels, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

void PaintGradient(QPainter &painter, const QRect &rect, GradientDirection direction, const QList<QColor> &colors)
{
    const int bands = int(colors.size()) - 1;
    if (bands < 1)
        throw Error(QCoreApplication::translate("PaintGradient", "Please specify at least two colors."));
    const int extent = direction == GradientDirection::Across ? rect.width() : rect.height();
    // Halves go to the even neighbour: 17.5 gives 18, 10.5 gives 10.
    const int step = int(std::nearbyint(double(extent) / bands));
    const QPen pen = painter.pen();
    const bool antialiased = painter.testRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int band = 0; band < bands; ++band) {
        const int count = band == bands - 1 ? extent - band * step - 1 : step;
        const QColor from = colors.at(band).toRgb();
        const QColor to = colors.at(band + 1).toRgb();
        for (int j = 0; j <= count; ++j) {
            const int pos = band * step + j;
            const double t = count == 0 ? 0.0 : double(j) / count;   // a one-line band shows its first colour
            const QColor color(int((to.red() - from.red()) * t + from.red()),
                               int((to.green() - from.green()) * t + from.green()),
                               int((to.blue() - from.blue()) * t + from.blue()));
            if (direction == GradientDirection::Across)
                painter.fillRect(QRect(rect.left() + pos, rect.top(), 1, rect.height()), color);
            else
                painter.fillRect(QRect(rect.left(), rect.top() + pos, rect.width(), 1), color);
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, antialiased);
    painter.setPen(pen);
}

void paintSelectionLook(QPainter &painter, const QRect &rect)
{
    painter.save();
    painter.setClipRegion(RbLook::RoundRectRegion(rect, 5), Qt::IntersectClip);
    PaintGradient(painter, rect, GradientDirection::Down, SelectionColors);
    // The outline's rectangle ends one pixel short of the entry's (its right and bottom are
    // exclusive), so the last line and column keep the gradient.
    const QRegion outline = RbLook::RoundRectBorder(QRect(rect.topLeft(), rect.size() - QSize(1, 1)), 5, 1);
    for (const QRect &part : outline)
        painter.fillRect(part, SelectionOutline);
    painter.restore();
}

ListItemLook ListItemLook::category()
{
    ListItemLook look;
    look.icon = withoutWhite(QImage(QStringLiteral(":/icons/category32.png")));
    look.iconOffset = QPoint(2, 1);
    look.textOffset = QPoint(40, 4);
    look.font = tahoma(19, true);
    look.itemHeight = 35;
    return look;
}

ListItemLook ListItemLook::recipe()
{
    ListItemLook look;
    look.icon = withoutWhite(QImage(QStringLiteral(":/icons/recipe16.png")));
    look.iconOffset = QPoint(2, 2);
    look.textOffset = QPoint(20, 2);
    look.font = tahoma(13, false);
    look.itemHeight = 21;
    return look;
}

void paintListItem(QPainter &painter, const QRect &rect, const QString &text, bool selected, const ListItemLook &look,
                   bool focused)
{
    if (selected)
        paintSelectionLook(painter, rect);
    else
        painter.fillRect(rect, Qt::white);
    painter.drawImage(rect.topLeft() + look.iconOffset, look.icon);
    painter.setFont(look.font);
    painter.setPen(Qt::black);
    const QRect textRect(rect.topLeft() + look.textOffset, QPoint(rect.right(), rect.bottom()));
    const QString shown = QFontMetrics(look.font).elidedText(text, Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
    // Drawn here rather than by the style, which shows it only after Tab and never after the
    // arrow keys move the current entry.
    if (focused)
        RbLook::DrawFocusRect(painter, rect);
}
