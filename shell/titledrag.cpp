#include "shell/titledrag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

TitleDrag::TitleDrag(QWidget *band)
    : QObject(band)
    , m_band(band)
{
    band->installEventFilter(this);
}

bool TitleDrag::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_band)
        return false;
    QWidget *window = m_band->window();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (QWindow *handle = window->windowHandle(); handle && handle->startSystemMove())
            return true;
        m_dragging = true;
        m_grab = mouse->globalPosition().toPoint() - window->pos();
        return true;
    }
    case QEvent::MouseMove:
        if (m_dragging) {
            window->move(static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - m_grab);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (m_dragging) {
            m_dragging = false;
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}
