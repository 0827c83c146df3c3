#include "metafile/emfdevice.h"
#include "metafile/emfplayer.h"

#include "emfplayback.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTest>

#include <uemf.h>

namespace {

QList<EmfRecord> ofType(const QList<EmfRecord> &records, quint32 type)
{
    QList<EmfRecord> found;
    for (const EmfRecord &r : records)
        if (r.type == type)
            found.append(r);
    return found;
}

QString utf16At(const QByteArray &bytes, int offset, int chars)
{
    return QString(reinterpret_cast<const QChar *>(bytes.constData() + offset), chars);
}

// Shapes in the ways tables and artwork draw them, on any device; QtSvg cannot clip, so the
// clipped bar is left out for libemf2svg.
void drawShapes(QPainter &p, bool withClip)
{
    p.fillRect(QRect(0, 0, 60, 40), Qt::white);
    p.setPen(QColor(0, 0, 0));
    p.setBrush(QColor(255, 234, 179));
    p.drawRect(QRect(0, 0, 29, 19)); // covers 0..29 x 0..19
    p.setPen(QColor(192, 192, 192));
    p.setBrush(QColor(30, 90, 200));
    p.drawRect(QRect(30, 0, 29, 19));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRect(4, 24, 20, 12)); // covers 4..23 x 24..35
    p.setBrush(QColor(20, 160, 60));
    p.drawPolygon(QPolygon({QPoint(34, 24), QPoint(56, 24), QPoint(45, 38)}));
    p.setPen(QColor(120, 0, 120));
    p.setBrush(QColor(250, 200, 0));
    QPainterPath path(QPointF(26, 28));
    path.cubicTo(QPointF(30, 40), QPointF(40, 40), QPointF(46, 28));
    path.closeSubpath();
    p.drawPath(path);
    if (withClip) {
        p.setClipRect(QRect(2, 37, 10, 3));
        p.fillRect(QRect(0, 30, 30, 10), QColor(0, 0, 160)); // only 2..11 x 37..39 shows
        p.setClipping(false);
    }
}

} // namespace

class TestEmfDevice : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void recordsReadBack();
    void playsLikeQImage_data();
    void playsLikeQImage();
};

// One picture with a rectangle, clipped text and a bitmap, read back record by record.
void TestEmfDevice::recordsReadBack()
{
    EmfDevice device(QSize(40, 30), QStringLiteral("Saporin"), QStringLiteral("Table"));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(9);
    font.setBold(true);
    const QString text = QStringLiteral("A&b");
    {
        QPainter p(&device);
        p.setPen(QColor(10, 20, 30));
        p.setBrush(QColor(200, 100, 50));
        p.drawRect(QRect(2, 3, 9, 5));
        p.setClipRect(QRect(1, 12, 30, 10));
        p.setFont(font);
        p.setPen(QColor(0, 0, 255));
        p.drawText(QPointF(3, 20), text);
        p.setClipping(false);
        QImage bitmap(8, 4, QImage::Format_RGB32);
        bitmap.fill(QColor(1, 2, 3));
        bitmap.setPixelColor(0, 3, QColor(250, 128, 7)); // bottom-left: the first pixel of the DIB
        p.drawImage(QRect(20, 2, 8, 4), bitmap);
    }
    const QByteArray emf = device.data();
    const QList<EmfRecord> records = emfRecords(emf);
    QVERIFY(records.size() > 8);

    const EmfRecord &header = records.first();
    QCOMPARE(header.type, quint32(U_EMR_HEADER));
    QCOMPARE(QList<int>({header.at(8), header.at(12), header.at(16), header.at(20)}), QList<int>({0, 0, 40, 30}));
    // 40 x 30 pixels at 96 dpi in hundredths of a millimetre.
    QCOMPARE(QList<int>({header.at(24), header.at(28), header.at(32), header.at(36)}), QList<int>({0, 0, 1058, 794}));
    QCOMPARE(header.at(40), qint32(U_ENHMETA_SIGNATURE));
    QCOMPARE(header.at(48), qint32(emf.size()));
    QCOMPARE(header.at(52), qint32(records.size()));
    QVERIFY(utf16At(header.bytes, header.at(64), header.at(60)).startsWith(QStringLiteral("Saporin") + QChar(0)
                                                                            + QStringLiteral("Table") + QChar(0) + QChar(0)));
    QCOMPARE(records.last().type, quint32(U_EMR_EOF));

    // The platform's rectangle excludes its right and bottom edge; Qt's outline includes them.
    const QList<EmfRecord> rects = ofType(records, U_EMR_RECTANGLE);
    QCOMPARE(rects.size(), 1);
    QCOMPARE(QList<int>({rects[0].at(8), rects[0].at(12), rects[0].at(16), rects[0].at(20)}), QList<int>({2, 3, 12, 9}));
    const QList<EmfRecord> pens = ofType(records, U_EMR_CREATEPEN);
    QCOMPARE(pens.size(), 1);
    QCOMPARE(pens[0].at(24), qint32(0x1e140a)); // COLORREF 0x00bbggrr
    const QList<EmfRecord> brushes = ofType(records, U_EMR_CREATEBRUSHINDIRECT);
    QCOMPARE(brushes.size(), 1);
    QCOMPARE(brushes[0].at(16), qint32(0x3264c8));

    const QList<EmfRecord> fonts = ofType(records, U_EMR_EXTCREATEFONTINDIRECTW);
    QCOMPARE(fonts.size(), 1);
    QCOMPARE(fonts[0].at(12), -12); // 9 points at 96 dpi, as character height
    QCOMPARE(fonts[0].at(28), 700);
    QCOMPARE(utf16At(fonts[0].bytes, 40, 11), QStringLiteral("DejaVu Sans"));

    // The clip is a saved state with the clip rectangle, restored when the clip is lifted.
    const QList<EmfRecord> clips = ofType(records, U_EMR_INTERSECTCLIPRECT);
    QCOMPARE(clips.size(), 1);
    QCOMPARE(QList<int>({clips[0].at(8), clips[0].at(12), clips[0].at(16), clips[0].at(20)}), QList<int>({1, 12, 31, 22}));
    QCOMPARE(ofType(records, U_EMR_SAVEDC).size(), 1);
    QCOMPARE(ofType(records, U_EMR_RESTOREDC).size(), 1);

    const QList<EmfRecord> texts = ofType(records, U_EMR_EXTTEXTOUTW);
    QCOMPARE(texts.size(), 1);
    const EmfRecord &run = texts[0];
    QCOMPARE(QList<int>({run.at(36), run.at(40)}), QList<int>({3, 20}));
    QCOMPARE(run.at(44), qint32(text.size()));
    QCOMPARE(utf16At(run.bytes, run.at(48), int(text.size())), text);
    QVERIFY(run.at(52) & U_ETO_CLIPPED);
    QCOMPARE(QList<int>({run.at(56), run.at(60), run.at(64), run.at(68)}), QList<int>({1, 12, 31, 22}));
    int advance = 0;
    for (int i = 0; i < text.size(); ++i) {
        QVERIFY(run.at(run.at(72) + 4 * i) > 0);
        advance += run.at(run.at(72) + 4 * i);
    }
    QVERIFY(qAbs(advance - QFontMetricsF(font, &device).horizontalAdvance(text)) <= 1.0);

    const QList<EmfRecord> bitmaps = ofType(records, U_EMR_STRETCHDIBITS);
    QCOMPARE(bitmaps.size(), 1);
    const EmfRecord &dib = bitmaps[0];
    QCOMPARE(QList<int>({dib.at(24), dib.at(28), dib.at(72), dib.at(76)}), QList<int>({20, 2, 8, 4}));
    QCOMPARE(QList<int>({dib.at(40), dib.at(44)}), QList<int>({8, 4}));
    QCOMPARE(dib.at(dib.at(48) + 14) & 0xffff, 32); // bits per pixel
    QCOMPARE(dib.at(dib.at(56)) & 0xffffff, 0xfa8007);
}

void TestEmfDevice::playsLikeQImage_data()
{
    QTest::addColumn<int>("unitsPerPixel");
    QTest::addColumn<bool>("ours"); // our player, or libemf2svg drawn by QtSvg
    QTest::addColumn<double>("share"); // of differing pixels away from edges
    QTest::newRow("whole pixels, libemf2svg") << 1 << false << 0.05;
    QTest::newRow("sixteenths of a pixel, libemf2svg") << 16 << false << 0.05;
    QTest::newRow("whole pixels, our player") << 1 << true << 0.0;
    QTest::newRow("sixteenths of a pixel, our player") << 16 << true << 0.0;
}

// Another program's player draws our shapes where QPainter puts them on an image.
void TestEmfDevice::playsLikeQImage()
{
    QFETCH(int, unitsPerPixel);
    QFETCH(bool, ours);
    QFETCH(double, share);
    const QSize size(60, 40);
    QImage expected(size, QImage::Format_RGB32);
    {
        QPainter p(&expected);
        drawShapes(p, ours);
    }
    EmfDevice device(size, QStringLiteral("Saporin"), QStringLiteral("Shapes"), unitsPerPixel);
    {
        QPainter p(&device);
        drawShapes(p, ours);
    }
    QImage played = playEmf(device.data(), size);
    if (ours) {
        QVERIFY(EmfPlayer::canPlay(device.data()));
        QCOMPARE(EmfPlayer::frameSize(device.data()).toSize(), size);
        played.fill(Qt::white);
        QPainter p(&played);
        QVERIFY(EmfPlayer::play(device.data(), p, QRectF(QPointF(0, 0), size)));
    }
    QVERIFY(!played.isNull());
    // Inside each shape the colours are exact; only edges may be smoothed by the player.
    const QList<QPair<QPoint, QColor>> probes = {
        {QPoint(10, 10), QColor(255, 234, 179)}, {QPoint(45, 10), QColor(30, 90, 200)},
        {QPoint(10, 30), QColor(200, 40, 40)},   {QPoint(45, 26), QColor(20, 160, 60)},
        {QPoint(36, 31), QColor(250, 200, 0)},
    };
    for (const auto &[at, colour] : probes) {
        QCOMPARE(expected.pixelColor(at), colour);
        QCOMPARE(played.pixelColor(at), colour);
    }
    const double differing = differingShare(expected, played, 48);
    QVERIFY2(differing <= share, qPrintable(QString::number(differing)));
}

QTEST_MAIN(TestEmfDevice)
#include "tst_emfdevice.moc"
