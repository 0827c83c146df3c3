#pragma once

#include "widgets/ui/fadingbutton.h"
#include <QImage>
#include <QPixmap>

// A push button with a gradient face that fades to a hover face while the mouse is over it and
// flashes a pressed face when pressed. Keeps Qt's focus, click and accessibility behaviour;
// adds the window-wide Default (Enter) and Cancel (Escape) keys, a modal result that closes a
// dialog, and speed-button groups (GroupIndex, Down, AllowAllUp).
class GradientButton : public FadingButton
{
    Q_OBJECT
    Q_PROPERTY(QColor TextShadowColor READ textShadowColor WRITE setTextShadowColor)
    Q_PROPERTY(RbLook::TGradientType GradientType READ gradientType WRITE setGradientType)
    Q_PROPERTY(QPixmap Glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(TButtonLayout Layout READ glyphLayout WRITE setGlyphLayout)
    Q_PROPERTY(int Spacing READ spacing WRITE setSpacing)
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


    QColor textShadowColor() const { return m_textShadowColor; }
    void setTextShadowColor(const QColor &c) { m_textShadowColor = c; update(); }
    RbLook::TGradientType gradientType() const { return m_gradientType; }
    void setGradientType(RbLook::TGradientType t) { m_gradientType = t; colorsChanged(); }
    QPixmap glyph() const { return m_glyph; }
    void setGlyph(const QPixmap &glyph) { m_glyph = glyph; update(); }
    TButtonLayout glyphLayout() const { return m_layout; }
    void setGlyphLayout(TButtonLayout layout) { m_layout = layout; update(); }
    int spacing() const { return m_spacing; }
    void setSpacing(int spacing) { m_spacing = spacing; update(); }
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


protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void colorsChanged() override;
    bool heldDown() const override { return m_buttonDown; }
    void rebuildPictures();
    void handleClick();
    void watchWindow();

    QColor m_textShadowColor{255, 255, 255};
    RbLook::TGradientType m_gradientType = RbLook::gtVertical;
    QPixmap m_glyph;
    TButtonLayout m_layout = blGlyphLeft;
    int m_spacing = 2;
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
    QObject *m_watchedWindow = nullptr;
};

using TRbButton = GradientButton;
