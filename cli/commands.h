#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

class QTextStream;

// Each group of saporin-cli commands answers a command line (program name removed). A group
// returns std::nullopt when the command is not one of its own, otherwise the exit code.
std::optional<int> runStoreCommand(const QStringList &args, QTextStream &out, QTextStream &err);
std::optional<int> runDocumentCommand(const QStringList &args, QTextStream &out, QTextStream &err);
// Commands that draw with the program's widgets (the widget gallery).
std::optional<int> runExtraCommand(const QStringList &args, QTextStream &out, QTextStream &err);
// The table builder's files: table text drawn as a picture or converted to CSV.
std::optional<int> runTableCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// A document file (.rtf, .txt or a stored body .zrtf) encoded as the editor saves a body.
[[nodiscard]] QByteArray EncodeBodyFile(const QString &path);

// One line per command, for the usage text.
QStringList storeCommandUsage();
QStringList documentCommandUsage();
QStringList extraCommandUsage();
QStringList tableCommandUsage();
