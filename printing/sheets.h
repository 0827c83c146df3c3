#pragma once

#include "printing/paper.h"

#include <QDateTime>
#include <QRect>

class LxPageList;
class QPainter;

namespace Sheets {

// Where page number `counter` of a job goes on its sheet, and at what scale in percent.
struct Position
{
    QRect rect;
    int scalePercent = 100;
};

// sheet: the sheet's size in device pixels.
[[nodiscard]] Position position(LxPagesPerSheet pagesPerSheet, int counter, QSize sheet);
// Whether the page after `counter` starts a new sheet.
[[nodiscard]] bool endsSheet(LxPagesPerSheet pagesPerSheet, int counter);
// Two pages per sheet turn the sheet: portrait pages print on a landscape sheet and the reverse.
[[nodiscard]] LxOrientation sheetOrientation(LxPagesPerSheet pagesPerSheet, LxOrientation pages);

} // namespace Sheets

// Draws page n of a list in its drawing order (its text slice, the header band, the footer band)
// on a painter whose coordinates are device pixels of the given resolution from the paper corner.
void drawPage(QPainter &painter, const LxPageList &pages, int n, double resolutionX, double resolutionY,
              const QDateTime &now = QDateTime::currentDateTime());
