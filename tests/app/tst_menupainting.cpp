#include "app/menupainting.h"
#include "editor/ui/menustyle.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QTest>

namespace {

QFont menuFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    return font;
}

int line(const QFont &font)
{
    const QFontMetrics metrics(font);
    return metrics.height() + metrics.leading();
}

QImage paintItem(const MenuItemView &item, QSize size = QSize(160, 0))
{
    if (size.height() == 0)
        size.setHeight(MenuItemMeasureItem(menuFont(), item).height());
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    MenuItemDrawItem(painter, image.rect(), menuFont(), item);
    return image;
}

} // namespace

class MenuPaintingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void measuring();
    void itemStates();
    void separators();
    void menuUsesTheLook();
};

void MenuPaintingTest::measuring()
{
    QFont boldFont = menuFont();
    boldFont.setBold(true);
    MenuItemView item;
    item.caption = QStringLiteral("Copy");
    const QSize plain = MenuItemMeasureItem(menuFont(), item);
    // An empty hint still takes a line: caption line + hint line + 13.
    QCOMPARE(plain.height(), line(boldFont) + line(menuFont()) + 13);
    QCOMPARE(plain.width(), QFontMetrics(boldFont).horizontalAdvance(QStringLiteral("Copy")) + 8 + 26);
    item.shortcut = QStringLiteral("Ctrl+C");
    QCOMPARE(MenuItemMeasureItem(menuFont(), item).width(),
             plain.width() + QFontMetrics(boldFont).horizontalAdvance(QStringLiteral("Ctrl+C")) + 8);
    item.hasImageList = false;
    QCOMPARE(MenuItemMeasureItem(menuFont(), item).width(),
             plain.width() - 26 + QFontMetrics(boldFont).horizontalAdvance(QStringLiteral("Ctrl+C")) + 8);

    QCOMPARE(MeasureSeparator(menuFont(), QString()), QSize(10, 3));
    const QSize heading = MeasureSeparator(menuFont(), QStringLiteral("Text Selection"));
    QCOMPARE(heading, QSize(QFontMetrics(boldFont).horizontalAdvance(QStringLiteral("Text Selection")) + 14,
                            line(boldFont) + 8));
}

void MenuPaintingTest::itemStates()
{
    MenuItemView item;
    item.caption = QStringLiteral("Cut");
    const QImage normal = paintItem(item);
    QCOMPARE(normal.pixelColor(120, 2), QColor(250, 250, 250));
    QCOMPARE(normal.pixelColor(0, 10), QColor(223, 238, 247));    // icon column, across
    QCOMPARE(normal.pixelColor(25, 10), QColor(124, 168, 211));

    item.selected = true;
    const QImage selected = paintItem(item);
    QCOMPARE(selected.pixelColor(120, 3), QColor(255, 245, 221));
    QCOMPARE(selected.pixelColor(120, 0), QColor(197, 197, 197));  // outline
    QCOMPARE(selected.pixelColor(120, selected.height() - 1), QColor(197, 197, 197));

    // A selected but disabled item is painted like an unselected one.
    item.enabled = false;
    const QImage disabled = paintItem(item);
    QCOMPARE(disabled.pixelColor(120, 3), QColor(250, 250, 250));
    QCOMPARE(disabled.pixelColor(120, 0), QColor(250, 250, 250));

    // Checked: the column shaded down and framed; with an icon, no check mark.
    MenuItemView checked;
    checked.caption = QStringLiteral("Bold");
    checked.checked = true;
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    checked.icon = icon;
    const QImage framed = paintItem(checked);
    QCOMPARE(framed.pixelColor(0, 10), QColor(158, 158, 158));
    QCOMPARE(framed.pixelColor(25, 10), QColor(158, 158, 158));
    QCOMPARE(framed.pixelColor(12, 1), QColor(255, 245, 221));
    QCOMPARE(framed.pixelColor(12, framed.height() / 2), QColor(255, 245, 221));
}

void MenuPaintingTest::separators()
{
    QImage plain(120, 3, QImage::Format_RGB32);
    plain.fill(Qt::black);
    {
        QPainter painter(&plain);
        SeparatorDrawItem(painter, plain.rect(), menuFont(), QString(), true);
    }
    QCOMPARE(plain.pixelColor(60, 1), QColor(197, 197, 197));   // 2 pixels above the bottom
    QCOMPARE(plain.pixelColor(60, 0), QColor(Qt::black));
    QCOMPARE(plain.pixelColor(0, 1), QColor(223, 238, 247));
    QCOMPARE(plain.pixelColor(25, 1), QColor(124, 168, 211));   // the line starts after the column

    QImage heading(200, 22, QImage::Format_RGB32);
    heading.fill(Qt::black);
    {
        QPainter painter(&heading);
        SeparatorDrawItem(painter, heading.rect(), menuFont(), QStringLiteral("Text Selection"), true);
    }
    QCOMPARE(heading.pixelColor(195, 2), QColor(221, 231, 238));
    QCOMPARE(heading.pixelColor(2, 2), QColor(221, 231, 238));
}

void MenuPaintingTest::menuUsesTheLook()
{
    QMenu menu;
    OwnerDrawnMenuStyle style;
    menu.setStyle(&style);
    menu.setFont(menuFont());
    menu.addSection(QStringLiteral("Text Selection"));
    QAction *cut = menu.addAction(QStringLiteral("Cu&t"));
    cut->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
    QAction *clear = menu.addAction(QStringLiteral("Clear Selection"));
    clear->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
    menu.addSeparator();
    QAction *undo = menu.addAction(QStringLiteral("Undo"));
    QAction *formatting = menu.addMenu(QStringLiteral("Formatting"))->menuAction();
    menu.ensurePolished();
    menu.adjustSize();
    QCOMPARE(menu.actionGeometry(cut).height(), 2 * line(menuFont()) + 13);
    QCOMPARE(menu.actionGeometry(undo).height(), menu.actionGeometry(cut).height());

    // Items are as wide as the widest measure, with nothing added for the shortcuts, inside a
    // one-pixel frame.
    MenuItemView widest;
    widest.caption = QStringLiteral("Clear Selection");
    widest.shortcut = QStringLiteral("Ctrl+D");
    const int width = MenuItemMeasureItem(menuFont(), widest).width();
    QCOMPARE(menu.actionGeometry(cut).width(), width);
    QCOMPARE(menu.width(), width + 2);

    const QImage shot = menu.grab().toImage();
    const QRect cutRect = menu.actionGeometry(cut);
    QCOMPARE(cutRect.left(), 1);
    QCOMPARE(shot.pixelColor(0, cutRect.top() + 2), QColor(158, 158, 158));
    QCOMPARE(shot.pixelColor(1, cutRect.top() + 2), QColor(223, 238, 247));
    QCOMPARE(shot.pixelColor(26, cutRect.top() + 2), QColor(124, 168, 211)); // column still 26 wide
    QCOMPARE(shot.pixelColor(27, cutRect.top() + 2), QColor(250, 250, 250));
    QCOMPARE(shot.pixelColor(cutRect.right() - 2, cutRect.top() + 2), QColor(250, 250, 250));

    // The submenu item shows its arrow at the right, in the text colour; other items show none.
    const auto arrowPixels = [&shot](const QRect &item) {
        int found = 0;
        for (int y = item.top(); y <= item.bottom(); ++y)
            for (int x = item.right() - 10; x <= item.right() - 4; ++x)
                found += shot.pixelColor(x, y) == QColor(0, 21, 110);
        return found;
    };
    QVERIFY(arrowPixels(menu.actionGeometry(formatting)) >= 6);
    QCOMPARE(arrowPixels(menu.actionGeometry(undo)), 0);
}

QTEST_MAIN(MenuPaintingTest)
#include "tst_menupainting.moc"
