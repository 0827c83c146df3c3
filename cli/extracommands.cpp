#include "cli/commands.h"

// Commands that draw with the program's widgets. None yet.

std::optional<int> runExtraCommand(const QStringList &, QTextStream &, QTextStream &)
{
    return std::nullopt;
}

QStringList extraCommandUsage()
{
    return {};
}
