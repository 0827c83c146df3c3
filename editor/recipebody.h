#pragma once

#include <QByteArray>

// The stored form of a recipe body: the body's RTF bytes as exactly one finished zlib stream
// (level 1, 15-bit window, memory level 8, default strategy).

// Deflates the RTF bytes. Throws Error if zlib fails.
[[nodiscard]] QByteArray SaveRecipeBody(const QByteArray &rtf);

// Inflates a stored body. An empty field gives an empty body; bytes after the end of the stream
// are ignored. Throws Error with zlib's own text ("data error", ...) for a damaged stream, and
// refuses bodies that would inflate beyond MaxRecipeBodySize.
[[nodiscard]] QByteArray LoadRecipeBody(const QByteArray &stored);

// The largest body LoadRecipeBody accepts, in bytes (1 GiB).
inline constexpr qint64 MaxRecipeBodySize = qint64(1) << 30;

// Same as LoadRecipeBody with a smaller limit (used by tests and by callers that want less).
[[nodiscard]] QByteArray LoadRecipeBody(const QByteArray &stored, qint64 limit);
