#pragma once

#include <QByteArray>
#include <QString>

class TableGrid;

// The cell texts of a table as files: the table text file (column count, row count, then one
// line per cell, column by column) and CSV (one line per row). Every written line ends with CR LF.
// Texts are written as UTF-8; a file is read as UTF-8, or as Windows-1252 when its bytes are
// not valid UTF-8 (files from older 8-bit systems).
namespace TableText {

// The most columns and rows a table has; larger counts in a file are cut to it.
constexpr int MaxCount = 100;

enum class ExportKind { TableText, Csv, None };
// Decided by the file name's extension, whatever its case: ".txt", ".csv", anything else none.
[[nodiscard]] ExportKind exportKindFor(const QString &fileName);

[[nodiscard]] QByteArray write(const TableGrid &grid);
[[nodiscard]] QByteArray writeCsv(const TableGrid &grid);
// The CSV form of one text: quoted when it holds a blank, a control character, a double quote or
// a comma, with inner quotes doubled.
[[nodiscard]] QString csvField(const QString &text);

// Reads a table text file into the grid: the counts (below 1 count as 1, above MaxCount as
// MaxCount; a header that would leave no body row or column is dropped), then the texts; cells
// the file does not reach stay as they are. Throws Error("Invalid numeric input") for a count that
// is not an integer, leaving the grid as far as it was read.
void read(const QByteArray &bytes, TableGrid &grid);

[[nodiscard]] QString decode(const QByteArray &bytes);

// File forms; each throws Error with a message for the user.
void writeFile(const QString &path, const TableGrid &grid);    // the platform's file-error text
void writeCsvFile(const QString &path, const TableGrid &grid); // "Cannot create file %s"
void readFile(const QString &path, TableGrid &grid);

} // namespace TableText
