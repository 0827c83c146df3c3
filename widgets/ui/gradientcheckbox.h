#pragma once

#include "widgets/ui/fadingbutton.h"

#include <QImage>

// A check box whose 13 x 13 box is a diagonal gradient that fades to a hover gradient and flashes
// a pressed face, with a tinted check mark and optional border lines along its edges.
class GradientCheckBox : public FadingButton
{
    Q_OBJECT
    Q_PROPERTY(bool Checked READ isChecked WRITE setChecked)
    Q_PROPERTY(int Spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(QColor CheckColor READ checkColor WRITE setCheckColor)
    Q_PROPERTY(TBorderLines BorderLines READ borderLines WRITE setBorderLines)
    Q_PROPERTY(QColor BorderLinesColor READ borderLinesColor WRITE setBorderLinesColor)

public:
    enum TBorderLine { blTop = 1, blBottom = 2, blLeft = 4, blRight = 8 };
    Q_DECLARE_FLAGS(TBorderLines, TBorderLine)
    Q_FLAG(TBorderLines)

    explicit GradientCheckBox(QWidget *parent = nullptr);
    explicit GradientCheckBox(const QString &caption, QWidget *parent = nullptr);

    int spacing() const { return m_spacing; }
    void setSpacing(int spacing) { m_spacing = spacing; update(); }
    QColor checkColor() const { return m_checkColor; }
    void setCheckColor(const QColor &c) { m_checkColor = c; update(); }
    TBorderLines borderLines() const { return m_borderLines; }
    void setBorderLines(TBorderLines lines) { m_borderLines = lines; update(); }
    QColor borderLinesColor() const { return m_borderLinesColor; }
    void setBorderLinesColor(const QColor &c) { m_borderLinesColor = c; update(); }

    QSize sizeHint() const override { return {130, 17}; }

    // The box's place inside the check box: 13 x 13 at (1, (height - 13) / 4).
    [[nodiscard]] QRect boxRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void init(const QString &caption);
    void colorsChanged() override { m_boxesDirty = true; update(); }
    void rebuildBoxes();

    int m_spacing = 3;
    QColor m_checkColor{0, 128, 0};
    TBorderLines m_borderLines;
    QColor m_borderLinesColor{128, 128, 128};

    QImage m_defaultBox, m_hoverBox, m_pressedBox;
    bool m_boxesDirty = true;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(GradientCheckBox::TBorderLines)

using TRbCheckBox = GradientCheckBox;
