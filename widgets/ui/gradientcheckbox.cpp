#include "widgets/ui/gradientcheckbox.h"

#include <QPainter>

using namespace RbLook;

namespace {

constexpr int BoxSize = 13;

// The check mark, black on white, with the white made transparent.
QImage checkMark()
{
    static const QImage mark = [] {
        QImage img(QStringLiteral(":/widgets/checkmark.xbm"));
        img = img.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < img.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if (qGray(line[x]) > 127)
                    line[x] = qRgba(0, 0, 0, 0);
        }
        return img;
    }();
    return mark;
}

} // namespace

GradientCheckBox::GradientCheckBox(QWidget *parent)
    : GradientCheckBox(QString(), parent)
{
}

GradientCheckBox::GradientCheckBox(const QString &caption, QWidget *parent)
    : FadingButton(caption, LeaveRule::ClearPress, parent)
{
    init(caption);
}

void GradientCheckBox::init(const QString &caption)
{
    Q_INIT_RESOURCE(widgets);
    setCheckable(true);
    resize(130, 17);
    setAccessibleName(caption); // "&" is shown as it is
}

QRect GradientCheckBox::boxRect() const
{
    return {1, (height() - BoxSize) / 4, BoxSize, BoxSize};
}

void GradientCheckBox::rebuildBoxes()
{
    m_boxesDirty = false;
    const QRect box(0, 0, BoxSize, BoxSize);
    auto make = [&](const QColor &from, const QColor &to, bool outline) {
        QImage img(BoxSize, BoxSize, QImage::Format_RGB32);
        img.fill(from);
        GradientFill(img, box, from, nullptr, gtFromTopLeft, to);
        if (outline) {
            QPainter p(&img);
            p.setPen(borderColor());
            p.drawRect(box.adjusted(0, 0, -1, -1));
        }
        return img;
    };
    m_defaultBox = make(defaultFrom(), defaultTo(), true);
    m_hoverBox = make(overFrom(), overTo(), true);
    m_pressedBox = make(clickedFrom(), clickedTo(), false);
}

void GradientCheckBox::paintEvent(QPaintEvent *)
{
    if (m_boxesDirty)
        rebuildBoxes();
    const QRect client = rect();
    const QRect box = boxRect();
    QImage work(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    work.fill(color());
    CopyAndBlend(work, m_defaultBox, m_hoverBox, 0, box, m_levels.fade);
    if (m_levels.press > 0) {
        const int inset = gradientBorder() ? 2 : 1;
        BlendOver(work, m_pressedBox, box.adjusted(inset, inset, -inset, -inset),
                  qMin(100, m_levels.press));
    }
    if (isChecked()) {
        QImage mark = checkMark();
        TintDisabled(mark, isEnabled() ? m_checkColor : QColor(128, 128, 128));
        QPainter wp(&work);
        wp.drawImage(box.left() + 2, box.top() + 2, mark);
    }
    QPainter p(this);
    p.drawImage(0, 0, work);

    const QRect textRect = client.adjusted(m_spacing + 16, 0, 0, 0);
    DrawCaption(p, text(), font(), captionColor(), QColor(255, 255, 255), false,
                Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, textRect, isEnabled());

    p.setPen(m_borderLinesColor);
    const int r = client.right(), b = client.bottom();
    if (m_borderLines & blTop)
        p.drawLine(0, 0, r, 0);
    if (m_borderLines & blBottom)
        p.drawLine(0, b, r, b);
    if (m_borderLines & blLeft)
        p.drawLine(0, 0, 0, b);
    if (m_borderLines & blRight)
        p.drawLine(r, 0, r, b);

    if (hasFocus() && showFocusRect()) {
        DrawFocusRect(p, client);
    }
}
