#include "widgets/ui/fadingbutton.h"

#include <QKeyEvent>
#include <QMouseEvent>

using namespace RbLook;

FadingButton::FadingButton(const QString &caption, LeaveRule rule, QWidget *parent)
    : QAbstractButton(parent), m_leaveRule(rule)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    m_color = palette().color(QPalette::Button);
    setCaption(caption);
    connect(&m_timer, &QTimer::timeout, this, &FadingButton::tickFade);
}

void FadingButton::setCaption(const QString &caption)
{
    setText(caption);
    setAccessibleName(QString(caption).remove(QLatin1Char('&')));
}

QColor FadingButton::captionColor() const
{
    return m_hotTrack && underMouse() ? m_hotTrackColor : m_fontColor;
}

void FadingButton::startFade(FadeLevels::Action action)
{
    m_levels.action = action;
    m_timer.start(fadeInterval(m_fadeSpeed));
}

void FadingButton::tickFade()
{
    if (!m_levels.tick())
        m_timer.stop();
    update();
}

void FadingButton::enterEvent(QEnterEvent *event)
{
    m_levels.hovered = true;
    startFade(FadeLevels::Action::FadeIn);
    QAbstractButton::enterEvent(event);
}

void FadingButton::leaveEvent(QEvent *event)
{
    if (m_leaveRule == LeaveRule::ClearPress) {
        m_levels.hovered = m_levels.pressed = false;
        startFade(FadeLevels::Action::FadeOut);
    } else if (!heldDown()) {
        m_levels.hovered = false;
        startFade(FadeLevels::Action::FadeOut);
    }
    QAbstractButton::leaveEvent(event);
}

void FadingButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && isEnabled()) {
        if (focusPolicy() & Qt::ClickFocus)
            setFocus(Qt::MouseFocusReason);
        m_levels.hovered = m_levels.pressed = true;
        startFade(FadeLevels::Action::FadeIn);
    }
    QAbstractButton::mousePressEvent(event);
}

void FadingButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        if (m_levels.pressed && !heldDown())
            m_levels.pressed = false;
        if (m_levels.hovered)
            m_levels.action = FadeLevels::Action::FadeIn;
        m_timer.start(fadeInterval(m_fadeSpeed));
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void FadingButton::keyPressEvent(QKeyEvent *event)
{
    // Only a bare Space presses the control; with Shift, Ctrl or Alt it belongs to the window.
    if (event->key() == Qt::Key_Space && (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        event->ignore();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}
