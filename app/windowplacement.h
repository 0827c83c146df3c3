#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class IniFile;

// The remembered placement of a window in its profile section: position, size and show state.
// Plain logic: the window gives its current placement and applies what restore() answers.
class WindowPlacement
{
public:
    // Show states, as numbered in profile files.
    enum ShowCmd { Hidden = 0, Normal = 1, Minimized = 2, Maximized = 3 };

    struct Saved {
        int flags = 0;
        int showCmd = Normal;      // Minimized whenever the application itself is minimised
        int pixelsPerInch = 96;
        QPoint minPosition{-1, -1};
        QPoint maxPosition{-1, -1};
        QRect normal;              // the restored rectangle, in screen pixels
        bool destroying = false;   // saved while the window was being destroyed
    };

    struct Current {
        int flags = 0;
        int pixelsPerInch = 96;
        QRect geometry;            // the window's present rectangle
        bool resizable = true;
    };

    struct Restored {
        bool applyPosition = false;
        QRect normal;
        int flags = 0;
        enum class State { Normal, Maximized, MinimizeApplication } state = State::Normal;
    };

    static void save(IniFile &profile, const QString &section, const Saved &saved, QSize screen);
    [[nodiscard]] static Restored restore(const IniFile &profile, const QString &section, const Current &current,
                                          QSize screen);

    // "NormPos(1280x1024)": a key followed by the screen size.
    [[nodiscard]] static QString screenKey(const QString &key, QSize screen);
};
