#pragma once

#include <QSize>
#include <QString>

class QWidget;

enum class Frame {
    Fixed,       // dialog border: title bar with a close box, not resizable
    Sizable,     // resizable window
    Borderless,  // no title bar or border; moved by dragging its title band
};

// Gives a window its instance name (as Qt object name), caption, designed client size and frame.
void designWindow(QWidget *window, const char *instanceName, const QString &caption, QSize clientSize,
                  Frame frame);

// Centres a window's frame on another window's frame (or on the screen's work area when `over` is
// null or hidden), keeping it on the screen. Call it while the window is being shown.
void centreWindow(QWidget *window, const QWidget *over);
