#pragma once

#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

// The paper sizes a page list offers, in the order the paper list shows them.
enum class LxPaperSize {
    A3, A4, A5, A6, B5, C5, Legal, Letter, Custom, B4, Envelope_09, Envelope_10, Envelope_11,
    Envelope_12, Envelope_14, Tabloid, Ledger, Executive
};

enum class LxOrientation { Portrait, Landscape };
enum class LxPagesPerSheet { OnePage, TwoPage, FourPage };

namespace Paper {

[[nodiscard]] QStringList names();
[[nodiscard]] QString name(LxPaperSize paper);
// A name that matches no entry is Custom.
[[nodiscard]] LxPaperSize fromName(const QString &name);
// Width and height of a portrait sheet in inches; empty for Custom.
[[nodiscard]] QSizeF portraitInches(LxPaperSize paper);
// The printer paper code of the size (-1 for Custom).
[[nodiscard]] int printerCode(LxPaperSize paper);
// The same sheet for Qt's printers; Custom maps to a custom size of the given page.
[[nodiscard]] QPageSize pageSize(LxPaperSize paper, QSizeF portraitInchesOfCustom = {});
// Envelopes show an envelope in the paper list, the others a sheet.
[[nodiscard]] bool isEnvelope(LxPaperSize paper);

// The page size for a paper and orientation: the table's sizes, exchanged for landscape whichever
// side is longer; Custom keeps the current size.
[[nodiscard]] QSizeF pageInches(LxPaperSize paper, LxOrientation orientation, QSizeF current);

} // namespace Paper
