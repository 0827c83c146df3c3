#include "app/listpainting.h"
#include "store/error.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTest>

namespace {

const QList<QColor> Selection{QColor(255, 245, 221), QColor(255, 245, 221), QColor(255, 210, 94)};

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

QColor rowColor(const QImage &image, int y, int x = 10)
{
    return image.pixelColor(x, y);
}

} // namespace

class ListPaintingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void selectionBarLines_data();
    void selectionBarLines();
    void twoColoursAcross();
    void fewerThanTwoColoursPaintNothing();
    void penIsGivenBack();
    void itemsPaintTheirState();
};

void ListPaintingTest::selectionBarLines_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("line");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("recipe, first line") << 21 << 0 << QColor(255, 245, 221);
    QTest::newRow("recipe, end of flat band") << 21 << 10 << QColor(255, 245, 221);
    QTest::newRow("recipe, first shaded line") << 21 << 11 << QColor(255, 241, 208);
    QTest::newRow("recipe, last line") << 21 << 20 << QColor(255, 210, 94);
    QTest::newRow("category, end of flat band") << 35 << 18 << QColor(255, 245, 221);
    QTest::newRow("category, last line") << 35 << 34 << QColor(255, 210, 94);
}

void ListPaintingTest::selectionBarLines()
{
    QFETCH(int, height);
    QFETCH(int, line);
    QFETCH(QColor, expected);
    QImage image = canvas(40, height);
    QPainter painter(&image);
    PaintGradient(painter, QRect(0, 0, 40, height), GradientDirection::Down, Selection);
    painter.end();
    QCOMPARE(rowColor(image, line), expected);
}

void ListPaintingTest::twoColoursAcross()
{
    QImage image = canvas(100, 4);
    QPainter painter(&image);
    PaintGradient(painter, QRect(0, 0, 100, 4), GradientDirection::Across, {QColor(0, 0, 0), QColor(99, 198, 255)});
    painter.end();
    // One band of 100 lines, t = j / 99: exactly the first colour, then exactly the second.
    QCOMPARE(image.pixelColor(0, 2), QColor(0, 0, 0));
    QCOMPARE(image.pixelColor(1, 2), QColor(1, 2, 2));     // 255 / 99 = 2.57, fraction dropped
    QCOMPARE(image.pixelColor(50, 2), QColor(50, 100, 128));
    QCOMPARE(image.pixelColor(99, 2), QColor(99, 198, 255));
}

void ListPaintingTest::fewerThanTwoColoursPaintNothing()
{
    QImage image = canvas(10, 10);
    QPainter painter(&image);
    try {
        PaintGradient(painter, QRect(0, 0, 10, 10), GradientDirection::Down, {Qt::red});
        QFAIL("one colour was accepted");
    } catch (const Error &error) {
        QCOMPARE(error.message(), QStringLiteral("Please specify at least two colors."));
    }
    painter.end();
    QCOMPARE(image.pixelColor(5, 5), QColor(Qt::black));
}

void ListPaintingTest::penIsGivenBack()
{
    QImage image = canvas(10, 10);
    QPainter painter(&image);
    const QPen pen(QColor(1, 2, 3), 7, Qt::DashLine);
    painter.setPen(pen);
    PaintGradient(painter, QRect(0, 0, 10, 10), GradientDirection::Down, Selection);
    QCOMPARE(painter.pen(), pen);
}

void ListPaintingTest::itemsPaintTheirState()
{
    const ListItemLook look = ListItemLook::recipe();
    QCOMPARE(look.icon.size(), QSize(16, 16));
    QCOMPARE(ListItemLook::category().icon.size(), QSize(32, 32));

    QImage plain = canvas(200, 21);
    QImage selected = canvas(200, 21);
    {
        QPainter painter(&plain);
        paintListItem(painter, plain.rect(), QString(), false, look);
    }
    {
        QPainter painter(&selected);
        paintListItem(painter, selected.rect(), QString(), true, look);
    }
    // Unselected: white, with the icon's white left transparent (white shows through).
    QCOMPARE(plain.pixelColor(150, 10), QColor(Qt::white));
    QCOMPARE(plain.pixelColor(0, 0), QColor(Qt::white));
    // Selected: the shaded bar, with the outline, never the platform's highlight colour.
    QCOMPARE(selected.pixelColor(150, 5), QColor(255, 245, 221));
    QCOMPARE(selected.pixelColor(150, 0), QColor(197, 197, 197));
    QCOMPARE(selected.pixelColor(150, 20), QColor(197, 197, 197));
    QCOMPARE(selected.pixelColor(150, 19), QColor(255, 213, 106));
    // The rounded corner is clipped: the outermost corner pixel keeps the old background.
    QCOMPARE(selected.pixelColor(0, 0), QColor(Qt::black));
}

QTEST_MAIN(ListPaintingTest)
#include "tst_listpainting.moc"
