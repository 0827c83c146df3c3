#pragma once

#include "widgets/fadelevels.h"
#include "widgets/gradient.h"

#include <QAbstractButton>
#include <QTimer>

// What the gradient button and check box share: the face colours, the hover fade and pressed
// flash advanced by one timer at the fade speed's interval, hot tracking and the focus rectangle.
// Qt's QAbstractButton keeps focus, clicks, groups and accessibility.
class FadingButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setCaption)
    Q_PROPERTY(QColor DefaultFrom READ defaultFrom WRITE setDefaultFrom)
    Q_PROPERTY(QColor DefaultTo READ defaultTo WRITE setDefaultTo)
    Q_PROPERTY(QColor OverFrom READ overFrom WRITE setOverFrom)
    Q_PROPERTY(QColor OverTo READ overTo WRITE setOverTo)
    Q_PROPERTY(QColor ClickedFrom READ clickedFrom WRITE setClickedFrom)
    Q_PROPERTY(QColor ClickedTo READ clickedTo WRITE setClickedTo)
    Q_PROPERTY(QColor HotTrackColor READ hotTrackColor WRITE setHotTrackColor)
    Q_PROPERTY(QColor BorderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(RbLook::TFadeSpeed FadeSpeed READ fadeSpeed WRITE setFadeSpeed)
    Q_PROPERTY(bool ShowFocusRect READ showFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(bool HotTrack READ hotTrack WRITE setHotTrack)
    Q_PROPERTY(bool GradientBorder READ gradientBorder WRITE setGradientBorder)

public:
    // The caption also names the control for screen readers ("&" marks no letter there).
    void setCaption(const QString &caption);

    QColor defaultFrom() const { return m_defaultFrom; }
    void setDefaultFrom(const QColor &c) { m_defaultFrom = c; colorsChanged(); }
    QColor defaultTo() const { return m_defaultTo; }
    void setDefaultTo(const QColor &c) { m_defaultTo = c; colorsChanged(); }
    QColor overFrom() const { return m_overFrom; }
    void setOverFrom(const QColor &c) { m_overFrom = c; colorsChanged(); }
    QColor overTo() const { return m_overTo; }
    void setOverTo(const QColor &c) { m_overTo = c; colorsChanged(); }
    QColor clickedFrom() const { return m_clickedFrom; }
    void setClickedFrom(const QColor &c) { m_clickedFrom = c; colorsChanged(); }
    QColor clickedTo() const { return m_clickedTo; }
    void setClickedTo(const QColor &c) { m_clickedTo = c; colorsChanged(); }
    QColor hotTrackColor() const { return m_hotTrackColor; }
    void setHotTrackColor(const QColor &c) { m_hotTrackColor = c; update(); }
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor &c) { m_borderColor = c; colorsChanged(); }
    QColor fontColor() const { return m_fontColor; }
    void setFontColor(const QColor &c) { m_fontColor = c; update(); }
    // The colour around the face: that of the panel the control sits on.
    QColor color() const { return m_color; }
    void setColor(const QColor &c) { m_color = c; update(); }
    RbLook::TFadeSpeed fadeSpeed() const { return m_fadeSpeed; }
    void setFadeSpeed(RbLook::TFadeSpeed speed) { m_fadeSpeed = speed; }
    bool showFocusRect() const { return m_showFocusRect; }
    void setShowFocusRect(bool on) { m_showFocusRect = on; update(); }
    bool hotTrack() const { return m_hotTrack; }
    void setHotTrack(bool on) { m_hotTrack = on; update(); }
    bool gradientBorder() const { return m_gradientBorder; }
    void setGradientBorder(bool on) { m_gradientBorder = on; update(); }

    // The hover and press levels; tickFade() runs one timer tick at once (tests and the gallery).
    [[nodiscard]] const FadeLevels &levels() const { return m_levels; }
    void tickFade();
    bool isFading() const { return m_timer.isActive(); }

protected:
    // A check box forgets the press when the mouse leaves; a button keeps it for a later release.
    enum class LeaveRule { KeepPress, ClearPress };

    FadingButton(const QString &caption, LeaveRule rule, QWidget *parent);

    // The caption's colour now: the hot-track colour while hot tracking under the mouse.
    [[nodiscard]] QColor captionColor() const;
    // A button held down by its group keeps its hover face when the mouse leaves.
    [[nodiscard]] virtual bool heldDown() const { return false; }
    virtual void colorsChanged() { update(); }
    void startFade(FadeLevels::Action action);

    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }

    FadeLevels m_levels;

private:
    LeaveRule m_leaveRule;
    QColor m_defaultFrom{255, 255, 255};
    QColor m_defaultTo{175, 190, 209};
    QColor m_overFrom{255, 255, 255};
    QColor m_overTo{118, 148, 190};
    QColor m_clickedFrom{214, 207, 198};
    QColor m_clickedTo{247, 243, 235};
    QColor m_hotTrackColor{0, 0, 255};
    QColor m_borderColor{128, 128, 128};
    QColor m_fontColor{0, 0, 0};
    QColor m_color;
    RbLook::TFadeSpeed m_fadeSpeed = RbLook::fsMedium;
    bool m_showFocusRect = true;
    bool m_hotTrack = false;
    bool m_gradientBorder = true;
    QTimer m_timer;
};
