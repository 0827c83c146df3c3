#pragma once

#include <QGuiApplication>

// Include in one file of a fuzz target that needs fonts and painting: it starts a headless
// application once, before the first input.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}
