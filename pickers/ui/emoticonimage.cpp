#include "pickers/ui/emoticonimage.h"

#include "pickers/emoticons.h"

#include <QPainter>

EmoticonImage::EmoticonImage(const Emoticon &emoticon, QWidget *parent)
    : QAbstractButton(parent)
    , m_emoticon(emoticon)
{
    setObjectName(QLatin1String(emoticon.control));
    setAccessibleName(emoticon.name());
    setAccessibleDescription(emoticon.text());
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
    setGeometry(emoticon.geometry);
    const qreal ratio = devicePixelRatioF();
    m_picture = QPixmap::fromImage(Emoticons::picture(emoticon, ratio));
    m_picture.setDevicePixelRatio(ratio);
}

QSize EmoticonImage::sizeHint() const
{
    return m_emoticon.geometry.size();
}

void EmoticonImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void EmoticonImage::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT mouseMoved(m_emoticon.tag);
    QAbstractButton::mouseMoveEvent(event);
}

void EmoticonImage::enterEvent(QEnterEvent *event)
{
    Q_EMIT mouseMoved(m_emoticon.tag);
    QAbstractButton::enterEvent(event);
}
