#pragma once

#include "printing/paper.h"

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class LxPageList;

// The print job settings of a page list and the jobs themselves, on Qt's printers (CUPS queues)
// or on a PDF file.
class LxPrinter
{
public:
    enum Quality { Draft, Low, Medium, High };
    enum ColorMode { Color, Monochrome };

    struct Metrics
    {
        QSize physical;
        QSize printable;
        int offsetLeft = 0;
        int offsetTop = 0;
        int offsetRight = 0;
        int offsetBottom = 0;
        int resolutionX = 300;
        int resolutionY = 300;
    };

    explicit LxPrinter(LxPageList *pages);

    // The installed printers, the default one first when there is one.
    [[nodiscard]] static QStringList installedPrinters();
    // The name the PDF target shows under among the printers.
    [[nodiscard]] static QString pdfTargetName();

    // Chooses an installed printer by name, or the PDF target (then pdfFile is written).
    void setPrinterName(const QString &name);
    [[nodiscard]] QString printerName() const { return m_printerName; }
    void setPdfFile(const QString &path) { m_pdfFile = path; }
    [[nodiscard]] bool isPdf() const { return m_printerName == pdfTargetName(); }
    [[nodiscard]] bool hasPrinter() const;

    QString Title = QStringLiteral("<document>");
    int copies = 1;
    Quality quality = High;
    ColorMode colorMode = Color;

    // Device figures of the current printer in the page list's orientation; the fixed figures of
    // a 300 dpi A4 sheet when there is no printer.
    [[nodiscard]] Metrics metrics() const;
    [[nodiscard]] static Metrics fixedMetrics();
    // The resolution the quality gives on the current printer.
    [[nodiscard]] int resolutionFor(Quality quality) const;

    [[nodiscard]] bool isPrinting() const { return m_printing; }

    std::function<void(const QString &)> OnMessage;
    std::function<void()> OnBeforePrint;
    std::function<void()> OnAfterPrint;
    std::function<void(int done, int total)> OnProgress;

    // Each prints as one job; false when no job ran.
    bool PrintPages(const QList<int> &pages);
    bool PrintRange(int first, int last);
    bool PrintCurrentPage();

    // Where page `counter` of a job landed, for tests: sheet index from 0 and position.
    struct Placement
    {
        int page;
        int sheet;
        QRect rect;
        int scalePercent;
    };
    [[nodiscard]] const QList<Placement> &lastJob() const { return m_lastJob; }

private:
    LxPageList *m_pages;
    QString m_printerName;
    QString m_pdfFile;
    bool m_printing = false;
    QList<Placement> m_lastJob;
};
