#include "pickers/charactergrid.h"

namespace CharacterGrid {

char32_t codeAt(int column, int row, int page)
{
    return char32_t(page * PageSize + (row * Columns + column) % PageSize);
}

QString textOf(char32_t code)
{
    if (code == 0 || code > 0x10FFFF || QChar::isSurrogate(code))
        return {};
    return QString::fromUcs4(&code, 1);
}

QString altCode(char32_t code)
{
    return QLatin1Char('0') + QString::number(quint32(code));
}

QString pageRange(int page)
{
    const auto hex = [](int code) { return QStringLiteral("U+%1").arg(code, 4, 16, QLatin1Char('0')).toUpper(); };
    return hex(page * PageSize) + QStringLiteral(" - ") + hex(page * PageSize + PageSize - 1);
}

} // namespace CharacterGrid
