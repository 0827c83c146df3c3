#include "pickers/emoticons.h"
#include "pickers/ui/emoticonpicker.h"
#include "tests/support/findchild.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QSet>
#include <QTest>
#include <QtEndian>

namespace {

// The picture frame an EMF header gives, in hundredths of a millimetre.
QRect emfFrame(const QByteArray &emf)
{
    const auto at = [&emf](int offset) { return qFromLittleEndian<qint32>(emf.constData() + offset); };
    return QRect(QPoint(at(24), at(28)), QPoint(at(32), at(36)));
}

} // namespace

class EmoticonsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hoverNamesEachPicture_data();
    void hoverNamesEachPicture();
    void picturesAreDistinctAndTransparent();
    void clickPutsTheMetafileOnTheClipboard();
    void closeKeepsTheClipboardAndTheFlag();
};

void EmoticonsTest::hoverNamesEachPicture_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");

    QTest::newRow("1") << "Image2" << QRect(24, 24, 21, 21) << "Angry   :x";
    QTest::newRow("2") << "Image23" << QRect(56, 24, 21, 21) << "Smiley   :)";
    QTest::newRow("3") << "Image5" << QRect(88, 24, 21, 21) << "Tongue   :p or :P";
    QTest::newRow("4") << "Image7" << QRect(120, 24, 21, 21) << "Laugh out Loud   :lol:";
    QTest::newRow("5") << "Image26" << QRect(152, 24, 20, 20) << "Puke or Sick   +o(";
    QTest::newRow("6") << "Image9" << QRect(184, 24, 21, 21) << "Oh My!   :o";
    QTest::newRow("7") << "Image10" << QRect(216, 24, 21, 21) << "Unsure or Confused   :s or :?";
    QTest::newRow("8") << "Image11" << QRect(248, 24, 21, 21) << "Wacko   x)";
    QTest::newRow("9") << "Image13" << QRect(280, 24, 21, 21) << "ph34r";
    QTest::newRow("10") << "Image27" << QRect(344, 24, 20, 22) << "Crying   :'(";
    QTest::newRow("11") << "Image29" << QRect(312, 24, 21, 21) << "Mellow or Uninterested   :|";
    QTest::newRow("12") << "Image28" << QRect(376, 24, 20, 20) << "Question";
    QTest::newRow("13") << "Image3" << QRect(24, 72, 22, 26) << "Sad   :(";
    QTest::newRow("14") << "Image4" << QRect(56, 72, 22, 26) << "Big Smile!   :D";
    QTest::newRow("15") << "Image6" << QRect(88, 72, 23, 22) << "Cool   8)";
    QTest::newRow("16") << "Image8" << QRect(120, 72, 22, 26) << "Wink   ;)";
    QTest::newRow("17") << "Image12" << QRect(152, 72, 22, 30) << "Crazy   8x)";
    QTest::newRow("18") << "Image14" << QRect(184, 72, 22, 26) << "Nea";
    QTest::newRow("19") << "Image15" << QRect(216, 72, 23, 25) << "Sarcastic";
    QTest::newRow("20") << "Image16" << QRect(252, 72, 31, 26) << "Bye-Bye";
    QTest::newRow("21") << "Image25" << QRect(285, 72, 40, 27) << "Dancing";
    QTest::newRow("22") << "Image24" << QRect(333, 72, 36, 26) << "Pardon";
    QTest::newRow("23") << "Image1" << QRect(376, 72, 22, 26) << "Happy Smile   :)";
    QTest::newRow("24") << "Image17" << QRect(48, 128, 45, 27) << "Hello";
    QTest::newRow("25") << "Image18" << QRect(104, 128, 54, 30) << "Let's drink on that";
    QTest::newRow("26") << "Image20" << QRect(168, 128, 43, 26) << "Praise";
    QTest::newRow("27") << "Image22" << QRect(224, 128, 27, 25) << "Bomb";
    QTest::newRow("28") << "Image21" << QRect(264, 128, 34, 24) << "Yahoo!";
    QTest::newRow("29") << "Image19" << QRect(320, 128, 51, 45) << "Truce or Surrender";
}

void EmoticonsTest::hoverNamesEachPicture()
{
    QFETCH(QString, control);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);

    EmoticonPicker picker;
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    auto *image = child(&picker, control.toLatin1().constData());
    QCOMPARE(image->parentWidget()->objectName(), QStringLiteral("RbPanel1"));
    QCOMPARE(image->geometry(), geometry);
    QCOMPARE(image->cursor().shape(), Qt::PointingHandCursor);
    auto *label = child<QLabel>(&picker, "Label1");
    QCOMPARE(label->text(), QString());
    QTest::mouseMove(image, QPoint(geometry.width() / 2, geometry.height() / 2));
    QTRY_COMPARE(label->text(), text);
    // The text stays when the mouse leaves, and after the window is shown again.
    QTest::mouseMove(child<QWidget>(&picker, "RbPanel1"), QPoint(4, 4));
    QCOMPARE(label->text(), text);
    child(&picker, "btnClose")->click();
    picker.show();
    QCOMPARE(label->text(), text);
    QVERIFY(!picker.EmoticonChosen);
}

void EmoticonsTest::picturesAreDistinctAndTransparent()
{
    QSet<QByteArray> seen;
    for (const Emoticon &emoticon : Emoticons::all()) {
        const QImage picture = Emoticons::picture(emoticon);
        QCOMPARE(picture.size(), emoticon.geometry.size());
        // A transparent background: the corners show through, the middle is drawn.
        const int w = picture.width() - 1, h = picture.height() - 1;
        int drawn = 0;
        for (int y = 0; y <= h; ++y)
            for (int x = 0; x <= w; ++x)
                drawn += qAlpha(picture.pixel(x, y)) > 0;
        QVERIFY2(drawn > picture.width() * picture.height() / 3, emoticon.artwork);
        QVERIFY2(qAlpha(picture.pixel(0, 0)) == 0 || qAlpha(picture.pixel(w, h)) == 0, emoticon.artwork);
        const QByteArray pixels(reinterpret_cast<const char *>(picture.constBits()), picture.sizeInBytes());
        QVERIFY2(!seen.contains(pixels), emoticon.artwork);
        seen.insert(pixels);
    }
    QCOMPARE(seen.size(), 29);
}

void EmoticonsTest::clickPutsTheMetafileOnTheClipboard()
{
    EmoticonPicker picker;
    QSet<QByteArray> metafiles;
    for (const Emoticon &emoticon : Emoticons::all()) {
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        picker.show();
        QTest::mouseClick(child(&picker, emoticon.control), Qt::LeftButton);
        QVERIFY(!picker.isVisible());
        QVERIFY(picker.EmoticonChosen);
        picker.EmoticonChosen = false;

        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(!data->hasText());
        const QByteArray emf = data->data(QStringLiteral("image/x-emf"));
        QVERIFY2(emf.size() > 108 && emf.mid(40, 4) == " EMF", emoticon.artwork);
        // The frame is the picture's size at 96 dpi, in hundredths of a millimetre.
        const QRect frame = emfFrame(emf);
        QVERIFY2(qAbs(frame.width() - emoticon.geometry.width() * 2540 / 96) <= 30, emoticon.artwork);
        QVERIFY2(qAbs(frame.height() - emoticon.geometry.height() * 2540 / 96) <= 30, emoticon.artwork);
        metafiles.insert(emf);
        const QImage png = QImage::fromData(data->data(QStringLiteral("image/png")), "PNG");
        QCOMPARE(png.size(), emoticon.geometry.size());
        QVERIFY(png.hasAlphaChannel());
    }
    QCOMPARE(metafiles.size(), 29);
}

void EmoticonsTest::closeKeepsTheClipboardAndTheFlag()
{
    EmoticonPicker picker;
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    picker.show();
    QTest::mouseMove(child(&picker, "Image2"));
    child(&picker, "btnClose")->click();
    QVERIFY(!picker.isVisible());
    QVERIFY(!picker.EmoticonChosen);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
    picker.EmoticonChosen = true; // Close leaves the flag as it was
    picker.show();
    child(&picker, "btnClose")->click();
    QVERIFY(picker.EmoticonChosen);
}

QTEST_MAIN(EmoticonsTest)
#include "tst_emoticons.moc"
