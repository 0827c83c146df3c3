#pragma once

#include "widgets/gradient.h"
#include "widgets/panelbackground.h"

#include <QImage>
#include <QWidget>

class QLayout;

// A container with a rounded border, a background smoothed from a three-times picture (or a
// gradient) and a caption. The background is rebuilt only when the size or the look changes;
// children placed in a layout sit inside BorderWidth + 1 on every side.
class GradientPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(int CornerWidth READ cornerWidth WRITE setCornerWidth)
    Q_PROPERTY(int BorderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(QColor BorderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(QColor OuterColor READ outerColor WRITE setOuterColor)
    Q_PROPERTY(bool ParentColor READ parentColor WRITE setParentColor)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(bool Gradient READ gradient WRITE setGradient)
    Q_PROPERTY(RbLook::TGradientType GradientType READ gradientType WRITE setGradientType)
    Q_PROPERTY(QColor DefaultFrom READ defaultFrom WRITE setDefaultFrom)
    Q_PROPERTY(QColor DefaultTo READ defaultTo WRITE setDefaultTo)
    Q_PROPERTY(bool Antialiased READ antialiased WRITE setAntialiased)
    Q_PROPERTY(TRbCaptionPos CaptionPosition READ captionPosition WRITE setCaptionPosition)
    Q_PROPERTY(bool ShowCaption READ showCaption WRITE setShowCaption)
    Q_PROPERTY(bool TextShadow READ textShadow WRITE setTextShadow)
    Q_PROPERTY(QColor TextShadowColor READ textShadowColor WRITE setTextShadowColor)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)

public:
    enum TRbCaptionPos {
        cpGroupBox,
        cpTopLeft,
        cpTopCenter,
        cpTopRight,
        cpMiddleLeft,
        cpMiddleCenter,
        cpMiddleRight,
        cpBottomLeft,
        cpBottomCenter,
        cpBottomRight
    };
    Q_ENUM(TRbCaptionPos)

    explicit GradientPanel(QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    int cornerWidth() const { return m_look.cornerWidth; }
    void setCornerWidth(int width); // below 0 is refused
    int borderWidth() const { return m_look.borderWidth; }
    void setBorderWidth(int width);
    QColor borderColor() const { return m_look.borderColor; }
    void setBorderColor(const QColor &colour);
    // While ParentColor is on (the default) the outer colour follows the parent's background.
    QColor outerColor() const;
    void setOuterColor(const QColor &colour); // switches ParentColor off
    bool parentColor() const { return m_parentColor; }
    void setParentColor(bool on);
    QColor color() const { return m_look.color; }
    void setColor(const QColor &colour);
    bool gradient() const { return m_look.gradient; }
    void setGradient(bool on); // only takes effect while Antialiased is off
    RbLook::TGradientType gradientType() const { return m_look.gradientType; }
    void setGradientType(RbLook::TGradientType type);
    QColor defaultFrom() const { return m_look.defaultFrom; }
    void setDefaultFrom(const QColor &colour);
    QColor defaultTo() const { return m_look.defaultTo; }
    void setDefaultTo(const QColor &colour);
    bool antialiased() const { return m_look.antialiased; }
    void setAntialiased(bool on); // switching it on switches Gradient off
    TRbCaptionPos captionPosition() const { return m_captionPosition; }
    void setCaptionPosition(TRbCaptionPos position);
    bool showCaption() const { return m_showCaption; }
    void setShowCaption(bool on);
    bool textShadow() const { return m_textShadow; }
    void setTextShadow(bool on);
    QColor textShadowColor() const { return m_textShadowColor; }
    void setTextShadowColor(const QColor &colour);
    QColor fontColor() const { return m_fontColor; }
    void setFontColor(const QColor &colour);

    QSize sizeHint() const override { return {185, 105}; }

    // The background picture as last built (the panel's size); rebuilt on demand.
    [[nodiscard]] QImage background();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void lookChanged();
    void updateMargins();
    void rebuildBackground();

    QString m_caption;
    PanelLook m_look;        // outerColor and the group-box height are filled in when building
    QColor m_outerColor;
    bool m_parentColor = true;
    TRbCaptionPos m_captionPosition = cpTopLeft;
    bool m_showCaption = true;
    bool m_textShadow = true;
    QColor m_textShadowColor{255, 255, 255};
    QColor m_fontColor{0, 0, 206};
    QImage m_background;
    bool m_dirty = true;
    const QLayout *m_adoptedLayout = nullptr;
};

using TRbPanel = GradientPanel;
