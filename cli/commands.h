#pragma once

#include <QStringList>

#include <optional>

class QTextStream;

// Each group of saporin-cli commands answers a command line (program name removed). A group
// returns std::nullopt when the command is not one of its own, otherwise the exit code.
std::optional<int> runStoreCommand(const QStringList &args, QTextStream &out, QTextStream &err);
std::optional<int> runDocumentCommand(const QStringList &args, QTextStream &out, QTextStream &err);
// Commands that draw with the program's widgets (the widget gallery).
std::optional<int> runExtraCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// One line per command, for the usage text.
QStringList storeCommandUsage();
QStringList documentCommandUsage();
QStringList extraCommandUsage();
