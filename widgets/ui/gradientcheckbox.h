#pragma once

#include "widgets/fadelevels.h"
#include "widgets/gradient.h"

#include <QAbstractButton>
#include <QImage>
#include <QTimer>

// A check box whose 13 x 13 box is a diagonal gradient that fades to a hover gradient and flashes
// a pressed face, with a tinted check mark and optional border lines along its edges.
class GradientCheckBox : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setCaption)
    Q_PROPERTY(bool Checked READ isChecked WRITE setChecked)
    Q_PROPERTY(int Spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(QColor CheckColor READ checkColor WRITE setCheckColor)
    Q_PROPERTY(TBorderLines BorderLines READ borderLines WRITE setBorderLines)
    Q_PROPERTY(QColor BorderLinesColor READ borderLinesColor WRITE setBorderLinesColor)
    Q_PROPERTY(bool GradientBorder READ gradientBorder WRITE setGradientBorder)
    Q_PROPERTY(RbLook::TFadeSpeed FadeSpeed READ fadeSpeed WRITE setFadeSpeed)
    Q_PROPERTY(bool ShowFocusRect READ showFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(bool HotTrack READ hotTrack WRITE setHotTrack)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(QColor DefaultFrom READ defaultFrom WRITE setDefaultFrom)
    Q_PROPERTY(QColor DefaultTo READ defaultTo WRITE setDefaultTo)
    Q_PROPERTY(QColor OverFrom READ overFrom WRITE setOverFrom)
    Q_PROPERTY(QColor OverTo READ overTo WRITE setOverTo)
    Q_PROPERTY(QColor ClickedFrom READ clickedFrom WRITE setClickedFrom)
    Q_PROPERTY(QColor ClickedTo READ clickedTo WRITE setClickedTo)
    Q_PROPERTY(QColor HotTrackColor READ hotTrackColor WRITE setHotTrackColor)
    Q_PROPERTY(QColor BorderColor READ borderColor WRITE setBorderColor)

public:
    enum TBorderLine { blTop = 1, blBottom = 2, blLeft = 4, blRight = 8 };
    Q_DECLARE_FLAGS(TBorderLines, TBorderLine)
    Q_FLAG(TBorderLines)

    explicit GradientCheckBox(QWidget *parent = nullptr);
    explicit GradientCheckBox(const QString &caption, QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    int spacing() const { return m_spacing; }
    void setSpacing(int spacing) { m_spacing = spacing; update(); }
    QColor checkColor() const { return m_checkColor; }
    void setCheckColor(const QColor &c) { m_checkColor = c; update(); }
    TBorderLines borderLines() const { return m_borderLines; }
    void setBorderLines(TBorderLines lines) { m_borderLines = lines; update(); }
    QColor borderLinesColor() const { return m_borderLinesColor; }
    void setBorderLinesColor(const QColor &c) { m_borderLinesColor = c; update(); }
    bool gradientBorder() const { return m_gradientBorder; }
    void setGradientBorder(bool on) { m_gradientBorder = on; update(); }
    RbLook::TFadeSpeed fadeSpeed() const { return m_fadeSpeed; }
    void setFadeSpeed(RbLook::TFadeSpeed speed) { m_fadeSpeed = speed; }
    bool showFocusRect() const { return m_showFocusRect; }
    void setShowFocusRect(bool on) { m_showFocusRect = on; update(); }
    bool hotTrack() const { return m_hotTrack; }
    void setHotTrack(bool on) { m_hotTrack = on; update(); }
    QColor color() const { return m_color; }
    void setColor(const QColor &c) { m_color = c; update(); }
    QColor fontColor() const { return m_fontColor; }
    void setFontColor(const QColor &c) { m_fontColor = c; update(); }
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

    QSize sizeHint() const override { return {130, 17}; }

    // The box's place inside the check box: 13 x 13 at (1, (height - 13) / 4).
    [[nodiscard]] QRect boxRect() const;
    [[nodiscard]] const FadeLevels &levels() const { return m_levels; }
    void tickFade(); // one timer tick now (tests and the gallery)
    bool isFading() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }

private:
    void init(const QString &caption);
    void colorsChanged() { m_boxesDirty = true; update(); }
    void rebuildBoxes();
    void startFade(FadeLevels::Action action);

    int m_spacing = 3;
    QColor m_checkColor{0, 128, 0};
    TBorderLines m_borderLines;
    QColor m_borderLinesColor{128, 128, 128};
    bool m_gradientBorder = true;
    RbLook::TFadeSpeed m_fadeSpeed = RbLook::fsMedium;
    bool m_showFocusRect = true;
    bool m_hotTrack = false;
    QColor m_color;
    QColor m_fontColor{0, 0, 0};
    QColor m_defaultFrom{255, 255, 255};
    QColor m_defaultTo{175, 190, 209};
    QColor m_overFrom{255, 255, 255};
    QColor m_overTo{118, 148, 190};
    QColor m_clickedFrom{214, 207, 198};
    QColor m_clickedTo{247, 243, 235};
    QColor m_hotTrackColor{0, 0, 255};
    QColor m_borderColor{128, 128, 128};

    QImage m_defaultBox, m_hoverBox, m_pressedBox;
    bool m_boxesDirty = true;
    FadeLevels m_levels;
    QTimer m_timer;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(GradientCheckBox::TBorderLines)

using TRbCheckBox = GradientCheckBox;
