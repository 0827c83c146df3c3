#include "cli/commands.h"

#include "editor/control/richtextcontrol.h"
#include "printing/pagemodel.h"
#include "printing/pagination.h"
#include "printing/printer.h"
#include "store/error.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

// Printing a document with the preview's page model and printer code, and listing printers.

namespace {

// "LEFT|CENTRE|RIGHT": three captions, any of them empty.
void setCaptions(LxHeaderFooter &band, const QString &captions)
{
    const QStringList parts = captions.split(QLatin1Char('|'));
    if (parts.size() > 3)
        throw Error(QStringLiteral("a band has three captions at most: LEFT|CENTRE|RIGHT"));
    for (int i = 0; i < parts.size(); ++i)
        band.setCaption(LxHeaderFooter::Position(i), parts.at(i));
    band.setVisible(true);
}

int print(QStringList args, QTextStream &out)
{
    const QString pdf = TakeOption(args, QStringLiteral("--pdf"));
    const QString printerName = TakeOption(args, QStringLiteral("--printer"));
    const QString paper = TakeOption(args, QStringLiteral("--paper"), QStringLiteral("A4"));
    const QString perSheet = TakeOption(args, QStringLiteral("--pages-per-sheet"), QStringLiteral("1"));
    // A fresh installation's margins, in millimetres.
    const QString margins = TakeOption(args, QStringLiteral("--margins"), QStringLiteral("25,15,25,15"));
    const QString header = TakeOption(args, QStringLiteral("--header"));
    const QString footer = TakeOption(args, QStringLiteral("--footer"));
    const QString range = TakeOption(args, QStringLiteral("--range"));
    const bool landscape = args.removeAll(QStringLiteral("--landscape")) > 0;
    if (args.size() != 1 || pdf.isEmpty() == printerName.isEmpty())
        throw Error(QStringLiteral("usage: saporin-cli print IN (--pdf OUT.pdf | --printer NAME) [options]"));

    RichTextControl control;
    LoadDocumentFile(control, args.constFirst());

    LxPageList pages;
    const LxPaperSize paperSize = Paper::fromName(paper);
    if (paperSize == LxPaperSize::Custom)
        throw Error(QStringLiteral("unknown paper \"%1\"; one of: %2").arg(paper, Paper::names().join(QLatin1String(", "))));
    pages.setPaperSize(paperSize);
    pages.setOrientation(landscape ? LxOrientation::Landscape : LxOrientation::Portrait);
    if (perSheet == QLatin1String("2"))
        pages.setPagesPerSheet(LxPagesPerSheet::TwoPage);
    else if (perSheet == QLatin1String("4"))
        pages.setPagesPerSheet(LxPagesPerSheet::FourPage);
    else if (perSheet != QLatin1String("1"))
        throw Error(QStringLiteral("--pages-per-sheet is 1, 2 or 4"));

    const QStringList sides = margins.split(QLatin1Char(','));
    if (sides.size() != 4)
        throw Error(QStringLiteral("--margins takes L,T,R,B in millimetres"));
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const double mm = sides.at(i).trimmed().toDouble(&ok);
        if (!ok || mm < 0 || mm > 200)
            throw Error(QStringLiteral("--margins takes L,T,R,B in millimetres"));
        static const LxMargins::Side order[] = {LxMargins::Left, LxMargins::Top, LxMargins::Right, LxMargins::Bottom};
        pages.margins().setSide(order[i], LxMeasurement::Millimeters, mm);
    }
    pages.header().setHeight(LxMeasurement::Millimeters, 10);
    pages.footer().setHeight(LxMeasurement::Millimeters, 10);
    if (!header.isEmpty())
        setCaptions(pages.header(), header);
    if (!footer.isEmpty())
        setCaptions(pages.footer(), footer);

    LxPrinter printer(&pages);
    QStringList messages;
    printer.OnMessage = [&messages](const QString &m) { messages << m; };
    if (!pdf.isEmpty()) {
        printer.setPrinterName(LxPrinter::pdfTargetName());
        printer.setPdfFile(QFileInfo(pdf).absoluteFilePath());
    } else {
        printer.setPrinterName(printerName);
    }
    printer.Title = QFileInfo(args.constFirst()).completeBaseName();

    LxRtfPreview preview(&pages);
    preview.setPrinterResolution(printer.metrics().resolutionX);
    pages.ClearPages();
    preview.PaginateRichText(control.document());

    int first = 1;
    int last = pages.count();
    if (!range.isEmpty()) {
        static const QRegularExpression form(QStringLiteral(R"(^\s*(\d+)\s*-\s*(\d+)\s*$)"));
        const QRegularExpressionMatch m = form.match(range);
        if (!m.hasMatch())
            throw Error(QStringLiteral("--range takes FIRST-LAST"));
        first = m.captured(1).toInt();
        last = m.captured(2).toInt();
        if (first < 1 || last < 1 || first > pages.count() || last > pages.count())
            throw Error(QStringLiteral("the document has %1 pages").arg(pages.count()));
    }
    if (!printer.PrintRange(first, last))
        throw Error(messages.isEmpty() ? QStringLiteral("nothing was printed") : messages.join(QLatin1Char(' ')));
    out << "printed " << (std::abs(last - first) + 1) << " of " << pages.count() << " pages\n";
    return 0;
}

} // namespace

std::optional<int> runPrintCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString command = args.value(0);
    try {
        if (command == QLatin1String("print"))
            return print(args.mid(1), out);
        if (command == QLatin1String("printers")) {
            for (const QString &name : LxPrinter::installedPrinters())
                out << name << '\n';
            return 0;
        }
    } catch (const Error &error) {
        err << "saporin-cli: " << error.message() << '\n';
        return 1;
    }
    return std::nullopt;
}

QStringList printCommandUsage()
{
    return {
        QStringLiteral("print IN (--pdf OUT.pdf | --printer NAME) [--paper NAME] [--landscape] [--pages-per-sheet 1|2|4]"),
        QStringLiteral("      [--margins L,T,R,B] [--header L|C|R] [--footer L|C|R] [--range FIRST-LAST]"),
        QStringLiteral("printers                           the installed printers"),
    };
}
