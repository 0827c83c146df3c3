#pragma once

#include <QDateTime>
#include <QLocale>
#include <QRectF>
#include <QString>

class LxHeaderFooter;
class QPainter;

namespace Captions {

// The locale's date separator ("/" where its short date format shows none).
[[nodiscard]] QString dateSeparator(const QLocale &locale);

// Replaces {DATE}, {TIME}, {PAGE} and {NUMPAGES}, in that order and every occurrence, matching
// case-sensitively.
[[nodiscard]] QString expandTokens(const QString &text, int page, int pageCount, const QDateTime &now = QDateTime::currentDateTime(),
                                   const QLocale &locale = QLocale());

// Whole-pixel advances of the characters of a text on a device of the given horizontal
// resolution, measured at 7200 pixels per inch; the dropped fractions are carried so the total
// equals the measured width.
[[nodiscard]] QList<int> advances(const QString &text, const QFont &font, double resolutionX);

// Draws a band whose rectangle is given in inches onto a painter whose device has the given
// resolution (and whose coordinates are device pixels from the paper's corner).
void drawBand(QPainter &painter, const LxHeaderFooter &band, const QRectF &bandInches, int page, int pageCount,
              double resolutionX, double resolutionY, const QDateTime &now = QDateTime::currentDateTime());

} // namespace Captions
