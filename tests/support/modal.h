#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>

// Runs `step` once a modal dialog is running its event loop, for tests that click a button which
// opens one: call this first, then click.
inline void duringModal(std::function<void()> step)
{
    QTimer::singleShot(0, [step = std::move(step)] {
        if (QApplication::activeModalWidget())
            step();
        else
            duringModal(step);
    });
}
