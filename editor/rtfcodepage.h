#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

#include <optional>

// Windows code pages as RTF uses them: decoding of \'hh bytes and raw 8-bit text, and the
// one-byte fallback the writer puts after \uN.
namespace RtfCodepage {

// True for code pages with one byte per character (all but the East Asian double-byte ones).
[[nodiscard]] bool isSingleByte(int codepage);
// True for a byte that starts a two-byte character in a double-byte code page; the byte after it
// belongs to the same character whatever it looks like.
[[nodiscard]] bool isLeadByte(int codepage, uchar byte);
// One byte of a single-byte code page.
[[nodiscard]] QChar decodeByte(int codepage, uchar byte);
// A byte sequence of any code page; undecodable bytes become U+FFFD.
[[nodiscard]] QString decode(int codepage, const QByteArray &bytes);
// The Windows-1252 byte for a character, if it has one.
[[nodiscard]] std::optional<uchar> toWindows1252(QChar c);

} // namespace RtfCodepage
