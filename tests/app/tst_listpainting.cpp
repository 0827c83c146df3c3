#include "app/listpainting.h"
#include "app/ui/application.h"
#include "app/ui/mainwindow.h"
#include "search/ui/searchwindow.h"
#include "shell/windowset.h"
#include "store/error.h"
#include "store/recipestore.h"
#include "store/table.h"
#include "tests/support/findchild.h"

#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
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
    void keyboardMoveShowsFocusRectangle();
    void helpAndNextButtonsAsDesigned();
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
    const QColor outline(197, 197, 197);
    QCOMPARE(selected.pixelColor(150, 5), QColor(255, 245, 221));
    QCOMPARE(selected.pixelColor(150, 0), outline);
    QCOMPARE(selected.pixelColor(0, 10), outline);
    // The outline ends one pixel short of the entry: the last line and column keep the bar.
    QCOMPARE(selected.pixelColor(150, 19), outline);
    QCOMPARE(selected.pixelColor(198, 10), outline);
    QCOMPARE(selected.pixelColor(150, 20), QColor(255, 210, 94));
    QCOMPARE(selected.pixelColor(199, 10), QColor(255, 245, 221));
    // Its rounded corner leaves the corner pixel to the bar (line 19 of the shading).
    QCOMPARE(selected.pixelColor(198, 19), QColor(255, 213, 106));
    // The entry's own rounded corners are clipped: the corner pixels keep the old background.
    QCOMPARE(selected.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(selected.pixelColor(199, 20), QColor(Qt::black));

    // The focus rectangle inverts every other pixel along the entry's edge.
    QImage focused = canvas(200, 21);
    {
        QPainter painter(&focused);
        paintListItem(painter, focused.rect(), QString(), false, look, true);
    }
    QCOMPARE(focused.pixelColor(100, 0), QColor(Qt::black));
    QCOMPARE(focused.pixelColor(101, 0), QColor(Qt::white));
    QCOMPARE(focused.pixelColor(199, 1), QColor(Qt::black));
    QCOMPARE(focused.pixelColor(101, 20), QColor(Qt::white));
    QCOMPARE(focused.pixelColor(102, 20), QColor(Qt::black));
}

// The style draws its focus frame only after Tab; the lists show theirs after arrow keys too.
void ListPaintingTest::keyboardMoveShowsFocusRectangle()
{
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    createWindows(dir.path());
    MainWindow *main = windows().frmMain;
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    Table &categories = main->store().cdsCategory();
    for (const char *name : {"Bread", "Cakes"}) {
        categories.insert();
        categories.setText(RecipeStore::CategoryDescription, QString::fromLatin1(name));
        categories.post();
    }
    main->FillCategoryList();
    QListWidget *list = main->categoryList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QVERIFY(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentRow(), 1);
    const QImage shown = list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect item = list->visualItemRect(list->item(1));
    // Along the top edge the selection outline (197) alternates with its inverse.
    int x = item.left() + 20;
    if ((x + item.top()) % 2)
        ++x;
    QCOMPARE(shown.pixel(x, item.top()), qRgb(58, 58, 58));
    QCOMPARE(shown.pixel(x + 1, item.top()), qRgb(197, 197, 197));
    destroyWindows();
}

void ListPaintingTest::helpAndNextButtonsAsDesigned()
{
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    createWindows(dir.path());
    QAbstractButton *help = child(windows().frmMain, "btnHelp");
    QVERIFY(help->toolTip().isEmpty());
    QCOMPARE(help->accessibleName(), QStringLiteral("Help"));

    // Next carries its green arrow to the right of its caption.
    QAbstractButton *next = child(windows().frmSearch, "btnNext");
    next->setEnabled(true);
    const QImage face = next->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int left = face.width(), right = -1;
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            const QRgb p = face.pixel(x, y);
            if (qGreen(p) > qRed(p) + 60 && qGreen(p) > qBlue(p) + 60) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    QVERIFY2(right >= 0, "no arrow on Next");
    QVERIFY2(left > face.width() / 2 && right < face.width() - 3, qPrintable(QStringLiteral("%1..%2").arg(left).arg(right)));
    destroyWindows();
}

QTEST_MAIN(ListPaintingTest)
#include "tst_listpainting.moc"
