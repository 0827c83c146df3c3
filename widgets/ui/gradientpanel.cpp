#include "widgets/ui/gradientpanel.h"


#include <QEvent>
#include <QLayout>
#include <QFontMetrics>
#include <QPainter>

using namespace RbLook;

GradientPanel::GradientPanel(QWidget *parent)
    : QWidget(parent)
{
    resize(185, 105);
    updateMargins();
}

void GradientPanel::setCaption(const QString &caption)
{
    m_caption = caption;
    setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    lookChanged(); // a group box caption moves the border
}

void GradientPanel::setCornerWidth(int width)
{
    if (width < 0)
        return;
    m_look.cornerWidth = width;
    lookChanged();
}

void GradientPanel::setBorderWidth(int width)
{
    m_look.borderWidth = qMax(0, width);
    updateMargins();
    lookChanged();
}

void GradientPanel::setBorderColor(const QColor &c) { m_look.borderColor = c; lookChanged(); }

QColor GradientPanel::outerColor() const
{
    if (m_parentColor)
        return parentWidget() ? parentWidget()->palette().color(parentWidget()->backgroundRole())
                              : palette().color(QPalette::Button);
    return m_outerColor;
}

void GradientPanel::setOuterColor(const QColor &c)
{
    m_outerColor = c;
    m_parentColor = false;
    lookChanged();
}

void GradientPanel::setParentColor(bool on) { m_parentColor = on; lookChanged(); }
void GradientPanel::setColor(const QColor &c) { m_look.color = c; lookChanged(); }

void GradientPanel::setGradient(bool on)
{
    if (on && m_look.antialiased)
        return;
    m_look.gradient = on;
    lookChanged();
}

void GradientPanel::setGradientType(TGradientType type) { m_look.gradientType = type; lookChanged(); }
void GradientPanel::setDefaultFrom(const QColor &c) { m_look.defaultFrom = c; lookChanged(); }
void GradientPanel::setDefaultTo(const QColor &c) { m_look.defaultTo = c; lookChanged(); }

void GradientPanel::setAntialiased(bool on)
{
    m_look.antialiased = on;
    if (on)
        m_look.gradient = false;
    lookChanged();
}

void GradientPanel::setCaptionPosition(TRbCaptionPos p) { m_captionPosition = p; lookChanged(); }
void GradientPanel::setShowCaption(bool on) { m_showCaption = on; update(); }
void GradientPanel::setTextShadow(bool on) { m_textShadow = on; update(); }
void GradientPanel::setTextShadowColor(const QColor &c) { m_textShadowColor = c; update(); }
void GradientPanel::setFontColor(const QColor &c) { m_fontColor = c; update(); }

void GradientPanel::lookChanged()
{
    m_dirty = true;
    update();
}

void GradientPanel::updateMargins()
{
    const int m = m_look.borderWidth + 1;
    setContentsMargins(m, m, m, m);
}

QImage GradientPanel::background()
{
    if (m_dirty || m_background.size() != size())
        rebuildBackground();
    return m_background;
}

void GradientPanel::rebuildBackground()
{
    m_dirty = false;
    PanelLook look = m_look;
    look.outerColor = outerColor();
    look.groupBoxTextHeight = 0;
    if (m_captionPosition == cpGroupBox && !m_caption.isEmpty())
        look.groupBoxTextHeight = QFontMetrics(font()).height();
    m_background = PanelBackground(look, size());
}

void GradientPanel::resizeEvent(QResizeEvent *event)
{
    m_dirty = true;
    QWidget::resizeEvent(event);
}

void GradientPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ParentChange || event->type() == QEvent::PaletteChange
        || event->type() == QEvent::FontChange)
        m_dirty = true;
    QWidget::changeEvent(event);
}

// A layout set on the panel gets no margins of its own: the panel's contents margins already
// keep the children BorderWidth + 1 inside the border.
bool GradientPanel::event(QEvent *event)
{
    if (layout() != m_adoptedLayout
        && (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Polish
            || event->type() == QEvent::Show || event->type() == QEvent::Resize)) {
        m_adoptedLayout = layout();
        if (QLayout *own = layout())
            own->setContentsMargins(0, 0, 0, 0);
    }
    return QWidget::event(event);
}

void GradientPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), outerColor());
    p.drawImage(0, 0, background());
    if (!m_showCaption || m_caption.isEmpty())
        return;

    const int c = (m_look.cornerWidth + m_look.borderWidth) / 2;
    QRect r(c, m_look.borderWidth, width() - 2 * c, height() - 2 * m_look.borderWidth);
    const int shift = (m_look.cornerWidth - m_look.borderWidth) / 2;
    int align = Qt::AlignTop | Qt::AlignLeft;
    switch (m_captionPosition) {
    case cpGroupBox:
    case cpTopLeft: break;
    case cpTopCenter: align = Qt::AlignTop | Qt::AlignHCenter; break;
    case cpTopRight: align = Qt::AlignTop | Qt::AlignRight; break;
    case cpMiddleLeft: align = Qt::AlignVCenter | Qt::AlignLeft; r.setLeft(r.left() - shift); break;
    case cpMiddleCenter: align = Qt::AlignCenter; break;
    case cpMiddleRight: align = Qt::AlignVCenter | Qt::AlignRight; r.setRight(r.right() + shift); break;
    case cpBottomLeft: align = Qt::AlignBottom | Qt::AlignLeft; break;
    case cpBottomCenter: align = Qt::AlignBottom | Qt::AlignHCenter; break;
    case cpBottomRight: align = Qt::AlignBottom | Qt::AlignRight; break;
    }
    const int flags = align | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (m_captionPosition == cpGroupBox) {
        // A band in the outer colour interrupts the border line behind the caption.
        const QFontMetrics metrics(font());
        const QString shown = metrics.elidedText(m_caption, Qt::ElideRight, r.width(), flags);
        QRect band = metrics.boundingRect(r, flags, shown);
        band.adjust(-2, 0, 2, 0);
        band.setTop(0);
        p.fillRect(band, outerColor());
        r.setTop(0);
    }
    DrawCaption(p, m_caption, font(), m_fontColor, m_textShadowColor, m_textShadow, flags, r,
                isEnabled());
}
