#include "editor/ui/menustyle.h"

#include "app/menupainting.h"

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
    if (item->menuItemType == QStyleOptionMenuItem::Separator)
        return MeasureSeparator(item->font, item->text);
    return MenuItemMeasureItem(item->font, viewOf(*item));
}

void OwnerDrawnMenuStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                      const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (element != CE_MenuItem || !item) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    if (item->menuItemType == QStyleOptionMenuItem::Separator)
        SeparatorDrawItem(*painter, item->rect, item->font, item->text, true);
    else
        MenuItemDrawItem(*painter, item->rect, item->font, viewOf(*item));
}

int OwnerDrawnMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_MenuHMargin:
    case PM_MenuVMargin:
    case PM_MenuPanelWidth:
        return 0;   // items start at the menu's left edge, where the icon column is measured from
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
