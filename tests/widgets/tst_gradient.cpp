#include "widgets/fadelevels.h"
#include "widgets/gradient.h"
#include "widgets/panelbackground.h"

#include <QImage>
#include <QRegion>
#include <QTest>

using namespace RbLook;

class TestGradient : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fillRows_data();
    void fillRows();
    void equalColoursFillFlat();
    void regionLimitsFill();
    void tooNarrowForDoubleKeepsFrom();
    void blend_data();
    void blend();
    void copyAndBlendMovesBase();
    void tint_data();
    void tint();
    void smoothStripVersusInside();
    void smoothSurvivesShortLargePicture();
    void fadeInTakesTenTicks();
    void pressShowsNextTickAndGoesAfterRelease();
    void fadeOutNeverGoesNegative();
    void bandedPanelMatchesWholePicture_data();
    void bandedPanelMatchesWholePicture();
    void panelBorderIsWholeAndSymmetric_data();
    void panelBorderIsWholeAndSymmetric();
};

static QImage blank(int w, int h, QRgb c = qRgb(1, 2, 3))
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

void TestGradient::fillRows_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<int>("grey");

    QTest::newRow("vertical first row is from") << int(gtVertical) << QSize(4, 10) << QPoint(2, 0) << 0;
    QTest::newRow("vertical last row one step short") << int(gtVertical) << QSize(4, 10) << QPoint(2, 9) << 90;
    QTest::newRow("horizontal last column") << int(gtHorizontal) << QSize(10, 3) << QPoint(9, 1) << 90;
    QTest::newRow("double vert top edge is to") << int(gtDoubleVert) << QSize(3, 45) << QPoint(1, 0) << 100;
    QTest::newRow("double vert bottom edge is to") << int(gtDoubleVert) << QSize(3, 45) << QPoint(1, 44) << 100;
    QTest::newRow("double vert centre is from") << int(gtDoubleVert) << QSize(3, 45) << QPoint(1, 22) << 0;
    // n = 22: 5 steps of 100/22 = 22.727..., rounded to 23
    QTest::newRow("double vert row 17") << int(gtDoubleVert) << QSize(3, 45) << QPoint(1, 17) << 23;
    QTest::newRow("double horz centre") << int(gtDoubleHorz) << QSize(45, 3) << QPoint(22, 1) << 0;
    // D = round(sqrt(200)) = 14, n = 14; d(3,4) = 5, 5 * 100/14 = 35.7 -> 36
    QTest::newRow("from top left corner") << int(gtFromTopLeft) << QSize(10, 10) << QPoint(0, 0) << 0;
    QTest::newRow("from top left at 3,4") << int(gtFromTopLeft) << QSize(10, 10) << QPoint(3, 4) << 36;
    // d = sqrt((10-6)^2 + 3^2) = 5
    QTest::newRow("from top right at 6,3") << int(gtFromTopRight) << QSize(10, 10) << QPoint(6, 3) << 36;
    // n = 7; centre (5,5) is from; (5,0) has d = 5, 5 * 100/7 = 71.4 -> 71
    QTest::newRow("radial centre") << int(gtRadial) << QSize(10, 10) << QPoint(5, 5) << 0;
    QTest::newRow("radial top middle") << int(gtRadial) << QSize(10, 10) << QPoint(5, 0) << 71;
}

void TestGradient::fillRows()
{
    QFETCH(int, type);
    QFETCH(QSize, size);
    QFETCH(QPoint, pixel);
    QFETCH(int, grey);
    QImage img = blank(size.width(), size.height());
    GradientFill(img, img.rect(), QColor(0, 0, 0), nullptr, TGradientType(type), QColor(100, 100, 100));
    QCOMPARE(img.pixel(pixel), qRgb(grey, grey, grey));
}

void TestGradient::equalColoursFillFlat()
{
    QImage img = blank(8, 8);
    GradientFill(img, QRect(2, 2, 4, 4), QColor(9, 8, 7), nullptr, gtRadial, QColor(9, 8, 7));
    QCOMPARE(img.pixel(2, 2), qRgb(9, 8, 7));
    QCOMPARE(img.pixel(5, 5), qRgb(9, 8, 7));
    QCOMPARE(img.pixel(6, 6), qRgb(1, 2, 3));
}

void TestGradient::regionLimitsFill()
{
    QImage img = blank(10, 10);
    const QRegion region(0, 0, 5, 10);
    GradientFill(img, img.rect(), QColor(0, 0, 0), &region, gtVertical, QColor(100, 100, 100));
    QCOMPARE(img.pixel(4, 5), qRgb(50, 50, 50));
    QCOMPARE(img.pixel(5, 5), qRgb(1, 2, 3));
}

void TestGradient::tooNarrowForDoubleKeepsFrom()
{
    QImage img = blank(1, 5);
    GradientFill(img, img.rect(), QColor(10, 20, 30), nullptr, gtDoubleHorz, QColor(200, 200, 200));
    QCOMPARE(img.pixel(0, 4), qRgb(10, 20, 30));
}

void TestGradient::blend_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("overlay");
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("expected");
    QTest::newRow("half of black over white rounds to even") << 255 << 0 << 50 << 128;
    QTest::newRow("none keeps target") << 255 << 0 << 0 << 255;
    QTest::newRow("full is overlay") << 255 << 0 << 100 << 0;
    QTest::newRow("ten percent") << 255 << 0 << 10 << 230; // 229.5 -> 230 (even)
    // Exact halves that the same sum in floating point misses on one side or the other.
    QTest::newRow("1 % of 50 over 0 is 0.5 -> 0") << 0 << 50 << 1 << 0;
    QTest::newRow("10 % of 15 over 0 is 1.5 -> 2") << 0 << 15 << 10 << 2;
    QTest::newRow("30 % of 15 over 0 is 4.5 -> 4") << 0 << 15 << 30 << 4;
    QTest::newRow("90 % of 47 over 2 is 42.5 -> 42") << 2 << 47 << 90 << 42;
}

void TestGradient::blend()
{
    QFETCH(int, target);
    QFETCH(int, overlay);
    QFETCH(int, percent);
    QFETCH(int, expected);
    QImage picture = blank(4, 4, qRgb(target, target, target));
    const QImage over = blank(4, 4, qRgb(overlay, overlay, overlay));
    BlendOver(picture, over, picture.rect(), percent);
    QCOMPARE(picture.pixel(3, 3), qRgb(expected, expected, expected));
}

void TestGradient::copyAndBlendMovesBase()
{
    QImage base = blank(4, 4, qRgb(50, 50, 50));
    base.setPixel(0, 0, qRgb(200, 0, 0));
    QImage target = blank(4, 4, qRgb(9, 9, 9));
    CopyAndBlend(target, base, base, 1, target.rect(), 0);
    QCOMPARE(target.pixel(0, 0), qRgb(9, 9, 9));
    QCOMPARE(target.pixel(1, 1), qRgb(200, 0, 0));
    // the same picture as target and base: moved, not smeared
    CopyAndBlend(target, target, base, 1, target.rect(), 0);
    QCOMPARE(target.pixel(2, 2), qRgb(200, 0, 0));
    QCOMPARE(target.pixel(3, 3), qRgb(50, 50, 50));
}

void TestGradient::tint_data()
{
    QTest::addColumn<QRgb>("in");
    QTest::addColumn<QRgb>("out");
    QTest::newRow("white stays white") << qRgb(255, 255, 255) << qRgb(255, 255, 255);
    QTest::newRow("black becomes the tint") << qRgb(0, 0, 0) << qRgb(64, 64, 64);
    QTest::newRow("grey level truncates") << qRgb(100, 0, 0) << qRgb(97, 97, 97);
}

void TestGradient::tint()
{
    QFETCH(QRgb, in);
    QFETCH(QRgb, out);
    QImage img = blank(2, 2, in);
    TintDisabled(img, QColor(64, 64, 64));
    QCOMPARE(img.pixel(1, 1), out);
}

void TestGradient::smoothStripVersusInside()
{
    QImage large = blank(60, 60, qRgb(255, 255, 255));
    for (int y = 0; y < 60; ++y)
        large.setPixel(0, y, qRgb(0, 0, 0)); // one dark column of three in the left edge blocks
    QImage target = blank(20, 20);
    SmoothEdges(large, target, 3, QColor(10, 10, 10), 6); // s = 3
    QCOMPARE(target.pixel(0, 10), qRgb(170, 170, 170)); // 6 x 255 / 9
    QCOMPARE(target.pixel(1, 10), qRgb(255, 255, 255));
    QCOMPARE(target.pixel(3, 10), qRgb(10, 10, 10)); // the fill covers column s
    QCOMPARE(target.pixel(10, 10), qRgb(10, 10, 10));
    QCOMPARE(target.pixel(17, 10), qRgb(255, 255, 255));
    QCOMPARE(target.pixel(10, 19), qRgb(255, 255, 255));
}

void TestGradient::smoothSurvivesShortLargePicture()
{
    const QImage large = blank(30, 9, qRgb(255, 255, 255));
    QImage target = blank(10, 10);
    SmoothEdges(large, target, 3, QColor(10, 10, 10), 4);
    QCOMPARE(target.pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(target.pixel(0, 9), qRgb(1, 2, 3)); // not averaged: no large rows
    QCOMPARE(target.pixel(5, 5), qRgb(10, 10, 10));
}

void TestGradient::fadeInTakesTenTicks()
{
    FadeLevels levels;
    levels.hovered = true;
    int ticks = 0;
    while (levels.tick())
        ++ticks;
    QCOMPARE(ticks, 9); // the tenth tick reaches 100 and stops the timer
    QCOMPARE(levels.fade, 100);
    levels.hovered = false;
    levels.action = FadeLevels::Action::FadeOut;
    ticks = 0;
    while (levels.tick())
        ++ticks;
    QCOMPARE(ticks, 10);
    QCOMPARE(levels.fade, 0);
}

void TestGradient::pressShowsNextTickAndGoesAfterRelease()
{
    FadeLevels levels;
    levels.hovered = levels.pressed = true;
    QVERIFY(levels.tick());
    QCOMPARE(levels.press, 100);
    QVERIFY(!levels.tick());
    levels.pressed = false;
    (void)levels.tick();
    QCOMPARE(levels.press, 0);
}

void TestGradient::fadeOutNeverGoesNegative()
{
    FadeLevels levels;
    levels.press = 100;
    levels.action = FadeLevels::Action::FadeOut;
    while (levels.tick())
        QVERIFY(levels.fade >= 0);
    QCOMPARE(levels.fade, 0);
    QCOMPARE(levels.press, 0);
}

void TestGradient::bandedPanelMatchesWholePicture_data()
{
    QTest::addColumn<int>("borderWidth");
    QTest::addColumn<int>("cornerWidth");
    QTest::addColumn<int>("captionHeight");
    QTest::addColumn<QSize>("size");

    QTest::newRow("defaults") << 2 << 10 << 0 << QSize(185, 105);
    QTest::newRow("thick border") << 5 << 10 << 0 << QSize(300, 200);
    QTest::newRow("square corners, no border") << 0 << 0 << 0 << QSize(97, 61);
    QTest::newRow("group box") << 2 << 10 << 17 << QSize(240, 130);
    QTest::newRow("wide corners") << 3 << 40 << 0 << QSize(401, 333);
    QTest::newRow("too small for bands") << 2 << 10 << 0 << QSize(31, 12);
}

// The fast build draws only the edge strips of the three-times picture; it must give exactly
// what drawing the whole picture and smoothing it gives.
void TestGradient::bandedPanelMatchesWholePicture()
{
    QFETCH(int, borderWidth);
    QFETCH(int, cornerWidth);
    QFETCH(int, captionHeight);
    QFETCH(QSize, size);
    PanelLook look;
    look.borderWidth = borderWidth;
    look.cornerWidth = cornerWidth;
    look.groupBoxTextHeight = captionHeight;
    look.outerColor = QColor(12, 34, 56);
    look.borderColor = QColor(200, 0, 0);
    const QImage fast = PanelBackground(look, size);
    const QImage reference = PanelBackgroundReference(look, size);
    QCOMPARE(fast.size(), size);
    QCOMPARE(fast, reference);
}

void TestGradient::panelBorderIsWholeAndSymmetric_data()
{
    QTest::addColumn<bool>("antialiased");
    QTest::addColumn<int>("borderWidth");
    QTest::addColumn<int>("cornerWidth");
    QTest::addColumn<int>("lineWidth"); // pixels of pure border colour across each edge

    QTest::newRow("plain, width 2: a one-pixel pen") << false << 2 << 10 << 1;
    QTest::newRow("plain, width 1: a zero pen still paints") << false << 1 << 10 << 1;
    QTest::newRow("plain, width 3, square corners") << false << 3 << 0 << 2;
    QTest::newRow("plain, width 5 as the main window's panes") << false << 5 << 0 << 4;
    QTest::newRow("smoothed, width 5") << true << 5 << 10 << 4;
}

// Every edge carries its border line, as thick on the right and bottom as on the left and top.
void TestGradient::panelBorderIsWholeAndSymmetric()
{
    QFETCH(bool, antialiased);
    QFETCH(int, borderWidth);
    QFETCH(int, cornerWidth);
    QFETCH(int, lineWidth);
    PanelLook look;
    look.antialiased = antialiased;
    look.borderWidth = borderWidth;
    look.cornerWidth = cornerWidth;
    look.outerColor = QColor(0, 0, 0);
    look.borderColor = QColor(255, 0, 0);
    look.color = QColor(255, 255, 255);
    const QSize size(71, 50);
    const QImage picture = PanelBackground(look, size);
    QCOMPARE(picture, picture.mirrored(true, false));
    QCOMPARE(picture, picture.mirrored(false, true));
    const int midX = size.width() / 2, midY = size.height() / 2;
    const QRgb red = qRgb(255, 0, 0);
    for (int i = 0; i < lineWidth; ++i) {
        QCOMPARE(picture.pixel(i, midY), red);
        QCOMPARE(picture.pixel(size.width() - 1 - i, midY), red);
        QCOMPARE(picture.pixel(midX, size.height() - 1 - i), red);
    }
    QVERIFY(picture.pixel(size.width() - 1 - lineWidth - 1, midY) != red);
    QVERIFY(picture.pixel(midX, size.height() - 1 - lineWidth - 1) != red);
    if (cornerWidth > 0)
        QCOMPARE(picture.pixel(0, 0), qRgb(0, 0, 0));
}

QTEST_GUILESS_MAIN(TestGradient)
#include "tst_gradient.moc"
