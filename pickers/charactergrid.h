#pragma once

#include <QString>

// The arithmetic of the character map's grid: 20 x 13 cells of one page of 256 code points.
// The first page is codes 0 to 255 in reading order, then codes 0 to 3 again in the last four
// cells; every further page repeats that layout 256 code points higher.
namespace CharacterGrid {

inline constexpr int Columns = 20;
inline constexpr int Rows = 13;
inline constexpr int PageSize = 256;
// Pages run up to the last Unicode code point, U+10FFFF.
inline constexpr int PageCount = 0x110000 / PageSize;

// The code point shown in a cell of the given page (page 0 is the Latin-1 range).
[[nodiscard]] char32_t codeAt(int column, int row, int page = 0);

// The text a code stands for: empty for code 0 and for code points that are no characters on
// their own (surrogate halves), the character otherwise.
[[nodiscard]] QString textOf(char32_t code);

// The keyboard code as the "ALT + " label shows it: "0" and the decimal code ("07", "065", "0200").
[[nodiscard]] QString altCode(char32_t code);

// "U+0000 - U+00FF": the range of code points a page holds.
[[nodiscard]] QString pageRange(int page);

} // namespace CharacterGrid
