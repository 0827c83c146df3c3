#include "widgets/ui/gradientbutton.h"
#include "widgets/ui/gradientcheckbox.h"
#include "widgets/ui/gradientpanel.h"
#include "widgets/ui/gradientsplitter.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTest>

using namespace RbLook;

class TestGradientWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void thickBorderIsSmoothInsideIsFlat();
    void gradientNeedsAntialiasingOff();
    void backgroundRebuiltOnlyOnChange();
    void childrenSitInsideTheBorder();
    void groupBoxCaptionLowersBorder();
    void hoverFadesInAndOutOverTenTicks();
    void pressedFaceShowsNextTickAndGoesAfterRelease();
    void hoverFaceIsTheOverGradient();
    void roundedOutlineIsAlikeAtEveryCorner();
    void disabledGlyphIsLightenedGrey();
    void keysClick_data();
    void keysClick();
    void defaultButtonAnswersEnterWithoutFocus();
    void modalResultClosesDialog();
    void groupHoldsOneButtonDown();
    void splitterGripDotsAndHover();
    void splitterDragsLikeQt();
    void checkBoxTogglesAndDrawsTintedMark();
    void checkBoxLeaveClearsHoverAndPress();
};

static QImage snapshot(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

static void enter(QWidget *w)
{
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(w, &event);
}

static void leave(QWidget *w)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(w, &event);
}

void TestGradientWidgets::thickBorderIsSmoothInsideIsFlat()
{
    QWidget parent;
    parent.setStyleSheet(QString()); // keep the palette's own colours
    GradientPanel panel(&parent);
    panel.setOuterColor(QColor(0, 0, 0));
    panel.setBorderColor(QColor(255, 0, 0));
    panel.setBorderWidth(5);
    panel.resize(120, 90);
    const QImage bg = panel.background();
    QCOMPARE(bg.size(), QSize(120, 90));
    // Beyond the smoothing strip the picture is flat Color.
    QCOMPARE(bg.pixel(60, 45), qRgb(223, 223, 227));
    // Along the top edge, the border line's rows run from the outer colour through blends into
    // the red border: at least one row between is neither colour, which is what smoothing gives.
    bool blended = false;
    for (int y = 0; y < 8; ++y) {
        const QRgb p = bg.pixel(60, y);
        if (p != qRgb(0, 0, 0) && p != qRgb(255, 0, 0) && p != qRgb(223, 223, 227))
            blended = true;
    }
    QVERIFY(blended);
    // The 14-pixel pen (3 x 5 - 1) averaged down covers about 4 to 5 rows of pure red.
    QCOMPARE(bg.pixel(60, 2), qRgb(255, 0, 0));
    // Rounded corners: the very corner pixel keeps the outer colour.
    QCOMPARE(bg.pixel(0, 0), qRgb(0, 0, 0));
}

void TestGradientWidgets::gradientNeedsAntialiasingOff()
{
    GradientPanel panel;
    panel.setGradient(true);
    QVERIFY(!panel.gradient());
    panel.setAntialiased(false);
    panel.setGradient(true);
    QVERIFY(panel.gradient());
    panel.setAntialiased(true);
    QVERIFY(!panel.gradient());
}

void TestGradientWidgets::backgroundRebuiltOnlyOnChange()
{
    GradientPanel panel;
    panel.resize(100, 60);
    const qint64 first = panel.background().cacheKey();
    QCOMPARE(panel.background().cacheKey(), first);
    panel.resize(101, 60);
    const qint64 second = panel.background().cacheKey();
    QVERIFY(second != first);
    panel.setColor(QColor(10, 20, 30));
    QVERIFY(panel.background().cacheKey() != second);
    QCOMPARE(panel.background().pixel(50, 30), qRgb(10, 20, 30));
}

void TestGradientWidgets::childrenSitInsideTheBorder()
{
    GradientPanel panel;
    panel.setBorderWidth(4);
    auto *layout = new QHBoxLayout(&panel);
    layout->setSpacing(0);
    auto *child = new QWidget;
    layout->addWidget(child);
    panel.resize(200, 100);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QCOMPARE(child->geometry(), QRect(5, 5, 190, 90));
}

void TestGradientWidgets::groupBoxCaptionLowersBorder()
{
    GradientPanel panel;
    panel.setOuterColor(QColor(0, 0, 0));
    panel.setAntialiased(false);
    panel.setCaption(QStringLiteral("Margins"));
    panel.resize(150, 80);
    const QRgb topPlain = panel.background().pixel(75, 0);
    panel.setCaptionPosition(GradientPanel::cpGroupBox);
    const QImage lowered = panel.background();
    QCOMPARE(topPlain, qRgb(128, 128, 128));     // the border's top line
    QCOMPARE(lowered.pixel(75, 0), qRgb(0, 0, 0)); // now outer colour above the line
}

void TestGradientWidgets::hoverFadesInAndOutOverTenTicks()
{
    GradientButton button(QStringLiteral("OK"));
    enter(&button);
    QVERIFY(button.isFading());
    for (int i = 1; i <= 10; ++i) {
        button.tickFade();
        QCOMPARE(button.levels().fade, 10 * i);
    }
    button.tickFade(); // the tick that finds it complete stops the timer
    QVERIFY(!button.isFading());

    leave(&button);
    QVERIFY(button.isFading());
    for (int i = 9; i >= 0; --i) {
        button.tickFade();
        QCOMPARE(button.levels().fade, 10 * i);
    }
    button.tickFade();
    QVERIFY(!button.isFading());

    // The real timer runs at the fade speed's interval.
    enter(&button);
    QTRY_COMPARE_WITH_TIMEOUT(button.levels().fade, 100, 2000);
}

void TestGradientWidgets::pressedFaceShowsNextTickAndGoesAfterRelease()
{
    GradientButton button(QStringLiteral("OK"));
    button.resize(75, 25);
    enter(&button);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &press);
    QCOMPARE(button.levels().press, 0);
    button.tickFade();
    QCOMPARE(button.levels().press, 100);
    // The pressed face is the clicked gradient, moved one pixel right and down.
    const QImage pressed = snapshot(&button);
    const QRgb face = pressed.pixel(4, 4);
    QVERIFY(qAbs(qRed(face) - 215) <= 1 && qAbs(qGreen(face) - 208) <= 1 && qAbs(qBlue(face) - 199) <= 1);

    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &release);
    button.tickFade();
    QCOMPARE(button.levels().press, 0);
}

void TestGradientWidgets::hoverFaceIsTheOverGradient()
{
    GradientButton button;
    button.resize(75, 25);
    const QImage idle = snapshot(&button);
    enter(&button);
    for (int i = 0; i < 10; ++i)
        button.tickFade();
    const QImage hovered = snapshot(&button);
    // The idle face is copied one pixel down (row 1 is its white first row); the hover face is
    // blended in place, so row 1 already carries its second, slightly blue row.
    QCOMPARE(idle.pixel(30, 1), qRgb(255, 255, 255));
    QVERIFY(hovered.pixel(30, 1) != qRgb(255, 255, 255));
    QVERIFY(qBlue(hovered.pixel(30, 1)) > qRed(hovered.pixel(30, 1)));
    // Near the bottom the faces reach their end colours' side of the ramp.
    const QRgb idleLow = idle.pixel(30, 22), hoverLow = hovered.pixel(30, 22);
    QVERIFY(qBlue(idleLow) > qBlue(hoverLow));
    QVERIFY(qRed(hoverLow) < 140 && qRed(hoverLow) >= 118);
    // The rounded outline is in the border colour.
    QCOMPARE(hovered.pixel(30, 0), qRgb(128, 128, 128));
}

// The outline runs along the whole edge in the border colour except the four corner pixels, which
// show the colour around the button; no face pixel is left outside it.
void TestGradientWidgets::roundedOutlineIsAlikeAtEveryCorner()
{
    GradientButton button;
    button.setColor(QColor(1, 2, 3));
    button.resize(75, 25);
    for (int press : {0, 1}) {
        if (press) {
            QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(30, 12));
            button.tickFade();
        }
        const QImage face = snapshot(&button);
        const int right = face.width() - 1, bottom = face.height() - 1;
        for (int y = 0; y <= bottom; ++y) {
            for (int x = 0; x <= right; ++x) {
                const bool edgeX = x == 0 || x == right, edgeY = y == 0 || y == bottom;
                if (!edgeX && !edgeY)
                    continue;
                const QRgb expected = edgeX && edgeY ? qRgb(1, 2, 3) : qRgb(128, 128, 128);
                QVERIFY2(face.pixel(x, y) == expected, qPrintable(QStringLiteral("%1,%2 pressed %3").arg(x).arg(y).arg(press)));
            }
        }
        for (const QPoint inner : {QPoint(1, 1), QPoint(right - 1, 1), QPoint(1, bottom - 1), QPoint(right - 1, bottom - 1)}) {
            QVERIFY(face.pixel(inner) != qRgb(128, 128, 128));
            QVERIFY(face.pixel(inner) != qRgb(1, 2, 3));
        }
    }
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 12));
}

void TestGradientWidgets::disabledGlyphIsLightenedGrey()
{
    QPixmap glyph(8, 8);
    glyph.fill(QColor(0, 0, 200));
    GradientButton button;
    button.setShowCaption(false);
    button.setGlyph(glyph);
    button.resize(40, 24);
    const QImage enabled = snapshot(&button);
    // Without a caption the glyph sits at ((L + R - Spacing) / 2 - gw, (height - gh) / 2).
    const QPoint at((0 + 40 + 8 - 2) / 2 - 8, (24 - 8) / 2);
    QCOMPARE(enabled.pixel(at + QPoint(1, 1)), qRgb(0, 0, 200));
    button.setEnabled(false);
    const QImage disabled = snapshot(&button);
    const QRgb grey = disabled.pixel(at + QPoint(1, 1));
    QCOMPARE(qRed(grey), qGreen(grey));
    QCOMPARE(qGreen(grey), qBlue(grey));
    QVERIFY(qRed(grey) > 66); // lighter than the plain grey of the glyph (200 / 3)
}

void TestGradientWidgets::keysClick_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("isCancel");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("checkBox");

    QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::NoModifier) << false << 1 << false;
    QTest::newRow("shift space") << int(Qt::Key_Space) << int(Qt::ShiftModifier) << false << 0 << false;
    QTest::newRow("ctrl space") << int(Qt::Key_Space) << int(Qt::ControlModifier) << false << 0 << false;
    QTest::newRow("alt space") << int(Qt::Key_Space) << int(Qt::AltModifier) << false << 0 << false;
    QTest::newRow("space on a check box") << int(Qt::Key_Space) << int(Qt::NoModifier) << false << 1 << true;
    QTest::newRow("ctrl space on a check box") << int(Qt::Key_Space) << int(Qt::ControlModifier) << false << 0 << true;
    QTest::newRow("enter when focused") << int(Qt::Key_Return) << int(Qt::NoModifier) << false << 1 << false;
    QTest::newRow("escape on a plain button") << int(Qt::Key_Escape) << int(Qt::NoModifier) << false << 0 << false;
    QTest::newRow("escape on the cancel button") << int(Qt::Key_Escape) << int(Qt::NoModifier) << true << 1 << false;
    QTest::newRow("shift escape") << int(Qt::Key_Escape) << int(Qt::ShiftModifier) << true << 0 << false;
}

void TestGradientWidgets::keysClick()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, isCancel);
    QFETCH(int, clicks);
    QFETCH(bool, checkBox);
    QWidget window;
    QAbstractButton *button = nullptr;
    if (checkBox) {
        button = new GradientCheckBox(QStringLiteral("Go"), &window);
    } else {
        auto *gradientButton = new GradientButton(QStringLiteral("Go"), &window);
        gradientButton->setCancel(isCancel);
        button = gradientButton;
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    button->setFocus();
    QSignalSpy spy(button, &QAbstractButton::clicked);
    QTest::keyClick(button, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(spy.count(), clicks);
}

void TestGradientWidgets::defaultButtonAnswersEnterWithoutFocus()
{
    QWidget window;
    auto *layout = new QHBoxLayout(&window);
    auto *other = new GradientButton(QStringLiteral("Other"));
    auto *save = new GradientButton(QStringLiteral("Save"));
    auto *box = new QWidget;
    box->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(other);
    layout->addWidget(save);
    layout->addWidget(box);
    save->setDefault(true);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    box->setFocus();
    QSignalSpy saved(save, &QAbstractButton::clicked);
    QSignalSpy otherClicked(other, &QAbstractButton::clicked);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(saved.count(), 1);
    // A focused button takes Enter for itself.
    other->setFocus();
    QTest::keyClick(other, Qt::Key_Return);
    QCOMPARE(otherClicked.count(), 1);
    QCOMPARE(saved.count(), 1);
}

void TestGradientWidgets::modalResultClosesDialog()
{
    QDialog dialog;
    auto *ok = new GradientButton(QStringLiteral("OK"), &dialog);
    ok->setModalResult(GradientButton::mrOk);
    auto *plain = new GradientButton(QStringLiteral("Apply"), &dialog);
    int result = -1;
    QTimer::singleShot(0, &dialog, [&] {
        plain->click(); // mrNone closes nothing
        QVERIFY(dialog.isVisible());
        ok->click();
    });
    result = dialog.exec();
    QCOMPARE(result, int(GradientButton::mrOk));
}

void TestGradientWidgets::groupHoldsOneButtonDown()
{
    QWidget bar;
    GradientButton *buttons[3];
    for (auto &b : buttons) {
        b = new GradientButton(&bar);
        b->setGroupIndex(1);
    }
    auto *loose = new GradientButton(&bar);
    buttons[0]->click();
    QVERIFY(buttons[0]->isButtonDown());
    buttons[1]->click();
    QVERIFY(!buttons[0]->isButtonDown());
    QVERIFY(buttons[1]->isButtonDown());
    buttons[1]->click(); // AllowAllUp off: the last one stays down
    QVERIFY(buttons[1]->isButtonDown());
    buttons[1]->setAllowAllUp(true);
    buttons[1]->click();
    QVERIFY(!buttons[1]->isButtonDown());
    loose->click();
    QVERIFY(!loose->isButtonDown());
}

void TestGradientWidgets::splitterGripDotsAndHover()
{
    GradientSplitter splitter;
    splitter.addWidget(new QWidget);
    splitter.addWidget(new QWidget);
    QImage idle, hover;
    splitter.paintPictures(idle, hover, QSize(5, 200));
    // Grip centre ((5 - 3) / 2, 200 / 2) = (1, 100); the first dot is 40 above it.
    const int x = 1, y = 60;
    QCOMPARE(idle.pixel(x, y), qRgb(255, 255, 255));
    QCOMPARE(idle.pixel(x + 1, y), qRgb(128, 128, 128));
    QCOMPARE(idle.pixel(x + 1, y + 1), qRgb(128, 128, 128));
    QCOMPARE(idle.pixel(x + 2, y + 2), qRgb(255, 255, 255));
    QCOMPARE(idle.pixel(x + 1, y + 2), qRgb(192, 192, 192));
    // The last dot starts at +38; nothing is drawn beyond it.
    QCOMPARE(idle.pixel(x, 138), qRgb(255, 255, 255));
    QCOMPARE(hover.pixel(x, 100 + 45), hover.pixel(x, 100 + 60));
    // The hover picture is the over gradient, horizontal: the first column is white.
    QCOMPARE(hover.pixel(0, 10), qRgb(255, 255, 255));
    QVERIFY(hover.pixel(4, 10) != qRgb(255, 255, 255));

    auto *handle = static_cast<GradientSplitterHandle *>(splitter.handle(1));
    enter(handle);
    for (int i = 0; i < 12; ++i)
        handle->tickFade();
    QCOMPARE(handle->fadeLevel(), 100);
    leave(handle);
    handle->tickFade();
    QCOMPARE(handle->fadeLevel(), 90);
}

void TestGradientWidgets::splitterDragsLikeQt()
{
    GradientSplitter splitter;
    splitter.addWidget(new QWidget);
    splitter.addWidget(new QWidget);
    splitter.resize(300, 100);
    splitter.setSizes({150, 145});
    splitter.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splitter));
    QSplitterHandle *handle = splitter.handle(1);
    QCOMPARE(handle->width(), 5);
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(2, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(42, 50), handle->mapToGlobal(QPointF(42, 50)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(42, 50));
    QCOMPARE(splitter.sizes().at(0), 190);
}

void TestGradientWidgets::checkBoxTogglesAndDrawsTintedMark()
{
    GradientCheckBox box(QStringLiteral("Header"));
    box.resize(130, 17);
    QSignalSpy toggled(&box, &QAbstractButton::toggled);
    box.click();
    QVERIFY(box.isChecked());
    QCOMPARE(toggled.count(), 1);
    const QRect r = box.boxRect();
    QCOMPARE(r, QRect(1, 1, 13, 13));
    const QImage checked = snapshot(&box);
    int marked = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            marked += checked.pixel(x, y) == qRgb(0, 128, 0);
    QVERIFY2(marked >= 10, qPrintable(QString::number(marked)));
    box.setEnabled(false);
    const QImage disabled = snapshot(&box);
    int grey = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            grey += disabled.pixel(x, y) == qRgb(128, 128, 128);
    QVERIFY(grey >= marked);
    box.setEnabled(true);
    box.click();
    QVERIFY(!box.isChecked());
}

void TestGradientWidgets::checkBoxLeaveClearsHoverAndPress()
{
    GradientCheckBox box(QStringLiteral("Footer"));
    enter(&box);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&box, &press);
    box.tickFade();
    QCOMPARE(box.levels().press, 100);
    leave(&box);
    QVERIFY(!box.levels().hovered);
    QVERIFY(!box.levels().pressed);
    box.tickFade();
    QCOMPARE(box.levels().press, 0);
    QVERIFY(!box.isChecked()); // released outside: no click
}

QTEST_MAIN(TestGradientWidgets)
#include "tst_gradientwidgets.moc"
