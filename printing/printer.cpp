#include "printing/printer.h"

#include "printing/pagemodel.h"
#include "printing/sheets.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>

namespace {

QPageLayout::Orientation qtOrientation(LxOrientation o)
{
    return o == LxOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

} // namespace

LxPrinter::LxPrinter(LxPageList *pages)
    : m_pages(pages)
{
    const QStringList printers = installedPrinters();
    m_printerName = printers.isEmpty() ? QString() : printers.constFirst();
}

QStringList LxPrinter::installedPrinters()
{
    QStringList names;
    const QString fallback = QPrinterInfo::defaultPrinterName();
    if (!fallback.isEmpty())
        names << fallback;
    for (const QString &name : QPrinterInfo::availablePrinterNames()) {
        if (!names.contains(name))
            names << name;
    }
    return names;
}

QString LxPrinter::pdfTargetName()
{
    return QStringLiteral("PDF file");
}

void LxPrinter::setPrinterName(const QString &name)
{
    m_printerName = name;
}

bool LxPrinter::hasPrinter() const
{
    if (isPdf())
        return true;
    return !m_printerName.isEmpty() && !QPrinterInfo::printerInfo(m_printerName).isNull();
}

LxPrinter::Metrics LxPrinter::fixedMetrics()
{
    Metrics m;
    m.physical = QSize(2481, 3507);
    m.printable = QSize(2358, 3407);
    m.offsetLeft = 65;
    m.offsetTop = 50;
    m.offsetRight = 58;
    m.offsetBottom = 50;
    m.resolutionX = m.resolutionY = 300;
    return m;
}

int LxPrinter::resolutionFor(Quality q) const
{
    if (isPdf() || !hasPrinter())
        return 300;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(m_printerName);
    QList<int> offered = printer.supportedResolutions();
    std::sort(offered.begin(), offered.end());
    offered.erase(std::unique(offered.begin(), offered.end()), offered.end());
    if (offered.isEmpty())
        return printer.resolution();
    // The four levels spread over what the driver offers, lowest to highest.
    const int last = int(offered.size()) - 1;
    const int index = int(std::lround(double(last) * int(q) / 3.0));
    return offered.at(index);
}

LxPrinter::Metrics LxPrinter::metrics() const
{
    if (!hasPrinter())
        return fixedMetrics();
    const int resolution = resolutionFor(quality);
    QPageSize size = Paper::pageSize(m_pages->paperSize(), m_pages->pageSize());
    QPageLayout layout(size, qtOrientation(m_pages->orientation()), QMarginsF());
    if (!isPdf()) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(m_printerName);
        printer.setPageSize(size);
        printer.setPageOrientation(qtOrientation(m_pages->orientation()));
        layout = printer.pageLayout();
    }
    Metrics m;
    m.resolutionX = m.resolutionY = resolution;
    const QRect full = layout.fullRectPixels(resolution);
    const QRect paint = layout.paintRectPixels(resolution);
    m.physical = full.size();
    m.printable = paint.size();
    m.offsetLeft = paint.left() - full.left();
    m.offsetTop = paint.top() - full.top();
    m.offsetRight = full.right() - paint.right();
    m.offsetBottom = full.bottom() - paint.bottom();
    return m;
}

bool LxPrinter::PrintPages(const QList<int> &requested)
{
    QList<int> pageNumbers;
    for (int n : requested) {
        if (n >= 1 && n <= m_pages->count())
            pageNumbers << n;
    }
    if (pageNumbers.isEmpty())
        return false;
    if (!hasPrinter()) {
        if (OnMessage)
            OnMessage(QStringLiteral("Unable to print... No Printer available."));
        return false;
    }
    if (m_printing)
        return false;

    LxPageList &list = *m_pages;
    const LxOrientation pageOrientation = list.page(pageNumbers.constFirst()).orientation;
    const LxPagesPerSheet perSheet = list.pagesPerSheet();
    m_printing = true;
    if (OnBeforePrint)
        OnBeforePrint();
    const LxOrientation sheetOrientation = Sheets::sheetOrientation(perSheet, pageOrientation);

    QPrinter printer(QPrinter::HighResolution);
    if (isPdf()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_pdfFile);
    } else {
        printer.setPrinterName(m_printerName);
    }
    printer.setResolution(resolutionFor(quality));
    printer.setFullPage(true);
    const QSizeF firstSize(double(list.page(pageNumbers.constFirst()).width.inches()), double(list.page(pageNumbers.constFirst()).height.inches()));
    const QSizeF portrait = firstSize.width() > firstSize.height() && pageOrientation == LxOrientation::Landscape ? firstSize.transposed() : firstSize;
    printer.setPageSize(Paper::pageSize(list.paperSize(), portrait));
    printer.setPageOrientation(qtOrientation(sheetOrientation));
    printer.setPageMargins(QMarginsF());
    printer.setDocName(Title);
    printer.setCopyCount(std::max(1, copies));
    printer.setColorMode(colorMode == Color ? QPrinter::Color : QPrinter::GrayScale);

    QPainter painter;
    if (!painter.begin(&printer)) {
        m_printing = false;
        if (OnMessage)
            OnMessage(QStringLiteral("Unable to print... No Printer available."));
        if (OnAfterPrint)
            OnAfterPrint();
        return false;
    }
    const double resX = printer.logicalDpiX();
    const double resY = printer.logicalDpiY();
    const QRect sheetRect = printer.pageLayout().fullRectPixels(printer.resolution());
    const QSize sheet(sheetRect.width(), sheetRect.height());

    m_lastJob.clear();
    int counter = 1;
    int sheetIndex = 0;
    for (int i = 0; i < pageNumbers.size(); ++i) {
        const int n = pageNumbers.at(i);
        const LxPage &page = list.page(n);
        const Sheets::Position where = Sheets::position(perSheet, counter, sheet);
        m_lastJob.append({n, sheetIndex, where.rect, where.scalePercent});
        painter.save();
        painter.translate(where.rect.topLeft());
        const double scale = where.scalePercent / 100.0;
        painter.scale(scale, scale);
        painter.setClipRect(QRectF(0, 0, double(page.width.inches()) * resX, double(page.height.inches()) * resY));
        drawPage(painter, list, n, resX, resY);
        painter.restore();
        if (i + 1 < pageNumbers.size()) {
            if (Sheets::endsSheet(perSheet, counter)) {
                printer.newPage();
                ++sheetIndex;
            }
            ++counter;
        }
        if (OnProgress)
            OnProgress(i + 1, int(pageNumbers.size()));
    }
    painter.end();
    m_printing = false;
    if (OnAfterPrint)
        OnAfterPrint();
    return true;
}

bool LxPrinter::PrintRange(int first, int last)
{
    QList<int> numbers;
    const int step = first <= last ? 1 : -1;
    for (int n = first;; n += step) {
        numbers << n;
        if (n == last)
            break;
    }
    m_pages->BeginUpdate();
    const bool printed = PrintPages(numbers);
    m_pages->EndUpdate();
    return printed;
}

bool LxPrinter::PrintCurrentPage()
{
    return PrintPages({m_pages->currentPage()});
}
