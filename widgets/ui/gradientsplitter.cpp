#include "widgets/ui/gradientsplitter.h"

#include <QPaintEvent>
#include <QPainter>

using namespace RbLook;

GradientSplitterHandle::GradientSplitterHandle(Qt::Orientation orientation, GradientSplitter *parent)
    : QSplitterHandle(orientation, parent)
{
    setAttribute(Qt::WA_Hover);
    connect(&m_timer, &QTimer::timeout, this, &GradientSplitterHandle::tickFade);
}

GradientSplitter *GradientSplitterHandle::owner() const
{
    return static_cast<GradientSplitter *>(splitter());
}

void GradientSplitterHandle::invalidatePictures()
{
    m_defaultPicture = QImage();
    update();
}

void GradientSplitterHandle::tickFade()
{
    m_fade = qBound(0, m_fade + m_direction, 100);
    if (m_fade == 0 || m_fade == 100)
        m_timer.stop();
    update();
}

void GradientSplitterHandle::enterEvent(QEnterEvent *event)
{
    m_direction = 10;
    m_timer.start(fadeInterval(owner()->fadeSpeed()));
    QSplitterHandle::enterEvent(event);
}

void GradientSplitterHandle::leaveEvent(QEvent *event)
{
    m_direction = -10;
    m_timer.start(fadeInterval(owner()->fadeSpeed()));
    QSplitterHandle::leaveEvent(event);
}

void GradientSplitterHandle::rebuildPictures()
{
    owner()->paintPictures(m_defaultPicture, m_hoverPicture, size());
}

void GradientSplitterHandle::paintEvent(QPaintEvent *event)
{
    if (m_defaultPicture.size() != size())
        rebuildPictures();
    const QRect area = event->rect();
    QImage work = m_defaultPicture;
    CopyAndBlend(work, m_defaultPicture, m_hoverPicture, 0, work.rect(), m_fade);
    QPainter p(this);
    p.drawImage(area.topLeft(), work, area);
}

GradientSplitter::GradientSplitter(Qt::Orientation orientation, QWidget *parent)
    : QSplitter(orientation, parent)
{
    const QColor face = palette().color(QPalette::Button);
    m_color = m_defaultFrom = m_defaultTo = face;
    setHandleWidth(5);
}

QSplitterHandle *GradientSplitter::createHandle()
{
    return new GradientSplitterHandle(orientation(), this);
}

void GradientSplitter::lookChanged()
{
    for (int i = 0; i < count(); ++i)
        if (auto *h = qobject_cast<GradientSplitterHandle *>(handle(i)))
            h->invalidatePictures();
}

namespace {

void drawDot(QImage &img, int x, int y)
{
    auto set = [&img](int px, int py, QRgb c) {
        if (img.rect().contains(px, py))
            img.setPixel(px, py, c);
    };
    const QRgb grey = qRgb(128, 128, 128), white = qRgb(255, 255, 255);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i)
            set(x + i, y + j, grey);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i)
            set(x + 1 + i, y + 1 + j, white);
    set(x + 1, y + 2, qRgb(192, 192, 192));
    set(x + 1, y + 1, grey);
    set(x, y, white);
}

} // namespace

void GradientSplitter::paintPictures(QImage &defaultPicture, QImage &hoverPicture,
                                     const QSize &size) const
{
    const QSize s(qMax(1, size.width()), qMax(1, size.height()));
    const int w = s.width(), h = s.height();
    const bool vertical = m_gripAlign == gaVertical;
    const QPoint centre = vertical ? QPoint((w - 3) / 2, h / 2) : QPoint(w / 2, (h - 3) / 2);
    QRect area(QPoint(0, 0), s);
    if (!m_drawAll)
        area = vertical ? QRect(0, centre.y() - 40, w, 80) : QRect(centre.x() - 40, 0, 80, h);
    auto make = [&](const QColor &from, const QColor &to) {
        QImage img(s, QImage::Format_RGB32);
        img.fill(m_color);
        GradientFill(img, area, from, nullptr, m_gradientType, to);
        if (m_showGrip) {
            for (int offset = -40; offset <= 38; offset += 3) {
                if (vertical)
                    drawDot(img, centre.x(), centre.y() + offset);
                else
                    drawDot(img, centre.x() + offset, centre.y());
            }
        }
        return img;
    };
    defaultPicture = make(m_defaultFrom, m_defaultTo);
    hoverPicture = make(m_overFrom, m_overTo);
}
