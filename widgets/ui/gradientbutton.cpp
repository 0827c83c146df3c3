#include "widgets/ui/gradientbutton.h"

#include <QDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>

using namespace RbLook;

GradientButton::GradientButton(QWidget *parent)
    : GradientButton(QString(), parent)
{
}

GradientButton::GradientButton(const QString &caption, QWidget *parent)
    : FadingButton(caption, LeaveRule::KeepPress, parent)
{
    resize(75, 25);
    // Connected first, so the modal result and the group are settled before other click handlers.
    connect(this, &QAbstractButton::clicked, this, &GradientButton::handleClick);
}

void GradientButton::setDefault(bool on)
{
    m_default = on;
    watchWindow();
}

void GradientButton::setCancel(bool on)
{
    m_cancel = on;
    watchWindow();
}

void GradientButton::setButtonDown(bool down)
{
    if (down && m_groupIndex > 0 && parentWidget()) {
        const auto siblings = parentWidget()->findChildren<GradientButton *>(Qt::FindDirectChildrenOnly);
        for (GradientButton *other : siblings) {
            if (other != this && other->m_groupIndex == m_groupIndex && other->m_buttonDown) {
                other->m_buttonDown = false;
                other->m_levels.pressed = false;
                other->startFade(other->m_levels.hovered ? FadeLevels::Action::FadeIn
                                                         : FadeLevels::Action::FadeOut);
                other->update();
            }
        }
    }
    m_buttonDown = down;
    update();
}

void GradientButton::colorsChanged()
{
    m_picturesDirty = true;
    update();
}

void GradientButton::rebuildPictures()
{
    m_picturesDirty = false;
    const QSize s(qMax(1, width()), qMax(1, height()));
    auto make = [&](const QColor &from, const QColor &to) {
        QImage img(s, QImage::Format_RGB32);
        img.fill(from);
        GradientFill(img, img.rect(), from, nullptr, m_gradientType, to);
        return img;
    };
    m_defaultPicture = make(defaultFrom(), defaultTo());
    m_hoverPicture = make(overFrom(), overTo());
    m_pressedPicture = make(clickedFrom(), clickedTo());
}

void GradientButton::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        click();
        return;
    }
    FadingButton::keyPressEvent(event);
}

bool GradientButton::event(QEvent *event)
{
    // Claim Enter while focused, so no window-wide shortcut takes it from this button.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            event->accept();
            return true;
        }
    }
    return QAbstractButton::event(event);
}

void GradientButton::showEvent(QShowEvent *event)
{
    watchWindow();
    QAbstractButton::showEvent(event);
}

void GradientButton::watchWindow()
{
    QWidget *top = window();
    if (top == this || top == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = top;
    top->installEventFilter(this);
}

// Enter and Escape that no focused control took reach the window: the Default and Cancel buttons
// answer them there.
bool GradientButton::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow && event->type() == QEvent::KeyPress && isEnabled()
        && isVisible()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool escape = key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier;
        if ((enter && m_default) || (escape && m_cancel)) {
            click();
            return true;
        }
    }
    return QAbstractButton::eventFilter(watched, event);
}

void GradientButton::handleClick()
{
    if (m_modalResult != mrNone) {
        if (auto *dialog = qobject_cast<QDialog *>(window()))
            dialog->done(m_modalResult);
    }
    if (m_groupIndex > 0) {
        if (!m_buttonDown)
            setButtonDown(true);
        else if (m_allowAllUp)
            setButtonDown(false);
    }
}

void GradientButton::resizeEvent(QResizeEvent *event)
{
    m_picturesDirty = true;
    QAbstractButton::resizeEvent(event);
}

void GradientButton::paintEvent(QPaintEvent *)
{
    if (m_picturesDirty || m_defaultPicture.size() != size())
        rebuildPictures();
    const QRect client = rect();
    QImage work(size(), QImage::Format_RGB32);
    work.fill(color());
    CopyAndBlend(work, m_defaultPicture, m_hoverPicture, 1, client, m_levels.fade);
    const int press = m_buttonDown ? 100 : m_levels.press;
    if (press > 0) {
        const QRect face = gradientBorder() ? client.adjusted(3, 3, -3, -3) : client;
        CopyAndBlend(work, work, m_pressedPicture, 1, face, press);
    }
    // The edge in the colour around the button, then the rounded outline over it: only the four
    // corner pixels keep that colour.
    FillRegion(work, QRegion(client) - QRegion(client.adjusted(1, 1, -1, -1)), color());
    FillRegion(work, RoundRectBorder(client, 5, 1), borderColor());
    QPainter p(this);
    p.drawImage(0, 0, work);

    QRect textRect = client;
    const bool hasGlyph = !m_glyph.isNull();
    const int gw = m_glyph.width(), gh = m_glyph.height();
    if (hasGlyph) {
        switch (m_layout) {
        case blGlyphLeft: textRect.setLeft(textRect.left() + gw + m_spacing); break;
        case blGlyphRight: textRect.setLeft(textRect.left() - gw - m_spacing); break;
        case blGlyphTop: textRect.setTop(textRect.top() + gh + m_spacing); break;
        case blGlyphBottom: textRect.setTop(textRect.top() - gh - m_spacing); break;
        }
    }
    const QColor fontColour = captionColor();
    const bool caption = m_showCaption && !text().isEmpty();
    if (caption)
        DrawCaption(p, text(), font(), fontColour, m_textShadowColor, m_textShadow,
                    ButtonCaptionFlags, textRect, isEnabled());

    if (hasGlyph) {
        const QFontMetrics metrics(font());
        const int tw = caption ? metrics.horizontalAdvance(text()) : 0;
        const int th = caption ? metrics.height() : 0;
        const int L = textRect.left(), T = textRect.top();
        const int R = textRect.left() + textRect.width(), B = textRect.top() + textRect.height();
        QPoint at;
        switch (m_layout) {
        case blGlyphLeft:
            at = {caption ? (L + R - tw) / 2 - m_spacing - gw : (L + R - m_spacing) / 2 - gw,
                  (height() - gh) / 2};
            break;
        case blGlyphRight:
            at = {caption ? (L + R + tw) / 2 + m_spacing : (L + R) / 2 + m_spacing, (height() - gh) / 2};
            break;
        case blGlyphTop:
            at = {(width() - gw) / 2, caption ? (T + B - th) / 2 - m_spacing - gh : (T + B) / 2 - m_spacing - gh};
            break;
        case blGlyphBottom:
            at = {(width() - gw) / 2, caption ? (T + B + th) / 2 + m_spacing : (T + B) / 2 + m_spacing};
            break;
        }
        QImage glyph = m_glyph.toImage().convertToFormat(QImage::Format_ARGB32);
        if (!isEnabled())
            TintDisabled(glyph, QColor(64, 64, 64));
        p.drawImage(at, glyph);
    }

    if (hasFocus() && showFocusRect()) {
        DrawFocusRect(p, client.adjusted(2, 2, -2, -2));
    }
}
