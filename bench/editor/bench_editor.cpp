// Measures the rich-text engine against Qt's own formats and bare zlib on a generated recipe body:
//   read a ~10 MB RTF into a document      vs. QTextDocument::setHtml of the same content as HTML
//   write the document as RTF              vs. QTextDocument::toHtml
//   deflate / inflate the body as stored   vs. bare zlib calls with the same parameters
//   a body holding a 12-megapixel JPEG photo: stored size against the JPEG, time to open
//   a table of 40,000 rows against one of 10,000: time per row should not grow with the table
// Usage: bench_editor [--scale S] [--repeat N]
// Scale 1 makes a body of about 10 MB; every figure is the best of N runs.

#include "editor/embeddedpicture.h"
#include "editor/recipebody.h"
#include "editor/rtfreader.h"
#include "editor/rtfwriter.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QAbstractTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

quint64 state = 0x2545F4914F6CDD1Dull;
quint64 nextRandom()
{
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

QByteArray word()
{
    static const char *const words[] = {"flour", "butter", "sugar", "eggs", "milk", "salt", "pepper", "onion",
                                        "garlic", "simmer", "stir", "bake", "minutes", "until", "golden",
                                        "gently", "fold", "whisk", "the", "and", "with", "into", "crème", "brûlée"};
    return words[nextRandom() % (sizeof words / sizeof words[0])];
}

QByteArray pictureHex(int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, qRgb(x * 255 / side, y * 255 / side, int(nextRandom() % 64)));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toHex();
}

QByteArray escaped(const QByteArray &utf8)
{
    QByteArray out;
    for (const QChar c : QString::fromUtf8(utf8)) {
        if (c.unicode() < 0x80)
            out += char(c.unicode());
        else
            out += "\\u" + QByteArray::number(c.unicode()) + '?';
    }
    return out;
}

// A recipe-like RTF body: headed sections with paragraphs, ingredient lists, tables, a few pictures.
QByteArray generateRtf(qint64 targetBytes)
{
    QByteArray rtf;
    int section = 0;
    while (rtf.size() < targetBytes) {
        ++section;
        rtf += "\\pard\\sb240\\sa120\\qc{\\f1\\fs32\\b Recipe " + QByteArray::number(section) + "}\\par\n";
        for (int i = 0; i < 6; ++i) {
            rtf += "\\pard\\ls1\\fi-360\\li720{\\f0\\fs22 " + QByteArray::number(1 + nextRandom() % 500) + " g "
                    + escaped(word()) + "}\\par\n";
        }
        for (int p = 0; p < 4; ++p) {
            rtf += "\\pard\\qj\\sa120{\\f0\\fs22 ";
            for (int w = 0; w < 60; ++w) {
                const QByteArray wd = escaped(word());
                switch (nextRandom() % 12) {
                case 0: rtf += "{\\b " + wd + "} "; break;
                case 1: rtf += "{\\i " + wd + "} "; break;
                case 2: rtf += "{\\cf1 " + wd + "} "; break;
                default: rtf += wd + ' '; break;
                }
            }
            rtf += "}\\par\n";
        }
        for (int s = 0; s < 3; ++s)
            rtf += "\\pard\\ls" + QByteArray::number(section + 1) + "\\fi-360\\li720{\\f0\\fs22 Step " + escaped(word()) + " and " + escaped(word()) + "}\\par\n";
        if (section % 4 == 0) {
            for (int r = 0; r < 4; ++r) {
                rtf += "\\trowd\\trgaph108" + QByteArray(r == 0 ? "\\clcbpat2" : "") + "\\cellx2880\\cellx5760\\cellx8640\n";
                rtf += "\\pard\\intbl{\\f0\\fs20 " + escaped(word()) + "}\\cell{\\f0\\fs20 " + QByteArray::number(nextRandom() % 100)
                        + "}\\cell{\\f0\\fs20 " + escaped(word()) + "}\\cell\\row\n";
            }
        }
        if (section % 100 == 1)
            rtf += "\\pard{\\pict\\pngblip\\picwgoal2400\\pichgoal2400\n" + pictureHex(160) + "}\\par\n";
    }
    // Each recipe numbers its steps from one: a list override of its own, as word processors do.
    QByteArray header = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}"
                        "{\\f2\\fcharset2 Symbol;}}{\\colortbl;\\red192\\green0\\blue0;\\red230\\green230\\blue230;}"
                        "{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}\\listid1}"
                        "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid2}}"
                        "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}";
    for (int s = 1; s <= section; ++s)
        header += "{\\listoverride\\listid2\\ls" + QByteArray::number(s + 1) + '}';
    header += "}\n";
    return header + rtf + "}";
}

// A table of the given rows and three bordered columns, as word processors write one.
QByteArray tableRtf(int rows, bool borders = true)
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}\\pard Before\\par\n";
    for (int r = 0; r < rows; ++r) {
        rtf += "\\trowd\\trgaph108";
        for (const char *x : {"2880", "5760", "8640"})
            rtf += QByteArray(borders ? "\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\cellx" : "\\cellx") + x;
        rtf += "\n\\pard\\intbl{\\f0\\fs20 " + word() + "}\\cell{\\f0\\fs20 " + QByteArray::number(r)
                + "}\\cell{\\f0\\fs20 " + word() + ' ' + word() + "}\\cell\\row\n";
    }
    return rtf + "\\pard After\\par}";
}

double best(int repeat, const std::function<void()> &work)
{
    double result = 1e99;
    for (int i = 0; i < repeat; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        result = std::min(result, double(timer.nsecsElapsed()) / 1e9);
    }
    return result;
}

QByteArray bareDeflate(const QByteArray &in)
{
    z_stream s{};
    deflateInit2(&s, 1, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&s, uLong(in.size()))), 0);
    s.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
    s.avail_in = uInt(in.size());
    s.next_out = reinterpret_cast<Bytef *>(out.data());
    s.avail_out = uInt(out.size());
    deflate(&s, Z_FINISH);
    out.resize(qsizetype(s.total_out));
    deflateEnd(&s);
    return out;
}

QByteArray bareInflate(const QByteArray &in, qsizetype size)
{
    QByteArray out(size, 0);
    uLongf length = uLongf(size);
    uncompress(reinterpret_cast<Bytef *>(out.data()), &length, reinterpret_cast<const Bytef *>(in.constData()),
               uLong(in.size()));
    out.resize(qsizetype(length));
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    double scale = 1.0;
    int repeat = 3;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--scale"))
            scale = args.at(i + 1).toDouble();
        else if (args.at(i) == QLatin1String("--repeat"))
            repeat = std::max(1, args.at(i + 1).toInt());
    }

    const QByteArray rtf = generateRtf(qint64(10e6 * scale));
    QString html;
    {
        QTextDocument doc;
        RtfReader::read(rtf, &doc);
        html = doc.toHtml();
    }
    std::printf("body: %.1f MB of RTF, %.1f MB of equivalent HTML\n", rtf.size() / 1e6, html.toUtf8().size() / 1e6);

    double ourRead = 0, htmlRead = 0, ourWrite = 0, htmlWrite = 0;
    QByteArray written;
    {
        QTextDocument doc;
        ourRead = best(repeat, [&] { RtfReader::read(rtf, &doc); });
        htmlRead = best(repeat, [&] {
            QTextDocument other;
            other.setHtml(html);
        });
        ourWrite = best(repeat, [&] { written = RtfWriter::write(&doc); });
        htmlWrite = best(repeat, [&] { (void)doc.toHtml(); });
    }
    std::printf("read:    RTF %8.3f s   setHtml %8.3f s   ratio %.2f\n", ourRead, htmlRead, ourRead / htmlRead);
    std::printf("write:   RTF %8.3f s   toHtml  %8.3f s   ratio %.2f\n", ourWrite, htmlWrite, ourWrite / htmlWrite);

    QByteArray stored;
    const double ourDeflate = best(repeat, [&] { stored = SaveRecipeBody(written); });
    const double zDeflate = best(repeat, [&] { (void)bareDeflate(written); });
    const double ourInflate = best(repeat, [&] { (void)LoadRecipeBody(stored); });
    const double zInflate = best(repeat, [&] { (void)bareInflate(stored, written.size()); });
    std::printf("deflate: ours %8.3f s   zlib    %8.3f s   ratio %.2f\n", ourDeflate, zDeflate, ourDeflate / zDeflate);
    std::printf("inflate: ours %8.3f s   zlib    %8.3f s   ratio %.2f\n", ourInflate, zInflate, ourInflate / zInflate);

    // A photo: 12 megapixels at full scale.
    const int width = std::max(64, int(4000 * std::sqrt(scale)));
    const int height = width * 3 / 4;
    QImage photo(width, height, QImage::Format_RGB32);
    {
        QPainter p(&photo);
        QLinearGradient g(0, 0, width, height);
        g.setColorAt(0, QColor(250, 200, 120));
        g.setColorAt(1, QColor(60, 90, 40));
        p.fillRect(photo.rect(), g);
        for (int i = 0; i < 2000; ++i) {
            p.setBrush(QColor(int(nextRandom() % 256), int(nextRandom() % 256), int(nextRandom() % 256)));
            p.drawEllipse(QPoint(int(nextRandom() % width), int(nextRandom() % height)), 5 + int(nextRandom() % 40),
                          5 + int(nextRandom() % 40));
        }
    }
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        photo.save(&buffer, "JPEG", 90);
    }
    QByteArray photoBody;
    {
        QTextDocument doc;
        QTextCursor(&doc).insertImage(EmbeddedPictureStore::add(&doc, *EmbeddedPictureStore::fromFileData(jpeg),
                                                                QSizeF(640, 480)));
        photoBody = SaveRecipeBody(RtfWriter::write(&doc));
    }
    const double open = best(repeat, [&] {
        QTextDocument doc;
        RtfReader::read(LoadRecipeBody(photoBody), &doc);
    });
    std::printf("photo:   %dx%d JPEG %.2f MB, stored body %.2f MB (%.2f x), opens in %.3f s\n", width, height,
                jpeg.size() / 1e6, photoBody.size() / 1e6, double(photoBody.size()) / jpeg.size(), open);

    // Tables: reading must stay linear in the rows (it once took 45 s for 40,000 of them).
    const int bigRows = std::max(400, int(40000 * scale));
    const QByteArray smallTable = tableRtf(bigRows / 4);
    const QByteArray bigTable = tableRtf(bigRows);
    const double smallRead = best(repeat, [&] {
        QTextDocument doc;
        RtfReader::read(smallTable, &doc);
    });
    const double bigRead = best(repeat, [&] {
        QTextDocument doc;
        RtfReader::read(bigTable, &doc);
    });
    QTextDocument laidOut;
    RtfReader::read(bigTable, &laidOut);
    const double layout = best(1, [&] {
        laidOut.setTextWidth(800);
        (void)laidOut.documentLayout()->documentSize();
    });
    QTextDocument borderless;
    RtfReader::read(tableRtf(bigRows, false), &borderless);
    const double borderlessLayout = best(1, [&] {
        borderless.setTextWidth(800);
        (void)borderless.documentLayout()->documentSize();
    });
    std::printf("table:   %d rows %8.3f s   %d rows %8.3f s   time per row ratio %.2f\n", bigRows / 4, smallRead,
                bigRows, bigRead, (bigRead / bigRows) / (smallRead / (bigRows / 4)));
    std::printf("layout:  Qt lays the %d rows out in %.3f s with cell borders, %.3f s without\n", bigRows, layout,
                borderlessLayout);
    return 0;
}
