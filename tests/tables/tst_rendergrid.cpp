#include "emfplayback.h"
#include "metafile/emfplayer.h"
#include "tables/rendergrid.h"
#include "tables/tabledesign.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <uemf.h>

namespace {

struct DrawnRect
{
    QRect box; // as the record gives it: right and bottom exclusive
    QColor pen;
    QColor brush;
    int order;
};

struct Drawing
{
    QList<DrawnRect> rects;
    QStringList runs;
    QList<int> runOrder;
};

QColor fromColorRef(qint32 ref)
{
    return QColor(ref & 0xff, (ref >> 8) & 0xff, (ref >> 16) & 0xff);
}

// Follows the records as a player does: the objects each handle stands for and what is selected.
Drawing readBack(const QByteArray &emf)
{
    Drawing drawing;
    QHash<qint32, QColor> pens, brushes;
    QColor pen, brush = Qt::white;
    const QList<EmfRecord> records = emfRecords(emf);
    for (int i = 0; i < records.size(); ++i) {
        const EmfRecord &r = records.at(i);
        switch (r.type) {
        case U_EMR_CREATEPEN: pens[r.at(8)] = fromColorRef(r.at(24)); break;
        case U_EMR_CREATEBRUSHINDIRECT: brushes[r.at(8)] = fromColorRef(r.at(16)); break;
        case U_EMR_SELECTOBJECT:
            if (pens.contains(r.at(8)))
                pen = pens[r.at(8)];
            else if (brushes.contains(r.at(8)))
                brush = brushes[r.at(8)];
            break;
        case U_EMR_RECTANGLE:
            drawing.rects.append({QRect(QPoint(r.at(8), r.at(12)), QPoint(r.at(16) - 1, r.at(20) - 1)), pen, brush, i});
            break;
        case U_EMR_EXTTEXTOUTW:
            drawing.runs.append(QString(reinterpret_cast<const QChar *>(r.bytes.constData() + r.at(48)), r.at(44)));
            drawing.runOrder.append(i);
            break;
        default: break;
        }
    }
    return drawing;
}

QByteArray render(const TableDesign &design)
{
    QStringList errors;
    TRenderGrid renderer(&design.grid(), &design.styles(), [&errors](const QString &e) { errors.append(e); });
    renderer.Render();
    if (!errors.isEmpty())
        qWarning() << errors;
    return renderer.Metafile();
}

} // namespace

class TestRenderGrid : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void metafileSize_data();
    void metafileSize();
    void bordersAndPasses_data();
    void bordersAndPasses();
    void cellWithoutStyle();
    void texts_data();
    void texts();
    void missingInputs();
    void playsLikeImage();
    void opensInLibreOffice();
};

void TestRenderGrid::metafileSize_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QSize>("pixels");
    QTest::newRow("5 x 5") << 5 << QSize(320, 120);
    QTest::newRow("100 x 100") << 100 << QSize(6400, 2400);
}

// The picture holds every row and column at full size, scrolled out of view or not.
void TestRenderGrid::metafileSize()
{
    QFETCH(int, count);
    QFETCH(QSize, pixels);
    TableDesign design;
    design.stepColCount(count);
    design.stepRowCount(count);
    design.grid().setCell(count - 1, count - 1, QStringLiteral("last"));
    const QByteArray emf = render(design);
    const EmfRecord header = emfRecords(emf).first();
    QCOMPARE(QSize(header.at(16), header.at(20)), pixels);
    QCOMPARE(QSize(header.at(32), header.at(36)),
             QSize(qRound(pixels.width() * 2540 / 96.0), qRound(pixels.height() * 2540 / 96.0)));
    const Drawing drawing = readBack(emf);
    QCOMPARE(drawing.rects.size(), count * count);
    QCOMPARE(drawing.runs, QStringList{"last"});
    QVERIFY(emf.size() < 5'000'000);
}

void TestRenderGrid::bordersAndPasses_data()
{
    QTest::addColumn<bool>("headerRow");
    QTest::addColumn<bool>("headerColumn");
    QTest::newRow("both headers") << true << true;
    QTest::newRow("header row only") << true << false;
    QTest::newRow("header column only") << false << true;
    QTest::newRow("no headers") << false << false;
}

// Black borders on header cells, silver on body cells whatever their colour; body rectangles
// first, then header rectangles, then texts; each rectangle covers its cell exactly.
void TestRenderGrid::bordersAndPasses()
{
    QFETCH(bool, headerRow);
    QFETCH(bool, headerColumn);
    TableDesign design;
    design.setHeaderRow(headerRow);
    design.setHeaderColumn(headerColumn);
    design.grid().setColWidth(2, 100);
    design.grid().setRowHeight(3, 40);
    design.setCellColour(2, 3, QColor(10, 10, 10));
    for (int c = 0; c < 5; ++c)
        design.grid().setCell(c, 0, QStringLiteral("h%1").arg(c));

    const Drawing drawing = readBack(render(design));
    QCOMPARE(drawing.rects.size(), 25);
    int lastBody = -1, firstHeader = INT_MAX, lastRect = -1;
    for (const DrawnRect &rect : drawing.rects) {
        const int col = rect.box.left() < 128 ? rect.box.left() / 64 : rect.box.left() < 228 ? 2 : 3 + (rect.box.left() - 228) / 64;
        const int row = rect.box.top() < 72 ? rect.box.top() / 24 : rect.box.top() < 112 ? 3 : 4;
        const bool header = (headerRow && row == 0) || (headerColumn && col == 0);
        QCOMPARE(rect.pen, header ? QColor(0, 0, 0) : QColor(192, 192, 192));
        QCOMPARE(rect.box.size(), QSize(col == 2 ? 100 : 64, row == 3 ? 40 : 24));
        if (col == 2 && row == 3)
            QCOMPARE(rect.brush, QColor(10, 10, 10));
        (header ? firstHeader : lastBody) = header ? std::min(firstHeader, rect.order) : std::max(lastBody, rect.order);
        lastRect = std::max(lastRect, rect.order);
    }
    if (headerRow || headerColumn)
        QVERIFY(lastBody < firstHeader);
    QCOMPARE(drawing.runs.size(), 5);
    QVERIFY(drawing.runOrder.first() > lastRect);
}

// A cell the style list does not know (a count typed rather than stepped) takes the last entry.
void TestRenderGrid::cellWithoutStyle()
{
    TableDesign design;
    design.setCellColour(4, 4, QColor(200, 0, 0));
    design.setAlignment(4, 4, 1);
    design.setRowCount(6); // typed: no entries for row 5
    design.grid().setCell(3, 5, QStringLiteral("r"));
    TRenderGrid renderer(&design.grid(), &design.styles());
    const QImage image = renderer.renderImage();
    QCOMPARE(image.size(), QSize(320, 144));
    QCOMPARE(image.pixelColor(10, 130), QColor(200, 0, 0)); // even the first cell, not yellow
    QCOMPARE(image.pixelColor(200, 130), QColor(200, 0, 0));
    QCOMPARE(image.pixelColor(0, 130), QColor(0, 0, 0));    // still a header cell by its place
    // The text of (3, 5) is right-aligned as the last entry says: ink only in the cell's right half.
    bool leftInk = false, rightInk = false;
    for (int x = 193; x < 254; ++x)
        for (int y = 121; y < 142; ++y)
            if (image.pixelColor(x, y) != QColor(200, 0, 0))
                (x < 224 ? leftInk : rightInk) = true;
    QVERIFY(rightInk && !leftInk);
}

void TestRenderGrid::texts_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("runs");
    QTest::addColumn<int>("underlines"); // fill rectangles drawn under a character
    QTest::newRow("body ampersand as itself") << 2 << 2 << "&Ab" << QStringList{"&Ab"} << 0;
    QTest::newRow("header row prefix") << 2 << 0 << "&Ab" << QStringList{"Ab"} << 1;
    QTest::newRow("header column prefix") << 0 << 2 << "S&alt" << QStringList{"Salt"} << 1;
    QTest::newRow("doubled ampersand") << 0 << 0 << "A&&B" << QStringList{"A&B"} << 0;
    QTest::newRow("header ellipsis") << 1 << 0 << "A heading far too wide" << QStringList{"A headi..."} << 0;
    QTest::newRow("body wraps") << 1 << 1 << "salt and pepper" << QStringList{"salt and", "pepper"} << 0;
    QTest::newRow("empty cell") << 1 << 1 << "" << QStringList{} << 0;
}

void TestRenderGrid::texts()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(QStringList, runs);
    QFETCH(int, underlines);
    TableDesign design;
    CellFont font;
    font.font = QFont(QStringLiteral("DejaVu Sans"));
    font.font.setPixelSize(11);
    design.setHeaderFont(font);
    design.setBodyFont(font);
    design.grid().setCell(col, row, text);
    const QByteArray emf = render(design);
    const Drawing drawing = readBack(emf);
    QCOMPARE(drawing.runs.size(), runs.size());
    for (int i = 0; i < runs.size(); ++i) {
        if (runs.at(i).endsWith(QLatin1String("...")))
            QVERIFY2(drawing.runs.at(i).endsWith(QLatin1String("...")) && drawing.runs.at(i).size() < text.size(),
                     qPrintable(drawing.runs.at(i)));
        else
            QCOMPARE(drawing.runs.at(i), runs.at(i));
    }
    QCOMPARE(drawing.rects.size() - 25, underlines);
}

void TestRenderGrid::missingInputs()
{
    QStringList errors;
    TableDesign design;
    TRenderGrid renderer(nullptr, &design.styles(), [&errors](const QString &e) { errors.append(e); });
    renderer.Render();
    QCOMPARE(errors, QStringList{"String Grid or Alignment List was not assigned."});
    QVERIFY(renderer.Metafile().isEmpty());
}

// Another program's player shows the metafile as our own drawing of the table on an image.
void TestRenderGrid::playsLikeImage()
{
    TableDesign design;
    design.setCellColour(2, 2, QColor(90, 160, 230));
    design.setRowColour(3, QColor(250, 240, 200));
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r)
            design.grid().setCell(c, r, QStringLiteral("c%1 r%2").arg(c).arg(r));
    TRenderGrid renderer(&design.grid(), &design.styles());
    renderer.Render();
    const QImage image = renderer.renderImage();
    const QImage played = playEmf(renderer.Metafile(), image.size());
    QVERIFY(!played.isNull());
    for (const QPoint at : {QPoint(60, 20), QPoint(185, 66), QPoint(250, 92), QPoint(315, 116)})
        QCOMPARE(played.pixelColor(at), image.pixelColor(at));
    const double share = differingShare(image, played, 64);
    QVERIFY2(share < 0.03, qPrintable(QString::number(share)));

    // Our own player, which the editor uses for such pictures, draws it as the image shows it,
    // texts at the advances the metafile gives.
    QImage ours(image.size(), QImage::Format_RGB32);
    ours.fill(Qt::white);
    QPainter painter(&ours);
    QVERIFY(EmfPlayer::play(renderer.Metafile(), painter, QRectF(QPointF(0, 0), QSizeF(image.size()))));
    painter.end();
    const double oursShare = differingShare(image, ours, 64);
    QVERIFY2(oursShare < 0.002, qPrintable(QString::number(oursShare)));
}

void TestRenderGrid::opensInLibreOffice()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice is not installed");
    TableDesign design;
    design.setCellColour(2, 2, QColor(90, 160, 230));
    design.grid().setCell(1, 1, QStringLiteral("Flour"));
    TRenderGrid renderer(&design.grid(), &design.styles());
    renderer.Render();
    QTemporaryDir dir;
    QFile file(dir.filePath("table.emf"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(renderer.Metafile());
    file.close();
    QProcess office;
    office.start(soffice, {"-env:UserInstallation=file://" + dir.filePath("profile"), "--headless", "--convert-to", "png",
                           "--outdir", dir.path(), file.fileName()});
    QVERIFY(office.waitForFinished(120'000));
    QImage page(dir.filePath("table.png"));
    QVERIFY(!page.isNull());
    // The page holds the table at its own size: find its black outer corner.
    page = page.convertToFormat(QImage::Format_RGB32);
    QRect found;
    for (int y = 0; y < page.height() && found.isNull(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 60) {
                found = QRect(x, y, 1, 1);
                break;
            }
    QVERIFY(!found.isNull());
    int right = found.left(), bottom = found.top();
    while (right + 1 < page.width() && page.pixel(right + 1, found.top()) != qRgb(255, 255, 255))
        ++right;
    while (bottom + 1 < page.height() && page.pixel(found.left(), bottom + 1) != qRgb(255, 255, 255))
        ++bottom;
    QVERIFY2(qAbs(right - found.left() + 1 - 320) <= 2 && qAbs(bottom - found.top() + 1 - 120) <= 2,
             qPrintable(QStringLiteral("%1 x %2").arg(right - found.left() + 1).arg(bottom - found.top() + 1)));
    const QColor body = page.pixelColor(found.left() + 160, found.top() + 60);
    QVERIFY2(qAbs(body.red() - 90) < 16 && qAbs(body.green() - 160) < 16 && qAbs(body.blue() - 230) < 16,
             qPrintable(body.name()));
}

QTEST_MAIN(TestRenderGrid)
#include "tst_rendergrid.moc"
