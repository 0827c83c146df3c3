#include "editor/recipebody.h"
#include "store/error.h"

#include <QTest>

#include <zlib.h>

class TestRecipeBody : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storedFormIsOneLevelOneZlibStream();
    void roundTrip_data();
    void roundTrip();
    void emptyFieldGivesEmptyBody();
    void bytesAfterTheStreamAreIgnored();
    void truncatedStreamGivesWhatItHolds();
    void damagedStreamReportsZlibText_data();
    void damagedStreamReportsZlibText();
    void oversizedBodyIsRefused();
};

void TestRecipeBody::storedFormIsOneLevelOneZlibStream()
{
    const QByteArray rtf = QByteArray("{\\rtf1\\ansi Pancakes\\par}").repeated(50);
    const QByteArray stored = SaveRecipeBody(rtf);
    // zlib header: deflate with a 32 KB window, level 1 announced as "fastest" (FLEVEL 0).
    QCOMPARE(quint8(stored[0]), quint8(0x78));
    QCOMPARE(quint8(stored[1]), quint8(0x01));
    // The stream is finished: a bare inflate consumes everything and reaches the end.
    QByteArray out(rtf.size(), 0);
    uLongf outLength = uLongf(out.size());
    QCOMPARE(uncompress(reinterpret_cast<Bytef *>(out.data()), &outLength,
                        reinterpret_cast<const Bytef *>(stored.constData()), uLong(stored.size())), Z_OK);
    QCOMPARE(out, rtf);
    // Same bytes as zlib's own level-1 compression with the default parameters.
    QByteArray reference(int(compressBound(uLong(rtf.size()))), 0);
    uLongf refLength = uLongf(reference.size());
    QCOMPARE(compress2(reinterpret_cast<Bytef *>(reference.data()), &refLength,
                       reinterpret_cast<const Bytef *>(rtf.constData()), uLong(rtf.size()), 1), Z_OK);
    reference.resize(qsizetype(refLength));
    QCOMPARE(stored, reference);
}

void TestRecipeBody::roundTrip_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("empty rtf") << QByteArray("{\\rtf1}");
    QTest::newRow("binary bytes") << QByteArray("\x00\xff\x01\xfe{}\\", 7);
    QByteArray big;
    for (int i = 0; i < 200000; ++i)
        big += QByteArray::number(i * 7919 % 100003) + ' ';
    QTest::newRow("larger than one buffer") << big;
}

void TestRecipeBody::roundTrip()
{
    QFETCH(QByteArray, body);
    const QByteArray stored = SaveRecipeBody(body);
    QCOMPARE(LoadRecipeBody(stored), body);
    // Every body of a collection stays in memory: it holds no room beyond its bytes.
    QVERIFY(stored.capacity() <= stored.size() + 64);
}

void TestRecipeBody::emptyFieldGivesEmptyBody()
{
    QVERIFY(LoadRecipeBody(QByteArray()).isEmpty());
    // An empty body is still stored as a stream, not as an empty field.
    const QByteArray stored = SaveRecipeBody(QByteArray());
    QVERIFY(!stored.isEmpty());
    QVERIFY(LoadRecipeBody(stored).isEmpty());
}

void TestRecipeBody::bytesAfterTheStreamAreIgnored()
{
    const QByteArray body("{\\rtf1 Soup}");
    QCOMPARE(LoadRecipeBody(SaveRecipeBody(body) + "trailing garbage\x00\x01"), body);
    QCOMPARE(LoadRecipeBody(SaveRecipeBody(body) + SaveRecipeBody("second")), body);
}

void TestRecipeBody::truncatedStreamGivesWhatItHolds()
{
    QByteArray body;
    for (int i = 0; i < 20000; ++i)
        body += QByteArray::number(i) + ',';
    const QByteArray stored = SaveRecipeBody(body);
    const QByteArray partial = LoadRecipeBody(stored.left(stored.size() / 2));
    QVERIFY(!partial.isEmpty());
    QVERIFY(body.startsWith(partial));
}

void TestRecipeBody::damagedStreamReportsZlibText_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("message");
    QTest::newRow("not zlib") << QByteArray("{\\rtf1 plain}") << QStringLiteral("incorrect header check");
    QByteArray flipped = SaveRecipeBody(QByteArray("{\\rtf1 Bread and butter pudding}").repeated(20));
    flipped[flipped.size() - 2] = char(flipped[flipped.size() - 2] ^ 0x55);
    QTest::newRow("bad checksum") << flipped << QStringLiteral("incorrect data check");
    QByteArray badBlock = SaveRecipeBody("x");
    badBlock[2] = char(0xFF); // block type 3 does not exist
    QTest::newRow("bad block") << badBlock << QStringLiteral("invalid block type");
}

void TestRecipeBody::damagedStreamReportsZlibText()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, message);
    try {
        (void)LoadRecipeBody(stored);
        QFAIL("no error");
    } catch (const Error &e) {
        QCOMPARE(e.message(), message);
    }
}

void TestRecipeBody::oversizedBodyIsRefused()
{
    // 4 MB of zeros packs into a few KB; with a 1 MB limit it must be refused, not inflated.
    const QByteArray stored = SaveRecipeBody(QByteArray(4 << 20, '\0'));
    QVERIFY(stored.size() < 64 * 1024);
    try {
        (void)LoadRecipeBody(stored, 1 << 20);
        QFAIL("no error");
    } catch (const Error &e) {
        QVERIFY(e.message().contains(QLatin1String("1 MB")));
    }
    QCOMPARE(LoadRecipeBody(stored, 4 << 20).size(), qsizetype(4 << 20));
}

QTEST_GUILESS_MAIN(TestRecipeBody)
#include "tst_recipebody.moc"
