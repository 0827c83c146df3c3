// Measures the printing core against Qt's own document layout and printing, in the same run:
//   paginate a document of about N pages at 600 dpi  vs. QTextDocument setPageSize + pageCount
//   print M of its pages to a PDF                    vs. QTextDocument::print to a QPdfWriter
// Usage: bench_printing [--pages N] [--print-pages M] [--repeat R]   (defaults 1000, 100, 3)
// Targets: pagination at most 1.2 x, printing at most 1.2 x. Every figure is the best of R runs.

#include "printing/pagemodel.h"
#include "printing/pagination.h"
#include "printing/printer.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// A recipe book of about the given number of A4 pages: headings, paragraphs, ingredient tables.
void fill(QTextDocument &doc, int pages)
{
    static const char *const words[] = {"flour", "butter", "sugar", "eggs", "milk", "salt", "simmer", "stir", "bake",
                                        "minutes", "until", "golden", "gently", "fold", "whisk", "the", "and", "with"};
    QTextCursor cursor(&doc);
    quint32 seed = 7;
    auto word = [&] {
        seed = seed * 1664525u + 1013904223u;
        return QString::fromLatin1(words[(seed >> 16) % (sizeof words / sizeof words[0])]);
    };
    QTextCharFormat heading;
    heading.setFontPointSize(16);
    heading.setFontWeight(QFont::Bold);
    QTextCharFormat body;
    body.setFontPointSize(11);
    // A recipe takes about two fifths of a page.
    const int recipes = pages * 5 / 2;
    for (int r = 0; r < recipes; ++r) {
        cursor.insertText(QStringLiteral("Recipe %1").arg(r + 1), heading);
        cursor.insertBlock();
        for (int p = 0; p < 4; ++p) {
            QString text;
            for (int w = 0; w < 60; ++w)
                text += word() + QLatin1Char(' ');
            cursor.insertText(text, body);
            cursor.insertBlock();
        }
        if (r % 3 == 0) {
            QTextTable *table = cursor.insertTable(6, 3);
            for (int row = 0; row < 6; ++row)
                for (int c = 0; c < 3; ++c)
                    table->cellAt(row, c).firstCursorPosition().insertText(word(), body);
            cursor.movePosition(QTextCursor::End);
        }
        cursor.insertBlock();
    }
}

double best(int repeat, const std::function<void()> &work)
{
    double fastest = 1e300;
    for (int i = 0; i < repeat; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        fastest = std::min(fastest, timer.nsecsElapsed() / 1e6);
    }
    return fastest;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    int pages = 1000;
    int printPages = 100;
    int repeat = 3;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--pages"))
            pages = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--print-pages"))
            printPages = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--repeat"))
            repeat = std::max(1, args[i + 1].toInt());
    }

    QTextDocument source;
    fill(source, pages);
    constexpr int Resolution = 600;

    // Qt itself: the same text area laid out at the printer's resolution and paginated.
    int qtPages = 0;
    const double qtLayout = best(repeat, [&] {
        std::unique_ptr<QTextDocument> doc(source.clone());
        QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
        device.setDotsPerMeterX(qRound(Resolution / 0.0254));
        device.setDotsPerMeterY(qRound(Resolution / 0.0254));
        doc->documentLayout()->setPaintDevice(&device);
        doc->setDocumentMargin(0);
        // The text area of an A4 page with the default margins and bands.
        const double width = (210 - 50) / 25.4 * Resolution;
        const double height = (297 - 50) / 25.4 * Resolution - Resolution / 16.0;
        doc->setPageSize(QSizeF(width, height));
        qtPages = doc->pageCount();
    });

    int ourPages = 0;
    LxPageList list;
    LxRtfPreview preview(&list);
    preview.setPrinterResolution(Resolution);
    list.margins().setSide(LxMargins::Left, LxMeasurement::Millimeters, 25);
    list.margins().setSide(LxMargins::Right, LxMeasurement::Millimeters, 25);
    list.margins().setSide(LxMargins::Top, LxMeasurement::Millimeters, 15);
    list.margins().setSide(LxMargins::Bottom, LxMeasurement::Millimeters, 15);
    list.header().setHeight(LxMeasurement::Millimeters, 10);
    list.footer().setHeight(LxMeasurement::Millimeters, 10);
    const double ours = best(repeat, [&] {
        list.ClearPages();
        preview.PaginateRichText(&source);
        ourPages = list.count();
    });
    std::printf("paginate: %d pages (Qt %d) in %.0f ms, Qt layout %.0f ms: %.2f x (target 1.2)\n", ourPages, qtPages, ours, qtLayout,
                ours / qtLayout);

    // Printing the first pages to PDF at 300 dpi.
    QTemporaryDir dir;
    QTextDocument part;
    fill(part, printPages);
    LxPageList printList;
    LxPrinter printer(&printList);
    printer.setPrinterName(LxPrinter::pdfTargetName());
    printer.setPdfFile(dir.filePath(QStringLiteral("ours.pdf")));
    LxRtfPreview printPreview(&printList);
    printPreview.setPrinterResolution(300);
    int count = 0;
    // Like QTextDocument::print, this lays the document out and then prints it.
    const double printOurs = best(repeat, [&] {
        printList.ClearPages();
        printPreview.PaginateRichText(&part);
        count = printList.count();
        printer.PrintRange(1, count);
    });
    const double printQt = best(repeat, [&] {
        QPdfWriter writer(dir.filePath(QStringLiteral("qt.pdf")));
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(25, 25, 25, 25), QPageLayout::Millimeter);
        part.print(&writer);
    });
    std::printf("print to PDF: %d pages in %.0f ms, QTextDocument::print %.0f ms: %.2f x (target 1.2)\n", count, printOurs, printQt,
                printOurs / printQt);
    return 0;
}
