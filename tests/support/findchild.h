#pragma once

#include <QAbstractButton>
#include <QWidget>

// The control of a window by its object name; a missing control ends the test run at once,
// since every later step would only fail less clearly.
template <typename T = QAbstractButton>
T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}
