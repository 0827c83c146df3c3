#include "printing/pagemodel.h"
#include "printing/pagination.h"
#include "printing/sheets.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

namespace {

constexpr double Resolution = 600;

struct Paginated
{
    LxPageList list;
    LxRtfPreview preview{&list};
    explicit Paginated(const QTextDocument &source, double resolution = Resolution)
    {
        list.margins().setSide(LxMargins::Top, LxMeasurement::Millimeters, 15);
        list.margins().setSide(LxMargins::Bottom, LxMeasurement::Millimeters, 15);
        list.header().setHeight(LxMeasurement::Millimeters, 10);
        list.footer().setHeight(LxMeasurement::Millimeters, 10);
        preview.setPrinterResolution(resolution);
        list.ClearPages();
        preview.PaginateRichText(&source);
    }
};

QString lines(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral("Line %1 of the method: stir the sauce.").arg(i + 1);
    return list.join(QLatin1Char('\n'));
}

// Rows of ink inside the image, top and bottom.
QPair<int, int> inkRows(const QImage &image)
{
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(row[x]) < 160) {
                if (top < 0)
                    top = y;
                bottom = y;
                break;
            }
        }
    }
    return {top, bottom};
}

} // namespace

class PaginationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyDocumentHasOnePage();
    void slicesCoverTheText();
    void textAreaBetweenBands();
    void exactFitAddsNoPage();
    void tableRowsAreNeverCut();
    void tallPictureStandsAlone();
    void unwrappedLinesStillEnd();
    void slicesDrawInTheirTextArea();
    void sheetPositions_data();
    void sheetPositions();
};

void PaginationTest::emptyDocumentHasOnePage()
{
    QTextDocument empty;
    Paginated p(empty);
    QCOMPARE(p.list.count(), 1);
    QCOMPARE(p.list.page(1).rtf.firstIndex, 0);
    QCOMPARE(p.list.page(1).rtf.endIndex, 0);
}

void PaginationTest::slicesCoverTheText()
{
    QTextDocument doc;
    doc.setPlainText(lines(400));
    int progress = -1;
    int newPages = 0;
    LxPageList list;
    LxRtfPreview preview(&list);
    preview.OnProgress = [&](int percent) { progress = percent; };
    preview.OnNewPage = [&](const LxValue &, const LxValue &) { ++newPages; };
    preview.PaginateRichText(&doc);
    QVERIFY(list.count() > 5);
    QCOMPARE(newPages, list.count() - 1);
    QCOMPARE(progress, 100);
    int expected = 0;
    for (int n = 1; n <= list.count(); ++n) {
        const LxPageRtfInfo &slice = list.page(n).rtf;
        QCOMPARE(slice.firstIndex, expected);
        QVERIFY(slice.endIndex > slice.firstIndex);
        // A page starts at the beginning of a line.
        QTextCursor c(slice.copy);
        c.setPosition(slice.firstIndex);
        QVERIFY(c.atBlockStart());
        expected = slice.endIndex;
    }
    QCOMPARE(expected, doc.characterCount() - 1);
}

void PaginationTest::textAreaBetweenBands()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Salt."));
    Paginated p(doc);
    const QRectF area = p.list.page(1).rtf.textRect;
    QCOMPARE(qRound(area.top() * 1440), qRound(25 / 25.4 * 1440) + 90);
    QCOMPARE(qRound((double(p.list.page(1).height.inches()) - area.bottom()) * 1440), qRound(25 / 25.4 * 1440));
    QCOMPARE(p.preview.ATopMargin.twips(), qRound(15 / 25.4 * 1440) + qRound(10 / 25.4 * 1440));
}

void PaginationTest::exactFitAddsNoPage()
{
    QTextDocument probe;
    probe.setPlainText(lines(300));
    Paginated first(probe);
    const QTextBlock lastOnPage = first.list.page(1).rtf.copy->findBlock(first.list.page(1).rtf.endIndex - 1);
    const int perPage = lastOnPage.blockNumber() + 1;
    QVERIFY(perPage > 10);

    QTextDocument exact;
    exact.setPlainText(lines(perPage));
    QCOMPARE(Paginated(exact).list.count(), 1);
    QTextDocument oneMore;
    oneMore.setPlainText(lines(perPage + 1));
    QCOMPARE(Paginated(oneMore).list.count(), 2);
}

void PaginationTest::tableRowsAreNeverCut()
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("Shopping list"));
    QTextTableFormat format;
    format.setCellPadding(4);
    format.setBorder(1);
    QTextTable *table = cursor.insertTable(150, 3, format);
    for (int r = 0; r < table->rows(); ++r) {
        for (int c = 0; c < 3; ++c)
            table->cellAt(r, c).firstCursorPosition().insertText(r % 7 == 0 ? lines(3) : QStringLiteral("Item %1").arg(r));
    }
    table->mergeCells(40, 1, 3, 1);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("Done."));

    Paginated p(doc);
    QVERIFY(p.list.count() >= 3);
    QSet<int> rowStarts;
    for (int r = 0; r < table->rows(); ++r)
        rowStarts.insert(table->cellAt(r, 0).firstPosition());
    const QTextTable *copied = nullptr;
    for (QTextFrame *frame : p.list.page(1).rtf.copy->rootFrame()->childFrames())
        copied = qobject_cast<QTextTable *>(frame);
    QVERIFY(copied);
    for (int n = 2; n <= p.list.count(); ++n) {
        const int start = p.list.page(n).rtf.firstIndex;
        if (start > copied->lastPosition())
            continue;
        QVERIFY2(rowStarts.contains(start), qPrintable(QStringLiteral("page %1 starts inside a row").arg(n)));
        // The merged rows 40 to 42 stay together.
        QVERIFY(start != table->cellAt(41, 0).firstPosition() && start != table->cellAt(42, 0).firstPosition());
    }
}

void PaginationTest::tallPictureStandsAlone()
{
    QTextDocument doc;
    QImage tall(200, 4000, QImage::Format_RGB32);
    tall.fill(Qt::darkBlue);
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("tall")), tall);
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("Before the picture."));
    cursor.insertBlock();
    cursor.insertImage(QStringLiteral("tall"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("After the picture."));

    Paginated p(doc, 150);
    QCOMPARE(p.list.count(), 3);
    const LxPage &picturePage = p.list.page(2);
    QCOMPARE(picturePage.rtf.endIndex - picturePage.rtf.firstIndex, 2);
    // Drawn whole, scaled into the text area.
    QImage image(qRound(double(picturePage.width.inches()) * 150), qRound(double(picturePage.height.inches()) * 150), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        LxRtfPreview::renderSlice(painter, picturePage, 150, 150);
    }
    const auto [top, bottom] = inkRows(image);
    QVERIFY(top >= qFloor(picturePage.rtf.textRect.top() * 150));
    QVERIFY(bottom <= qCeil(picturePage.rtf.textRect.bottom() * 150) + 1);
    QVERIFY(bottom - top > picturePage.rtf.textRect.height() * 150 * 0.9);
}

void PaginationTest::unwrappedLinesStillEnd()
{
    QTextDocument doc;
    doc.setPlainText(QString(5000, QLatin1Char('x')) + QLatin1Char('\n') + lines(200));
    LxPageList list;
    LxRtfPreview preview(&list);
    preview.WrapLines = false;
    preview.PaginateRichText(&doc);
    QCOMPARE(list.page(list.count()).rtf.endIndex, doc.characterCount() - 1);
    QVERIFY(list.page(1).rtf.textRect.width() > list.page(1).width.inches());
}

void PaginationTest::slicesDrawInTheirTextArea()
{
    QTextDocument doc;
    doc.setPlainText(lines(200));
    Paginated p(doc, 300);
    QVERIFY(p.list.count() >= 2);
    for (int n : {1, 2}) {
        const LxPage &page = p.list.page(n);
        // Drawn at a screen resolution other than the printer's, the page keeps the printer's lines.
        const double res = 96;
        QImage image(qRound(double(page.width.inches()) * res), qRound(double(page.height.inches()) * res), QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            drawPage(painter, p.list, n, res, res);
        }
        const auto [top, bottom] = inkRows(image);
        QVERIFY(top >= qFloor(page.rtf.textRect.top() * res));
        QVERIFY(bottom <= qCeil(page.rtf.textRect.bottom() * res));
        QVERIFY(bottom - top > page.rtf.textRect.height() * res * 0.8);
    }
}

void PaginationTest::sheetPositions_data()
{
    QTest::addColumn<int>("perSheet");
    QTest::addColumn<int>("counter");
    QTest::addColumn<QSize>("sheet");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<int>("scale");
    QTest::addColumn<bool>("ends");
    const QSize landscape(3508, 2480);
    const QSize portrait(2480, 3508);
    QTest::newRow("one") << int(LxPagesPerSheet::OnePage) << 3 << portrait << QRect(0, 0, 2480, 3508) << 100 << true;
    QTest::newRow("two, odd, landscape") << int(LxPagesPerSheet::TwoPage) << 1 << landscape << QRect(0, 0, 1754, 2480) << 70 << false;
    QTest::newRow("two, even, landscape") << int(LxPagesPerSheet::TwoPage) << 2 << landscape << QRect(1754, 0, 1754, 2480) << 70 << true;
    QTest::newRow("two, odd, portrait") << int(LxPagesPerSheet::TwoPage) << 5 << portrait << QRect(0, 0, 2480, 1754) << 70 << false;
    QTest::newRow("two, even, portrait") << int(LxPagesPerSheet::TwoPage) << 4 << portrait << QRect(0, 1754, 2480, 1754) << 70 << true;
    QTest::newRow("four, 1") << int(LxPagesPerSheet::FourPage) << 1 << portrait << QRect(0, 0, 1240, 1754) << 49 << false;
    QTest::newRow("four, 2") << int(LxPagesPerSheet::FourPage) << 6 << portrait << QRect(1240, 0, 1240, 1754) << 49 << false;
    QTest::newRow("four, 3") << int(LxPagesPerSheet::FourPage) << 3 << portrait << QRect(0, 1754, 1240, 1754) << 49 << false;
    QTest::newRow("four, 4") << int(LxPagesPerSheet::FourPage) << 8 << portrait << QRect(1240, 1754, 1240, 1754) << 49 << true;
}

void PaginationTest::sheetPositions()
{
    QFETCH(int, perSheet);
    QFETCH(int, counter);
    QFETCH(QSize, sheet);
    QFETCH(QRect, rect);
    QFETCH(int, scale);
    QFETCH(bool, ends);
    const Sheets::Position position = Sheets::position(LxPagesPerSheet(perSheet), counter, sheet);
    QCOMPARE(position.rect, rect);
    QCOMPARE(position.scalePercent, scale);
    QCOMPARE(Sheets::endsSheet(LxPagesPerSheet(perSheet), counter), ends);
}

QTEST_MAIN(PaginationTest)
#include "tst_pagination.moc"
