#pragma once

#include <QProxyStyle>

// Draws a popup menu in the editor's own look: every command item and separator is measured and
// painted by the menu painting routines. Set on one menu with QWidget::setStyle.
class OwnerDrawnMenuStyle : public QProxyStyle
{
    Q_OBJECT
public:
    OwnerDrawnMenuStyle();

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override;
};
