#pragma once

#include "widgets/gradient.h"

#include <QImage>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTimer>

class GradientSplitter;

// The bar between two panes: Qt's splitter handle (dragging, limits, cursor), painted as a
// gradient with raised grip dots that fades to a hover gradient while the mouse is over it.
class GradientSplitterHandle : public QSplitterHandle
{
    Q_OBJECT

public:
    GradientSplitterHandle(Qt::Orientation orientation, GradientSplitter *parent);

    int fadeLevel() const { return m_fade; }
    void tickFade(); // one timer tick now (tests and the gallery)
    void invalidatePictures();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void rebuildPictures();
    GradientSplitter *owner() const;

    QImage m_defaultPicture, m_hoverPicture;
    int m_fade = 0;
    int m_direction = 0; // +10 while fading in, -10 while fading out
    QTimer m_timer;
};

// A QSplitter whose handles are GradientSplitterHandles; the look properties apply to them all.
class GradientSplitter : public QSplitter
{
    Q_OBJECT
    Q_PROPERTY(RbLook::TGradientType GradientType READ gradientType WRITE setGradientType)
    Q_PROPERTY(TGripAlign GripAlign READ gripAlign WRITE setGripAlign)
    Q_PROPERTY(bool ShowGrip READ showGrip WRITE setShowGrip)
    Q_PROPERTY(RbLook::TFadeSpeed FadeSpeed READ fadeSpeed WRITE setFadeSpeed)
    Q_PROPERTY(bool DrawAll READ drawAll WRITE setDrawAll)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(QColor DefaultFrom READ defaultFrom WRITE setDefaultFrom)
    Q_PROPERTY(QColor DefaultTo READ defaultTo WRITE setDefaultTo)
    Q_PROPERTY(QColor OverFrom READ overFrom WRITE setOverFrom)
    Q_PROPERTY(QColor OverTo READ overTo WRITE setOverTo)

public:
    // gaVertical: the dots run down a vertical bar (panes side by side); gaHorizontal: across.
    enum TGripAlign { gaVertical, gaHorizontal };
    Q_ENUM(TGripAlign)

    explicit GradientSplitter(Qt::Orientation orientation = Qt::Horizontal, QWidget *parent = nullptr);

    RbLook::TGradientType gradientType() const { return m_gradientType; }
    void setGradientType(RbLook::TGradientType t) { m_gradientType = t; lookChanged(); }
    TGripAlign gripAlign() const { return m_gripAlign; }
    void setGripAlign(TGripAlign a) { m_gripAlign = a; lookChanged(); }
    bool showGrip() const { return m_showGrip; }
    void setShowGrip(bool on) { m_showGrip = on; lookChanged(); }
    RbLook::TFadeSpeed fadeSpeed() const { return m_fadeSpeed; }
    void setFadeSpeed(RbLook::TFadeSpeed s) { m_fadeSpeed = s; }
    bool drawAll() const { return m_drawAll; }
    void setDrawAll(bool on) { m_drawAll = on; lookChanged(); }
    QColor color() const { return m_color; }
    void setColor(const QColor &c) { m_color = c; lookChanged(); }
    QColor defaultFrom() const { return m_defaultFrom; }
    void setDefaultFrom(const QColor &c) { m_defaultFrom = c; lookChanged(); }
    QColor defaultTo() const { return m_defaultTo; }
    void setDefaultTo(const QColor &c) { m_defaultTo = c; lookChanged(); }
    QColor overFrom() const { return m_overFrom; }
    void setOverFrom(const QColor &c) { m_overFrom = c; lookChanged(); }
    QColor overTo() const { return m_overTo; }
    void setOverTo(const QColor &c) { m_overTo = c; lookChanged(); }

    // Paints the default and hover pictures of a bar of the given size (used by the handles).
    void paintPictures(QImage &defaultPicture, QImage &hoverPicture, const QSize &size) const;

protected:
    QSplitterHandle *createHandle() override;

private:
    void lookChanged();

    RbLook::TGradientType m_gradientType = RbLook::gtHorizontal;
    TGripAlign m_gripAlign = gaVertical;
    bool m_showGrip = true;
    RbLook::TFadeSpeed m_fadeSpeed = RbLook::fsMedium;
    bool m_drawAll = true;
    QColor m_color;
    QColor m_defaultFrom, m_defaultTo;
    QColor m_overFrom{255, 255, 255};
    QColor m_overTo{118, 148, 190};
};

using TRbSplitter = GradientSplitter;
