#pragma once

#include <QString>

// The application title, shown on the task bar, as the main window's caption and on plain boxes.
inline QString applicationTitle()
{
    return QStringLiteral("Brindle Office - Saporin");
}
