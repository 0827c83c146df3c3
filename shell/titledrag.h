#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

// Lets a borderless window be moved by dragging its title band: pressing any mouse button on the
// band hands the window to the window system's move. Where the window system offers no such
// move, the band moves the window itself while the button is held.
class TitleDrag : public QObject
{
    Q_OBJECT
public:
    // Watches `band`; the drag moves the band's top-level window. Owned by the band.
    explicit TitleDrag(QWidget *band);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_band;
    bool m_dragging = false;
    QPoint m_grab; // the pressed point relative to the window's top left
};
