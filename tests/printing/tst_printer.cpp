#include "cupsscheduler.h"

#include "printing/pagemodel.h"
#include "printing/pagination.h"
#include "printing/printer.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

QString run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Sizes of each page of a PDF in points, in page order.
QList<QSizeF> pageSizes(const QString &pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("999"), pdf});
    QList<QSizeF> sizes;
    static const QRegularExpression line(QStringLiteral(R"(Page\s+\d+ size:\s+([\d.]+) x ([\d.]+) pts)"));
    for (auto it = line.globalMatch(info); it.hasNext();) {
        const auto m = it.next();
        sizes << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return sizes;
}

QString text(const QString &pdf)
{
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

QString recipe(int lines)
{
    QStringList list;
    for (int i = 0; i < lines; ++i)
        list << QStringLiteral("Step %1: fold the egg whites into the batter.").arg(i + 1);
    return list.join(QLatin1Char('\n'));
}

struct Job
{
    QTextDocument document;
    LxPageList list;
    LxPrinter printer{&list};
    LxRtfPreview preview{&list};
    QStringList messages;

    Job(int lines, LxPagesPerSheet perSheet)
    {
        document.setPlainText(recipe(lines));
        list.setPagesPerSheet(perSheet);
        list.header().setVisible(true);
        list.header().setHeight(LxMeasurement::Millimeters, 10);
        list.header().setCaption(LxHeaderFooter::CaptionCenter, QStringLiteral("Page {PAGE} of {NUMPAGES}"));
        list.footer().setVisible(true);
        list.footer().setCaption(LxHeaderFooter::CaptionRight, QStringLiteral("Apple pie"));
        printer.OnMessage = [this](const QString &m) { messages << m; };
    }
    void paginate()
    {
        preview.setPrinterResolution(printer.metrics().resolutionX);
        list.ClearPages();
        preview.PaginateRichText(&document);
    }
    // Fills the document with just enough lines for the given number of pages.
    void paginateTo(int pages)
    {
        document.setPlainText(recipe(100));
        paginate();
        const int perPage = list.page(1).rtf.copy->findBlock(list.page(1).rtf.endIndex - 1).blockNumber() + 1;
        document.setPlainText(recipe(perPage * (pages - 1) + perPage / 2));
        paginate();
    }
};

bool landscape(QSizeF s)
{
    return s.width() > s.height();
}

} // namespace

class PrinterTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void noPrinter();
    void pdfSheets_data();
    void pdfSheets();
    void reverseRange();
    void cupsQueue();

private:
    CupsScheduler m_cups;
    QString m_cupsProblem;
    QTemporaryDir m_out;
};

void PrinterTest::initTestCase()
{
    // Qt's CUPS support reads the server once, on first use: point it at our own scheduler first.
    qputenv("CUPS_SERVER", m_cups.socket().toLocal8Bit());
    m_cupsProblem = m_cups.start(QStringLiteral("SaporinTestPDF"));
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QSKIP("poppler-utils (pdfinfo, pdftotext) are not installed");
}

void PrinterTest::noPrinter()
{
    Job job(10, LxPagesPerSheet::OnePage);
    job.printer.setPrinterName(QStringLiteral("No such queue"));
    QVERIFY(!job.printer.hasPrinter());
    const LxPrinter::Metrics fixed = job.printer.metrics();
    QCOMPARE(fixed.physical, QSize(2481, 3507));
    QCOMPARE(fixed.offsetLeft, 65);
    QVERIFY(!job.printer.PrintCurrentPage());
    QCOMPARE(job.messages, QStringList{QStringLiteral("Unable to print... No Printer available.")});
}

void PrinterTest::pdfSheets_data()
{
    QTest::addColumn<int>("perSheet");
    QTest::addColumn<bool>("landscapePages");
    QTest::addColumn<int>("sheets");
    QTest::addColumn<bool>("landscapeSheets");
    QTest::addColumn<int>("scale");
    QTest::newRow("one per sheet") << int(LxPagesPerSheet::OnePage) << false << 5 << false << 100;
    QTest::newRow("two per sheet") << int(LxPagesPerSheet::TwoPage) << false << 3 << true << 70;
    QTest::newRow("two per sheet, landscape pages") << int(LxPagesPerSheet::TwoPage) << true << 3 << false << 70;
    QTest::newRow("four per sheet") << int(LxPagesPerSheet::FourPage) << false << 2 << false << 49;
}

void PrinterTest::pdfSheets()
{
    QFETCH(int, perSheet);
    QFETCH(bool, landscapePages);
    QFETCH(int, sheets);
    QFETCH(bool, landscapeSheets);
    QFETCH(int, scale);
    Job job(1, LxPagesPerSheet(perSheet));
    if (landscapePages)
        job.list.setOrientation(LxOrientation::Landscape);
    job.printer.setPrinterName(LxPrinter::pdfTargetName());
    const QString pdf = m_out.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
    job.printer.setPdfFile(pdf);
    job.paginateTo(5);
    QCOMPARE(job.list.count(), 5);
    QVERIFY(job.printer.PrintRange(1, 5));

    const QList<QSizeF> sizes = pageSizes(pdf);
    QCOMPARE(sizes.size(), sheets);
    for (const QSizeF &s : sizes)
        QCOMPARE(landscape(s), landscapeSheets);
    const QList<LxPrinter::Placement> &placed = job.printer.lastJob();
    QCOMPARE(placed.size(), 5);
    QCOMPARE(placed.last().sheet, sheets - 1);
    QCOMPARE(placed.last().scalePercent, scale);
    // The last page of an odd count sits in the first place of its sheet.
    QCOMPARE(placed.last().rect.topLeft(), QPoint(0, 0));

    const QString printed = text(pdf);
    for (int n = 1; n <= 5; ++n)
        QVERIFY2(printed.contains(QStringLiteral("Page %1 of 5").arg(n)), qPrintable(printed.left(400)));
    QVERIFY(printed.contains(QStringLiteral("Apple pie")));
    QVERIFY(printed.contains(QStringLiteral("Step 1: fold")));
}

void PrinterTest::reverseRange()
{
    Job job(200, LxPagesPerSheet::OnePage);
    job.printer.setPrinterName(LxPrinter::pdfTargetName());
    const QString pdf = m_out.filePath(QStringLiteral("reverse.pdf"));
    job.printer.setPdfFile(pdf);
    job.paginateTo(5);
    QVERIFY(job.printer.PrintRange(4, 2));
    QList<int> order;
    for (const LxPrinter::Placement &p : job.printer.lastJob())
        order << p.page;
    QCOMPARE(order, (QList<int>{4, 3, 2}));
    const QString printed = text(pdf);
    QVERIFY(printed.indexOf(QStringLiteral("Page 4 of")) < printed.indexOf(QStringLiteral("Page 2 of")));
    QCOMPARE(pageSizes(pdf).size(), 3);
}

void PrinterTest::cupsQueue()
{
    if (!m_cupsProblem.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no private CUPS queue: ") + m_cupsProblem));
    QVERIFY(LxPrinter::installedPrinters().contains(QStringLiteral("SaporinTestPDF")));
    Job job(200, LxPagesPerSheet::TwoPage);
    job.printer.setPrinterName(QStringLiteral("SaporinTestPDF"));
    QVERIFY(job.printer.hasPrinter());
    job.printer.Title = QStringLiteral("Saporin test %1").arg(QCoreApplication::applicationPid());
    job.paginateTo(5);
    QCOMPARE(job.list.count(), 5);
    QVERIFY(job.printer.PrintRange(1, 5));
    const QString pdf = m_cups.waitForJob(job.printer.Title);
    QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote no file for the job");
    // The queue's filters turn the landscape sheets onto its portrait A4 media and convert the
    // fonts so that no text can be read back: look at where the ink is instead. Two pages share
    // each sheet, the fifth stands alone.
    QCOMPARE(pageSizes(pdf).size(), 3);
    const QString stem = m_out.filePath(QStringLiteral("cups"));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-gray"), pdf, stem});
    const QStringList sheets = QDir(m_out.path()).entryList({QStringLiteral("cups*.pgm")}, QDir::Files, QDir::Name);
    QCOMPARE(sheets.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QImage sheet(m_out.filePath(sheets.at(i)));
        QVERIFY(!sheet.isNull());
        int halves[2] = {0, 0};
        for (int y = 0; y < sheet.height(); ++y)
            for (int x = 0; x < sheet.width(); ++x)
                if (qGray(sheet.pixel(x, y)) < 200)
                    ++halves[sheet.width() > sheet.height() ? x * 2 / sheet.width() : y * 2 / sheet.height()];
        // Which half the first page takes depends on the way the filters turned the sheet.
        const int inked = (halves[0] > 20) + (halves[1] > 20);
        QCOMPARE(inked, i < 2 ? 2 : 1);
    }
    QFile::remove(pdf);
}

QTEST_MAIN(PrinterTest)
#include "tst_printer.moc"
