#include "printing/captions.h"
#include "printing/pagemodel.h"
#include "printing/richtextcopies.h"

#include <QFontMetricsF>
#include <numeric>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>

class PageModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void units_data();
    void units();
    void roundingAndChanges();
    void paperSizes_data();
    void paperSizes();
    void customKeepsSize();
    void currentPageAndLock();
    void orientationOfPages();
    void tokens_data();
    void tokens();
    void bandGeometry();
    void automaticBandHeight();
    void advancesKeepMeasuredLength();
    void marginValues();
    void copiesAreShared();
};

void PageModelTest::units_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("inches");
    QTest::newRow("hundredths of mm") << int(LxMeasurement::Units) << 2540.0 << 1.0;
    QTest::newRow("pixels") << int(LxMeasurement::Pixels) << 48.0 << 0.5;
    QTest::newRow("mm") << int(LxMeasurement::Millimeters) << 25.4 << 1.0;
    QTest::newRow("cm") << int(LxMeasurement::Centimeters) << 5.08 << 2.0;
    QTest::newRow("inches") << int(LxMeasurement::Inches) << 3.25 << 3.25;
    QTest::newRow("twips") << int(LxMeasurement::Twips) << 720.0 << 0.5;
}

void PageModelTest::units()
{
    QFETCH(int, unit);
    QFETCH(double, value);
    QFETCH(double, inches);
    const LxValue v = LxValue::from(LxMeasurement(unit), value);
    QCOMPARE(double(v.inches()), inches);
    QCOMPARE(double(v.as(LxMeasurement(unit))), value);
}

void PageModelTest::roundingAndChanges()
{
    // Twips round halves to even; device pixels to the nearest.
    QCOMPARE(LxValue(2.5L / 1440).twips(), 2);
    QCOMPARE(LxValue(3.5L / 1440).twips(), 4);
    QCOMPARE(LxValue(1.0L / 600 * 2.5L).devicePixels(600), 3);
    LxValue v(1);
    QVERIFY(!v.set(LxMeasurement::Millimeters, 25.4L));
    QVERIFY(v.set(LxMeasurement::Millimeters, 25));

    LxMargins margins;
    QSignalSpy changed(&margins, &LxMargins::changed);
    margins.setSide(LxMargins::Left, LxMeasurement::Inches, 0.5L);
    QCOMPARE(changed.count(), 0);
    margins.setSide(LxMargins::Left, LxMeasurement::Millimeters, 25);
    QCOMPARE(changed.count(), 1);
}

void PageModelTest::paperSizes_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("code");
    QTest::newRow("A4") << "A4" << false << 210 / 25.4 << 297 / 25.4 << 9;
    QTest::newRow("A4 landscape") << "A4" << true << 297 / 25.4 << 210 / 25.4 << 9;
    QTest::newRow("Letter landscape") << "Letter" << true << 11.0 << 8.5 << 1;
    // The exchange ignores which side is longer.
    QTest::newRow("Ledger") << "Ledger" << false << 17.0 << 11.0 << 4;
    QTest::newRow("Ledger landscape") << "Ledger" << true << 11.0 << 17.0 << 4;
    QTest::newRow("Envelope_14 landscape") << "Envelope_14" << true << 11.12 << 14.5 << 23;
    QTest::newRow("A6") << "A6" << false << 105 / 25.4 << 148 / 25.4 << 70;
}

void PageModelTest::paperSizes()
{
    QFETCH(QString, paper);
    QFETCH(bool, landscape);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(int, code);
    LxPageList list;
    list.setPaperSize(Paper::fromName(paper));
    list.setOrientation(landscape ? LxOrientation::Landscape : LxOrientation::Portrait);
    list.AddPage();
    // setOrientation orders each page's sides; a new page takes the table's exchange.
    const LxPage &added = list.page(2);
    QCOMPARE(double(added.width.inches()), width);
    QCOMPARE(double(added.height.inches()), height);
    QCOMPARE(Paper::printerCode(Paper::fromName(paper)), code);
    QCOMPARE(Paper::names().indexOf(paper), int(Paper::fromName(paper)));
}

void PageModelTest::customKeepsSize()
{
    LxPageList list;
    QSignalSpy paperChanged(&list, &LxPageList::paperSizeChanged);
    list.setPaperSize(LxPaperSize::A3);
    list.setPaperSize(Paper::fromName(QStringLiteral("No such paper")));
    QCOMPARE(list.paperSize(), LxPaperSize::Custom);
    list.AddPage();
    for (int n = 1; n <= 2; ++n) {
        QCOMPARE(double(list.page(n).width.as(LxMeasurement::Millimeters)), 297.0);
        QCOMPARE(double(list.page(n).height.as(LxMeasurement::Millimeters)), 420.0);
    }
    list.setPaperSize(LxPaperSize::Custom);
    QCOMPARE(paperChanged.count(), 2);
}

void PageModelTest::currentPageAndLock()
{
    LxPageList list;
    list.AddPage();
    list.AddPage();
    QCOMPARE(list.currentPage(), 3);
    QSignalSpy current(&list, &LxPageList::currentPageChanged);
    QSignalSpy pages(&list, &LxPageList::pagesChanged);
    QSignalSpy margins(&list, &LxPageList::marginsChanged);
    QSignalSpy added(&list, &LxPageList::pageAdded);
    list.setCurrentPage(0);
    list.setCurrentPage(4);
    list.setCurrentPage(3);
    QCOMPARE(current.count(), 0);

    list.BeginUpdate();
    list.BeginUpdate();
    list.setCurrentPage(1);
    list.AddPage();
    list.margins().setSide(LxMargins::Top, LxMeasurement::Millimeters, 30);
    QCOMPARE(current.count(), 2); // raised while locked
    QCOMPARE(added.count(), 1);
    QCOMPARE(pages.count(), 0);
    QCOMPARE(margins.count(), 0);
    list.EndUpdate();
    QCOMPARE(pages.count(), 0);
    list.EndUpdate();
    QCOMPARE(pages.count(), 1);
    list.EndUpdate(); // never below zero
    QVERIFY(!list.isUpdating());

    QSignalSpy cleared(&list, &LxPageList::cleared);
    current.clear();
    list.ClearPages();
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.currentPage(), 1);
    QCOMPARE(cleared.count(), 1);
}

void PageModelTest::orientationOfPages()
{
    LxPageList list;
    QSignalSpy oriented(&list, &LxPageList::orientationChanged);
    list.setOrientation(LxOrientation::Landscape);
    QCOMPARE(oriented.count(), 1);
    QVERIFY(list.page(1).width.inches() > list.page(1).height.inches());
    QCOMPARE(list.pageSize().width(), double(list.page(1).width.inches()));
    list.setPaperSize(LxPaperSize::Letter);
    QCOMPARE(list.page(1).width.inches(), 11.0L);
    list.setOrientation(LxOrientation::Portrait);
    QCOMPARE(list.page(1).width.inches(), 8.5L);
    QCOMPARE(list.page(1).orientation, LxOrientation::Portrait);
}

void PageModelTest::tokens_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expanded");
    QTest::newRow("page of pages") << "Page {PAGE} of {NUMPAGES}" << "en_GB" << "Page 2 of 3";
    QTest::newRow("lower case stays") << "{page} {Page}" << "en_GB" << "{page} {Page}";
    QTest::newRow("date twice") << "{DATE} - {DATE}" << "en_GB" << "07/03/2026 - 07/03/2026";
    QTest::newRow("locale separator") << "{DATE} {TIME}" << "de_DE" << "07.03.2026 09.05";
    QTest::newRow("other braces") << "{X} {PAGE" << "en_GB" << "{X} {PAGE";
}

void PageModelTest::tokens()
{
    QFETCH(QString, text);
    QFETCH(QString, locale);
    QFETCH(QString, expanded);
    const QDateTime when(QDate(2026, 3, 7), QTime(9, 5));
    QCOMPARE(Captions::expandTokens(text, 2, 3, when, QLocale(locale)), expanded);
}

void PageModelTest::bandGeometry()
{
    LxPageList list;
    list.margins().setSide(LxMargins::Top, LxMeasurement::Millimeters, 15);
    list.header().setHeight(LxMeasurement::Millimeters, 10);
    list.footer().setHeight(LxMeasurement::Millimeters, 10);
    list.margins().setSide(LxMargins::Bottom, LxMeasurement::Millimeters, 15);
    const QRectF header = list.headerRect(1);
    QCOMPARE(header.top() * 25.4, 15.0);
    QCOMPARE(header.bottom() * 25.4, 25.0);
    const QRectF footer = list.footerRect(1);
    QCOMPARE((11.69291338582677 - footer.bottom()) * 25.4, 15.0);
    QCOMPARE(footer.height() * 25.4, 10.0);

    // A header caption's text sits on the band's lower edge; the footer's hangs below its top.
    const double res = 150;
    QImage page(qRound(8.27 * res), qRound(11.7 * res), QImage::Format_RGB32);
    page.fill(Qt::white);
    list.header().setVisible(true);
    list.header().setShowLine(false);
    list.header().setCaption(LxHeaderFooter::CaptionLeft, QStringLiteral("Jg"));
    {
        QPainter painter(&page);
        Captions::drawBand(painter, list.header(), header, 1, 1, res, res);
    }
    int lowest = -1;
    int highest = page.height();
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width() / 4; ++x) {
            if (qGray(page.pixel(x, y)) < 128) {
                lowest = std::max(lowest, y);
                highest = std::min(highest, y);
            }
        }
    }
    const int bandBottom = qRound(header.bottom() * res);
    QVERIFY2(lowest <= bandBottom && lowest >= bandBottom - 6, qPrintable(QString::number(lowest)));
    QVERIFY(highest >= qRound(header.top() * res));
}

void PageModelTest::automaticBandHeight()
{
    LxHeaderFooter band(LxHeaderFooter::Header);
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPointSize(10);
    QFont serif(QStringLiteral("DejaVu Serif"));
    serif.setPointSize(14);
    QFont mono(QStringLiteral("Liberation Serif"));
    mono.setPointSize(14);
    band.setCaptionFont(LxHeaderFooter::CaptionLeft, small);
    band.setCaptionFont(LxHeaderFooter::CaptionCenter, serif);
    band.setCaptionFont(LxHeaderFooter::CaptionRight, mono);

    LxHeaderFooter centreOnly(LxHeaderFooter::Header);
    for (int p = 0; p < 3; ++p)
        centreOnly.setCaptionFont(LxHeaderFooter::Position(p), serif);
    LxHeaderFooter rightOnly(LxHeaderFooter::Header);
    for (int p = 0; p < 3; ++p)
        rightOnly.setCaptionFont(LxHeaderFooter::Position(p), mono);
    QCOMPARE(band.bandHeight(), centreOnly.bandHeight());
    QVERIFY(band.bandHeight() != rightOnly.bandHeight());
    // About the 14-point line height: 1.2 x 14/72 inch.
    QVERIFY(qAbs(double(band.bandHeight().inches()) - 14 * 1.2 / 72) < 0.03);

    band.setHeight(LxMeasurement::Millimeters, 10);
    QCOMPARE(double(band.bandHeight().as(LxMeasurement::Millimeters)), 10.0);
}

void PageModelTest::advancesKeepMeasuredLength()
{
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSize(12);
    const QString text = QStringLiteral("Page 12 of 240 - Apple pie with cinnamon");
    QImage reference(1, 1, QImage::Format_Mono);
    reference.setDotsPerMeterX(qRound(7200 / 0.0254));
    reference.setDotsPerMeterY(qRound(7200 / 0.0254));
    const double measured = QFontMetricsF(QFont(font, &reference), &reference).horizontalAdvance(text) / 7200;
    for (double res : {96.0, 300.0, 600.0}) {
        const QList<int> steps = Captions::advances(text, font, res);
        QCOMPARE(steps.size(), text.size());
        const int total = std::accumulate(steps.begin(), steps.end(), 0);
        QVERIFY2(qAbs(total - measured * res) <= 1.0, qPrintable(QStringLiteral("%1 vs %2").arg(total).arg(measured * res)));
    }
}

void PageModelTest::marginValues()
{
    LxMargins margins;
    const QString stored = QStringLiteral("720,720,720,720,\"12632256,1,2,4\",\"12632256,1,2,4\"");
    QCOMPARE(margins.marginValues(), stored);
    QVERIFY(margins.setMarginValues(QStringLiteral("1440, 720,0,360")));
    QCOMPARE(margins.left().inches(), 1.0L);
    QCOMPARE(margins.bottom().inches(), 0.25L);
    QCOMPARE(margins.pen().color(), QColor(192, 192, 192));
    QVERIFY(margins.setMarginValues(QStringLiteral("0,0,0,0,\"255,2,0,4\",\"16711680,1,1,4\"")));
    QCOMPARE(margins.pen().color(), QColor(255, 0, 0));
    QCOMPARE(margins.pen().width(), 2);
    QCOMPARE(margins.printerPen().style(), Qt::DashLine);
    for (const char *bad : {"1,2,3", "a,b,c,d", "1,2,3,4,\"1,2,3\",\"1,2,3,4\"", "1,2,3,4,\"1,2,3,4"})
        QVERIFY2(!margins.setMarginValues(QString::fromLatin1(bad)), bad);
    QCOMPARE(margins.left().inches(), 0.0L);
}

void PageModelTest::copiesAreShared()
{
    QTextDocument source;
    source.setPlainText(QStringLiteral("Flour, butter, sugar."));
    LxPageList list;
    QTextDocument *first = list.copies().copyOf(&source);
    QCOMPARE(list.copies().copyOf(&source), first);
    QCOMPARE(list.copies().references(&source), 2);
    QCOMPARE(first->toPlainText(), source.toPlainText());
    list.copies().release(&source);
    QCOMPARE(list.copies().count(), 1);
    list.ClearPages();
    QCOMPARE(list.copies().count(), 0);
}

QTEST_MAIN(PageModelTest)
#include "tst_pagemodel.moc"
