#include "editor/ui/menustyle.h"

#include "app/menupainting.h"

#include <QMenu>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace {

MenuItemView viewOf(const QStyleOptionMenuItem &option)
{
    MenuItemView view;
    const qsizetype tab = option.text.indexOf(QLatin1Char('\t'));
    view.caption = tab < 0 ? option.text : option.text.left(tab);
    view.shortcut = tab < 0 ? QString() : option.text.mid(tab + 1);
    if (!option.icon.isNull())
        view.icon = option.icon.pixmap(16, 16).toImage();   // always the enabled look
    view.checked = option.checkType != QStyleOptionMenuItem::NotCheckable && option.checked;
    view.enabled = option.state & QStyle::State_Enabled;
    view.selected = option.state & QStyle::State_Selected;
    view.hasImageList = true;
    return view;
}

// The column QMenu adds on its own for the shortcut texts: the widest shortcut in the menu's font.
// Our measuring already counts each item's shortcut, so this is taken off every item again.
int shortcutColumn(const QWidget *widget)
{
    const auto *menu = qobject_cast<const QMenu *>(widget);
    if (!menu)
        return 0;
    const QFontMetrics metrics = menu->fontMetrics();
    int widest = 0;
    for (const QAction *action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible())
            continue;
        const qsizetype tab = action->text().indexOf(QLatin1Char('\t'));
        if (tab >= 0)
            widest = qMax(widest, metrics.horizontalAdvance(action->text().mid(tab + 1)));
        else if (!action->shortcut().isEmpty())
            widest = qMax(widest, metrics.horizontalAdvance(action->shortcut().toString(QKeySequence::NativeText)));
    }
    return widest;
}

// The arrow of an item that opens a submenu, where the platform draws it: at the right of the
// caption line, in the text colour.
void paintSubmenuArrow(QPainter &painter, const QRect &item, const QColor &colour, int captionHeight)
{
    const int right = item.right() - 4;
    const int middle = item.top() + 6 + captionHeight / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(QPolygon{QPoint(right - 3, middle - 4), QPoint(right, middle - 1), QPoint(right, middle),
                                 QPoint(right - 3, middle + 3)});
    painter.restore();
}

} // namespace

OwnerDrawnMenuStyle::OwnerDrawnMenuStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

QSize OwnerDrawnMenuStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                            const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (type != CT_MenuItem || !item)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    QSize measured = item->menuItemType == QStyleOptionMenuItem::Separator ? MeasureSeparator(item->font, item->text)
                                                                            : MenuItemMeasureItem(item->font, viewOf(*item));
    measured.setWidth(qMax(1, measured.width() - shortcutColumn(widget)));
    return measured;
}

void OwnerDrawnMenuStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                      const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (element != CE_MenuItem || !item) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // Items are drawn as if they started at the left edge, so that the icon column keeps its width
    // inside the menu's frame.
    painter->save();
    painter->translate(item->rect.left(), 0);
    const QRect rect = item->rect.translated(-item->rect.left(), 0);
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        SeparatorDrawItem(*painter, rect, item->font, item->text, true);
    } else {
        const MenuItemView view = viewOf(*item);
        MenuItemDrawItem(*painter, rect, item->font, view);
        if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
            QFont bold = item->font;
            bold.setBold(true);
            const QFontMetrics metrics(bold);
            paintSubmenuArrow(*painter, rect, view.enabled ? MenuLook::EnabledText : MenuLook::DisabledText,
                              metrics.height() + metrics.leading());
        }
    }
    painter->restore();
}

void OwnerDrawnMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                        const QWidget *widget) const
{
    if (element != PE_FrameMenu) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // A one-pixel frame keeps the light menu apart from a white window behind it.
    painter->save();
    painter->setPen(MenuLook::Frame);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

int OwnerDrawnMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_MenuHMargin:
    case PM_MenuVMargin:
        return 0;   // items fill the menu inside its frame
    case PM_MenuPanelWidth:
        return 1;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int OwnerDrawnMenuStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                                   QStyleHintReturn *returnData) const
{
    if (hint == SH_Menu_SupportsSections)
        return 1;   // separators with a heading
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
