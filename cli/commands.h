#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

class QTextStream;
class RichTextControl;

// Each group of saporin-cli commands answers a command line (program name removed). A group
// returns std::nullopt when the command is not one of its own, otherwise the exit code.
std::optional<int> runStoreCommand(const QStringList &args, QTextStream &out, QTextStream &err);
std::optional<int> runDocumentCommand(const QStringList &args, QTextStream &out, QTextStream &err);
// Commands that draw with the program's widgets (the widget gallery).
std::optional<int> runExtraCommand(const QStringList &args, QTextStream &out, QTextStream &err);
// The table builder's files: table text drawn as a picture or converted to CSV.
std::optional<int> runTableCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// MealMaster archives: import-mealmaster and export-mealmaster.
std::optional<int> runMealMasterCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// Printing documents and listing printers.
std::optional<int> runPrintCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// Loads a document (.rtf, .txt or a stored body .zrtf) as the editor's Import does.
void LoadDocumentFile(RichTextControl &control, const QString &path);
// Removes "NAME VALUE" from the arguments and gives VALUE, or the fallback when NAME is absent.
QString TakeOption(QStringList &args, const QString &name, const QString &fallback = {});

// A document file (.rtf, .txt or a stored body .zrtf) encoded as the editor saves a body.
[[nodiscard]] QByteArray EncodeBodyFile(const QString &path);

// The name under which list and export show recipes whose category is missing.
[[nodiscard]] QString missingCategoryHeading(const QString &categoryNo);

// Takes DATADIR off the front of `positional` when it is there, that is when the list holds
// `countWithDirectory` arguments or its first is "-", and gives the folder of the tables: the one
// named, or for "-" or a missing DATADIR the folder the program itself uses (created if need be).
// Throws Error when a named folder is not a directory.
QString TakeDataDirectory(QStringList &positional, qsizetype countWithDirectory);
// The folder of the tables for a DATADIR argument: "-" stands for the program's own.
QString DataDirectoryFor(const QString &argument);

// One line per command, for the usage text.
QStringList storeCommandUsage();
QStringList documentCommandUsage();
QStringList extraCommandUsage();
QStringList printCommandUsage();
QStringList tableCommandUsage();
QStringList mealMasterCommandUsage();
