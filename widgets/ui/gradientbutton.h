#pragma once

#include "widgets/fadelevels.h"
#include "widgets/gradient.h"

#include <QAbstractButton>
#include <QImage>
#include <QPixmap>
#include <QTimer>

// A push button with a gradient face that fades to a hover face while the mouse is over it and
// flashes a pressed face when pressed. Keeps Qt's focus, click and accessibility behaviour;
// adds the window-wide Default (Enter) and Cancel (Escape) keys, a modal result that closes a
// dialog, and speed-button groups (GroupIndex, Down, AllowAllUp).
class GradientButton : public QAbstractButton
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
    Q_PROPERTY(QColor TextShadowColor READ textShadowColor WRITE setTextShadowColor)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(RbLook::TGradientType GradientType READ gradientType WRITE setGradientType)
    Q_PROPERTY(QPixmap Glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(TButtonLayout Layout READ glyphLayout WRITE setGlyphLayout)
    Q_PROPERTY(int Spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(RbLook::TFadeSpeed FadeSpeed READ fadeSpeed WRITE setFadeSpeed)
    Q_PROPERTY(bool ShowFocusRect READ showFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(bool HotTrack READ hotTrack WRITE setHotTrack)
    Q_PROPERTY(bool GradientBorder READ gradientBorder WRITE setGradientBorder)
    Q_PROPERTY(bool ShowCaption READ showCaption WRITE setShowCaption)
    Q_PROPERTY(bool TextShadow READ textShadow WRITE setTextShadow)
    Q_PROPERTY(int ModalResult READ modalResult WRITE setModalResult)
    Q_PROPERTY(bool Default READ isDefault WRITE setDefault)
    Q_PROPERTY(bool Cancel READ isCancel WRITE setCancel)
    Q_PROPERTY(int GroupIndex READ groupIndex WRITE setGroupIndex)
    Q_PROPERTY(bool Down READ isButtonDown WRITE setButtonDown)
    Q_PROPERTY(bool AllowAllUp READ allowAllUp WRITE setAllowAllUp)

public:
    enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
    Q_ENUM(TButtonLayout)
    // The result a click gives a modally shown dialog (QDialog::done); mrNone closes nothing.
    enum TModalResult { mrNone, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrYes, mrNo };
    Q_ENUM(TModalResult)

    explicit GradientButton(QWidget *parent = nullptr);
    explicit GradientButton(const QString &caption, QWidget *parent = nullptr);

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
    void setBorderColor(const QColor &c) { m_borderColor = c; update(); }
    QColor textShadowColor() const { return m_textShadowColor; }
    void setTextShadowColor(const QColor &c) { m_textShadowColor = c; update(); }
    QColor fontColor() const { return m_fontColor; }
    void setFontColor(const QColor &c) { m_fontColor = c; update(); }
    // The colour around the rounded corners: that of the panel the button sits on.
    QColor color() const { return m_color; }
    void setColor(const QColor &c) { m_color = c; update(); }
    RbLook::TGradientType gradientType() const { return m_gradientType; }
    void setGradientType(RbLook::TGradientType t) { m_gradientType = t; colorsChanged(); }
    QPixmap glyph() const { return m_glyph; }
    void setGlyph(const QPixmap &glyph) { m_glyph = glyph; update(); }
    TButtonLayout glyphLayout() const { return m_layout; }
    void setGlyphLayout(TButtonLayout layout) { m_layout = layout; update(); }
    int spacing() const { return m_spacing; }
    void setSpacing(int spacing) { m_spacing = spacing; update(); }
    RbLook::TFadeSpeed fadeSpeed() const { return m_fadeSpeed; }
    void setFadeSpeed(RbLook::TFadeSpeed speed);
    bool showFocusRect() const { return m_showFocusRect; }
    void setShowFocusRect(bool on) { m_showFocusRect = on; update(); }
    bool hotTrack() const { return m_hotTrack; }
    void setHotTrack(bool on) { m_hotTrack = on; update(); }
    bool gradientBorder() const { return m_gradientBorder; }
    void setGradientBorder(bool on) { m_gradientBorder = on; update(); }
    bool showCaption() const { return m_showCaption; }
    void setShowCaption(bool on) { m_showCaption = on; update(); }
    bool textShadow() const { return m_textShadow; }
    void setTextShadow(bool on) { m_textShadow = on; update(); }
    int modalResult() const { return m_modalResult; }
    void setModalResult(int result) { m_modalResult = result; }
    bool isDefault() const { return m_default; }
    void setDefault(bool on);
    bool isCancel() const { return m_cancel; }
    void setCancel(bool on);
    int groupIndex() const { return m_groupIndex; }
    void setGroupIndex(int index) { m_groupIndex = qMax(0, index); }
    bool isButtonDown() const { return m_buttonDown; }
    void setButtonDown(bool down);
    bool allowAllUp() const { return m_allowAllUp; }
    void setAllowAllUp(bool on) { m_allowAllUp = on; }

    QSize sizeHint() const override { return {75, 25}; }

    // The hover and press levels; tickFade() runs one timer tick at once (tests and the gallery).
    [[nodiscard]] const FadeLevels &levels() const { return m_levels; }
    void tickFade();
    bool isFading() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }

private:
    void init(const QString &caption);
    void colorsChanged();
    void rebuildPictures();
    void startFade(FadeLevels::Action action);
    void handleClick();
    void watchWindow();

    QColor m_defaultFrom{255, 255, 255};
    QColor m_defaultTo{175, 190, 209};
    QColor m_overFrom{255, 255, 255};
    QColor m_overTo{118, 148, 190};
    QColor m_clickedFrom{214, 207, 198};
    QColor m_clickedTo{247, 243, 235};
    QColor m_hotTrackColor{0, 0, 255};
    QColor m_borderColor{128, 128, 128};
    QColor m_textShadowColor{255, 255, 255};
    QColor m_fontColor{0, 0, 0};
    QColor m_color;
    RbLook::TGradientType m_gradientType = RbLook::gtVertical;
    QPixmap m_glyph;
    TButtonLayout m_layout = blGlyphLeft;
    int m_spacing = 2;
    RbLook::TFadeSpeed m_fadeSpeed = RbLook::fsMedium;
    bool m_showFocusRect = true;
    bool m_hotTrack = false;
    bool m_gradientBorder = true;
    bool m_showCaption = true;
    bool m_textShadow = true;
    int m_modalResult = mrNone;
    bool m_default = false;
    bool m_cancel = false;
    int m_groupIndex = 0;
    bool m_buttonDown = false;
    bool m_allowAllUp = false;

    QImage m_defaultPicture, m_hoverPicture, m_pressedPicture;
    bool m_picturesDirty = true;
    FadeLevels m_levels;
    QTimer m_timer;
    QObject *m_watchedWindow = nullptr;
};

using TRbButton = GradientButton;
