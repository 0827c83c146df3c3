#include "cli/commands.h"

// Commands that read and write recipe documents (convert, info, import, export).

std::optional<int> runDocumentCommand(const QStringList &, QTextStream &, QTextStream &)
{
    return std::nullopt;
}

QStringList documentCommandUsage()
{
    return {};
}
