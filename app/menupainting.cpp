#include "app/menupainting.h"

#include "app/listpainting.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor Background(250, 250, 250);
const QList<QColor> ColumnAcross{QColor(223, 238, 247), QColor(124, 168, 211), QColor(124, 168, 211)};
const QList<QColor> Highlight{QColor(255, 245, 221), QColor(255, 245, 221), QColor(255, 210, 94)};
const QColor Outline(197, 197, 197);
const QColor CheckFrame(158, 158, 158);
const QColor EnabledText = MenuLook::EnabledText;
const QColor DisabledText = MenuLook::DisabledText;
const QColor HeadingBackground(221, 231, 238);

QFont bold(QFont font)
{
    font.setBold(true);
    return font;
}

QFont regular(QFont font)
{
    font.setBold(false);
    return font;
}

// A text's extent with the external leading counted in its height; an empty text is one line.
QSize measure(const QFont &font, const QString &text)
{
    const QFontMetrics metrics(font);
    return QSize(metrics.horizontalAdvance(text), metrics.height() + metrics.leading());
}

// The platform's small check mark, drawn by us: 12 x 12 with white as the transparent colour.
QImage checkMark()
{
    QImage image(12, 12, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawPolyline(QPolygon{QPoint(2, 6), QPoint(5, 9), QPoint(10, 3)});
    return image;
}

void paintIconColumn(QPainter &painter, const QRect &rect, bool checked)
{
    const QRect column(rect.left(), rect.top(), MenuLook::IconColumn - rect.left(), rect.height());
    if (checked)
        PaintGradient(painter, column, GradientDirection::Down, Highlight);
    else
        PaintGradient(painter, column, GradientDirection::Across, ColumnAcross);
}

} // namespace

QSize MenuItemMeasureItem(const QFont &font, const MenuItemView &item)
{
    QSize caption = measure(bold(font), item.caption);
    if (!item.shortcut.isEmpty())
        caption.rwidth() += measure(bold(font), item.shortcut).width() + 8;
    const QSize hint = measure(regular(font), item.hint);
    int width = qMax(caption.width(), hint.width()) + 8;
    if (item.hasImageList)
        width += MenuLook::IconColumn;
    return QSize(width, caption.height() + hint.height() + 13);
}

void MenuItemDrawItem(QPainter &painter, const QRect &rect, const QFont &font, const MenuItemView &item)
{
    painter.save();
    const int captionHeight = measure(bold(font), item.caption).height();
    painter.fillRect(rect, Background);
    if (item.hasImageList)
        paintIconColumn(painter, rect, item.checked);

    if (item.selected && item.enabled) {
        painter.save();
        QPainterPath rounded;
        rounded.addRoundedRect(QRectF(rect), 2.5, 2.5);
        painter.setClipPath(rounded, Qt::IntersectClip);
        if (!item.hint.isEmpty()) {
            const int split = rect.top() + captionHeight + 8;
            PaintGradient(painter, QRect(rect.left(), rect.top(), rect.width(), split - rect.top()),
                          GradientDirection::Down, Highlight);
            PaintGradient(painter, QRect(rect.left(), split, rect.width(), rect.bottom() + 1 - split),
                          GradientDirection::Down, Highlight);
        } else {
            PaintGradient(painter, rect, GradientDirection::Down, Highlight);
        }
        painter.restore();
        painter.setBrush(Qt::NoBrush);
        painter.setPen(Outline);
        painter.drawRoundedRect(QRect(rect.left(), rect.top(), rect.width() - 1, rect.height() - 1), 2.5, 2.5);
    }

    const int textLeft = rect.left() + (item.hasImageList ? 30 : 4);
    const QRect captionArea(QPoint(textLeft, rect.top() + 6), QPoint(rect.right() - 4, rect.bottom()));
    painter.setFont(regular(font));
    painter.setPen(item.enabled ? EnabledText : DisabledText);
    painter.drawText(captionArea, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic, item.caption);

    if (item.checked) {
        painter.setPen(CheckFrame);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(rect.left(), rect.top(), MenuLook::IconColumn - rect.left() - 1, rect.height() - 1));
        if (item.icon.isNull()) {
            const QImage mark = checkMark();
            const int left = rect.left() + (MenuLook::IconColumn - rect.left() - mark.width()) / 2 + 1;
            const int top = rect.top() + (rect.height() - mark.height()) / 2 - 1;
            painter.drawImage(left, top, mark);
        }
        painter.setPen(item.enabled ? EnabledText : DisabledText);
    }
    if (!item.shortcut.isEmpty())
        painter.drawText(captionArea, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, item.shortcut);
    painter.drawText(QRect(QPoint(textLeft, rect.top() + captionHeight + 10), QPoint(rect.right() - 4, rect.bottom())),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, item.hint);
    if (!item.icon.isNull() && item.hasImageList)
        painter.drawImage(rect.left() + 4, rect.top() + 5, item.icon);
    painter.restore();
}

QSize MeasureSeparator(const QFont &font, const QString &hint)
{
    if (hint.isEmpty())
        return QSize(10, 3);
    const QSize text = measure(bold(font), hint);
    return QSize(text.width() + 14, text.height() + 8);
}

void SeparatorDrawItem(QPainter &painter, const QRect &rect, const QFont &font, const QString &hint, bool hasImageList)
{
    painter.save();
    if (!hint.isEmpty()) {
        painter.fillRect(rect, HeadingBackground);
        painter.setFont(bold(font));
        painter.setPen(EnabledText);
        const QRect area(QPoint(rect.left() + (hasImageList ? 10 : 4), rect.top()), QPoint(rect.right() - 4, rect.bottom()));
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, hint);
    } else {
        if (hasImageList)
            paintIconColumn(painter, rect, false);
        painter.fillRect(QRect(rect.left() + MenuLook::IconColumn, rect.bottom() - 1, rect.right() - rect.left() - MenuLook::IconColumn + 1, 1), Outline);
    }
    painter.restore();
}
