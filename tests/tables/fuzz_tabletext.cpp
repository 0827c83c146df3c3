// libFuzzer target for table text files: any bytes are either refused with "Invalid numeric
// input" or read into a table of at most 100 x 100 cells, which is written back as table text
// and as CSV, and read again to the same texts.
// Built and run by scripts/fuzz.sh [SECONDS]; seeds in tests/tables/seeds-tabletext.

#include "store/error.h"
#include "tables/tabledesign.h"
#include "tables/tabletext.h"
#include "tests/support/fuzzapplication.h"


#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TableDesign design;
    try {
        design.importText(bytes);
    } catch (const Error &error) {
        if (error.message() != QLatin1String("Invalid numeric input"))
            std::abort();
        return 0;
    }
    const TableGrid &grid = design.grid();
    if (grid.colCount() < 1 || grid.colCount() > TableText::MaxCount || grid.rowCount() < 1
        || grid.rowCount() > TableText::MaxCount || grid.fixedCols() >= grid.colCount()
        || grid.fixedRows() >= grid.rowCount())
        std::abort();
    (void)TableText::writeCsv(grid);
    TableDesign again;
    again.importText(TableText::write(grid));
    for (int c = 0; c < grid.colCount(); ++c)
        for (int r = 0; r < grid.rowCount(); ++r) {
            // Texts keep everything but line breaks, which a line cannot hold.
            QString text = grid.cell(c, r);
            if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) && again.grid().cell(c, r) != text)
                std::abort();
        }
    return 0;
}
