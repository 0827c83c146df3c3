#include "editor/embeddedpicture.h"
#include "editor/rtfcommon.h"
#include "metafile/emfplayer.h"
#include "editor/rtfreader.h"
#include "editor/rtfwriter.h"
#include "codepagereference.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include <cstdio>

#include <jpeglib.h>
#include <malloc.h>
#include <zlib.h>

namespace {

// The document's text with nothing replaced (toPlainText turns no-break spaces into spaces).
QString rawText(const QTextDocument *doc)
{
    return doc->toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

// The fragments of the document in order, with the format of each.
QList<QTextFragment> fragments(const QTextDocument *doc)
{
    QList<QTextFragment> out;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            out.append(it.fragment());
    return out;
}

QTextCharFormat formatOf(const QTextDocument *doc, const QString &text)
{
    for (const QTextFragment &f : fragments(doc))
        if (f.text().contains(text))
            return f.charFormat();
    return {};
}

QTextBlock blockWith(const QTextDocument *doc, const QString &text)
{
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        if (b.text().contains(text))
            return b;
    return {};
}

QList<QTextTable *> tables(const QTextDocument *doc)
{
    QList<QTextTable *> out;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        QTextCursor c(b);
        if (QTextTable *t = c.currentTable(); t && !out.contains(t))
            out.append(t);
    }
    return out;
}

QList<QTextImageFormat> images(const QTextDocument *doc)
{
    QList<QTextImageFormat> out;
    for (const QTextFragment &f : fragments(doc))
        if (f.charFormat().isImageFormat())
            out.append(f.charFormat().toImageFormat());
    return out;
}

// Where two outputs part, for failure messages.
QByteArray firstDifference(const QByteArray &a, const QByteArray &b)
{
    qsizetype k = 0;
    while (k < a.size() && k < b.size() && a[k] == b[k])
        ++k;
    const qsizetype from = std::max<qsizetype>(0, k - 80);
    return "at " + QByteArray::number(k) + ":\n" + a.mid(from, 160) + "\n----\n" + b.mid(from, 160);
}

QByteArray hex(const QByteArray &bytes)
{
    return bytes.toHex();
}

QByteArray pngBytes(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return out;
}

QByteArray jpegBytes(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(200, 100, 50));
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return out;
}

void put32(QByteArray &b, quint32 v)
{
    for (int k = 0; k < 4; ++k)
        b.append(char(v >> (8 * k) & 0xFF));
}

// A small enhanced metafile: header, one filled rectangle, end of file. The frame is 20 x 10 mm.
QByteArray emfBytes()
{
    QByteArray r;
    // EMR_HEADER, 88 bytes
    put32(r, 1); put32(r, 88);
    put32(r, 0); put32(r, 0); put32(r, 75); put32(r, 37);          // bounds in device pixels
    put32(r, 0); put32(r, 0); put32(r, 2000); put32(r, 1000);      // frame in 0.01 mm
    put32(r, 0x464D4520); put32(r, 0x10000);
    put32(r, 88 + 24 + 20); put32(r, 3);                           // bytes, records
    r.append(char(1)); r.append(char(0)); r.append(char(0)); r.append(char(0)); // handles, reserved
    put32(r, 0); put32(r, 0); put32(r, 0);                         // description, palette
    put32(r, 1024); put32(r, 768); put32(r, 270); put32(r, 203);   // device pixels and millimetres
    // EMR_RECTANGLE
    put32(r, 43); put32(r, 24); put32(r, 5); put32(r, 5); put32(r, 70); put32(r, 32);
    // EMR_EOF
    put32(r, 14); put32(r, 20); put32(r, 0); put32(r, 16); put32(r, 20);
    return r;
}

void put16(QByteArray &b, int v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8 & 0xFF));
}

// A small Windows metafile without placeable header: a 200 x 100 window with one rectangle.
QByteArray wmfBytes()
{
    QByteArray r;
    put16(r, 1); put16(r, 9); put16(r, 0x300); put32(r, 9 + 5 + 5 + 7 + 3); put16(r, 0); put32(r, 7); put16(r, 0);
    put32(r, 5); put16(r, 0x020B); put16(r, 0); put16(r, 0);          // window origin
    put32(r, 5); put16(r, 0x020C); put16(r, 100); put16(r, 200);      // window extent
    put32(r, 7); put16(r, 0x041B); put16(r, 80); put16(r, 180); put16(r, 20); put16(r, 20); // rectangle
    put32(r, 3); put16(r, 0);                                          // end
    return r;
}

// A packed 24-bit bitmap of 2 x 2 pixels: red, green / blue, white (bottom-up rows).
QByteArray dibBytes()
{
    QByteArray r;
    put32(r, 40); put32(r, 2); put32(r, 2);
    r.append(char(1)); r.append(char(0)); r.append(char(24)); r.append(char(0));
    put32(r, 0); put32(r, 16); put32(r, 2835); put32(r, 2835); put32(r, 0); put32(r, 0);
    // bottom row: blue, white; top row: red, green (BGR, rows padded to 4 bytes)
    r.append(QByteArray::fromHex("ff0000ffffff0000"));
    r.append(QByteArray::fromHex("0000ff00ff000000"));
    return r;
}

// A photo as a camera writes it, encoded row by row so that no full-size image is ever held:
// the left half red, the right half blue.
QByteArray cameraJpeg(int width, int height)
{
    jpeg_compress_struct encoder{};
    jpeg_error_mgr errors{};
    encoder.err = jpeg_std_error(&errors);
    jpeg_create_compress(&encoder);
    unsigned char *out = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&encoder, &out, &length);
    encoder.image_width = JDIMENSION(width);
    encoder.image_height = JDIMENSION(height);
    encoder.input_components = 3;
    encoder.in_color_space = JCS_RGB;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, 75, TRUE);
    jpeg_start_compress(&encoder, TRUE);
    QByteArray row(width * 3, 0);
    for (int x = 0; x < width; ++x) {
        const bool left = x < width / 2;
        row[3 * x] = char(left ? 200 : 20);
        row[3 * x + 1] = char(30);
        row[3 * x + 2] = char(left ? 30 : 210);
    }
    while (encoder.next_scanline < encoder.image_height) {
        JSAMPROW line = reinterpret_cast<JSAMPROW>(row.data());
        jpeg_write_scanlines(&encoder, &line, 1);
    }
    jpeg_finish_compress(&encoder);
    jpeg_destroy_compress(&encoder);
    const QByteArray jpeg(reinterpret_cast<const char *>(out), qsizetype(length));
    std::free(out);
    return jpeg;
}

// A PNG whose header claims the given size and that holds no pixels at all.
QByteArray pngHeaderOnly(quint32 width, quint32 height)
{
    const auto chunk = [](const QByteArray &type, const QByteArray &data) {
        QByteArray c;
        for (quint32 v : {quint32(data.size())})
            for (int k = 3; k >= 0; --k)
                c.append(char(v >> (8 * k)));
        const QByteArray body = type + data;
        c += body;
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size())));
        for (int k = 3; k >= 0; --k)
            c.append(char(crc >> (8 * k)));
        return c;
    };
    QByteArray header;
    for (quint32 v : {width, height})
        for (int k = 3; k >= 0; --k)
            header.append(char(v >> (8 * k)));
    header.append(QByteArray::fromHex("0802000000")); // 8-bit RGB
    return QByteArray("\x89PNG\r\n\x1a\n") + chunk("IHDR", header) + chunk("IEND", {});
}

// The header a word processor writes, around a body.
QByteArray wordDocument(const QByteArray &body)
{
    return "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff0\\deff0\\stshfdbch0\\deflang1033\r\n"
           "{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
           "{\\f1\\fswiss\\fcharset0\\fprq2{\\*\\panose 020b0604020202020204}Arial;}"
           "{\\f2\\fmodern\\fcharset0\\fprq1 Courier New;}{\\f3\\froman\\fcharset2\\fprq2 Symbol;}"
           "{\\f4\\fswiss\\fcharset204\\fprq2 Arial Cyr;}{\\f5\\fnil\\fcharset128 MS Mincho;}}\r\n"
           "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red255\\green255\\blue0;}\r\n"
           "{\\*\\defchp \\fs22}{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\fs24 \\snext0 Normal;}"
           "{\\*\\cs10 \\additive Default Paragraph Font;}{\\s1\\ql\\b\\fs32 \\sbasedon0 \\snext0 heading 1;}}\r\n"
           "{\\*\\rsidtbl \\rsid1\\rsid2}{\\*\\generator Some Writer 1.0;}"
           "{\\info{\\title Soups}{\\author Cook}{\\creatim\\yr2020\\mo1\\dy2}}\r\n"
           "\\paperw12240\\paperh15840\\margl1440\\margr1440\\widowctrl\\ftnbj\\sectd\\pgnstarts1\r\n"
           "{\\header \\pard\\plain \\qc HEADER TEXT\\par}{\\footer \\pard\\plain FOOTER TEXT\\par}\r\n"
           + body + "\r\n}";
}

} // namespace

class TestRtf : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusesWhatIsNotRtf_data();
    void refusesWhatIsNotRtf();
    void readsWordProcessorDocument();
    void decodesText_data();
    void decodesText();
    void decodesEveryByteOfSingleByteCodePages_data();
    void decodesEveryByteOfSingleByteCodePages();
    void readsCharacterFormats();
    void readsParagraphFormats();
    void readsListsOfBothStyles();
    void readsTables();
    void readsMergedAndNestedTables();
    void readsEveryRowWhateverFollows_data();
    void readsEveryRowWhateverFollows();
    void readsLinksAndOtherFields();
    void readsFieldsWithoutResults_data();
    void readsFieldsWithoutResults();
    void readsPictures();
    void keepsOnePictureOfAlternatives();
    void skipsSideTextKeepingTheBody();
    void gathersFootnotesAtTheEnd_data();
    void gathersFootnotesAtTheEnd();
    void readsShapes_data();
    void readsShapes();

    void writesPortableRtf();
    void writesPicturesAsTheirOriginalBytes();
    void roundTripIsByteStable_data();
    void roundTripIsByteStable();
    void roundTripKeepsTheDocument();
    void listsSplitAlikeWhenWrittenAndRead();
    void listsShareDefinitionsByStyle();
    void keepsTheTextAroundListNumbers_data();
    void keepsTheTextAroundListNumbers();
    void runsDifferingInUnwrittenPropertiesAreOne();
    void writesTheSelectionOnly();
    void insertReplacesTheSelectionAsOneUndoStep();
    void insertsTablesInsideTableCells();
    void picturesFromFiles();
    void showsPhotosOfAnySize();
    void keepsLittleForPicturesThatClaimHugeSizes();

    void survivesDamagedInput_data();
    void survivesDamagedInput();
    void survivesRandomGarbage();
    void readingLeavesNoMemoryBehind();
};

void TestRtf::refusesWhatIsNotRtf_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("plain text") << QByteArray("Just a recipe");
    QTest::newRow("rtf later in the text") << QByteArray("x{\\rtf1 hello}");
    QTest::newRow("html") << QByteArray("<html><body>{\\rtf1}</body></html>");
    QTest::newRow("binary") << QByteArray("\x00\x01{\\rtf1", 8);
}

void TestRtf::refusesWhatIsNotRtf()
{
    QFETCH(QByteArray, data);
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("kept"));
    QCOMPARE(RtfReader::read(data, &doc), RtfReader::Status::NotRtf);
    QCOMPARE(doc.toPlainText(), QStringLiteral("kept"));
    QTextCursor cursor(&doc);
    QCOMPARE(RtfReader::insert(data, cursor), RtfReader::Status::NotRtf);
    QCOMPARE(doc.toPlainText(), QStringLiteral("kept"));
}

void TestRtf::readsWordProcessorDocument()
{
    const QByteArray body =
            "\\pard\\plain \\s1\\ql\\b\\f1\\fs32 Tomato soup\\par\r\n"
            "\\pard\\plain \\ql\\f0\\fs24 Take {\\b\\cf2 four} ripe {\\i tomatoes}, a pinch of "
            "{\\f2\\fs20 salt}.\\par\r\n"
            "\\pard \\qc {\\f1 Serve hot.}\\par";
    QTextDocument doc;
    QCOMPARE(RtfReader::read(wordDocument(body), &doc), RtfReader::Status::Ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("Tomato soup\nTake four ripe tomatoes, a pinch of salt.\nServe hot.\n"));
    const QTextCharFormat title = formatOf(&doc, QStringLiteral("Tomato"));
    QCOMPARE(title.fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
    QCOMPARE(title.fontPointSize(), 16.0);
    QCOMPARE(title.fontWeight(), int(QFont::Bold));
    const QTextCharFormat four = formatOf(&doc, QStringLiteral("four"));
    QCOMPARE(four.fontWeight(), int(QFont::Bold));
    QCOMPARE(four.foreground().color(), QColor(255, 0, 0));
    QVERIFY(formatOf(&doc, QStringLiteral("tomatoes")).fontItalic());
    // The group ended: "ripe" is plain again, in the paragraph's font.
    const QTextCharFormat ripe = formatOf(&doc, QStringLiteral(" ripe "));
    QVERIFY(!ripe.fontItalic());
    QVERIFY(ripe.fontWeight() != int(QFont::Bold));
    QCOMPARE(ripe.fontFamilies().toStringList(), QStringList{QStringLiteral("Times New Roman")});
    QCOMPARE(formatOf(&doc, QStringLiteral("salt")).fontFamilies().toStringList(), QStringList{QStringLiteral("Courier New")});
    QCOMPARE(formatOf(&doc, QStringLiteral("salt")).fontPointSize(), 10.0);
    QCOMPARE(blockWith(&doc, QStringLiteral("Serve")).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

void TestRtf::decodesText_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("windows-1252 hex") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 Cr\\'e8me br\\'fbl\\'e9e \\'80 5}")
                                      << QStringLiteral("Crème brûlée € 5");
    QTest::newRow("raw 8-bit text in the document code page")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \xcf\xe8\xf0\xee\xe3}") << QStringLiteral("Пирог");
    QTest::newRow("font names in their own code page")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset204 \\'c0\\'f0\\'e8\\'e0\\'eb;}}\\f0 x}")
            << QStringLiteral("x");
    QTest::newRow("code page of the font charset")
            << QByteArray("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset238 Arial CE;}{\\f2\\fcharset161 Arial Greek;}}"
                          "\\f1 \\'9ee\\'9eulka {\\f2 \\'e1\\'e2} \\'e8}")
            << QStringLiteral("žežulka αβ č");
    QTest::newRow("a western font in a hebrew document")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1255\\deff0{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset177 David;}{\\f2 Narkis;}}"
                          "\\'e0 {\\f1 \\'e0\\'e1\\'e2} {\\f2 \\'e2}}")
            << QStringLiteral("à אבג ג");
    QTest::newRow("thai") << QByteArray("{\\rtf1\\ansi\\ansicpg874 \\'a1\\'d2}") << QStringLiteral("กา");
    QTest::newRow("shift-jis pairs") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 \\'82\\'a0\\'82\\'a2}")
                                     << QStringLiteral("あい");
    QTest::newRow("shift-jis with an ascii trail byte")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'83\\\\\\'95\\'5c}") << QStringLiteral("ソ表");
    QTest::newRow("raw shift-jis with trail bytes like syntax")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 Gothic;}{\\f1\\fcharset0 Arial;}}\\f0 "
                          "\x83\x5c\x95\x7b\x83\x7d\xb0{\\b x}{\\f1 \x83}}")
            << QStringLiteral("ソ府マｰxƒ");
    QTest::newRow("raw gbk with trail bytes like syntax")
            << QByteArray("{\\rtf1\\ansi\\ansicpg936 \x81\x5c\x83\x7b\x95\x7d!}") << QStringLiteral("乗儃晑!");
    QTest::newRow("raw big5 with trail bytes like syntax")
            << QByteArray("{\\rtf1\\ansi\\ansicpg950 \xa5\x5c\xb0\x7b\xa4\x7d!}") << QStringLiteral("功閃弓!");
    QTest::newRow("gbk") << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0\\'ce\\'c4}") << QStringLiteral("中文");
    QTest::newRow("korean") << QByteArray("{\\rtf1\\ansi\\ansicpg949 \\'c7\\'d1}") << QStringLiteral("한");
    QTest::newRow("big5") << QByteArray("{\\rtf1\\ansi\\ansicpg950 \\'a4\\'a4}") << QStringLiteral("中");
    QTest::newRow("unicode skips one fallback byte")
            << QByteArray("{\\rtf1\\uc1 caf\\u233\\'e9 \\u8364?}") << QStringLiteral("café €");
    QTest::newRow("unicode skips two fallback characters")
            << QByteArray("{\\rtf1\\uc2 \\u20013\\'d6\\'d0x}") << QStringLiteral("中x");
    QTest::newRow("uc0 skips nothing") << QByteArray("{\\rtf1\\uc0 a\\u946 b}") << QStringLiteral("aβb");
    QTest::newRow("uc is scoped to its group")
            << QByteArray("{\\rtf1\\uc1 {\\uc2 \\u946 xx}\\u947 yz}") << QStringLiteral("βγz");
    QTest::newRow("negative value") << QByteArray("{\\rtf1 \\u-3913?\\u-257?}") << QString(QChar(0xF0B7)) + QChar(0xFEFF);
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << QStringLiteral("😀");
    QTest::newRow("escapes and symbols")
            << QByteArray("{\\rtf1 a\\{b\\}c\\\\d\\~e\\_f\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet}")
            << QStringLiteral("a{b}c\\d\u00a0e\u2011f—–‘’“”•");
    QTest::newRow("line ends are not text") << QByteArray("{\\rtf1 one\r\ntwo\ntab\\tab x\\line y}")
                                            << QStringLiteral("onetwotab\tx\u2028y");
    QTest::newRow("hidden text") << QByteArray("{\\rtf1 shown{\\v hidden}\\v also\\v0  again}") << QStringLiteral("shown again");
    QTest::newRow("unicode group with ansi alternative")
            << QByteArray("{\\rtf1 {\\upr{ansi ?}{\\*\\ud{\\u955 }}}!}") << QStringLiteral("λ!");
}

void TestRtf::decodesText()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QTextDocument doc;
    QCOMPARE(RtfReader::read(rtf, &doc), RtfReader::Status::Ok);
    QCOMPARE(rawText(&doc), text);
}

void TestRtf::decodesEveryByteOfSingleByteCodePages_data()
{
    QTest::addColumn<int>("codepage");
    QTest::addColumn<QString>("upper");
    for (const CodepageReference &ref : codepageReferences) {
        QString upper;
        for (int k = 0; k < 128; ++k)
            upper.append(QChar(ref.upper[k] ? ref.upper[k] : char16_t(0x80 + k))); // undefined: the byte itself
        QTest::newRow(QByteArray::number(ref.codepage).constData()) << ref.codepage << upper;
    }
}

// Each byte as \'hh and as raw 8-bit text, in the document's code page.
void TestRtf::decodesEveryByteOfSingleByteCodePages()
{
    QFETCH(int, codepage);
    QFETCH(QString, upper);
    QByteArray hex, raw;
    QString printable;
    for (int b = 0x20; b < 0x100; ++b) {
        hex += "\\'" + QByteArray::number(b, 16);
        if (b >= 0x80)
            raw += char(b);
        printable += b < 0x80 ? QChar(b) : upper[b - 0x80];
    }
    const QByteArray head = "{\\rtf1\\ansi\\ansicpg" + QByteArray::number(codepage) + ' ';
    QTextDocument doc;
    RtfReader::read(head + hex + '}', &doc);
    QCOMPARE(rawText(&doc), printable);
    RtfReader::read(head + raw + '}', &doc);
    QCOMPARE(rawText(&doc), upper);
}

void TestRtf::readsCharacterFormats()
{
    const QByteArray rtf =
            "{\\rtf1{\\colortbl;\\red0\\green0\\blue255;\\red255\\green255\\blue0;}"
            "{\\ul single}{\\uld dotted}{\\uldash dashed}{\\ulwave wavy}{\\uldb double}{\\ul\\ulnone none}"
            "{\\strike struck}{\\super up}{\\sub down}{\\cf1 blue}{\\highlight2 marked}{\\chcbpat2 shaded}"
            "{\\cb2 back}{\\b\\i\\plain plainly}{\\b0 notbold}{\\cf0 auto}}";
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QCOMPARE(formatOf(&doc, QStringLiteral("single")).underlineStyle(), QTextCharFormat::SingleUnderline);
    QCOMPARE(formatOf(&doc, QStringLiteral("dotted")).underlineStyle(), QTextCharFormat::DotLine);
    QCOMPARE(formatOf(&doc, QStringLiteral("dashed")).underlineStyle(), QTextCharFormat::DashUnderline);
    QCOMPARE(formatOf(&doc, QStringLiteral("wavy")).underlineStyle(), QTextCharFormat::WaveUnderline);
    QCOMPARE(formatOf(&doc, QStringLiteral("double")).underlineStyle(), QTextCharFormat::SingleUnderline);
    QCOMPARE(formatOf(&doc, QStringLiteral("none")).underlineStyle(), QTextCharFormat::NoUnderline);
    QVERIFY(formatOf(&doc, QStringLiteral("struck")).fontStrikeOut());
    QCOMPARE(formatOf(&doc, QStringLiteral("up")).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    QCOMPARE(formatOf(&doc, QStringLiteral("down")).verticalAlignment(), QTextCharFormat::AlignSubScript);
    QCOMPARE(formatOf(&doc, QStringLiteral("blue")).foreground().color(), QColor(0, 0, 255));
    for (const char *text : {"marked", "shaded", "back"})
        QCOMPARE(formatOf(&doc, QLatin1String(text)).background().color(), QColor(255, 255, 0));
    const QTextCharFormat plainly = formatOf(&doc, QStringLiteral("plainly"));
    QVERIFY(plainly.fontWeight() != int(QFont::Bold) && !plainly.fontItalic());
    QCOMPARE(plainly.fontPointSize(), 12.0); // the RTF default size
    QVERIFY(formatOf(&doc, QStringLiteral("notbold")).fontWeight() != int(QFont::Bold));
    QCOMPARE(formatOf(&doc, QStringLiteral("auto")).foreground().style(), Qt::NoBrush);
}

void TestRtf::readsParagraphFormats()
{
    const QByteArray rtf =
            "{\\rtf1\\pard\\qr right\\par\\pard\\qj justified\\par\\pard\\li720\\ri360\\fi-360 indented\\par"
            "\\pard\\sb240\\sa120 spaced\\par\\pard\\sl360\\slmult1 oneandhalf\\par\\pard\\sl-300\\slmult0 exact\\par"
            "\\pard before\\page after\\par\\pard\\qc\\pard reset}";
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QCOMPARE(blockWith(&doc, QStringLiteral("right")).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(blockWith(&doc, QStringLiteral("justified")).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    const QTextBlockFormat indented = blockWith(&doc, QStringLiteral("indented")).blockFormat();
    QCOMPARE(indented.leftMargin(), 48.0); // 720 twips at 96 dpi
    QCOMPARE(indented.rightMargin(), 24.0);
    QCOMPARE(indented.textIndent(), -24.0);
    const QTextBlockFormat spaced = blockWith(&doc, QStringLiteral("spaced")).blockFormat();
    QCOMPARE(spaced.topMargin(), 16.0);
    QCOMPARE(spaced.bottomMargin(), 8.0);
    const QTextBlockFormat half = blockWith(&doc, QStringLiteral("oneandhalf")).blockFormat();
    QCOMPARE(half.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
    QCOMPARE(half.lineHeight(), 150.0);
    const QTextBlockFormat exact = blockWith(&doc, QStringLiteral("exact")).blockFormat();
    QCOMPARE(exact.lineHeightType(), int(QTextBlockFormat::FixedHeight));
    QCOMPARE(exact.lineHeight(), 20.0);
    QVERIFY(!(blockWith(&doc, QStringLiteral("before")).blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore));
    QVERIFY(blockWith(&doc, QStringLiteral("after")).blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
    QCOMPARE(blockWith(&doc, QStringLiteral("reset")).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(doc.blockCount(), 9);
}

void TestRtf::readsListsOfBothStyles()
{
    // The older form, as small word processors write it.
    const QByteArray old =
            "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}"
            "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720 Flour\\par"
            "{\\pntext\\f1\\'B7\\tab}Eggs\\par"
            "\\pard Method\\par"
            "\\pard{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pndec{\\pntxta.}}\\fi-360\\li720 Mix\\par"
            "{\\pntext\\f0 2.\\tab}Bake\\par\\pard End}";
    QTextDocument doc;
    RtfReader::read(old, &doc);
    QCOMPARE(doc.toPlainText(), QStringLiteral("Flour\nEggs\nMethod\nMix\nBake\nEnd"));
    QTextList *bullets = blockWith(&doc, QStringLiteral("Flour")).textList();
    QVERIFY(bullets);
    QCOMPARE(bullets->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(blockWith(&doc, QStringLiteral("Eggs")).textList(), bullets);
    QVERIFY(!blockWith(&doc, QStringLiteral("Method")).textList());
    QTextList *numbers = blockWith(&doc, QStringLiteral("Mix")).textList();
    QVERIFY(numbers && numbers != bullets);
    QCOMPARE(numbers->format().style(), QTextListFormat::ListDecimal);
    QCOMPARE(numbers->itemText(blockWith(&doc, QStringLiteral("Bake"))), QStringLiteral("2."));
    QVERIFY(!blockWith(&doc, QStringLiteral("End")).textList());

    // The list table form, with a nested level and numbering that goes on after a plain paragraph.
    const QByteArray modern =
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}"
            "{\\*\\listtable{\\list\\listtemplateid5{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00);}"
            "{\\levelnumbers\\'01;}\\fi-360\\li720}{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}{\\levelnumbers;}\\f1"
            "\\fi-360\\li1440}\\listid77}{\\list{\\listlevel\\levelnfc4{\\leveltext\\'03(\\'00);}}\\listid78}}"
            "{\\*\\listoverridetable{\\listoverride\\listid77\\listoverridecount0\\ls1}{\\listoverride\\listid78\\ls2}}"
            "{\\listtext 1)\\tab}\\pard\\ls1\\ilvl0\\fi-360\\li720 First\\par"
            "{\\listtext \\'b7\\tab}\\pard\\ls1\\ilvl1\\fi-360\\li1440 Detail\\par"
            "\\pard Note\\par"
            "{\\listtext 2)\\tab}\\pard\\ls1\\ilvl0 Second\\par"
            "\\pard\\ls2 Lettered\\par\\pard\\ls9 Unknown list}";
    QTextDocument doc2;
    RtfReader::read(modern, &doc2);
    QCOMPARE(doc2.toPlainText(), QStringLiteral("First\nDetail\nNote\nSecond\nLettered\nUnknown list"));
    QTextList *top = blockWith(&doc2, QStringLiteral("First")).textList();
    QVERIFY(top);
    QCOMPARE(top->format().style(), QTextListFormat::ListDecimal);
    QCOMPARE(top->format().numberSuffix(), QStringLiteral(")"));
    QCOMPARE(top->format().indent(), 1);
    QCOMPARE(blockWith(&doc2, QStringLiteral("Second")).textList(), top);
    QCOMPARE(top->itemText(blockWith(&doc2, QStringLiteral("Second"))), QStringLiteral("2)"));
    QTextList *inner = blockWith(&doc2, QStringLiteral("Detail")).textList();
    QVERIFY(inner && inner != top);
    QCOMPARE(inner->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(inner->format().indent(), 2);
    QVERIFY(!blockWith(&doc2, QStringLiteral("Note")).textList());
    QTextList *lettered = blockWith(&doc2, QStringLiteral("Lettered")).textList();
    QVERIFY(lettered);
    QCOMPARE(lettered->format().style(), QTextListFormat::ListLowerAlpha);
    QCOMPARE(lettered->itemText(blockWith(&doc2, QStringLiteral("Lettered"))), QStringLiteral("(a)"));
    // A list number with no definition still shows as a list rather than losing the paragraph.
    QVERIFY(blockWith(&doc2, QStringLiteral("Unknown")).textList());
}

void TestRtf::readsTables()
{
    const QByteArray body =
            "\\pard Before\\par"
            "\\trowd\\trgaph108\\clcbpat4\\clbrdrt\\brdrs\\brdrw30\\brdrcf2\\clbrdrb\\brdrs\\cellx2880\\cellx5760\\cellx8640\r\n"
            "\\pard\\intbl Item\\cell Qty\\cell Note\\cell\\row\r\n"
            "\\trowd\\trgaph108\\cellx2880\\cellx5760\\cellx8640\r\n"
            "\\pard\\intbl Flour\\cell 200 g\\cell sifted\\par twice\\cell\\row\r\n"
            "\\pard After\\par";
    QTextDocument doc;
    RtfReader::read(wordDocument(body), &doc);
    const QList<QTextTable *> found = tables(&doc);
    QCOMPARE(found.size(), 1);
    QTextTable *t = found.first();
    QCOMPARE(t->rows(), 2);
    QCOMPARE(t->columns(), 3);
    QCOMPARE(QTextCursor(t->cellAt(1, 0).firstCursorPosition()).block().text(), QStringLiteral("Flour"));
    QTextCursor note = t->cellAt(1, 2).firstCursorPosition();
    note.setPosition(t->cellAt(1, 2).lastPosition(), QTextCursor::KeepAnchor);
    QCOMPARE(note.selectedText(), QStringLiteral("sifted\u2029twice"));
    const QList<QTextLength> widths = t->format().columnWidthConstraints();
    QCOMPARE(widths.size(), 3);
    QCOMPARE(widths[1], QTextLength(QTextLength::FixedLength, 192.0));
    const QTextTableCellFormat head = t->cellAt(0, 0).format().toTableCellFormat();
    QCOMPARE(head.background().color(), QColor(255, 255, 0));
    QCOMPARE(head.topBorder(), 2.0);
    QCOMPARE(head.topBorderBrush().color(), QColor(255, 0, 0));
    QCOMPARE(head.bottomBorder(), 1.0);
    QVERIFY(!head.hasProperty(QTextFormat::TableCellLeftBorder));
    QVERIFY(t->format().borderCollapse()); // borders as word processors draw them
    QCOMPARE(blockWith(&doc, QStringLiteral("Before")).next().text(), QStringLiteral("Item")); // no empty paragraph between
    QVERIFY(!QTextCursor(blockWith(&doc, QStringLiteral("After"))).currentTable());
    QVERIFY(!QTextCursor(blockWith(&doc, QStringLiteral("Before"))).currentTable());
    QVERIFY(doc.toPlainText().startsWith(QStringLiteral("Before\n")));
}

void TestRtf::readsEveryRowWhateverFollows_data()
{
    // Rows are made ahead of the text that fills them; what follows a row must not change how
    // many the table keeps.
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QList<int>>("rows"); // of each table in order
    QTest::addColumn<QString>("text");
    QByteArray many;
    for (int r = 0; r < 2500; ++r)
        many += "\\trowd\\clbrdrb\\brdrs\\cellx1000\\cellx2000\\pard\\intbl " + QByteArray::number(r) + "\\cell x\\cell\\row\n";
    QString manyText;
    for (int r = 0; r < 2500; ++r)
        manyText += QString::number(r) + u'\n' + u'x' + u'\n';
    QTest::newRow("thousands of rows") << QByteArray("{\\rtf1 " + many + "\\pard after}") << QList<int>{2500}
                                       << manyText + QStringLiteral("after");
    const QByteArray row = "\\trowd\\cellx1000\\pard\\intbl a\\cell\\row ";
    QTest::newRow("row ends without cells") << QByteArray("{\\rtf1 " + row + "\\row\\row\\row\\pard after}")
                                            << QList<int>{1} << QStringLiteral("a\nafter");
    QTest::newRow("row of hidden text") << QByteArray("{\\rtf1 " + row + "\\pard\\intbl{\\v b}\\row\\pard after}")
                                        << QList<int>{1} << QStringLiteral("a\nafter");
    QTest::newRow("rows inside a skipped destination")
            << QByteArray("{\\rtf1 " + row + "{\\*\\foo " + row + row + "}{\\footer " + row + "}\\pard after}")
            << QList<int>{1} << QStringLiteral("a\nafter");
    QTest::newRow("rows without cell marks")
            << QByteArray("{\\rtf1\\pard\\intbl a\\row\\pard\\intbl b\\row\\pard c}") << QList<int>{2}
            << QStringLiteral("a\nb\nc");
    QTest::newRow("tables parted by a paragraph")
            << QByteArray("{\\rtf1 " + row + row + "\\pard between\\par " + row + row + row + "}") << QList<int>{2, 3}
            << QStringLiteral("a\na\nbetween\na\na\na\n");
    QTest::newRow("paragraph after a row ends the table")
            << QByteArray("{\\rtf1 " + row + "\\pard b\\par " + row + "}") << QList<int>{1, 1} << QStringLiteral("a\nb\na\n");
    QTest::newRow("document ends in a row") << QByteArray("{\\rtf1 " + row + row + row) << QList<int>{3}
                                            << QStringLiteral("a\na\na\n");
}

void TestRtf::readsEveryRowWhateverFollows()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QList<int>, rows);
    QFETCH(QString, text);
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QList<int> found;
    for (QTextTable *table : tables(&doc))
        found.append(table->rows());
    QCOMPARE(found, rows);
    QCOMPARE(doc.toPlainText(), u'\n' + text); // a table never starts the first paragraph
}

void TestRtf::readsMergedAndNestedTables()
{
    // Row 1: A spans two columns; row 2: B spans two rows down; nested table inside the last cell.
    const QByteArray rtf =
            "{\\rtf1\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\clvmgf\\cellx3000"
            "\\pard\\intbl A\\cell\\cell B\\cell\\row"
            "\\trowd\\cellx1000\\cellx2000\\clvmrg\\cellx3000"
            "\\pard\\intbl C\\cell D\\cell\\cell\\row"
            "\\trowd\\cellx1000\\cellx2000\\cellx3000"
            "\\pard\\intbl E\\cell F\\cell "
            "\\pard\\intbl\\itap2 n1\\nestcell n2\\nestcell{\\*\\nesttableprops\\trowd\\cellx500\\cellx1000\\nestrow}{\\nonesttables\\par}"
            "\\pard\\intbl\\itap2 n3\\nestcell n4\\nestcell{\\*\\nesttableprops\\trowd\\cellx500\\cellx1000\\nestrow}{\\nonesttables\\par}"
            "\\pard\\intbl\\itap1 outer\\cell\\row\\pard After}";
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    const QList<QTextTable *> found = tables(&doc);
    QCOMPARE(found.size(), 2);
    QTextTable *outer = found[0];
    QCOMPARE(outer->rows(), 3);
    QCOMPARE(outer->columns(), 3);
    QCOMPARE(outer->cellAt(0, 1).column(), 0);
    QCOMPARE(outer->cellAt(0, 0).columnSpan(), 2);
    QCOMPARE(outer->cellAt(1, 2).row(), 0);
    QCOMPARE(outer->cellAt(0, 2).rowSpan(), 2);
    QVERIFY(!outer->format().borderCollapse()); // nothing to collapse, and faster to lay out
    QTextTable *inner = found[1];
    QCOMPARE(inner->rows(), 2);
    QCOMPARE(inner->columns(), 2);
    QCOMPARE(QTextCursor(inner->cellAt(1, 1).firstCursorPosition()).block().text(), QStringLiteral("n4"));
    // The nested table sits in the outer table's last cell, followed by that cell's own text.
    QTextCursor innerCursor = inner->cellAt(0, 0).firstCursorPosition();
    QCOMPARE(innerCursor.currentTable(), inner);
    QVERIFY(inner->parentFrame() != doc.rootFrame());
    QCOMPARE(QTextCursor(blockWith(&doc, QStringLiteral("outer"))).currentTable(), outer);
    QCOMPARE(outer->cellAt(2, 2).row(), 2);
    QVERIFY(!QTextCursor(blockWith(&doc, QStringLiteral("After"))).currentTable());
    QCOMPARE(doc.toPlainText().count(QStringLiteral("nonest")), 0);
}

void TestRtf::readsLinksAndOtherFields()
{
    const QByteArray rtf =
            "{\\rtf1 See {\\field{\\*\\fldinst{\\rtlch HYPERLINK \"http://example.org/a b\" }}{\\fldrslt{\\ul\\cf1 the site}}} "
            "or {\\field{\\*\\fldinst HYPERLINK \\\\l \"step2\"}{\\fldrslt step two}}, "
            "{\\field{\\*\\fldinst HYPERLINK \"C:\\\\\\\\Recipes\\\\\\\\cake.rtf\"}{\\fldrslt cake}} "
            "page {\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}.}";
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QCOMPARE(doc.toPlainText(), QStringLiteral("See the site or step two, cake page 7."));
    const QTextCharFormat site = formatOf(&doc, QStringLiteral("the site"));
    QVERIFY(site.isAnchor());
    QCOMPARE(site.anchorHref(), QStringLiteral("http://example.org/a b"));
    QCOMPARE(site.underlineStyle(), QTextCharFormat::SingleUnderline);
    QCOMPARE(formatOf(&doc, QStringLiteral("step two")).anchorHref(), QStringLiteral("#step2"));
    QCOMPARE(formatOf(&doc, QStringLiteral("cake")).anchorHref(), QStringLiteral("C:\\Recipes\\cake.rtf"));
    QVERIFY(!formatOf(&doc, QStringLiteral("7")).isAnchor());
    QVERIFY(!formatOf(&doc, QStringLiteral(" or ")).isAnchor());
}

void TestRtf::readsFieldsWithoutResults_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::newRow("symbol in its font and size")
            << QByteArray("a{\\field{\\*\\fldinst SYMBOL 253 \\\\f \"Wingdings\" \\\\s 10}{\\fldrslt }}b")
            << QStringLiteral("a\u00fdb") << QStringLiteral("\u00fd") << QStringLiteral("Wingdings") << 10.0;
    QTest::newRow("symbol by hexadecimal code without a result group")
            << QByteArray("{\\field{\\*\\fldinst {SYMBOL 0x4A \\\\f \"Symbol\"}}}") << QStringLiteral("J") << QStringLiteral("J")
            << QStringLiteral("Symbol") << 12.0;
    QTest::newRow("a stored result wins")
            << QByteArray("{\\field{\\*\\fldinst SYMBOL 74 \\\\f \"Wingdings\"}{\\fldrslt\\f0 x}}") << QStringLiteral("x") << QString() << QString() << 0.0;
    QTest::newRow("equation arguments")
            << QByteArray("{\\field{\\*\\fldinst EQ \\\\f(1,2)}} cup, {\\field{\\*\\fldinst { EQ \\\\o(a,b) \\\\r(3,x\\\\,y)}}}")
            << QStringLiteral("1/2 cup, ab 3 x,y") << QString() << QString() << 0.0;
    QTest::newRow("page numbers keep what was stored")
            << QByteArray("p{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}/{\\field{\\*\\fldinst NUMPAGES}}/{\\chpgn}.")
            << QStringLiteral("p7//.") << QString() << QString() << 0.0;
}

void TestRtf::readsFieldsWithoutResults()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    QFETCH(QString, symbol);
    QFETCH(QString, family);
    QFETCH(double, points);
    QTextDocument doc;
    RtfReader::read("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Symbol;}}" + body + "}", &doc);
    QCOMPARE(rawText(&doc), text);
    if (!symbol.isEmpty()) {
        const QTextCharFormat format = formatOf(&doc, symbol);
        QCOMPARE(format.fontFamilies().toStringList(), QStringList{family});
        QCOMPARE(format.fontPointSize(), points);
    }
}

void TestRtf::readsPictures()
{
    const QByteArray png = pngBytes(QSize(4, 3), Qt::red);
    const QByteArray jpeg = jpegBytes(QSize(8, 8));
    const QByteArray emf = emfBytes();
    const QByteArray rtf =
            "{\\rtf1 a{\\pict\\pngblip\\picw4\\pich3\\picwgoal1200\\pichgoal900\n" + hex(png) + "}"
            "b{\\pict\\jpegblip\\picscalex50\\picscaley200 " + hex(jpeg) + "}"
            "c{\\pict\\emfblip\\picw2000\\pich1000 " + hex(emf) + "}"
            "d{\\pict\\dibitmap0\\picw2\\pich2 " + hex(dibBytes()) + "}"
            "e{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png + "}"
            "f{\\pict\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720 010009000003}g}";
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QCOMPARE(doc.toPlainText().remove(QChar::ObjectReplacementCharacter), QStringLiteral("abcdefg"));
    const QList<QTextImageFormat> found = images(&doc);
    QCOMPARE(found.size(), 6);
    QSet<QString> names;
    for (const QTextImageFormat &f : found)
        names.insert(f.name());
    QCOMPARE(names.size(), 6);

    const auto first = EmbeddedPictureStore::find(&doc, found[0].name());
    QVERIFY(first);
    QCOMPARE(first->kind, EmbeddedPicture::Kind::Png);
    QCOMPARE(first->data, png);
    QCOMPARE(QSizeF(found[0].width(), found[0].height()), QSizeF(80, 60)); // twips at 96 dpi
    const QImage shown = doc.resource(QTextDocument::ImageResource, QUrl(found[0].name())).value<QImage>();
    QCOMPARE(shown.pixelColor(1, 1), QColor(Qt::red));

    const auto second = EmbeddedPictureStore::find(&doc, found[1].name());
    QCOMPARE(second->kind, EmbeddedPicture::Kind::Jpeg);
    QCOMPARE(second->data, jpeg);
    QCOMPARE(QSizeF(found[1].width(), found[1].height()), QSizeF(4, 16)); // scaled 50 % by 200 %

    const auto vector = EmbeddedPictureStore::find(&doc, found[2].name());
    QCOMPARE(vector->kind, EmbeddedPicture::Kind::Emf);
    QCOMPARE(vector->data, emf);
    QVERIFY(!vector->svg.isEmpty() || EmfPlayer::canPlay(vector->data)); // drawn as vectors
    QCOMPARE(qRound(found[2].width()), 76); // 20 mm
    const QImage drawn = doc.resource(QTextDocument::ImageResource, QUrl(found[2].name())).value<QImage>();
    QVERIFY(!drawn.isNull());

    // Other bitmaps are kept as PNG, decoded right side up.
    const auto dib = EmbeddedPictureStore::find(&doc, found[3].name());
    QCOMPARE(dib->kind, EmbeddedPicture::Kind::Png);
    const QImage dibImage = QImage::fromData(dib->data, "PNG");
    QCOMPARE(dibImage.size(), QSize(2, 2));
    QCOMPARE(dibImage.pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(dibImage.pixelColor(0, 1), QColor(Qt::blue));

    QCOMPARE(EmbeddedPictureStore::find(&doc, found[4].name())->data, png); // raw \bin bytes
    const auto wmf = EmbeddedPictureStore::find(&doc, found[5].name());
    QCOMPARE(wmf->kind, EmbeddedPicture::Kind::Wmf);
    QCOMPARE(wmf->data, QByteArray::fromHex("010009000003"));
    QCOMPARE(QSizeF(found[5].width(), found[5].height()), QSizeF(96, 48));
    // Undrawable pictures still take their place on the page.
    const QImage placeholder = doc.resource(QTextDocument::ImageResource, QUrl(found[5].name())).value<QImage>();
    QVERIFY(placeholder.width() <= 32 && placeholder.height() <= 32); // drawn at its size when painted

    // Printing lays out copies: they carry the pictures along.
    QVERIFY(EmbeddedPictureStore::find(doc.clone(this), found[0].name()));
    doc.clear();
    QVERIFY(!EmbeddedPictureStore::find(&doc, found[0].name()));
}

void TestRtf::keepsOnePictureOfAlternatives()
{
    const QByteArray png = pngBytes(QSize(2, 2), Qt::green);
    const QByteArray rtf =
            "{\\rtf1 x{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn wzName}{\\sv Picture 1}}}\\pngblip " + hex(png) + "}}"
            "{\\nonshppict{\\pict\\wmetafile8\\picw10\\pich10 0100090000}}"
            "{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}{\\result{\\pict\\pngblip " + hex(png) + "}}}y}";
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    const QList<QTextImageFormat> found = images(&doc);
    QCOMPARE(found.size(), 2);
    QCOMPARE(EmbeddedPictureStore::find(&doc, found[0].name())->kind, EmbeddedPicture::Kind::Png);
    QCOMPARE(doc.toPlainText().remove(QChar::ObjectReplacementCharacter), QStringLiteral("xy"));
}

void TestRtf::skipsSideTextKeepingTheBody()
{
    const QByteArray body =
            "\\pard one{\\footer \\pard\\plain {\\super\\chpgn} FOOTER\\par} two"
            "{\\*\\atnid JS}{\\*\\atnauthor J}{\\annotation COMMENT} three"
            "{\\*\\bkmkstart mark}{\\*\\bkmkend mark}{\\*\\unknowndest SECRET {\\b nested}} four"
            "{\\*\\generator X;}{\\xe INDEX}\\par";
    QTextDocument doc;
    RtfReader::read(wordDocument(body), &doc);
    QCOMPARE(doc.toPlainText(), QStringLiteral("one two three four\n"));
}

void TestRtf::readsShapes_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pictures");
    QTest::newRow("properties outside a shape") << QByteArray("a{\\sp{\\sn fFilled}{\\sv 0}}b") << QStringLiteral("ab") << 0;
    QTest::newRow("shape without content keeps its result")
            << QByteArray("a{\\shp{\\*\\shpinst\\shpleft0{\\sp{\\sn shapeType}{\\sv 20}}}{\\shprslt r}}b")
            << QStringLiteral("arb") << 0;
    const QByteArray pict = "{\\pict\\pngblip\\picwgoal1500\\pichgoal750 " + hex(pngBytes(QSize(4, 2), Qt::blue)) + '}';
    const QByteArray fallback = "{\\pict\\wmetafile8\\picw100\\pich100 0100090000}";
    QTest::newRow("floating picture at its anchor, without its fallback")
            << QByteArray("a{\\shp{\\*\\shpinst\\shpleft0\\shpright3000\\shpwr2{\\sp{\\sn shapeType}{\\sv 75}}"
                          "{\\sp{\\sn pib}{\\sv " + pict + "}}}{\\shprslt " + fallback + "}}b")
            << QStringLiteral("ab") << 1;
    QTest::newRow("fill pictures are no content")
            << QByteArray("a{\\shp{\\*\\shpinst{\\sp{\\sn fillBlip}{\\sv " + pict + "}}}}b") << QStringLiteral("ab") << 0;
    QTest::newRow("text box in paragraphs of its own")
            << QByteArray("\\pard\\qc before{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt \\pard Flour{\\b  2 cups}\\par"
                          "\\pard Salt}}{\\shprslt{\\*\\do\\dobxcolumn{\\dptxbx{\\dptxbxtext Flour}}}}} after\\par")
            << QStringLiteral("before\nFlour 2 cups\nSalt\n after\n") << 0;
    QTest::newRow("drawing object's text box in a table cell")
            << QByteArray("\\trowd\\cellx3000\\pard\\intbl x{\\*\\do\\dobxcolumn\\dptxbx{\\dptxbxtext\\pard Box\\par}}y\\cell\\row")
            << QStringLiteral("\ufdd0x\nBox\ny\ufdd1") << 0;
}

void TestRtf::readsShapes()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    QFETCH(int, pictures);
    QTextDocument doc;
    RtfReader::read("{\\rtf1\\ansi " + body + '}', &doc);
    QCOMPARE(rawText(&doc).remove(QChar::ObjectReplacementCharacter), text);
    QCOMPARE(images(&doc).size(), pictures);
    if (pictures)
        QCOMPARE(QSizeF(images(&doc).at(0).width(), images(&doc).at(0).height()), QSizeF(100, 50)); // its goal size
    if (text.contains(QLatin1String("before"))) {
        QCOMPARE(blockWith(&doc, QStringLiteral("before")).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(blockWith(&doc, QStringLiteral("Salt")).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    }
    if (text.contains(QLatin1String("Box")))
        QCOMPARE(tables(&doc).size(), 1);
}

void TestRtf::gathersFootnotesAtTheEnd_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("notes"); // written back as footnotes
    QTest::newRow("numbered marks")
            << QByteArray("\\pard 1 cup flour{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} Sifted.\\par\\pard Twice.\\par}"
                          " and salt{\\cs16\\super \\chftn}{\\footnote \\pard\\plain {\\super \\chftn} A pinch}.\\par")
            << QStringLiteral("1 cup flour1 and salt2.\n\n——————\n1 Sifted.\nTwice.\n2 A pinch") << 2;
    QTest::newRow("a mark of its own, and a note in a table cell")
            << QByteArray("\\trowd\\cellx2000\\pard\\intbl cell*{\\footnote\\pard\\plain * Starred.}\\cell\\row\\pard after\\par")
            << QStringLiteral("\ufdd0cell*\ufdd1after\n\n——————\n* Starred.") << 0;
}

void TestRtf::gathersFootnotesAtTheEnd()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    QFETCH(int, notes);
    QTextDocument doc;
    RtfReader::read("{\\rtf1\\ansi " + body + '}', &doc);
    QCOMPARE(rawText(&doc), text);
    const QTextBlock separator = blockWith(&doc, QStringLiteral("——————"));
    QCOMPARE(separator.blockFormat().intProperty(Rtf::FootnoteBlock), -1);
    QVERIFY(!QTextCursor(separator).currentTable());
    if (text.contains(QLatin1String("flour1"))) {
        const QTextCharFormat mark = fragments(&doc).at(1).charFormat();
        QCOMPARE(mark.verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(mark.intProperty(Rtf::FootnoteMark), 1);
    }
    // Written back as footnotes, they read back the same; a note whose mark is gone stays text.
    const QByteArray written = RtfWriter::write(&doc);
    QCOMPARE(written.count("{\\footnote"), notes);
    QTextDocument again;
    RtfReader::read(written, &again);
    QCOMPARE(rawText(&again), text);
    QCOMPARE(RtfWriter::write(&again), written);
    if (notes > 0) {
        // A note whose mark was deleted is not lost.
        QTextCursor mark(&again);
        mark.setPosition(blockWith(&again, QStringLiteral("flour1")).position() + 11);
        mark.deleteChar();
        QTextDocument edited;
        RtfReader::read(RtfWriter::write(&again), &edited);
        QVERIFY(rawText(&edited).contains(QLatin1String("Sifted.\nTwice.")));
        QCOMPARE(RtfWriter::write(&edited).count("{\\footnote"), notes - 1);
    }
}

void TestRtf::writesPortableRtf()
{
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 11));
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(QColor(0, 128, 0));
    c.insertText(QStringLiteral("Crème "), QTextCharFormat());
    c.insertText(QStringLiteral("brûlée {x}\\"), bold);
    c.insertText(QStringLiteral(" 中"), QTextCharFormat());
    QTextCharFormat courier;
    courier.setFont(QFont(QStringLiteral("Courier New"), 10));
    c.insertText(QStringLiteral("mono"), courier);
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("https://example.org/?q=\"a\""));
    c.insertText(QStringLiteral("site"), link);
    c.insertBlock();
    c.createList(QTextListFormat::ListDisc);
    c.insertText(QStringLiteral("bullet"));
    const QByteArray rtf = RtfWriter::write(&doc);
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
    QVERIFY(rtf.contains("{\\f0\\fnil\\fcharset0 Arial;}"));
    QVERIFY(rtf.contains("\\red0\\green128\\blue0;"));
    // Non-ASCII text as \uN with a one-byte fallback readers without Unicode can show.
    QVERIFY(rtf.contains("Cr\\u232\\'e8me"));
    QVERIFY(rtf.contains("\\b\\cf1 br\\u251\\'fbl\\u233\\'e9e \\{x\\}\\\\"));
    QVERIFY(rtf.contains("\\u20013?"));
    QVERIFY(rtf.contains("{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/?q=%22a%22\"}}{\\fldrslt{"));
    // Lists with their labels as text for readers that do not number lists.
    QVERIFY(rtf.contains("\\ls1\\ilvl0 {\\listtext\\f0 \\u8226\\'95\\tab}"));
    QVERIFY(rtf.contains("{\\*\\listtable"));
    QVERIFY(rtf.contains("{\\f1\\fnil\\fcharset0 Courier New;}}"));
    // Balanced braces, nothing outside ASCII.
    int depth = 0;
    for (qsizetype k = 0; k < rtf.size(); ++k) {
        QVERIFY(uchar(rtf[k]) < 0x80);
        if (rtf[k] == '\\') {
            ++k;
            continue;
        }
        depth += rtf[k] == '{' ? 1 : rtf[k] == '}' ? -1 : 0;
        QVERIFY(depth >= 0);
    }
    QCOMPARE(depth, 0);

    QTextDocument back;
    RtfReader::read(rtf, &back);
    QCOMPARE(back.toPlainText(), doc.toPlainText());
    QCOMPARE(formatOf(&back, QStringLiteral("mono")).fontFamilies().toStringList(), QStringList{QStringLiteral("Courier New")});
    QCOMPARE(formatOf(&back, QStringLiteral("mono")).fontPointSize(), 10.0);
    QCOMPARE(formatOf(&back, QStringLiteral("site")).anchorHref(), link.anchorHref().replace(u'"', QLatin1String("%22")));
}

void TestRtf::writesPicturesAsTheirOriginalBytes()
{
    const QByteArray jpeg = jpegBytes(QSize(16, 8));
    const QByteArray emf = emfBytes();
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertImage(EmbeddedPictureStore::add(&doc, *EmbeddedPictureStore::fromFileData(jpeg), QSizeF(32, 16)));
    c.insertImage(EmbeddedPictureStore::add(&doc, *EmbeddedPictureStore::fromFileData(emf)));
    QImage bmpImage(3, 3, QImage::Format_RGB32);
    bmpImage.fill(Qt::blue);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    bmpImage.save(&buffer, "BMP");
    c.insertImage(EmbeddedPictureStore::add(&doc, *EmbeddedPictureStore::fromFileData(bmp)));
    // A picture from outside our store (for example pasted HTML) is kept as what it shows.
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("other.png")), bmpImage);
    c.insertImage(QStringLiteral("other.png"));

    const QByteArray rtf = RtfWriter::write(&doc);
    QVERIFY(rtf.contains("{\\pict\\jpegblip\\picw16\\pich8\\picwgoal480\\pichgoal240\n"));
    QVERIFY(QByteArray(rtf).remove(0, 0).replace('\n', "").contains(hex(jpeg)));
    QVERIFY(rtf.contains("{\\pict\\emfblip\\picw2000\\pich1000"));
    QVERIFY(QByteArray(rtf).replace('\n', "").contains(hex(emf)));
    QCOMPARE(rtf.count("\\pngblip"), 2);
    QVERIFY(!rtf.contains("BM"));

    QTextDocument back;
    RtfReader::read(rtf, &back);
    const QList<QTextImageFormat> found = images(&back);
    QCOMPARE(found.size(), 4);
    QCOMPARE(EmbeddedPictureStore::find(&back, found[0].name())->data, jpeg);
    QCOMPARE(EmbeddedPictureStore::find(&back, found[1].name())->data, emf);
    QCOMPARE(QImage::fromData(EmbeddedPictureStore::find(&back, found[3].name())->data).pixelColor(1, 1), QColor(Qt::blue));
}

void TestRtf::roundTripIsByteStable_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::newRow("word processor text") << wordDocument(
            "\\pard\\plain\\s1\\qc\\b\\f1\\fs32 Title\\par\\pard\\plain\\qj\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1 "
            "Body {\\i italic} {\\ul under}{\\uld dots}{\\strike gone}{\\super 2}{\\sub x}{\\cf2\\highlight4 col} "
            "\\u8364? \\'e9\\tab\\line\\par\\pard\\sl-280\\slmult0 fixed\\page next\\par\\pard");
    QTest::newRow("lists") << QByteArray(
            "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}{\\listlevel\\levelnfc2{\\leveltext\\'03(\\'01);}}\\listid1}}"
            "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1 one\\par\\pard\\ls1\\ilvl1 sub\\par\\pard\\ls1 two\\par"
            "\\pard{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}} bullet\\par\\pard{\\*\\pn\\pnlvlbody\\pnucltr{\\pntxta .}} A\\par\\pard end\\par}");
    QTest::newRow("tables") << QByteArray(
            "{\\rtf1{\\colortbl;\\red200\\green200\\blue200;}\\trowd\\clcbpat1\\clbrdrt\\brdrs\\brdrw15\\clmgf\\cellx1000\\clmrg\\cellx2000\\clvmgf\\cellx3000"
            "\\pard\\intbl A\\par second\\cell\\cell B\\cell\\row\\trowd\\cellx1000\\cellx2000\\clvmrg\\cellx3000"
            "\\pard\\intbl C\\cell "
            "\\pard\\intbl\\itap2 n1\\nestcell n2\\nestcell{\\*\\nesttableprops\\trowd\\cellx500\\cellx1000\\nestrow}{\\nonesttables\\par}"
            "\\pard\\intbl after nested\\cell\\cell\\row\\pard between\\par"
            "\\trowd\\cellx900\\pard\\intbl solo\\cell\\row}");
    QTest::newRow("table first and last") << QByteArray(
            "{\\rtf1\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row}");
    QTest::newRow("links and pictures") << QByteArray(
            "{\\rtf1 go {\\field{\\*\\fldinst HYPERLINK \"file:C:\\\\\\\\x y.txt\"}{\\fldrslt{\\b here}{\\i there}}}"
            "{\\field{\\*\\fldinst HYPERLINK \"mailto:a@b.c\"}{\\fldrslt mail}}\\par"
            "{\\pict\\pngblip\\picwgoal300\\pichgoal150 " + hex(pngBytes(QSize(5, 3), Qt::magenta)) + "}"
            "{\\pict\\wmetafile8\\picw100\\pich100 0100090000030a}{\\pict\\emfblip " + hex(emfBytes()) + "}}");
    // Found by fuzzing: characters that are not text, given as \\u.
    QTest::newRow("control and marker characters")
            << QByteArray("{\\rtf1 \xc5" "c\\i2\\u\\ub\\u8233 x\\u65532 y\\u-560 z\\u-559 \\'0b}");
    QTest::newRow("control characters in a font name")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fswiss  Arial\\'0a3 ;}{\\f1 \\'00;}}\\f0 a\\f1 b}");
    QTest::newRow("long texts around list numbers")
            << QByteArray("{\\rtf1{\\*\\pn\\pnlvlbody\\pndec{\\pntxtb " + QByteArray(70, 'x') + "}{\\pntxta " + QByteArray(70, 'y')
                          + "}} a\\par b\\par}");
    QTest::newRow("line ends and semicolons around list numbers")
            << QByteArray("{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'05\\'0a3\\'00.;;}}\\listid1}}"
                          "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1 one\\par}");
    QTest::newRow("empty list paragraph before a merged cell")
            << QByteArray::fromHex(
                        "7b5c72746631207b5c727466315c74726f77645c636c6362706174ffffffffffff6c783130305c63656c6c78323030305c636c766d72675c63656c6c"
                        "78333030636c6d67665c63656c6c783734335c63656c6c78323030305c636c766d72675c63656c6c78333030305c706172645c696e74626c20435c63"
                        "656c6c5c706172645c696e74626c5c6974617032206e315c6e65737463656c6c206e325c6e65737463656c6c7b5c2a5c6e6573747461626c6570726f"
                        "70735c74726f77645c63656c30305c636c0000000000000000000000000021005c6c73315c695c6365ff5c7163ffffffffff5c6365010000046c6c5c"
                        "726f775c74726f77645c63656c6c78316c766c3120747739395c63656c6c2832303030305c63656c6c5c726f775c706172642061667465305c637d60"
                        "727d22");
    QTest::newRow("text in a cell merged with empty ones")
            << QByteArray::fromHex(
                        "7b5c72746631207b3077645c63656c6c7831301806040060615c636c6d7267d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2"
                        "d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2d2daffffffff36343f74315c636c62726472745c62726472735c627264727731355c636c6d67660000000000"
                        "5c63656c6c78313030305c636c6d72675c63656c6c78323030305c636c766d67665c5d63656c2f2a205850780000002a000000000000005c70616064"
                        "5c6c7331207462725c62726472775c8b8d9077645c63656c6c783130306c20785c63656c6c5c63656c6c5c726f775c706172642061667465727d");
    QTest::newRow("neighbouring cells merged down")
            << QByteArray::fromHex(
                        "7b5c727466315c74726f77645cffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff315c636c6263656c6c78"
                        "323030305c636c766d72675c63656c6c7833305c636c766d72675c696e74626c20435c6365726472742b62726472735c627264727731355c636c6d67"
                        "665c63656c6c78311c1c1c6c6c63656ca36c7833303030305c63656c3030305c636c6d72675c726f775c74726f77646c5c69737463656c6c206e325c"
                        "6e65737463656c6c7b5c2a5c6e6573747461626c6570726f70735c74726f77645c63656c6c5c636c766d726772675c6365ff00ffffffffffffffff5c"
                        "636efb01656c6c5c726f775c74726f77645c9d9d6c6c783130305c63656c6c5c726f775c706172642061667465727d");
    QTest::newRow("very wide columns")
            << QByteArray("{\\rtf1\\trowd\\cellx99999\\cellx199999\\cellx299999\\cellx399999\\cellx499999\\cellx-5"
                          "\\pard\\intbl a\\cell b\\cell c\\cell d\\cell e\\cell f\\cell\\row}");
    QTest::newRow("link target of control characters only")
            << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"\x01\"}{\\fldrslt{\\u204 bi}}} after}");
    QTest::newRow("empty paragraphs") << QByteArray("{\\rtf1\\par\\par x\\par\\par}");
    QTest::newRow("empty document") << QByteArray("{\\rtf1}");
}

void TestRtf::roundTripIsByteStable()
{
    QFETCH(QByteArray, source);
    QTextDocument first;
    QCOMPARE(RtfReader::read(source, &first), RtfReader::Status::Ok);
    const QByteArray once = RtfWriter::write(&first);
    QTextDocument second;
    QCOMPARE(RtfReader::read(once, &second), RtfReader::Status::Ok);
    const QByteArray twice = RtfWriter::write(&second);
    QVERIFY2(twice == once, firstDifference(once, twice).constData());
    QCOMPARE(second.toPlainText(), first.toPlainText());
}

void TestRtf::roundTripKeepsTheDocument()
{
    // A document made through the editing API, as the editor makes them.
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 11));
    QTextCursor c(&doc);
    QTextCharFormat big;
    big.setFontPointSize(18);
    big.setFontFamilies({QStringLiteral("Times New Roman")});
    c.insertText(QStringLiteral("Big title"), big);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centred);
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    QTextListFormat numbered;
    numbered.setStyle(QTextListFormat::ListDecimal);
    numbered.setNumberSuffix(QStringLiteral(")"));
    c.createList(numbered);
    c.insertText(QStringLiteral("first"));
    c.insertBlock();
    c.insertText(QStringLiteral("second"));
    c.insertBlock(QTextBlockFormat());
    QTextTable *table = c.insertTable(2, 2);
    table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("r0c0"));
    table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("r1c1"));
    table->mergeCells(0, 0, 1, 2);

    QTextDocument back;
    RtfReader::read(RtfWriter::write(&doc), &back);
    QCOMPARE(back.toPlainText(), doc.toPlainText());
    const QTextCharFormat title = formatOf(&back, QStringLiteral("Big title"));
    QCOMPARE(title.fontPointSize(), 18.0);
    QCOMPARE(title.fontFamilies().toStringList(), QStringList{QStringLiteral("Times New Roman")});
    // Text without its own font takes the document's.
    QCOMPARE(formatOf(&back, QStringLiteral("first")).fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
    QCOMPARE(formatOf(&back, QStringLiteral("first")).fontPointSize(), 11.0);
    QCOMPARE(blockWith(&back, QStringLiteral("Big")).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QTextList *list = blockWith(&back, QStringLiteral("second")).textList();
    QVERIFY(list);
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->itemText(blockWith(&back, QStringLiteral("second"))), QStringLiteral("2)"));
    QCOMPARE(tables(&back).size(), 1);
    QCOMPARE(tables(&back).first()->cellAt(0, 0).columnSpan(), 2);
    QCOMPARE(back.blockCount(), doc.blockCount());
}

void TestRtf::listsSplitAlikeWhenWrittenAndRead()
{
    // One bullet list interrupted by a plain paragraph, one numbered list likewise, and a list
    // longer than the reader keeps in one piece.
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextList *bullets = c.createList(QTextListFormat::ListDisc);
    c.insertText(QStringLiteral("b1"));
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("plain"));
    c.insertBlock(QTextBlockFormat());
    bullets->add(c.block());
    c.insertText(QStringLiteral("b2"));
    c.insertBlock(QTextBlockFormat());
    QTextList *numbers = c.createList(QTextListFormat::ListDecimal);
    c.insertText(QStringLiteral("n1"));
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("plain"));
    c.insertBlock(QTextBlockFormat());
    numbers->add(c.block());
    c.insertText(QStringLiteral("n2"));
    c.insertBlock(QTextBlockFormat());
    QTextList *longList = c.createList(QTextListFormat::ListSquare);
    for (int i = 0; i < RtfReader::MaxListItems + 5; ++i) {
        if (i > 0) {
            c.insertBlock();
            longList->add(c.block());
        }
        c.insertText(QString::number(i));
    }

    const QByteArray once = RtfWriter::write(&doc);
    QTextDocument back;
    RtfReader::read(once, &back);
    const QByteArray twice = RtfWriter::write(&back);
    QVERIFY2(twice == once, firstDifference(once, twice).constData());
    QCOMPARE(back.toPlainText(), doc.toPlainText());
    // Numbering goes on after the interruption; bullets need not.
    QTextList *n = blockWith(&back, QStringLiteral("n2")).textList();
    QVERIFY(n);
    QCOMPARE(n->itemText(blockWith(&back, QStringLiteral("n2"))), QStringLiteral("2."));
    QVERIFY(blockWith(&back, QStringLiteral("b2")).textList());
    QVERIFY(!blockWith(&back, QStringLiteral("plain")).textList());
    QCOMPARE(back.findBlockByNumber(back.blockCount() - 1).textList()->format().style(), QTextListFormat::ListSquare);
}

void TestRtf::listsShareDefinitionsByStyle()
{
    // Other word processors slow down with every list definition: bullets of one shape share
    // one; numbered lists keep their own, or readers would number on from the list before.
    QTextDocument doc;
    QTextCursor c(&doc);
    auto styled = [](QTextListFormat::Style style) {
        QTextListFormat format;
        format.setStyle(style);
        return format;
    };
    auto list = [&c](const QTextListFormat &format, const QStringList &items) {
        c.insertBlock(QTextBlockFormat());
        QTextList *l = c.createList(format);
        for (qsizetype k = 0; k < items.size(); ++k) {
            if (k > 0) {
                c.insertBlock();
                l->add(c.block());
            }
            c.insertText(items[k]);
        }
    };
    auto plain = [&c](const QString &text) {
        c.insertBlock(QTextBlockFormat());
        c.insertText(text);
    };
    QTextListFormat upperRoman;
    upperRoman.setStyle(QTextListFormat::ListUpperRoman);
    upperRoman.setNumberPrefix(QStringLiteral("CH "));
    upperRoman.setNumberSuffix(QString());
    for (int k = 0; k < 3; ++k) {
        plain(QStringLiteral("Recipe"));
        list(styled(QTextListFormat::ListDisc), {QStringLiteral("flour"), QStringLiteral("eggs")});
        list(styled(QTextListFormat::ListCircle), {QStringLiteral("tip")});
        list(styled(QTextListFormat::ListDecimal), {QStringLiteral("mix"), QStringLiteral("bake")});
    }
    list(upperRoman, {QStringLiteral("Soups"), QStringLiteral("Cakes")});

    const QByteArray rtf = RtfWriter::write(&doc);
    QCOMPARE(rtf.count("{\\list\\listtemplateid"), 2 + 3 + 1);
    QCOMPARE(rtf.count("{\\listoverride\\"), 3 * 3 + 1);
    QCOMPARE(rtf.count("{\\listoverride\\listid1\\"), 3);
    QVERIFY(!rtf.contains("{\\*\\pn"));
    QVERIFY(rtf.contains("{\\leveltext\\'04CH \\'00;}{\\levelnumbers\\'04;}"));
    QVERIFY(rtf.contains("{\\listtext\\f0 CH II\\tab}"));

    QTextDocument back;
    RtfReader::read(rtf, &back);
    QCOMPARE(RtfWriter::write(&back), rtf);
    QList<QTextList *> lists;
    for (QTextBlock b = back.begin(); b.isValid(); b = b.next())
        if (b.textList() && !lists.contains(b.textList()))
            lists.append(b.textList());
    QCOMPARE(lists.size(), 10);
    QStringList labels;
    for (QTextList *l : lists)
        labels << (l->format().style() == QTextListFormat::ListDecimal || l->format().style() == QTextListFormat::ListUpperRoman
                           ? l->itemText(l->item(l->count() - 1))
                           : QStringLiteral("-"));
    QCOMPARE(labels, (QStringList{"-", "-", "2.", "-", "-", "2.", "-", "-", "2.", "CH II"}));
    QCOMPARE(lists[1]->format().style(), QTextListFormat::ListCircle);
}

void TestRtf::keepsTheTextAroundListNumbers_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("labels"); // of each paragraph; "-" outside lists
    auto lists = [](const QByteArray &levels, const QByteArray &body) {
        return "{\\rtf1{\\*\\listtable{\\list\\listtemplateid-1\\listhybrid" + levels
                + "{\\listname ;}\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}}" + body
                + "}";
    };
    const QByteArray chapters =
            "\\pard\\ls1\\ilvl0 Soups\\par\\pard\\ls1\\ilvl1 Cold\\par\\pard\\ls1\\ilvl1 Hot\\par"
            "\\pard\\ls1\\ilvl0 Cakes\\par\\pard\\ls1\\ilvl1 Sponge\\par";
    // As a word processor writes a chapter list with legal sections: its documents end with a
    // paragraph mark, after which no list item follows.
    QTest::newRow("chapters and sections")
            << lists("{\\listlevel\\levelnfc1\\levelnfcn1\\leveljc0\\levelstartat1{\\leveltext\\leveltemplateid67698703\\'04CH \\'00;}"
                     "{\\levelnumbers\\'04;}\\fi-360\\li720}"
                     "{\\listlevel\\levelnfc22\\levelnfcn22\\levelstartat1{\\leveltext\\leveltemplateid1\\'09Sect \\'00.\\'01;}"
                     "{\\levelnumbers\\'06\\'08;}\\fi-360\\li1440}",
                     chapters)
            << QStringList{"CH I", "Sect I.1", "Sect I.2", "CH II", "Sect II.1", "-"};
    QTest::newRow("legal numbering shows decimals")
            << lists("{\\listlevel\\levelnfc1{\\leveltext \\'02\\'00.;;}}{\\listlevel\\levellegal1\\levelnfc0{\\leveltext \\'03\\'00.\\'01;;}}",
                     chapters)
            << QStringList{"I.", "1.1", "1.2", "II.", "2.1", "-"};
    const QByteArray twoItems = "\\pard\\ls1 one\\par\\pard\\ls1 two\\par";
    QTest::newRow("numbers of another script as decimals")
            << lists("{\\listlevel\\levelnfc10{\\leveltext\\'02\\'00.;}}", twoItems) << QStringList{"1.", "2.", "-"};
    QTest::newRow("a text without number as bullets")
            << lists("{\\listlevel\\levelnfc255{\\leveltext\\'01-;}}", twoItems) << QStringList{"*", "*", "-"};
    QTest::newRow("no text and no number, no list")
            << lists("{\\listlevel\\levelnfc255{\\leveltext\\'00;}}", twoItems) << QStringList{"-", "-", "-"};
    QTest::newRow("letters between brackets, older form")
            << QByteArray("{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pnlcltr{\\pntxtb (}{\\pntxta )}}one\\par two\\par\\pard three}")
            << QStringList{"(a)", "(b)", "-"};
}

void TestRtf::keepsTheTextAroundListNumbers()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, labels);
    auto labelsOf = [](const QTextDocument &doc) {
        QStringList out;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            out << (!b.textList()                                  ? QStringLiteral("-")
                    : Rtf::isBullet(b.textList()->format().style()) ? QStringLiteral("*")
                                                                     : b.textList()->itemText(b));
        return out;
    };
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QCOMPARE(labelsOf(doc), labels);
    const QByteArray once = RtfWriter::write(&doc);
    QTextDocument back;
    RtfReader::read(once, &back);
    QCOMPARE(labelsOf(back), labels);
    QCOMPARE(RtfWriter::write(&back), once);
}

void TestRtf::runsDifferingInUnwrittenPropertiesAreOne()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat plain;
    QTextCharFormat spaced;
    spaced.setFontLetterSpacing(150); // not carried by RTF
    c.insertText(QStringLiteral("one "), plain);
    c.insertText(QStringLiteral("two"), spaced);
    const QByteArray once = RtfWriter::write(&doc);
    QVERIFY(once.contains(" one two}"));
    QTextDocument back;
    RtfReader::read(once, &back);
    QCOMPARE(RtfWriter::write(&back), once);
}

void TestRtf::writesTheSelectionOnly()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("keep "));
    c.insertImage(EmbeddedPictureStore::add(&doc, EmbeddedPictureStore::fromImage(QImage(2, 2, QImage::Format_RGB32))));
    c.insertText(QStringLiteral(" drop"));
    c.setPosition(0);
    c.setPosition(6, QTextCursor::KeepAnchor);
    const QByteArray rtf = RtfWriter::write(c);
    QTextDocument back;
    RtfReader::read(rtf, &back);
    QCOMPARE(back.toPlainText(), QStringLiteral("keep \uFFFC"));
    QCOMPARE(images(&back).size(), 1);
    QVERIFY(EmbeddedPictureStore::find(&back, images(&back).first().name()));
}

void TestRtf::insertReplacesTheSelectionAsOneUndoStep()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Mix the REPLACE well"));
    QTextCursor c(&doc);
    c.setPosition(8);
    c.setPosition(15, QTextCursor::KeepAnchor);
    QCOMPARE(RtfReader::insert("{\\rtf1 {\\b flour} and {\\i sugar}}", c), RtfReader::Status::Ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("Mix the flour and sugar well"));
    QCOMPARE(c.position(), 23);
    QVERIFY(formatOf(&doc, QStringLiteral("flour")).fontWeight() == int(QFont::Bold));
    doc.undo();
    QCOMPARE(doc.toPlainText(), QStringLiteral("Mix the REPLACE well"));
}

void TestRtf::insertsTablesInsideTableCells()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextTable *outer = c.insertTable(1, 2);
    QTextCursor cell = outer->cellAt(0, 1).firstCursorPosition();
    QCOMPARE(RtfReader::insert("{\\rtf1\\trowd\\cellx1000\\cellx2000\\pard\\intbl x\\cell y\\cell\\row\\pard after}", cell),
             RtfReader::Status::Ok);
    const QList<QTextTable *> found = tables(&doc);
    QCOMPARE(found.size(), 2);
    QCOMPARE(found[1]->parentFrame(), static_cast<QTextFrame *>(outer));
    QCOMPARE(QTextCursor(blockWith(&doc, QStringLiteral("after"))).currentTable(), outer);
    QTextDocument back;
    RtfReader::read(RtfWriter::write(&doc), &back);
    QCOMPARE(tables(&back).size(), 2);
    QCOMPARE(back.toPlainText(), doc.toPlainText());
}

void TestRtf::picturesFromFiles()
{
    // A placeable metafile header is dropped (RTF keeps the bare metafile) but sets the size.
    QByteArray placeable;
    put32(placeable, 0x9AC6CDD7);
    placeable.append(QByteArray::fromHex("0000" "00000000" "e8036400" "e803" "00000000" "0000"));
    placeable.append(QByteArray::fromHex("010009000003"));
    const auto wmf = EmbeddedPictureStore::fromFileData(placeable);
    QVERIFY(wmf);
    QCOMPARE(wmf->kind, EmbeddedPicture::Kind::Wmf);
    QCOMPARE(wmf->data, QByteArray::fromHex("010009000003"));
    QCOMPARE(wmf->nativeSize, QSize(2540, 254)); // 1000 x 100 units at 1000 units per inch
    QCOMPARE(EmbeddedPictureStore::naturalSize(*wmf), QSizeF(96, 9.6));

#ifdef SAPORIN_HAVE_LIBWMF
    // Metafiles are drawn as vectors: the rectangle's outline, filled with the white brush a
    // device context starts with. The picture is cropped to what it draws, so the outline runs
    // along the image's edges.
    const auto played = EmbeddedPictureStore::fromFileData(wmfBytes());
    QVERIFY(played);
    QCOMPARE(played->kind, EmbeddedPicture::Kind::Wmf);
    QVERIFY(!played->svg.isEmpty());
    const QImage wmfImage = EmbeddedPictureStore::render(*played, QSize(200, 100));
    QCOMPARE(QColor::fromRgba(wmfImage.pixel(100, 50)), QColor(Qt::white));
    int dark = 0;
    for (int x = 10; x < 190; ++x)
        for (int y = 0; y < 3; ++y)
            if (qAlpha(wmfImage.pixel(x, y)) > 100 && qGray(wmfImage.pixel(x, y)) < 100) {
                ++dark;
                break;
            }
    QVERIFY2(dark > 100, qPrintable(QString::number(dark)));
    // A brush the metafile creates and selects itself still fills its shapes.
    QByteArray red = wmfBytes();
    red[10] = char(1); // one object
    QByteArray brush;
    put32(brush, 7); put16(brush, 0x02FC); put16(brush, 0); put32(brush, 0x0000FF); put16(brush, 0); // red brush
    put32(brush, 4); put16(brush, 0x012D); put16(brush, 0);                                          // into slot 0
    red.insert(18, brush);
    const auto filled = EmbeddedPictureStore::fromFileData(red);
    QVERIFY(filled && !filled->svg.isEmpty());
    QCOMPARE(QColor::fromRgba(EmbeddedPictureStore::render(*filled, QSize(200, 100)).pixel(100, 50)), QColor(Qt::red));
#endif

    const auto emf = EmbeddedPictureStore::fromFileData(emfBytes());
    QVERIFY(emf);
    QCOMPARE(emf->kind, EmbeddedPicture::Kind::Emf);
    QVERIFY(!emf->svg.isEmpty() || EmfPlayer::canPlay(emf->data)); // drawn as vectors
    const QImage drawn = EmbeddedPictureStore::render(*emf, QSize(76, 38));
    QCOMPARE(drawn.size(), QSize(76, 38));
    QCOMPARE(QColor::fromRgba(drawn.pixel(38, 19)), QColor(Qt::white)); // a device context's own brush

    QImage gifImage(5, 4, QImage::Format_RGB32);
    gifImage.fill(Qt::green);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    gifImage.save(&buffer, "BMP");
    const auto fromBmp = EmbeddedPictureStore::fromFileData(bmp);
    QVERIFY(fromBmp);
    QCOMPARE(fromBmp->kind, EmbeddedPicture::Kind::Png);
    QCOMPARE(fromBmp->nativeSize, QSize(5, 4));

    QVERIFY(!EmbeddedPictureStore::fromFileData(QByteArray("not a picture")));
    QTextDocument doc;
    QVERIFY(!EmbeddedPictureStore::find(&doc, QStringLiteral("file:///tmp/x.png")));
    QVERIFY(!EmbeddedPictureStore::find(&doc, QStringLiteral("saporin-pic://999999")));
}

void TestRtf::showsPhotosOfAnySize()
{
    // A 48-megapixel phone photo: decoded scaled down, never whole, and saved as it came.
    const QByteArray jpeg = cameraJpeg(8064, 6048);
    const auto photo = EmbeddedPictureStore::fromFileData(jpeg);
    QVERIFY(photo);
    QCOMPARE(photo->nativeSize, QSize(8064, 6048));
    QTextDocument doc;
    QTextCursor(&doc).insertImage(EmbeddedPictureStore::add(&doc, *photo));
    const QTextImageFormat format = images(&doc).first();
    const QImage shown = doc.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
    QVERIFY2(shown.width() >= 2048 && shown.width() <= EmbeddedPictureStore::MaxDisplaySide, qPrintable(QString::number(shown.width())));
    QCOMPARE(shown.width() * 3, shown.height() * 4);
    const QColor left = shown.pixelColor(shown.width() / 4, shown.height() / 2);
    const QColor right = shown.pixelColor(3 * shown.width() / 4, shown.height() / 2);
    QVERIFY2(left.red() > 150 && left.blue() < 80, qPrintable(left.name()));
    QVERIFY2(right.blue() > 150 && right.red() < 80, qPrintable(right.name()));
    QTextDocument back;
    QCOMPARE(RtfReader::read(RtfWriter::write(&doc), &back), RtfReader::Status::Ok);
    QCOMPARE(EmbeddedPictureStore::find(&back, images(&back).first().name())->data, jpeg);
}

void TestRtf::keepsLittleForPicturesThatClaimHugeSizes()
{
    // Twenty-five pictures in a few kilobytes, each claiming a 4096-pixel display and an enormous
    // picture behind it: headers only, cut-off data, a metafile nothing can play. What the
    // document keeps must stay proportional to what was really decoded.
    QByteArray jpeg = jpegBytes(QSize(8, 8));
    const qsizetype sof = jpeg.indexOf("\xff\xc0");
    QVERIFY(sof > 0);
    jpeg[sof + 5] = char(0x75); jpeg[sof + 6] = char(0x30); // 30000 rows
    jpeg[sof + 7] = char(0x75); jpeg[sof + 8] = char(0x30); // 30000 columns
    const QByteArray goal = "\\picwgoal61440\\pichgoal61440 ";
    QByteArray rtf = "{\\rtf1 ";
    for (int k = 0; k < 5; ++k) {
        rtf += "{\\pict\\pngblip" + goal + hex(pngHeaderOnly(60000, 60000)) + "}";
        rtf += "{\\pict\\jpegblip" + goal + hex(jpeg) + "}";
        rtf += "{\\pict\\jpegblip" + goal + hex(jpegBytes(QSize(64, 64)).left(400)) + "}";
        rtf += "{\\pict\\wmetafile8\\picw99999\\pich99999" + goal + "010009000003ffff}";
        rtf += "{\\pict\\emfblip\\picw999999\\pich999999" + goal + hex(emfBytes()) + "}";
    }
    rtf += "}";
    QVERIFY(rtf.size() < 20000);
    QTextDocument doc;
    QCOMPARE(RtfReader::read(rtf, &doc), RtfReader::Status::Ok);
    const QList<QTextImageFormat> found = images(&doc);
    QCOMPARE(found.size(), 25);
    qint64 bytes = 0;
    for (const QTextImageFormat &f : found) {
        QCOMPARE(QSizeF(f.width(), f.height()), QSizeF(4096, 4096)); // still takes its place
        bytes += doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>().sizeInBytes();
    }
    QVERIFY2(bytes < (1 << 20), qPrintable(QString::number(bytes)));

    // Placeholders are drawn at their full size when painted: a one-pixel grey frame, white
    // inside, a cross. A metafile shape drawn before any brush is selected is white inside.
    QTextDocument page;
    const QByteArray shapes = "{\\rtf1 {\\pict\\pngblip\\picwgoal3000\\pichgoal1500 " + hex(pngHeaderOnly(60000, 60000))
            + "}{\\pict\\emfblip\\picw2000\\pich1000\\picwgoal2280\\pichgoal1140 " + hex(emfBytes()) + "}}";
    QCOMPARE(RtfReader::read(shapes, &page), RtfReader::Status::Ok);
    page.setDocumentMargin(0);
    QImage canvas(400, 200, QImage::Format_RGB32);
    canvas.fill(QColor(0, 255, 0));
    {
        QPainter painter(&canvas);
        page.drawContents(&painter);
    }
    const QRect box(0, 0, 200, 100); // 3000 x 1500 twips
    QCOMPARE(QColor(canvas.pixel(box.left(), box.center().y())), QColor(128, 128, 128));
    QCOMPARE(QColor(canvas.pixel(box.left() + 3, box.center().y())), QColor(Qt::white));
    QCOMPARE(QColor(canvas.pixel(box.center().x(), 3)), QColor(Qt::white));
    QVERIFY(qGray(canvas.pixel(box.center())) < 200); // where the cross lines meet
    // The metafile sits beside it, bottom-aligned: 152 x 76 pixels, its rectangle inset 10 pixels.
    QCOMPARE(QColor(canvas.pixel(200 + 76, 100 - 38)), QColor(Qt::white));
}

void TestRtf::survivesDamagedInput_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected"); // text that must survive, if any
    QTest::newRow("missing closing braces") << QByteArray("{\\rtf1 {\\b bold {\\i deeper") << QStringLiteral("bold deeper");
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}} b") << QStringLiteral("a");
    QTest::newRow("stray closing brace inside") << QByteArray("{\\rtf1 {x}} y}") << QStringLiteral("x");
    QTest::newRow("unclosed footnote, text box and field")
            << QByteArray("{\\rtf1 ok{\\chftn}{\\footnote note {\\shp{\\*\\shpinst{\\shptxt box{\\field{\\*\\fldinst SYMBOL 65")
            << QStringLiteral("ok1");
    QTest::newRow("notes, boxes and marks where they do not belong")
            << QByteArray("{\\rtf1 {\\footnote a{\\footnote b}\\chftn{\\shptxt c}}{\\shptxt d}{\\sv{\\pict\\pngblip 00}}"
                          "{\\sn pib}{\\sv{\\pict\\pngblip 00}}{\\*\\do{\\dptxbxtext{\\footnote e}\\chftn}} end}")
            << QStringLiteral("end");
    QTest::newRow("truncated hex") << QByteArray("{\\rtf1 ok\\'4") << QStringLiteral("ok");
    QTest::newRow("truncated control word") << QByteArray("{\\rtf1 ok\\") << QStringLiteral("ok");
    QTest::newRow("truncated picture") << QByteArray("{\\rtf1 ok{\\pict\\pngblip 89504e470d0a1a0a00") << QStringLiteral("ok");
    QTest::newRow("huge bin count") << QByteArray("{\\rtf1 ok{\\pict\\pngblip\\bin2147483647 abc}}") << QStringLiteral("ok");
    QTest::newRow("negative bin count") << QByteArray("{\\rtf1 ok{\\pict\\bin-5 x} fine}") << QStringLiteral("fine");
    QTest::newRow("absurd picture size")
            << QByteArray("{\\rtf1 ok{\\pict\\pngblip\\picw999999999\\pich999999999\\picwgoal2147483647\\pichgoal-5\\picscalex99999 "
                          + hex(pngBytes(QSize(1, 1), Qt::black)) + "}}")
            << QStringLiteral("ok");
    QTest::newRow("picture that is not one") << QByteArray("{\\rtf1 ok{\\pict\\jpegblip 00112233}{\\pict\\dibitmap ffff}{\\pict\\wbitmap\\picw5000000\\pich5000000 00}}")
                                             << QStringLiteral("ok");
    QTest::newRow("huge parameters") << QByteArray("{\\rtf1\\fs99999999999999\\li-99999999999\\u99999999999?ok\\uc2147483647 x}") << QStringLiteral("ok");
    QTest::newRow("very long control word") << QByteArray("{\\rtf1 \\" + QByteArray(100000, 'a') + " ok}") << QStringLiteral("ok");
    QTest::newRow("deep nesting") << QByteArray("{\\rtf1 start" + QByteArray(200000, '{') + "deep" + QByteArray(200000, '}') + " end}")
                                  << QStringLiteral("start");
    QTest::newRow("cells without tables") << QByteArray("{\\rtf1 a\\cell b\\row c\\nestcell d\\nestrow e}") << QStringLiteral("e");
    QTest::newRow("very many cells in a row") << QByteArray("{\\rtf1\\pard\\intbl " + QByteArray("x\\cell ").repeated(20000) + "\\row}")
                                              << QStringLiteral("x");
    QTest::newRow("very deep table nesting") << QByteArray("{\\rtf1\\pard\\intbl\\itap100000 deep\\nestcell\\nestrow\\pard after}")
                                             << QStringLiteral("after");
    QTest::newRow("merge without a row above") << QByteArray("{\\rtf1\\trowd\\clvmrg\\cellx100\\clmrg\\cellx200\\pard\\intbl a\\cell b\\cell\\row}")
                                               << QStringLiteral("a");
    QTest::newRow("list numbers out of range") << QByteArray("{\\rtf1\\pard\\ls-5\\ilvl99 item\\par\\pard\\ls2147483647 more}")
                                               << QStringLiteral("item");
    QTest::newRow("font and colour indexes out of range") << QByteArray("{\\rtf1{\\fonttbl{\\f-1 Bad;}}\\f99\\cf-3\\highlight400 ok}")
                                                          << QStringLiteral("ok");
    QTest::newRow("field without result") << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x}{\\fldrslt}} ok}") << QStringLiteral("ok");
    // Inputs the fuzzer found.
    QTest::newRow("merged cell takes a list's only item")
            << QByteArray::fromHex(
                        "7b5c727466315c74726f77645cffffffffffffffffffffffff7b5c727466315c616e73695c616e7300000066315c66303b7d5c706172645c71eaeaea"
                        "635c625c636631205469746c655c7061725c706172645c6c693732307b5c727466315c74726f77645c636c636270615c66692d33363020626f647920"
                        "5c2765395c75383336343f74315c636c33363020626f6479205c2765395c75383336343f74315c636c62726472745c62726472735c627264728f3135"
                        "5c636c6d24665c63656c6c78313030305c636c6d72675c63656c6c78323030305c636c766d67665c63656c2f2a205850783362726472745c62726472"
                        "735c63656c6c78323030305c636c00000000000000005c706160645c6c7331206f6e655c7061725c706121645c6c73315c696c766c31207477205c66"
                        "31425c63656c6c5c726f775c7472675c63656c6c7833303030305c63656c3030305c636c6d72675c6e65737463656c6cffffffff5c63656c605c726f"
                        "775c74726f77645c9d9d6c6c5c73613166783130305c63656c6c5c726f775c706176642061667465727d")
            << QStringLiteral("Title");
    QTest::newRow("table growing after merged cells")
            << QByteArray::fromHex(
                        "7b5c727466315c74726f77645cffffffffffffffffffffffffffffffffff0109ffffffffffffffffffff01000007ffffffffff4eff355c636c626365"
                        "6c6c78323030305c636c766d72675c63656c6c7833305c636c766d72675c696e74626c20435c6365726472742b62726472735c62766d72675c63656c"
                        "6c7833305c635c69646171656c6c5c726f77ffffff435c63727464727731355c636c6d67665c63656c6c783832375c63651c1c1c6c6c5c726f77ffff"
                        "ff435c63656c6c5c5c2a6c783639305c635c783639305c63656c6c5c726f77ffff7ba38d2b70ff4363656c6c5c726f77ffffff435c6330305c636c76"
                        "6d72675c63656c6c7833305c636c766d72675c696e74626c20435c6365726472742b62726472735c62766d72675c63656c6c7833305c635c69646171"
                        "656c6c5c726f77ffffff435c63727464727731355c636c6d67665c63656c6c783832375c63651c1c1c6c6c5c726f77ffffff435c63656c6c5c5c2a6c"
                        "783639305c635c783639305c63656c6c5c726f77ffff7ba38d2b70ff4363656c6c5c726f77ffffff435c63656c6cffffff43eb5c63656c6c5c5c2a72"
                        "64626c5c69646171656c6c5c726f77ffffff435c7264727731355c636c6d67665c63656c6c783130315c63651c1c1c6c6c5c726f77ffffff435c6365"
                        "6c6c5c5c2a6c783639305c635c783639305c63656c6c5c726f77ffffff4363656c6c5c726f77ffffff435c63656c6cffffff435c6365656c6cffffff"
                        "43eb5c63656c6c5c5c2a7264626c5c69646171656c6c5c726f77ffffff435c7264727731355c636c6d67665c63656c6c783130315c63651c1c1c6c6c"
                        "5c726f77ffffff435c63656c6c5c5c2a6c783639305c635c783639305c63656c6c5c726f77ffffff4363656c6c5c726f77ffffff435c63656c6cffff"
                        "ff435c63656c6c5c5c2a7264626c5c69646171656c6c5c726f77ffffff435c6365697463656c6c5c5c2a72645c6e6e74626c5c697461717171717171"
                        "60")
            << QStringLiteral("C");
    QTest::newRow("metafile asking for gigabytes 1")
            << QByteArray::fromHex(
                        "7b5c7274663120787b5c706963745c776d65746166696c65385c706963773130305c7069636831303020303130303039303030323f30303030303030"
                        "303032353030303030306330323634303063383030303730303030303031623034353030306234303031343030313430303033303030303030303030"
                        "307d797d")
            << QString();
    QTest::newRow("metafile asking for gigabytes 2")
            << QByteArray::fromHex(
                        "7b5c72746631207b5c72a1003120787b5c706963745c776d65746166696c65385c706963773130305c70696368313030203031303030393030303030"
                        "333164303030303030303030303031343635393736373737383932313334353135336230323030303030303030303530303030303030633032363430"
                        "3063383030303730303030303030623032303030306234303031343030313438303033303030303030303030307d797d")
            << QString();
    QTest::newRow("nul bytes") << QByteArray("{\\rtf1 o\0k}", 10) << QStringLiteral("ok");
    QTest::newRow("very tall bitmap decoded for display 1")
            << QByteArray::fromHex(
                        "7b5c727466315c616e73695c616e7369637067313235325c64656666307b5c666f6e7474626c7b5c66305c66726f6d616e5c66636861727365743020"
                        "54696d6573204e657720526f6d616e3b7d7b5c66315c6673776973735c666368617273657432303420417269616c204379723b7d7b5c66325c666e69"
                        "6c5c6663686172326531743873204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c62a67565303b5c726564"
                        "3235355c54636f6d6d6161626c7565303b7d50696373207b5c706963745c706e67626c69705c70696377325c70696368325c70696377676f616c3330"
                        "305c70696368676f616c3330302038393530346534373064306131613061303030303030306434393438343435323030303030303032303030303030"
                        "303230383032303030303030666464343961373330303030303031303439343434313534373839633633663863666330303034343063313030613030"
                        "316665653033666438623566313464343030303030303030343934353465343461653432363038327d7b5c706963745c656d66626c69705c70696377"
                        "323030305c706963683130303020303130308d3030303538303030303030303030303030303030303030303030303462303030303030323530303030"
                        "303030303030303030303030303030303030643037303030303065383033303030303230343534643436303030303031303038343030303030303033"
                        "303030303030303130303030303030303030303030303030303030303030303030303030303030303034303030303030303330303030306530313030"
                        "30306362303030303030326230303030303030303730303030303031623034353030306234303031343030313430303033303030303030303030307d"
                        "7b5c706963745c64696269746d6170305c70696377325c70696368322032383030303030303032303030303030303230303036303030313030313830"
                        "303030303030303030313030303030303031333062303030303133306230303030303030303030303030303030303030303066303066306666666666"
                        "6630303030303030306666303066663030303030307d7b5c706963745c776269746d6170305c70696377325c70696368325c77626d62697473706978"
                        "656c32345c77626d706c616e6573315c77626d7769647468627974657338203030303066663030666630306666666630303030666630306666303066"
                        "6666667d7b5c2a3031383030303030303035303030303030303530303030303034363030303030303230303030303030306530303030303031343030"
                        "303030303030303030303030313030302630303031343030303030307d7b5c706963745c776d65746166696c65385c70696377353239325c70696368"
                        "323634365c70696377676f616c333030305c70696368676f616c31353030203031303030393030303030333164303030303030303030303037303030"
                        "303030303030303035303030303030306230323030707361757830303030303031303030303030303063303236343030633830303037303030303030"
                        "31623034353030306234303031343030313430303033303030303030303030307d7b5c706963745c64696269746d6170305c70696377325c70696368"
                        "322032383030303030303032303030303030303230303036303030313030313830303030303030303030313030303030303031333062303030303133"
                        "3062303030303030303030303030303030303030303030663030663066666666666630303030303030306666303066663030303030307d7b5c706963"
                        "745c776269746d6170305c70696377325c70696368325c77626d62697473706978656c32345c77626d706c616e6573315c77626d7769647468627974"
                        "6573382030303030666630306666303066666666303030306666303066663030666666667d7b5c2a5c736870706963747b5c706963745c706e67626c"
                        "69705c62696e36392089504e470d0a1a0a0000000d4948445200000001000000010802000000907753de0000000c49444154789c636060f80f000103"
                        "01000889c2ec0000000049454e44ae4260827d7d7b5c6e6f6e736870706963747b5c706963745c776d65746166696c65382030307d7d5c7061727d")
            << QString();
    QTest::newRow("very tall bitmap decoded for display 2")
            << QByteArray::fromHex(
                        "7b5c727466315c616e7335325c64657b5c727466315c616e73695c616e7369637067313235325c64656666307b5c666f6e7474626c7b5c66305c6672"
                        "6f6d616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66315c6673776973735c66636861727365743230342041726961"
                        "6c204379723b7d7b5c66325c666e696c5c6663686172326531743873204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c6772"
                        "65656e305c62a67565303b5c7265643235355c54636f6d6d6161626c7565303b7d50696373207b5c706963745c706e67626c69705c70696377325c70"
                        "696368325c70696377676f616c3330305c70696368676f616c3330302038393530346534373064306131613061303030303030306434393438343435"
                        "323030303030303032303030303030303230383032303030303030666464343961373330303030303031303439343434313534373839633633663863"
                        "666330303034343063313030613030316665653033666438623566313464343030303030303030343934353465343461653432363038327d7b5c7069"
                        "63745c656d66626c69705c70696377323030305c706963683130303020303130308d3030303538303030303030303030303030303030303030303030"
                        "303462303030303030323530303030303030303030303030303030303030303030643037303030303065383033303030303230343534643436303030"
                        "303031303038343030303030303033303030303030303130303030303030303030303030303030303030303030303030303030303030303034303030"
                        "303030303330303030306530313030303063623030303030303262303030303030303037303030303030316230343530303062343030313430303134"
                        "30303033303030303030303030307d7b5c706963745c64696269746d6170305c70696377325c70696368322032383030303030303032303030303030"
                        "303230303036303030313030313830303030303030303030313030303030303031333062303030303133306230303030303030303030303030303030"
                        "3030303030663030663066666666666630303030303030306666303066663030303030307d7b5c706963745c776269746d6170305c70696377325c70"
                        "696368325c77626d62697473706978656c32345c77626d706c616e6573315c77626d7769647468627974657338203030303066663030666630306666"
                        "6666303030306666303066663030666666667d7b5c2a3031383030303030303035303030303030303530303030303034363030303030303230303030"
                        "303030306530303030303031343030303030303030303030303030313030302630303031343030303030307d7b5c706963745c776d65746166696c65"
                        "385c70696377353239325c70696368323634365c70696377676f616c333030305c70696368676f616c31353030203031303030393030303030333164"
                        "303030303030303030303037303030303030303030303035303030303030306230323030707361757830303030303031303030303030303063303236"
                        "34303063383030303730303030303031623034353030306234303031343030313430303033303030303030303030307d7b5c706963745c6469626974"
                        "6d6170305c70696377325c70696368322032383030303030303032303030303030303230303036303030313030313830303030303030303030313030"
                        "303030303031333062303030303133306230303030303030303030303030303030303030303066303066306666666666663030303030303030666630"
                        "3066663030303030307d7b5c706963745c776269746d6170305c70696377325c70696368325c77626d62697473706978656c32345c77626d6666307b"
                        "5c666f6e7474626c7b5c66305c66726f6d616ede5c6663686172736574303f2054696d5c64696269746d70735c5c666c64696e73747472fffffb706c"
                        "616e6573315c77626d77696474686279746573382030303030666630306666303066666666303030306666303066663030666666667d7b5c2a5c7368"
                        "70706963747b5c706963745c706e67626c69705c62696e36392089504e470d0a1a0a0000000d4948445200000001000000010802000000907753de00"
                        "00000c49444154789c636060f80f00010301000889c2ec0000000049454e44ae426082ffff6e736963ffff7d7d7b5c6e6f6e73ffffffff6870706963"
                        "747b5c706963745c776d65746166696c6538203061307d727d5c7d7061727d")
            << QString();
    QTest::newRow("nested tables in cells of many rows")
            << "{\\rtf1 " + QByteArray::fromHex(
                        "7b5c74616c7b5c2a5c726f775c705c736c617333325c6220de5c6663686172736574302050696d6573204e657720526f6d2b6e6e74626c5c63656c6c"
                        "207b5c706576656c74657874626c5c63656c6c207b5c706172645c696e74626c5c6974617038206e5c6e65737463656c6c7b727466315c6576656c74"
                        "657874626c5c63656c5c6663686172736574302050696d6573204e657720526f6d2b6e6e74626c5c63656c6c207b5c7065766d656c74657874626c5c"
                        "63656c6c207b5c706172645c696e74626c5c6974617038206e5c6e65737463656c6c7b727466315c6576656c74657874626c5c63656c6c207b5c7061"
                        "72645c696e74626c5c6974617038206e5c6e65737463656c6c4974616c7b5c2a5c726f775c705c736c617333325c6220de5c66636861727365743020"
                        "50696d6573204e657720526f6d2b6e6e74626c5c63656c6c207b5c706576656c74657874626c5c63656c6c207b5c706172645c696e74626c5c697461"
                        "7038206e5c6e65737463656c6c7b5c2a5c726f775c705c736c617264206166746d725c7061726c207b5c706172645c696e74626c5c6974617038206e"
                        "5c6e657b5c2a5c726f775c705c736c617333325c6220de5c6663686172736574302050695c636c766d676620526f6d2b6e6e74626c5c63656c6c207b"
                        "5c706576656c74657874626c5c63656c6c207b5c706172645c696e74626c5c6974617038206e5c6e65737463656c6c7b727466315c6576656c746578"
                        "74626c5c63656c5c6663686172736574302050696d6573204e657720526f6d2b6e6e74626c5c63205c66693020343030206d6c5c7061727d0a5c6365"
                        "6c6c7d0a7b7b5c706172645c696e74626c205c716c205c6630205c736130205c6c6930205c666930206f70656e206372756d625c726f777d0a7b5c70"
                        "617264205c716c205c6630205c7361313830205c6c6930205c666930205c7061727d617573742e5c7061727d0a7b5c70617264205c716c205c663020"
                        "5c7361313830202a5c6c6930205c66693020536565207b5c6669656c647b5c2a5c666c64696e73747b48595045524c494e4b202268747470733a2f2f"
                        "7361706f72696e2e6578616d706c652f6272656164227d7d7b5c666c6472736c745c706172645c696e74626c205c736c205c6630205c736130205c6c"
                        "6930205c66693020343030206d095c7061727d0a5c63656c6c7d0a7b7b5c706172645c696e74626c205c716c205c6630205c736130205c6c6930205c"
                        "666930206f70656e206372756d625c726f777d0a7b5c70617264205c716c205c6630205c7361313830205c6c6930205c666930205c7061727d616472"
                        "0a5c7b70205c716c205c6630205c7b5c706172645c696e74626c5c6974617038206e5c6e65737463656c6c7b727466315c6576656c74657874626c5c"
                        "63656c6c207b5c706172645c696e74626c5c6974617038206e5c6e65737463656c6c4974616c7b5c2a5c726f775c705c736c617333325c6220de5c66"
                        "63686172736574302050696d6573204e657720526f6d2b6e6e74626c5c63656c6c207b5c706576656c74657874626c5c63656c6c207b5c706172645c"
                        "696e74626c5c6974617038206e5c6e65737463656c6c7b5c2a5c726f775c705c736c617264206166d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1"
                        "d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d174"
                        "6d725c7061726c207b5c706172645c696e74626c5c6974617038206e5c6e65737463656c6c4974616c7b5c2a5c726f775c705c736c617333325c6220"
                        "de5c6663686172736574302050696d6573204e657720526f6d2b6e6e74626c5c63656c6c207b5c706576656c74657874626c5c63656c6c207b5c7061"
                        "745c64696269746d6170305c70696377325c706963683220323830303030303030323030303030303032303030303030303130303138303030303030"
                        "303030303130303030303030313330623030303031333062303030303030303030303030303030303030303066663030303066666666666630303030"
                        "303030306666303066663030303030307d7b5c706963745c776269746d6170305c04e470696377325c70696368325c77626d62697473706978656c32"
                        "345c77626d706c616e6573305c77626d7769647468627974657338203030303066663030666630306646666630303030666630636c766d67665c6365"
                        "6c6c78323030305c636c6d67665c63656c6c78343030305c636c6d72675c63656c6c78363030305c706172645c696e74626c20615c63656c6c20625c"
                        "63656c6c20635c63656c6c5c726f775c74726f77645c636c3066663030666666667d7b5c2a5c736870706963747b5c706963745c706e67626c69705c"
                        "62696e36392089504e470d0a1a0a0000000dffffffffffffff06000000010802000000907753de0000000c49444154789c636060f80f000103010008"
                        "89c2ec0000000049454e44ae4260827d7d7b5c6e6f6e736865303b7d5c74726f77645c7472676170683130385c636c766d67665c63656c6c78323030"
                        "305c636c6d67665c63656c6c78343030305c636c6d72675c63656c6c78363030305c706172645c696e74626c20615c63656c6c20625c63656c6c2063"
                        "5c63656c6c5c726f775c74726f77645c636c766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c7836303070706963747b5c7069"
                        "63745c776d65746166696c65382030307d7d5c706172305c706172645c69626c6e745c63656c726460696e74626c5c6974617038206e5c6e65737463"
                        "656c6c7b5c2a5c726f775c705c736c737463656c6c4974616c7b5c2a5c726f775c705c736c617333325c6220de5c6663686172736574302050696d65"
                        "73204e657720526f6d2b6e6e74626c5c63656c6c207b5c706576656c746578746974617038206e5c6e65737463656c6c7b727466315c6576656c7465"
                        "7874626c5c63656c5c6663686172736574302050696d6573204e657720526f6d2b6e6e74626c5c63656c6c207b5c7065766d656c74657874626c5c63"
                        "656c6c207b5c706172645c696e74626c5c6974617038206e5c6e65737463656c6c7b727466315c6576656c74657874626c5c63656c6c207b5c706172"
                        "645c696e74626c5c6974617038206e5c6e65737463656c6c4974616c7b5c2a5c726f775c705c736c617333325c6220de5c6663686172736574302050"
                        "696d6573204e657720526f6d2b6e6e74626c5c63656c6c207b5c706576656c74657874626c5c63656c6c207b5c706172645c696e74626c5c69746170"
                        "38206e5c6e65737463656c6c7b5c2a5c726f775c705c736c617264206166746d725c7061726c207b5c706172645c696e74626c5c6974617038206e5c"
                        "6e657b5c2a5c726f775c705c736c617333325c6220de5c6663686172736574302050695c636c766d676620526f6d2b6e6e74626c5c63656c6c207b5c"
                        "706576656c74657874626c5c63656c6c207b5c706172645c696e74626c5c6974617038206e5c6e65737463656c6c7b727466315c6576656c74657874"
                        "626c5c63656c5c6663686172736574302050696d6573204e657720526f6d2b6e6e74626c5c63656c6c207b5c7065766d656c74657874626c5c63656c"
                        "6c207361313830205c6c69373230205c666930205469703a2062616b6520696e206120636f766572656420706f7420666f7220612063726973702063"
                        "727573742e5c7061727d0a7b5c70617264205c716c205c6630205c7361313830205c6c6930205c66693020536565207b5c5c2763315c2763327d7b5c"
                        "66323b5c2738325c2761307d7d207b5c756c207269706561746f20736f75705c7061725c706172645c716c5c6c693732305c66692d3336305c007000"
                        "00000073623132302054616b65207b5c6920666f75727d207b5c756c20726970657d207b5c5c66315c667333b25c62206366325c686967746c673268"
                        "686920746f6d61746f651820000065395c757b5c706172645c696e74626c205c716c205c6630205c736130205c6c6930205c666930206f70656e2063"
                        "72756d625c726f777d0a7b5c70617264205c716c205c6630205c7361313830205c6c6930205c666930205c7061727d617573742e5c7061727d0a7b5c"
                        "70617264205c716c205c6630205c7361313830202a5c6c6930205c66693020536565207b5c6669656c647b5c2a5c666c64696e73747b48595045524c"
                        "494e4b202268747470733a2f2f7361706f72696e2e6578616d706c652f6272656164227d7d7b5c666c6472736c745c706172645c696e74626c205c73"
                        "6c205c6630205c736130205c6c6930205c66693020343030206d6c5c7061727d0a5c63656c6c7d0a7b7b5c706172645c696e74626c205c716c205c66"
                        "30205c736130205c6c6930205c666930206f70656e206372756d625c726f777d0a7b5c70617264205c716c205c6630205c7361313830205c6c693020"
                        "5c666930205c7061727d6164720a5c7b70205c716c205c6630205c7b5c706172645c696e74626c5c6974617038206e5c6e65737463656c6c7b727466"
                        "315c6576656c74657874626c5c63656c6c207b5c706172645c696e74626c5c6974617038206e5c6e65737463656c6c4974616c7b5c2a5c726f775c70"
                        "5c736c617333325c6220de5c6663686172736574302050696d6573204e657720526f6d2b6e6e74626c5c63656c6c207b5c706576656c74657874626c"
                        "5c63656c6c207b5c706172645c696e74626c5c6974617038206e5c6e65737463656c6c7b5c2a5c726f775c705c736c617264206166d1d1d1d1d1d1d1"
                        "d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1d1"
                        "d1d1d1d1d1d1d1d1d1d1d1d1746d725c7061726c207b5c706172645c696e74626c5c6974617038206e5c6e65737463656c6c4974616c7b5c2a5c726f"
                        "775c705c736c617333325c6220de5c6663686172736574302050696d6573204e657720526f6d2b6e6e74626c5c63656c6c207b5c706576656c746578"
                        "74626c5c63656c6c207b5c7061726460696e74626c5c6974617038206e5c6e65737463656c6c7b5c2a5c726f775c70626c5c63656c6c207b5c706172"
                        "6460696e74626c5c6974617038206e5c6e65737463656c6c7b5c2a5c726f775c705c736c6172642061665c636c7368646e67746d725c7061727d")
            << QString();
    QTest::newRow("rows of many cells with nested tables")
            << QByteArray::fromHex(
                        "7b5c727466315c616e73695c616e73696370675c696e74626c656666307b656c6c5c726f775c726477636f5c6c74766d72675c63656c6c7832303030"
                        "5c63656c6c78343030305c63656c6c7836303030085c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c666368617273657430"
                        "2054696d6573204e657720526f6d616e3b7d7b5c66315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66325c666e"
                        "696c5c6663686172736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c7265"
                        "643235355c677265656e305c626c7565303b7d5c74726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c636c6d67665c63"
                        "656c6c78343030305c636c6d72675c63656c6c78363030305c706172645c696e7462ec20615c63656c6c20625c63656c6c20635c63656c6c5c726f77"
                        "5c74725c66695c636c766d72675c63656c6c78343030305c63656c6c78343030305c63656c6c78363030305c706172645c696e74626c5c63656c6c20"
                        "7b5c706172645c696e74626c5c6974617034205c706172645c696e74626c5c697461705c616e73695c616e73696370675c696e74626c656666307b65"
                        "6c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c7836303030085c706172645c696e7462"
                        "6c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66315c6673776973735c66"
                        "6368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e63686f3b7d7d7b5c636f"
                        "6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c7265643235355c677265656e305c626c7565303b7d5c74726f77865c7472676170"
                        "68313077865c6172736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c7265"
                        "643235355c677265656e305c626c7565303b7f5c74726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c636c6d67665c63"
                        "656c6c78343030305c636c6d72675c63656c6c78363030305c7073204e657720526f6d616e3b7d7b5c66315c6673776973735c666368617273657461"
                        "493020723234416c204379723b7d7bff025c66325c666e696c5c666063686172736574313238205c616e73695c616e73696370675c696e74626c6566"
                        "66307b656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c7836303030085c706172645c"
                        "696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66315c66737769"
                        "73735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e63686f3b7d7d"
                        "7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c7265643235355c677265656e305c626c7565303b7d5c74726f77865c61"
                        "72736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c7265643235355c6772"
                        "65656e305c626c7565303b7d5c74726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c636c6d67665c63656c6c78343030"
                        "305c636c6d72675c63656c6c78363030305c706172645c696e7462ec20615c63656c6c20625c63656c6c20635c63656c6c5c726f775c74725c66695c"
                        "636c766d72675c63656c6c78343030305c63656c6c78343030305c63656c6c78363030305c706172645c696e74626c5c63656c6c207b5c706172645c"
                        "696e74626c5c6974617034205c706101000000000000005c697461705c616e73695c616e73696370675c696e74626c656666307b656c6c5c726f775c"
                        "726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c7836303030085c706172645c696e74626c5c63656c6c20"
                        "7b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66315c6673776973735c6663686172736574"
                        "61493020723234416c204379723b7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b"
                        "5c726564305c677265656e305c626c7565303b5c7265643235355c677265656e305c626c7565303b7d5c74726f77865c7472676170683130385c636c"
                        "766d67665c63656c6c78323030305c636c6d67665c63656c6c78343030305c636c6d72675c63656c6c78363030305c706172645c696e7462ec20615c"
                        "63656c6c20625c63656c6c20635c63656c6c5c726f775c74725c66695c636c766d72675c63656c6c78343030305c63656c6c78343030305c63656c6c"
                        "78363030305c706172645c696e74626c5c63656c6c207b5c70616172645c696e7462ec20615c63656c6c20625c63656c6c20635c63656c6c5c726f77"
                        "5c74725c66695c636c766d72675c63656c6c78343030305c63656c6c78343030305c63656c6c78363030305c706172645c696e74626c5c63656c6c20"
                        "7b5c706172645c696e74626c5c6974617034205c706101000000000000005c697461705c616e73695c616e73696370675c696e74626c656666307b65"
                        "6c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c7836303030085c706172645c696e7462"
                        "6c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66315c6673776973735c66"
                        "6368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e63686f3b7d7d7b5c636f"
                        "6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c7265643235355c677265656e305c626c7565303b7d5c74726f77865c7472676170"
                        "683130385c636c766d67665c63656c6c78323030305c636c6d67665c63656c6c78343030305c636c6d72675c63656c6c78363030305c706172645c69"
                        "6e7462ec20615c63656c6c20625c63656c6c20635c63656c6c5c726f775c74725c66695c636c766d72675c63656c6c78343030305c63656c6c783430"
                        "30305c63656c6c78363030305c706172645c696e74626c5c63656c6c207b5c706172645c696e74626c5c6974617034205c706172645c696e74626c5c"
                        "6974617034206e5c6e65737463656c6c7b5c2a5c6e6573747461a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2626c6570726f70735c74726f77645c63"
                        "656c6c78303130305c6e657374726f777d7d655c63656c6c20665c63656c5c666f6e7474626c7b5c66305c66726f6d616e5c66636861727365743020"
                        "54696d6573204e657720526f6d616e3b7d7b5c66325c6673776973735c666368617273657432303420417249616c204379723b7d7b5c66325c666e69"
                        "6c5c6663686172736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c959a9b"
                        "cd35355c677265656e305c626c7565303b7d5c74726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c636c6d67665c6365"
                        "6c6c78343030305c636c6d72675c63656c6c7836303030706461725c5c696e74626c20615c63656c6c20625c63656c6c20635c63656c6c5c726f775c"
                        "726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c7836303030085c706172645c696e74626c5c63656c6c20"
                        "7b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66315c6673776973735c6663686172736574"
                        "61493020723234416c204379723b7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b"
                        "5c726564305c67723b5c726564305c677265656e305c626c7565303b5c7265643235355c677265656e305c626c7565303b7d5c74726f77865c747267"
                        "6170683130385c636c766d67665c63656c6c78323030305c636c6d67665c63656c6c78343030305c636c6d72675c63656c6c7836303030706461725c"
                        "5c696e74626c20615c63656c6c20625c63656c6c20635c63656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78"
                        "343030305c63656c6c7836303030085c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573"
                        "204e657720526f6d616e3b7d7b5c66315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c666063"
                        "686172736574313238205c616e73695c616e73696370675c696e74626c656666307b656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78"
                        "323030305c63656c6c78343030305c63656c6c7836303030085c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172"
                        "736574302054696d6573204e657720526f6d616e3b7d7b5c66315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66"
                        "325c666e696c5c6663686172736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c756530"
                        "3b5c7265643235355c677265656e305c626c7565303b7d5c74726f77865c7472676170683130385c636c766d67665c205c706101000000000000005c"
                        "697461705c616e73695c616e73696370675c696e74626c656666307b656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63"
                        "656c6c78343030305c63656c6c7836303030085c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054"
                        "696d6573204e657720526f6d616e3b7d7b5c66315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c"
                        "5c6663686172736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c72656432"
                        "35355c677265656e305c626c7565303b7d5c74726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c636c6d67665c63656c"
                        "6c78343030305c636c6d6e74305c6c73317d7d5c706172645c6c73315c693e3e3e3e3e3e6c6576656c6e756d62657273635c63656c6c5c726f775c74"
                        "725c66695c636c766d72675c63656c6c78343030305c63656c6c78343030305c63656c6c78363030305c706172645c696e74626c5c63656c6c207b5c"
                        "706172645c696e74626c5c6974617034205c706172645c696e74626c5c6974617034206e5c6e65737463656c6c7b5c2a5c6e6573747461a2a2a2a2a2"
                        "a2a2a2a2a2a2a2a2a2a2a2a2a2626c6570726f70735c74726f77645c63656c6c78303130305c6e657374726f777d7d655c63656c6c20665c63656c5c"
                        "666f6e7474626c7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66325c6673776973735c6663"
                        "68617273657432303420417249616c204379723b7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e63686f3b7d7d7b5c636f6c"
                        "6f7274626c3b5c726564305c677265656e305c626c7565303b5c959a9bcd35355c677265656e305c626c7565303b7d5c74726f77865c747267617068"
                        "3130385c636c766d67665c63656c6c78323030305c636c6d67665c63656c6c78343030305c636c6d72675c63656c6c7836303030706461725c5c696e"
                        "74626c20615c63656c6c20625c63656c6c20635c63656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030"
                        "305c63656c6c7836303030085c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e65"
                        "7720526f6d616e3b7d7b5c66315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c666368617273"
                        "6574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c67723b5c726564305c677265656e305c626c7565303b5c7265"
                        "643235355c677265656e305c626c7565303b7d5c74726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c636c6d67665c63"
                        "656c6c78343030305c636c6d72675c63656c6c7836303030706461725c5c696e74626c20615c63656c6c20625c63656c6c20635c63656c6c5c726f77"
                        "5c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c7836303030085c706172645c696e74626c5c63656c6c"
                        "207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66315c6673776973735c66636861727365"
                        "7461493020723234416c204379723b7d7b5c66325c666e696c5c666063686172736574313238205c616e73695c616e73696370675c696e74626c6566"
                        "66307b656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c7836303030085c706172645c"
                        "696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66315c66737769"
                        "73735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e63686f3b7d7d"
                        "7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c7265643235355c677265656e305c626c7565303b7d5c74726f77865c74"
                        "72676170683130385c636c766d67665c63656c6c78323030305c636c6d67665c63656c6c78343030305c636c6d72675c63656c6c78363030305c7061"
                        "72645c696e7462ec20615c63656c6c20625c63656c6c20635c63656c6c5c726f775c74725c66695c636c766d72675c63656c6c78343030305c63656c"
                        "6c78343030305c63656c6c78363030305c706172645c696e74626c5c63656c6c207b5c706172645c696e74626c5c6974617034205c706172645c696e"
                        "74626c5c697461705c616e73695c616e73696370675c696e74626c656666307b656c6c5c726f775c726477636f5c6c74766d72675c63656c6c783230"
                        "30305c63656c6c78343030305c63656c6c7836303030085c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c66636861727365"
                        "74302054696d6573204e657720526f70616e3b7d7b5c66315c6673776973735c666368617273657461493020727472676170683130385c636c766d67"
                        "665c63656c6c78323030305c636c6d67665c63656c6c78343030305c636c6d72675c63656c6c78363030305c706172645c696e7462ec20615c63656c"
                        "6c20625c63656c6c20635c63656c6c5c726f775c74725c66695c636c766d72675c63656c6c78343030305c63656c6c78343030305c63656c6c783630"
                        "30305c706172645c696e74626c5c63656c6c207b5c706172645c696e74626c5c6974617034205c706172645c696e74626c5c697461705c616e73695c"
                        "616e73696370675c696e74626c656666307b656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63"
                        "656c6c7836303030085c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e65772052"
                        "6f6d616e3b7d7b5c66315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c666368617273657431"
                        "3238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c7265643235355c677265656e305c"
                        "626c7565303b7d5c626c656666307b656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c"
                        "7836303030085c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d61"
                        "6e3b7d7b5c66315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c666368617273657431323820"
                        "4d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c7265643235355c677265656e305c626c75"
                        "65303b7d5c74726f77865c6172736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565"
                        "303b5c7265643235355c677265656e305c626c7565303b7d5c74726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c636c"
                        "6d67665c63656c6c78343030305c636c6d72675c63656c6c78363030305c706172645c696e7462ec20615c63656c6c20625c63656c6c20635c63656c"
                        "6c5c726f775c74725c66695c636c766d72675c63656c6c78343030305c63656c6c78343030305c63656c6c78363030305c706172645c696e74626c5c"
                        "63656c6c207b5c706172645c696e74626c5c6974617034205c706101000000000000005c697461705c616e73695c616e73696370675c696e74626c65"
                        "6666307b656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c7836303030085c70617264"
                        "5c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663685c63656c6c6172736574302054696d6573204e657720526f6d616e3b7d7b5c66"
                        "315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e"
                        "63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c7265643235355c677265656e305c626c7565303b7d5c74"
                        "726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c636c6d67665c63656c6c78343030305c636c6d72675c63656c6c7836"
                        "3030305c706172645c696e7462ec20615c63656c6c20625c63656c6c20635c63656c6c5c726f775c74725c66695c636c766d72675c63656c6c303430"
                        "30305c63656c6c78343030305c63656c6c78363030305c706172645c696e74626c5c63656c6c207b5c70616172645c696e7462ec20615c63656c6c20"
                        "625c63656c6c20635c63656c6c5c726f775c74725c66695c636c766d72675c63656c6c78343030305c63656c6c78343030305c63656c6c7836303030"
                        "5c706172645c696e74626c5c63656c6c207b5c706172645c696e74626c5c6974617034205c706101000000000000005c697461705c616e73695c616e"
                        "73696370675c696e74626c656666307b656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c"
                        "6c7836303030085c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d"
                        "616e3b7d7b5c66315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c6663686172736574313238"
                        "204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c7265643235355c677265656e305c626c"
                        "7565303b7d5c74726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c636c6d67665c63656c6c78343030305c636c6d7267"
                        "5c63656c6c78363030305c706172645c696e7462ec20615c63656c6c20625c63656c6c20635c63656c6c5c726f775c74725c66695c636c766d72675c"
                        "63656c6c78343030305c63656c6c78343030305c63656c6c78363030305c706172645c696e74626c5c63656c6c207b5c706172645c696e74626c5c69"
                        "74617034205c706172645c696e74626c5c6974617034206e5c6e65737463656c6c7b5c2a5c6e6573747461a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2"
                        "a2626c6570726f70735c74726f77645c63656c6c78303130305c6e657374726f777d7d655c63656c6c20665c63656c5c666f6e7474626c7b5c66305c"
                        "66726f6d616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66325c6673776973735c6663686172736574323034204172"
                        "49616c204379723b7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c"
                        "677265656e305c626c7565303b5c959a9bcd35355c677265656e305c626c7565303b7d5c74726f77865c7472676170683130385c636c766d67665c63"
                        "656c6c78323030305c636c6d67665c63656c6c78343030305c636c6d72675c63656c6c7836303030706461725c5c696e74626c20615c63656c6c2062"
                        "5c63656c6c20635c63656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c783630303008"
                        "5c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66"
                        "315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e"
                        "63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c67723b5c726564305c677265656e305c626c7565303b5c7265643235355c677265656e305c"
                        "626c7565303b7d5c74726f77865c7472676170683130385c436c766d67665c63656c6c78323030305c636c6d67665c63656c6c78343030305c636c6d"
                        "72675c63656c6c7836303030706461725c5c696e74626c20615c63656c6c20625c63656c6c20635c63652054696d6573204e657720526f6d616e3b7d"
                        "7b5c66315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c6663686172736574313238204d5320"
                        "4d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c7265643235355c677265656e305c626c7565303b"
                        "7d5c74726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c636c6d67665c63656c6c78343030305c636c6d72675c63656c"
                        "6c78363030305c706172645c696e7462ec20615c63656c6c20625c63656c6c20635c63656c6c5c726f775c74725c66695c636c766d72675c63656c6c"
                        "78343030305c63656c6c78343030305c63656c6c78363030305c706172645c696e74626c5c63656c6c207b5c70616172645c696e7462ec20615c6365"
                        "6c6c20625c63656c6c20635c63656c6c5c726f775c74725c66695c636c766d72675c63656c6c78343030305c63656c6c78343030305c63656c6c7836"
                        "3030305c706172645c696e74626c5c63656c6c207b5c706172645c696e74626c5c6974617034205c706101000000000000005c697461705c616e7369"
                        "5c616e73696370675c696e74626c656666307b656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c"
                        "63656c6c7836303030085c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720"
                        "526f6d616e3b7d7b5c66315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c7461493020723234"
                        "416c204379723b7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c67"
                        "7265656e305c626c7565303b5c7265643235355c677265656e305c626c7565303b7d5c74726f77865c7472676170683130385c636c766d67665c6365"
                        "6c6c78323030305c636c6d67665c63656c6c78343030305c636c6d72675c63656c6c78363030305c706172645c696e7462ec20615c63656c6c20625c"
                        "63656c6c20635c616e73696370675c63656c6c5c726f775c74725c66695c636c766d72675c63656c6c78343030305c63656c6c78343030305c63656c"
                        "6c78363030305c706172645c696e74626c5c63656c6c207b5c706172645c696e74626c5c6974617034205c706172645c696e74626c5c697461703420"
                        "6e5c6e65737463656c6c7b5c2a5c6e6573747461a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2626c6570726f70735c74726f77645c63656c6c783031"
                        "30305c6e657374726f777d7d655c63656c6c20665c63656c5c666f6e7474626c7b5c66305c66726f6d616e5c6663686172736574302054696d657320"
                        "4e657720526f6d616e3b7d7b5c66325c6673776973735c666368617273657432303420417249616c204379723b7d7b5c66325c666e696c5c66636861"
                        "72736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e000000000000000000000000000000000000"
                        "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                        "0000000000000000000000000000000000000000000000000000000000000000000000000000305c626c7565303b5c959a9bcd35355c677265656e30"
                        "5c626c7565303b7d5c74726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c636c6d67665c63656c6c78343030305c636c"
                        "6d72675c63656c6c7836303030706461725c5c696e74626c20615c63656c6c20625c63656c6c20635c63656c6c5c726f775c726477636f5c6c74766d"
                        "72675c63656c6c78323030305c63656c6c78343030305c63656c6c7836303030085c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d"
                        "616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66315c6673776973735c666368617273657461493020723234416c20"
                        "4379723b7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c67723b5c"
                        "726564305c677265656e305c626c7565303b5c7265643235355c677265656e305c626c7565303b7d5c74726f77865c7472676170683130385c636c76"
                        "6d67665c63656c6c78323030305c636c6d67665c63656c6c78343030305c636c6d72675c63656c6c7836303030706461725c5c696e74626c20615c63"
                        "656c6c20625c63656c6c20635c63656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c78"
                        "36303030085c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d616e"
                        "3b7d7b5c66315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c66606368617273657431323820"
                        "5c616e73695c616e73696370675c696e74626c656666307b656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78"
                        "343030305c63656c6c7836303030085c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573"
                        "204e657720526f6d616e3b7d7b5c66315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c666368"
                        "6172736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c7265643235355c67"
                        "7265656e305c626c7565303b7d5c74726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c636c6d67665c63656c6c783430"
                        "30305c636c6d72675c63656c6c78363030305c706172645c696e7462ec20615c63656c6c20625c63656c6c20635c63656c6c5c726f775c74725c6669"
                        "5c636c766d72675c63656c6c78343030305c63656c6c78343030305c63656c6c78363030305c706172645c696e74626c5c63656c6c207b5c70617264"
                        "5c696e74626c5c6974617034205c706172645c696e74626c5c697461705c616e73695c616e73696370675c696e74626c656666307b656c6c5c726f77"
                        "5c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c7836303030085c706172645c696e74626c5c63656c6c"
                        "207b7b5c66305c66726f6d616e5c66636874726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c636c6d67665c63656c6c"
                        "78343030305c636c6d72675c63656c6c78363030305c706172645c696e7462ec20615c63656c6c20625c63656c6c20635c63656c6c5c726f775c7472"
                        "5c66695c636c766d72675c63656c6c78343030305c63656c6c78343030305c63656c6c78363030305c706172645c696e74626c5c63656c6c207b5c70"
                        "6172645c69636534206e5c6e65737463656c6c7b5c2a5c6e6573747461a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2626c6570726f70735c74726f77"
                        "645c63656c6c78313030305c6e657374726f777d7d655c63656c6c20665c63656c5c666f6e7474626c7b5c66305c66726f6d616e5c66636861727365"
                        "74302054696d6573204e657720526f6d616e3b7d7b5c66325c6673776973735c666368617273657432303420417249616c204379723b7d7b5c66325c"
                        "666e696c5c6663686172736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c"
                        "72655c726f77643235355c677265656e305c626c7565303b7d5c74726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c63"
                        "6c6d67665c63656c6c78343030305c636c6d72675c63656c6c7836303030706461725c5c696e74626c20615c63656c6c20625c63656c6c20635c6365"
                        "6c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c7836303030085c706172645c696e7462"
                        "6c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66315c6673776973735c66"
                        "6368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c666063686172736574313238205c616e73695c616e73696370675c69"
                        "6e74626c656666307b656c6c5c726f775c726477636f5c6c74766d72675c63656c6c78323030305c63656c6c78343030305c63656c6c783630303008"
                        "5c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66"
                        "315c6673776973735c666368617273657461493020723234416c204379723b7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e"
                        "63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c626c7565303b5c7265643235355c677265656e305c626c7565303b7d5c74"
                        "726f77865c7472676170683130385c636c766d67665c63656c6c78323030305c636c6d67665c63656c6c78343030305c636c6d72675c63656c6c7836"
                        "3030305c706172645c696e7462ec20615c63656c6c20625c63656c6c20635c63656c6c5c726f775c74725c66695c636c766d72675c63656c6c783430"
                        "30305c63656c6c78343030305c63656c6c78363030305c706172645c696e74626c5c63656c6c207b5c706172645c696e74626c5c6974617034205c70"
                        "6172645c696e74626c5c697461705c616e73695c616e73696370675c696e74626c656666307b656c6c5c726f775c726477636f5c6c74766d72675c63"
                        "656c6c78323030305c63656c6c78343030305c63656c6c7836303030085c706172645c696e74626c5c63656c6c207b7b5c66305c66726f6d616e5c66"
                        "63686172736574302054696d6573204e657720526f6d616e3b7d7b5c66315c6673776973735c666368617273657461493020723234416c204379723b"
                        "7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e63686f3b7d7d7b5c636f6c6f7274626c3b5c726564305c677265656e305c62"
                        "6c7565303b5c7265643235355c677265656e305c626c7565303b7d5c74726f77865c7472676170683130385c636c766d67665c63656c6c7832303030"
                        "5c636c6d67665c63656c6c78343030305c636c6d72675c63656c6c78363030305c706172645c696e7462ec20615c63656c6c20625c63656c6c20635c"
                        "63656c6c5c726f775c74725c66695c636c766d72675c63656c6c78343030305c63656c6c78343030305c63656c256c78363030305c706172645c696e"
                        "74626c5c63656c6c207b5c706172645c696e74626c5c6974617034205c706172645c696e74626c5c6974617034206e5c6e65737463656c6c7b5c2a5c"
                        "6e6573747461a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2a2626c6570726f70735c74726f77645c63656c6c78313030305c6e657374726f777d7d655c"
                        "63656c6c20665c63656c5c666f6e7474626c7b5c66305c66726f6d616e5c6663686172736574302054696d6573204e657720526f6d616e3b7d7b5c66"
                        "325c6673776973735c666368617273657432303420417249616c204379723b7d7b5c66325c666e696c5c6663686172736574313238204d53204d696e"
                        "63686f3b7d7d7b5c636f6c6f727438383838383838383838383838383838383838383838383838383838383838383838383838383838383838383838"
                        "3838383838383838383838383838383838383838383838383838383838383838626c3b5c726564305c677265656e305c626c7565642061667465725c"
                        "7061727d")
            << QString();
    QTest::newRow("bitmap of absurd depth") << QByteArray("{\\rtf1 ok{\\pict\\wbitmap0\\picw20000\\pich2\\wbmbitspixel2147483647 00}}")
                                            << QStringLiteral("ok");
    // Rows given as four bytes long cannot hold 20000 pixels: once read as a 1.6 GB image.
    QTest::newRow("bitmap rows shorter than their pixels")
            << QByteArray("{\\rtf1 ok{\\pict\\wbitmap0\\picw20000\\pich20000\\wbmbitspixel32\\wbmwidthbytes4 "
                          + QByteArray(160000, 'f') + "}}")
            << QStringLiteral("ok");
}

void TestRtf::survivesDamagedInput()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QElapsedTimer timer;
    timer.start();
    QTextDocument doc;
    QCOMPARE(RtfReader::read(rtf, &doc), RtfReader::Status::Ok);
    QVERIFY2(timer.elapsed() < 10000, "reading took too long");
    QVERIFY2(doc.toPlainText().contains(expected), qPrintable(doc.toPlainText().left(200)));
    // Whatever was read can be written and read again, in good time also when the input is small.
    QTextDocument again;
    QCOMPARE(RtfReader::read(RtfWriter::write(&doc), &again), RtfReader::Status::Ok);
    if (rtf.size() < 4096)
        QVERIFY2(timer.elapsed() < 8000, qPrintable(QString::number(timer.elapsed())));
}

void TestRtf::survivesRandomGarbage()
{
    // A megabyte of noise made of RTF's own special characters and random bytes.
    QRandomGenerator random(20240601);
    const char alphabet[] = "{}\\\\\\'*0123456789abcdefpartbcellrowintblitappictbinu- \r\n";
    QByteArray garbage = "{\\rtf1 ";
    garbage.reserve(1 << 20);
    while (garbage.size() < (1 << 20)) {
        if (random.bounded(4) == 0)
            garbage.append(char(random.bounded(256)));
        else
            garbage.append(alphabet[random.bounded(int(sizeof alphabet) - 1)]);
    }
    QElapsedTimer timer;
    timer.start();
    QTextDocument doc;
    QCOMPARE(RtfReader::read(garbage, &doc), RtfReader::Status::Ok);
    QVERIFY2(timer.elapsed() < 30000, "reading took too long");
    QTextDocument again;
    RtfReader::read(RtfWriter::write(&doc), &again);
}

QTEST_MAIN(TestRtf)
void TestRtf::readingLeavesNoMemoryBehind()
{
    // Every kind of content, read, written and read again many times: once caches are warm, the
    // heap in use must not grow (a fuzzing run's growing memory was ASan's quarantine, not us).
    const QByteArray rtf = wordDocument(
            "\\pard\\b\\f1 Title\\par\\pard\\li720\\fi-360{\\i a}{\\cf2 b}\\u8364?\\'e9\\par"
            "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid1}}"
            "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1 one\\par"
            "\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\cellx3000\\pard\\intbl a\\cell\\cell"
            "\\pard\\intbl\\itap2 n\\nestcell{\\*\\nesttableprops\\trowd\\cellx500\\nestrow}c\\cell\\row"
            "{\\field{\\*\\fldinst HYPERLINK \"http://x.org\"}{\\fldrslt link}}"
            "{\\pict\\pngblip " + hex(pngBytes(QSize(5, 3), Qt::red)) + "}{\\pict\\jpegblip " + hex(jpegBytes(QSize(16, 16)))
            + "}{\\pict\\emfblip " + hex(emfBytes()) + "}{\\pict\\wmetafile8\\picw100\\pich100 " + hex(wmfBytes())
            + "}{\\pict\\dibitmap0 " + hex(dibBytes()) + "}{\\pict\\wbitmap0\\picw2\\pich2\\wbmbitspixel24 "
            + hex(QByteArray(16, '\x7f')) + "}{\\pict\\pngblip\\picwgoal9999 " + hex(pngHeaderOnly(60000, 60000)) + "}\\par");
    const auto readAll = [&rtf](int times) {
        for (int k = 0; k < times; ++k) {
            QTextDocument doc;
            QCOMPARE(RtfReader::read(rtf, &doc), RtfReader::Status::Ok);
            QTextDocument again;
            QCOMPARE(RtfReader::read(RtfWriter::write(&doc), &again), RtfReader::Status::Ok);
        }
    };
    const auto inUse = [] {
        const struct mallinfo2 info = mallinfo2();
        return qint64(info.uordblks + info.hblkhd);
    };
    readAll(20);
    const qint64 before = inUse();
    readAll(200);
    const qint64 grown = inUse() - before;
    QVERIFY2(grown < 256 * 1024, qPrintable(QString::number(grown)));
}

#include "tst_rtf.moc"
