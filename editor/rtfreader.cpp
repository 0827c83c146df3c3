#include "editor/rtfreader.h"

#include "editor/embeddedpicture.h"
#include "editor/rtfcodepage.h"
#include "editor/rtfcommon.h"
#include "editor/workprogress.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <map>
#include <set>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

using Rtf::ListHangTwips;
using Rtf::ListLevelTwips;
using Rtf::TwipsPerPixel;
// Pictures bigger than this are not kept.
constexpr qsizetype MaxPictureBytes = qsizetype(512) << 20;

enum class Dest : unsigned char {
    Text,
    Skip,
    FontTable,
    ColorTable,
    Pict,
    FieldInst,
    ListTable,
    LevelText,
    ListOverrideTable,
    PnBefore,
    PnAfter,
    Pn,
    Upr,
    Shape,      // a shape's or drawing object's definition: no text of its own
    ShapeName,  // a shape property's name
    ShapeValue, // a shape property's value
};

struct CharState
{
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    unsigned char underline = QTextCharFormat::NoUnderline;
    unsigned char valign = 0; // 0 normal, 1 superscript, 2 subscript
    int font = -1;            // -1: the default font
    int fs = 24;              // half-points
    int fg = -1;              // colour table index; -1 automatic
    int bg = -1;
    int link = -1; // index into the parser's link targets
    int note = 0;  // the footnote a mark stands for

    bool operator==(const CharState &) const = default;
};

struct PnDef
{
    int type = 0; // 0 none, 1 bullet, then QTextListFormat styles by number kind
    QTextListFormat::Style style = QTextListFormat::ListDisc;
    int level = 1;
    QString before;
    QString after;
};

struct ParaState
{
    unsigned char align = 0; // 0 left, 1 right, 2 centre, 3 justified
    bool intbl = false;
    bool pagebb = false;
    bool slmult = false;
    int itap = -1;
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0, sl = 0;
    int ls = 0, ilvl = 0;
    bool hasPn = false;
    PnDef pn;
};

struct State
{
    Dest dest = Dest::Text;
    CharState ch;
    ParaState para;
    int uc = 1;
    bool nestProps = false;
    bool box = false;  // the group is a text box's text
    int minLevel = 0;  // the table level a text box stands in
};

struct FontDef
{
    QString name;
    int codepage = 0; // 0: the document's
};

struct ListLevel
{
    int nfc = 0;
    bool legal = false; // numbers of the levels above shown as decimals
    int font = -1;
    QString text;
};

struct ListDef
{
    int id = 0;
    std::vector<ListLevel> levels;
};

struct BorderDef
{
    int width = -1; // twips; -1 none
    int color = -1;
};

struct CellDef
{
    int cellx = 0;
    int shading = -1;  // colour index
    int shadePct = -1; // hundredths of a percent of black
    BorderDef borders[4]; // top, left, bottom, right
    bool mergeFirst = false, merge = false, vmergeFirst = false, vmerge = false;
};

struct RowDef
{
    std::vector<CellDef> cells;
};

// A block of merged cells, in rows and columns.
struct Span
{
    int row = 0, column = 0, rows = 1, columns = 1;
};

struct TableCtx
{
    QTextTable *table = nullptr;
    int row = 0;
    int col = 0;
    // Rows that hold content; the table may have more, made ahead of need and dropped at its end.
    int rowsUsed = 1;
    int rowsExpected = 0; // rows the look ahead found, counted from the top
    bool needCell = false;
    bool widthsSet = false;
    // Cell borders are drawn collapsed, as word processors draw them. Only tables with borders
    // are: Qt lays collapsed tables out several times slower.
    bool collapsed = false;
    // Merges are made when the table is complete: Qt's tables grow unreliably once cells are
    // merged. Open vertical spans by their first column; finished spans in order.
    std::map<int, Span> open;
    std::vector<Span> spans;
};

// The list a (\ls, \ilvl) pair stands for. Bullet lists end at the first paragraph outside any
// list; numbered lists go on numbering after it.
struct ListRun
{
    QPointer<QTextList> list; // lists delete themselves when merged cells take their last item
    int epoch = 0;
    int count = 0;
};

struct FieldCtx
{
    int depth = 0;
    QString inst;
    bool parsed = false;
    int link = -1;
    qint64 bodyMark = 0; // body characters read before the field; more after it means a result
};

// The plain arguments of an equation field ("EQ \f(1,2)" gives "1/2"): switches are dropped,
// a fraction's parts are joined by "/", an overstrike's run together, other arguments are
// separated by a blank.
QString equationText(QStringView inst, qsizetype &k, QStringView joiner = {}, bool nested = false)
{
    QString out;
    QString pendingSwitch;
    while (k < inst.size()) {
        const QChar c = inst[k];
        if (c == u'\\' && k + 1 < inst.size() && inst[k + 1].isLetter()) {
            qsizetype e = k + 1;
            while (e < inst.size() && inst[e].isLetter())
                ++e;
            pendingSwitch = inst.mid(k + 1, e - k - 1).toString().toLower();
            while (e < inst.size() && (inst[e].isDigit() || inst[e] == u'-'))
                ++e;
            k = e;
            // Bracket options name their bracket character: \lc\{ takes "{" as a value.
            if ((pendingSwitch == u"lc" || pendingSwitch == u"rc" || pendingSwitch == u"bc" || pendingSwitch == u"vc")
                && k + 1 < inst.size() && inst[k] == u'\\')
                k += 2;
            continue;
        }
        if (c == u'\\' && k + 1 < inst.size()) {
            out += inst[k + 1];
            k += 2;
            continue;
        }
        if (c == u'(') {
            ++k;
            const QStringView join = pendingSwitch == u"f" ? QStringView(u"/")
                                   : pendingSwitch == u"o" ? QStringView(u"")
                                                             : QStringView(u" ");
            out += equationText(inst, k, join, true);
            pendingSwitch.clear();
            continue;
        }
        if (nested && c == u')') {
            ++k;
            return out;
        }
        if (nested && c == u',') {
            out += joiner;
            ++k;
            continue;
        }
        if (!c.isSpace() || !out.isEmpty())
            out += c;
        ++k;
    }
    return out;
}

struct PictCtx
{
    int depth = -1;
    enum Kind { None, Png, Jpeg, Emf, Wmf, Dib, Ddb, Other } kind = None;
    int picw = 0, pich = 0, goalw = 0, goalh = 0, scalex = 100, scaley = 100;
    int bpp = 1, widthBytes = 0;
    QByteArray data;
    int nibble = -1;
    bool tooBig = false;
};

enum class Kw {
    Unknown,
    // document
    Rtf, Ansi, Ansicpg, Mac, Pc, Pca, Deff, Uc, U,
    // destinations
    Fonttbl, Colortbl, Listtable, Listoverridetable, Pict, Shppict, Field, Fldinst, Fldrslt,
    Pn, Pntxta, Pntxtb, Upr, Ud, Nesttableprops, SkipDest, Result, Footnote, Chftn,
    Shp, Shpinst, Shprslt, Shptxt, Sp, Sn, Sv, Do, Dptxbxtext,
    // text
    Par, Line, Tab, Page, Sect, Cell, Nestcell, Row, Nestrow,
    Emdash, Endash, Bullet, Lquote, Rquote, Ldblquote, Rdblquote, Emspace, Enspace, Qmspace, Zwj, Zwnj,
    Ltrmark, Rtlmark,
    // character
    Plain, B, I, Ul, Uld, Uldash, Uldashd, Uldashdd, Ulwave, Ulnone, Strike, V, F, Fs, Cf, Cb, Highlight,
    Chcbpat, Super, Sub, Nosupersub,
    // paragraph
    Pard, Ql, Qr, Qc, Qj, Li, Ri, Fi, Sb, Sa, Sl, Slmult, Intbl, Itap, Ls, Ilvl, Pagebb,
    // tables
    Trowd, Cellx, Clcbpat, Clshdng, Clbrdrt, Clbrdrl, Clbrdrb, Clbrdrr, OtherBorder, Brdrline, Brdrnone,
    Brdrw, Brdrcf, Clmgf, Clmrg, Clvmgf, Clvmrg,
    // fonts and colours
    Fcharset, Cpg, Red, Green, Blue,
    // lists
    List, Listid, Listlevel, Levelnfc, Levellegal, Leveltext, Listoverride,
    // old lists
    Pnlvlblt, Pnlvlbody, Pnlvlcont, Pnlvl, Pndec, Pnucrm, Pnlcrm, Pnucltr, Pnlcltr,
    // pictures
    Pngblip, Jpegblip, Emfblip, Wmetafile, Dibitmap, Wbitmap, OtherBlip, Picw, Pich, Picwgoal, Pichgoal,
    Picscalex, Picscaley, Wbmbitspixel, Wbmwidthbytes, Bin,
};

const std::unordered_map<std::string_view, Kw> &keywords()
{
    static const std::unordered_map<std::string_view, Kw> map = [] {
        std::unordered_map<std::string_view, Kw> m{
            {"rtf", Kw::Rtf}, {"ansi", Kw::Ansi}, {"ansicpg", Kw::Ansicpg}, {"mac", Kw::Mac}, {"pc", Kw::Pc},
            {"pca", Kw::Pca}, {"deff", Kw::Deff}, {"uc", Kw::Uc}, {"u", Kw::U},
            {"fonttbl", Kw::Fonttbl}, {"colortbl", Kw::Colortbl}, {"listtable", Kw::Listtable},
            {"listoverridetable", Kw::Listoverridetable}, {"pict", Kw::Pict}, {"shppict", Kw::Shppict},
            {"field", Kw::Field}, {"fldinst", Kw::Fldinst}, {"fldrslt", Kw::Fldrslt}, {"pn", Kw::Pn},
            {"pntxta", Kw::Pntxta}, {"pntxtb", Kw::Pntxtb}, {"upr", Kw::Upr}, {"ud", Kw::Ud},
            {"nesttableprops", Kw::Nesttableprops}, {"result", Kw::Result}, {"footnote", Kw::Footnote}, {"chftn", Kw::Chftn},
            {"shprslt", Kw::Shprslt}, {"shp", Kw::Shp}, {"shpgrp", Kw::Shp}, {"shpinst", Kw::Shpinst},
            {"shptxt", Kw::Shptxt}, {"sp", Kw::Sp}, {"sn", Kw::Sn}, {"sv", Kw::Sv}, {"do", Kw::Do},
            {"dptxbxtext", Kw::Dptxbxtext},
            {"par", Kw::Par}, {"line", Kw::Line}, {"tab", Kw::Tab}, {"page", Kw::Page}, {"sect", Kw::Sect},
            {"cell", Kw::Cell}, {"nestcell", Kw::Nestcell}, {"row", Kw::Row}, {"nestrow", Kw::Nestrow},
            {"emdash", Kw::Emdash}, {"endash", Kw::Endash}, {"bullet", Kw::Bullet}, {"lquote", Kw::Lquote},
            {"rquote", Kw::Rquote}, {"ldblquote", Kw::Ldblquote}, {"rdblquote", Kw::Rdblquote},
            {"emspace", Kw::Emspace}, {"enspace", Kw::Enspace}, {"qmspace", Kw::Qmspace}, {"zwj", Kw::Zwj},
            {"zwnj", Kw::Zwnj}, {"ltrmark", Kw::Ltrmark}, {"rtlmark", Kw::Rtlmark},
            {"plain", Kw::Plain}, {"b", Kw::B}, {"i", Kw::I}, {"ul", Kw::Ul}, {"uld", Kw::Uld},
            {"uldash", Kw::Uldash}, {"uldashd", Kw::Uldashd}, {"uldashdd", Kw::Uldashdd},
            {"ulwave", Kw::Ulwave}, {"ulhwave", Kw::Ulwave}, {"ululdbwave", Kw::Ulwave}, {"uldb", Kw::Ul},
            {"ulth", Kw::Ul}, {"ulw", Kw::Ul}, {"ulthd", Kw::Uld}, {"ulthdash", Kw::Uldash},
            {"ulldash", Kw::Uldash}, {"ulthldash", Kw::Uldash}, {"ulthdashd", Kw::Uldashd},
            {"ulthdashdd", Kw::Uldashdd}, {"ulnone", Kw::Ulnone}, {"strike", Kw::Strike},
            {"striked", Kw::Strike}, {"v", Kw::V}, {"f", Kw::F}, {"fs", Kw::Fs}, {"cf", Kw::Cf},
            {"cb", Kw::Cb}, {"highlight", Kw::Highlight}, {"chcbpat", Kw::Chcbpat}, {"super", Kw::Super},
            {"sub", Kw::Sub}, {"nosupersub", Kw::Nosupersub},
            {"pard", Kw::Pard}, {"ql", Kw::Ql}, {"qr", Kw::Qr}, {"qc", Kw::Qc}, {"qj", Kw::Qj},
            {"qd", Kw::Qj}, {"li", Kw::Li}, {"lin", Kw::Li}, {"ri", Kw::Ri}, {"rin", Kw::Ri}, {"fi", Kw::Fi},
            {"sb", Kw::Sb}, {"sa", Kw::Sa}, {"sl", Kw::Sl}, {"slmult", Kw::Slmult}, {"intbl", Kw::Intbl},
            {"itap", Kw::Itap}, {"ls", Kw::Ls}, {"ilvl", Kw::Ilvl}, {"pagebb", Kw::Pagebb},
            {"trowd", Kw::Trowd}, {"cellx", Kw::Cellx}, {"clcbpat", Kw::Clcbpat}, {"clshdng", Kw::Clshdng},
            {"clbrdrt", Kw::Clbrdrt}, {"clbrdrl", Kw::Clbrdrl}, {"clbrdrb", Kw::Clbrdrb},
            {"clbrdrr", Kw::Clbrdrr}, {"brdrt", Kw::OtherBorder}, {"brdrl", Kw::OtherBorder},
            {"brdrb", Kw::OtherBorder}, {"brdrr", Kw::OtherBorder}, {"box", Kw::OtherBorder},
            {"trbrdrt", Kw::OtherBorder}, {"trbrdrl", Kw::OtherBorder}, {"trbrdrb", Kw::OtherBorder},
            {"trbrdrr", Kw::OtherBorder}, {"trbrdrh", Kw::OtherBorder}, {"trbrdrv", Kw::OtherBorder},
            {"brdrs", Kw::Brdrline}, {"brdrth", Kw::Brdrline}, {"brdrdb", Kw::Brdrline},
            {"brdrdot", Kw::Brdrline}, {"brdrdash", Kw::Brdrline}, {"brdrsh", Kw::Brdrline},
            {"brdrhair", Kw::Brdrline}, {"brdrsingle", Kw::Brdrline}, {"brdrnone", Kw::Brdrnone},
            {"brdrnil", Kw::Brdrnone}, {"brdrtbl", Kw::Brdrnone}, {"brdrw", Kw::Brdrw}, {"brdrcf", Kw::Brdrcf},
            {"clmgf", Kw::Clmgf}, {"clmrg", Kw::Clmrg}, {"clvmgf", Kw::Clvmgf}, {"clvmrg", Kw::Clvmrg},
            {"fcharset", Kw::Fcharset}, {"cpg", Kw::Cpg}, {"red", Kw::Red}, {"green", Kw::Green},
            {"blue", Kw::Blue},
            {"list", Kw::List}, {"listid", Kw::Listid}, {"listlevel", Kw::Listlevel},
            {"levelnfc", Kw::Levelnfc}, {"levelnfcn", Kw::Levelnfc}, {"levellegal", Kw::Levellegal},
            {"leveltext", Kw::Leveltext},
            {"listoverride", Kw::Listoverride},
            {"pnlvlblt", Kw::Pnlvlblt}, {"pnlvlbody", Kw::Pnlvlbody}, {"pnlvlcont", Kw::Pnlvlcont},
            {"pnlvl", Kw::Pnlvl}, {"pndec", Kw::Pndec}, {"pncard", Kw::Pndec}, {"pnord", Kw::Pndec},
            {"pnordt", Kw::Pndec}, {"pnucrm", Kw::Pnucrm}, {"pnlcrm", Kw::Pnlcrm}, {"pnucltr", Kw::Pnucltr},
            {"pnlcltr", Kw::Pnlcltr},
            {"pngblip", Kw::Pngblip}, {"jpegblip", Kw::Jpegblip}, {"emfblip", Kw::Emfblip},
            {"wmetafile", Kw::Wmetafile}, {"dibitmap", Kw::Dibitmap}, {"wbitmap", Kw::Wbitmap},
            {"macpict", Kw::OtherBlip}, {"pmmetafile", Kw::OtherBlip}, {"picw", Kw::Picw},
            {"pich", Kw::Pich}, {"picwgoal", Kw::Picwgoal}, {"pichgoal", Kw::Pichgoal},
            {"picscalex", Kw::Picscalex}, {"picscaley", Kw::Picscaley}, {"wbmbitspixel", Kw::Wbmbitspixel},
            {"wbmwidthbytes", Kw::Wbmwidthbytes}, {"bin", Kw::Bin},
        };
        // Destinations whose content is not part of the body.
        for (const char *name : {"stylesheet", "info", "header", "headerl", "headerr", "headerf", "footer",
                                 "footerl", "footerr", "footerf", "annotation", "ftnsep",
                                 "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn", "pntext", "listtext",
                                 "nonshppict", "nonesttables", "revtbl", "filetbl", "pgdsctbl", "rxe", "txe",
                                 "xe", "tc", "tcn", "atnid", "atnauthor", "atrfstart", "atrfend", "atnref",
                                 "atndate", "atntime", "atnicn", "atnparent", "objdata", "objclass",
                                 "objname", "listname", "levelnumbers", "lfolevel",
                                 "fonttbl_skip", "template", "bkmkstart", "bkmkend", "datafield",
                                 "fldtype", "userprops", "docvar", "xmlnstbl", "picprop", "blipuid",
                                 "panose", "falt", "fname", "background", "themedata", "colorschememapping",
                                 "latentstyles", "rsidtbl", "generator", "mmathPr", "datastore",
                                 "defchp", "defpap", "listpicture", "protusertbl", "pgdsc"})
            m.emplace(name, Kw::SkipDest);
        return m;
    }();
    return map;
}

int codepageForCharset(int charset, int ansi)
{
    switch (charset) {
    case 0: return 1252;
    case 1: return ansi;
    case 2: return 1252; // symbol fonts: keep the bytes as they are
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return ansi;
    }
}

QColor shadeColour(int pct)
{
    const int v = 255 - std::clamp(pct, 0, 10000) * 255 / 10000;
    return QColor(v, v, v);
}

// A list number as a level of the given number format shows it.
QString formatNumber(int n, int nfc)
{
    if (n <= 0)
        return QString::number(n);
    switch (nfc) {
    case 1:
    case 2: {
        if (n >= 4000)
            break;
        static const char *const ones[] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
        static const char *const tens[] = {"", "X", "XX", "XXX", "XL", "L", "LX", "LXX", "LXXX", "XC"};
        static const char *const hundreds[] = {"", "C", "CC", "CCC", "CD", "D", "DC", "DCC", "DCCC", "CM"};
        const QString roman = QString(n / 1000, u'M') + QLatin1String(hundreds[n / 100 % 10])
                + QLatin1String(tens[n / 10 % 10]) + QLatin1String(ones[n % 10]);
        return nfc == 1 ? roman : roman.toLower();
    }
    case 3:
    case 4: // a to z, then aa to zz and so on
        return QString((n - 1) / 26 + 1, QChar((nfc == 3 ? u'A' : u'a') + (n - 1) % 26));
    case 22:
        return n < 10 ? u'0' + QString::number(n) : QString::number(n);
    default:
        break;
    }
    return QString::number(n);
}

// The decoded picture for display, or nothing if the data cannot be made a picture.
std::optional<EmbeddedPicture> pictureFrom(PictCtx &p)
{
    EmbeddedPicture picture;
    switch (p.kind) {
    case PictCtx::Png:
    case PictCtx::Jpeg: {
        picture.kind = p.kind == PictCtx::Png ? EmbeddedPicture::Kind::Png : EmbeddedPicture::Kind::Jpeg;
        picture.data = std::move(p.data);
        QBuffer buffer(&picture.data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        picture.nativeSize = reader.size();
        if (!picture.nativeSize.isValid())
            picture.nativeSize = QSize(std::max(0, p.picw), std::max(0, p.pich));
        return picture;
    }
    case PictCtx::Emf:
    case PictCtx::Wmf:
        picture.kind = p.kind == PictCtx::Emf ? EmbeddedPicture::Kind::Emf : EmbeddedPicture::Kind::Wmf;
        picture.data = std::move(p.data);
        picture.nativeSize = QSize(std::max(0, p.picw), std::max(0, p.pich));
        return picture;
    case PictCtx::Dib: {
        // A packed bitmap: give it the file header the BMP reader expects.
        const QByteArray &d = p.data;
        if (d.size() < 16)
            return std::nullopt;
        auto le = [&d](int at, int n) {
            quint32 v = 0;
            for (int k = n - 1; k >= 0; --k)
                v = v << 8 | quint8(d[at + k]);
            return v;
        };
        const quint32 headerSize = le(0, 4);
        if (headerSize < 12 || headerSize > quint32(d.size()))
            return std::nullopt;
        quint32 bits = 0, colours = 0, compression = 0;
        qint64 width = 0, height = 0;
        if (headerSize == 12) {
            width = le(4, 2);
            height = le(6, 2);
            bits = le(10, 2);
        } else if (d.size() >= 36) {
            width = qint32(le(4, 4));
            height = std::abs(qint64(qint32(le(8, 4)))); // negative: rows top down
            bits = le(14, 2);
            compression = le(16, 4);
            colours = le(32, 4);
        }
        // The picture is no larger than its data: every row of an uncompressed bitmap is there,
        // and run-length compression packs at most 256 pixels into a byte.
        const qint64 pixels = width * height;
        if (compression == 0 || compression == 3) {
            if ((width * bits + 31) / 32 * 4 * height > d.size())
                return std::nullopt;
        } else if (pixels > qint64(d.size()) * 256) {
            return std::nullopt;
        }
        if (colours == 0 && bits <= 8)
            colours = 1u << bits;
        quint32 offset = 14 + headerSize + colours * (headerSize == 12 ? 3 : 4);
        if (compression == 3 && headerSize == 40)
            offset += 12;
        QByteArray file("BM");
        const quint32 total = quint32(d.size()) + 14;
        for (quint32 v : {total, 0u, offset})
            for (int k = 0; k < 4; ++k)
                file.append(char(v >> (8 * k) & 0xFF));
        file.append(d);
        QImage image;
        if (!image.loadFromData(file, "BMP"))
            return std::nullopt;
        return EmbeddedPictureStore::fromImage(image);
    }
    case PictCtx::Ddb: {
        const int w = p.picw, h = p.pich;
        if (w <= 0 || h <= 0 || w > 20000 || h > 20000 || (p.bpp != 1 && p.bpp != 24 && p.bpp != 32))
            return std::nullopt;
        // Rows are padded to whole 16-bit words unless the file gives their length; a row must
        // hold its pixels, so the image is never larger than its data.
        const qint64 stride = p.widthBytes > 0 ? p.widthBytes : (qint64(w) * p.bpp + 15) / 16 * 2;
        if (stride < (qint64(w) * p.bpp + 7) / 8 || stride * h > p.data.size())
            return std::nullopt;
        QImage image(w, h, p.bpp == 1 ? QImage::Format_Mono : QImage::Format_RGB32);
        if (image.isNull())
            return std::nullopt;
        if (p.bpp == 1) {
            image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
            for (int y = 0; y < h; ++y)
                std::copy_n(p.data.constData() + qint64(y) * stride, std::min<qsizetype>(image.bytesPerLine(), stride),
                            reinterpret_cast<char *>(image.scanLine(y)));
        } else {
            const int step = p.bpp / 8;
            for (int y = 0; y < h; ++y) {
                const auto *src = reinterpret_cast<const uchar *>(p.data.constData()) + qint64(y) * stride;
                auto *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < w; ++x)
                    dst[x] = qRgb(src[x * step + 2], src[x * step + 1], src[x * step]);
            }
        }
        return EmbeddedPictureStore::fromImage(image);
    }
    case PictCtx::None:
    case PictCtx::Other:
        break;
    }
    return std::nullopt;
}

class Parser
{
public:
    Parser(const QByteArray &input, QTextCursor &cursor)
        : m_in(input), m_cursor(cursor), m_doc(cursor.document())
    {
    }

    void run();
    [[nodiscard]] bool hasPictures() const { return m_hasPictures; }

private:
    // input
    void controlWord(std::string_view name, bool hasParam, int param);
    void controlSymbol(char c);
    void openGroup();
    void closeGroup();
    void plainText(qsizetype &i);
    void hexByte(int byte);
    void addByte(char byte);
    void flushBytes();
    void text(QStringView s);
    void text(QChar c) { text(QStringView(&c, 1)); }

    // body
    [[nodiscard]] int paraLevel() const;
    void beginContent(int level);
    void flushRun();
    void endParagraph();
    void endCell(int level);
    void endRow(int level);
    void applyParagraphFormat(const ParaState &para);
    void addToList(const ParaState &para);
    void openTable(int columns);
    void closeTable();
    [[nodiscard]] int rowsAhead();
    void applyRow(TableCtx &ctx, const RowDef &def);
    void finishPicture();
    void parse(size_t minDepth);
    void footnoteMark();
    void gatherFootnotes();
    void finishFieldInstruction(FieldCtx &field);
    void fieldWithoutResult(const FieldCtx &field);
    [[nodiscard]] QTextCharFormat charFormat(const CharState &ch) const;
    [[nodiscard]] std::optional<QColor> colour(int index) const;
    [[nodiscard]] int currentCodepage() const;
    [[nodiscard]] int codepageOfFont(int font) const;
    [[nodiscard]] QTextListFormat listFormat(const ParaState &para, bool *ok) const;
    [[nodiscard]] RowDef &rowDef(int level) { return m_rowDefs[std::clamp(level, 1, RtfReader::MaxTableDepth)]; }

    State &st() { return m_stack.back(); }

    const QByteArray &m_in;
    qsizetype m_pos = 0; // where reading stands in m_in
    qsizetype m_lookedAheadTo = 0; // where the last look ahead for table rows stopped
    QTextCursor &m_cursor;
    QTextDocument *m_doc;

    std::vector<State> m_stack;
    int m_overflow = 0; // groups opened beyond the depth limit
    int m_skip = 0;     // characters still to skip after \u
    bool m_done = false;

    // text decoding
    int m_ansi = 1252;
    int m_deff = -1;
    QByteArray m_bytes;
    int m_bytesCodepage = 0;

    // tables of the header
    std::map<int, FontDef> m_fonts;
    int m_fontEntry = -1;
    std::vector<std::optional<QColor>> m_colours;
    int m_red = -1, m_green = -1, m_blue = -1;
    std::vector<ListDef> m_lists;
    std::map<int, int> m_overrides; // \ls number -> list id
    int m_overrideId = 0;

    // body
    QString m_run;
    CharState m_runState;
    bool m_pendingBreak = false;
    bool m_paraHasContent = false;
    bool m_paragraphEnded = false;   // a paragraph mark came, and no \pard after it
    bool m_pageBreakPending = false;
    std::vector<TableCtx> m_tables;
    RowDef m_rowDefs[RtfReader::MaxTableDepth + 1];
    CellDef m_cellDef;
    BorderDef *m_border = nullptr;
    BorderDef m_ignoredBorder;
    std::map<std::pair<int, int>, ListRun> m_listsByKey;
    int m_listEpoch = 0; // counts paragraphs outside lists
    QPointer<QTextList> m_pnList;
    int m_pnCount = 0;
    QTextListFormat m_pnFormat;

    std::vector<FieldCtx> m_fields;
    qint64 m_bodyChars = 0; // characters and pictures read into the body
    QStringList m_links;
    PictCtx m_pict;
    bool m_hasPictures = false;
    // Footnotes are read after the body, from where their groups start.
    struct Note
    {
        qsizetype start = 0;
        State state;
        int number = 0; // 0: the note has a mark of its own
    };
    std::vector<Note> m_notes;
    int m_noteMarks = 0;      // numbered marks in the body
    bool m_markWaiting = false; // a numbered mark came that no note took yet
    bool m_inNotes = false;
    int m_note = 0;           // the note being read; -1 the separator
    int m_pnDepth = -1;
    PnDef m_pnBuild;
    // Shapes open around reading, innermost last: whether one brought in a picture or text, which
    // makes its stored result a duplicate.
    struct ShapeCtx
    {
        int depth = 0;
        bool content = false;
    };
    std::vector<ShapeCtx> m_shapes;
    QString m_propName; // of the shape property being read
};

int Parser::codepageOfFont(int font) const
{
    const auto it = m_fonts.find(font);
    if (it == m_fonts.end() || it->second.codepage == 0)
        return m_ansi;
    return it->second.codepage;
}

int Parser::currentCodepage() const
{
    const State &s = m_stack.back();
    // Font names are in the code page of the font they name.
    if (s.dest == Dest::FontTable && m_fontEntry >= 0)
        return codepageOfFont(m_fontEntry);
    return codepageOfFont(s.ch.font >= 0 ? s.ch.font : m_deff);
}

void Parser::addByte(char byte)
{
    const int cp = currentCodepage();
    if (!m_bytes.isEmpty() && cp != m_bytesCodepage)
        flushBytes();
    m_bytesCodepage = cp;
    m_bytes.append(byte);
}

void Parser::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    const QString decoded = RtfCodepage::decode(m_bytesCodepage, m_bytes);
    m_bytes.clear();
    text(decoded);
}

void Parser::hexByte(int byte)
{
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    const int cp = currentCodepage();
    if (RtfCodepage::isSingleByte(cp)) {
        flushBytes();
        text(RtfCodepage::decodeByte(cp, uchar(byte)));
    } else {
        addByte(char(byte));
    }
}

void Parser::text(QStringView s)
{
    State &state = st();
    switch (state.dest) {
    case Dest::Text:
        if (state.ch.hidden || s.isEmpty())
            return;
        for (const QChar c : s) {
            const char16_t u = c.unicode();
            if ((u < 0x20 && u != u'\t') || u == 0x2029 || (u >= 0xFDD0 && u <= 0xFDEF)
                || u == QChar::ObjectReplacementCharacter) {
                // Control characters, and characters the document gives a meaning of its own
                // (paragraph ends, frame marks, objects, our placeholders), are not text.
                QString clean;
                for (const QChar d : s) {
                    const char16_t v = d.unicode();
                    if (v == 0x2029 || v == u'\n' || v == u'\r')
                        clean.append(QChar(QChar::LineSeparator));
                    else if (!((v < 0x20 && v != u'\t') || (v >= 0xFDD0 && v <= 0xFDEF)
                               || v == QChar::ObjectReplacementCharacter))
                        clean.append(d);
                }
                if (!clean.isEmpty())
                    text(clean);
                return;
            }
        }
        if (!m_run.isEmpty() && !(state.ch == m_runState))
            flushRun();
        if (m_run.isEmpty())
            m_runState = state.ch;
        m_run.append(s);
        m_bodyChars += s.size();
        return;
    case Dest::FontTable:
        if (m_fontEntry >= 0) {
            FontDef &font = m_fonts[m_fontEntry];
            for (QChar c : s) {
                if (c == u';') {
                    m_fontEntry = -1;
                    font.name = font.name.trimmed();
                } else if (m_fontEntry >= 0 && font.name.size() < 256 && c.unicode() >= 0x20) {
                    font.name.append(c);
                }
            }
        }
        return;
    case Dest::ColorTable:
        for (QChar c : s) {
            if (c != u';')
                continue;
            if (m_red < 0 && m_green < 0 && m_blue < 0)
                m_colours.emplace_back();
            else
                m_colours.emplace_back(QColor(std::clamp(m_red, 0, 255), std::clamp(m_green, 0, 255),
                                              std::clamp(m_blue, 0, 255)));
            m_red = m_green = m_blue = -1;
        }
        return;
    case Dest::FieldInst:
        if (!m_fields.empty() && m_fields.back().inst.size() < 65536)
            m_fields.back().inst.append(s);
        return;
    case Dest::LevelText:
        if (!m_lists.empty() && !m_lists.back().levels.empty() && m_lists.back().levels.back().text.size() < 64)
            m_lists.back().levels.back().text.append(s);
        return;
    case Dest::PnBefore:
        if (m_pnBuild.before.size() < 64)
            m_pnBuild.before.append(s);
        return;
    case Dest::PnAfter:
        if (m_pnBuild.after.size() < 64)
            m_pnBuild.after.append(s);
        return;
    case Dest::ShapeName:
        if (m_propName.size() < 64)
            m_propName.append(s);
        return;
    case Dest::Shape:
    case Dest::ShapeValue:
    case Dest::Skip:
    case Dest::Pn:
    case Dest::Pict:
    case Dest::ListTable:
    case Dest::ListOverrideTable:
    case Dest::Upr:
        return;
    }
}

std::optional<QColor> Parser::colour(int index) const
{
    if (index < 0 || index >= int(m_colours.size()))
        return std::nullopt;
    return m_colours[size_t(index)];
}

QTextCharFormat Parser::charFormat(const CharState &ch) const
{
    QTextCharFormat f;
    const int font = ch.font >= 0 ? ch.font : m_deff;
    const auto it = m_fonts.find(font);
    if (it != m_fonts.end() && !it->second.name.isEmpty())
        f.setFontFamilies(QStringList{it->second.name});
    f.setFontPointSize(std::clamp(ch.fs, 2, 3276) / 2.0);
    if (ch.bold)
        f.setFontWeight(QFont::Bold);
    if (ch.italic)
        f.setFontItalic(true);
    if (ch.underline != QTextCharFormat::NoUnderline)
        f.setUnderlineStyle(QTextCharFormat::UnderlineStyle(ch.underline));
    if (ch.strike)
        f.setFontStrikeOut(true);
    if (const auto c = colour(ch.fg))
        f.setForeground(*c);
    if (const auto c = colour(ch.bg))
        f.setBackground(*c);
    if (ch.valign == 1)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (ch.valign == 2)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (ch.note > 0)
        f.setProperty(Rtf::FootnoteMark, ch.note);
    if (ch.link >= 0 && ch.link < m_links.size()) {
        f.setAnchor(true);
        f.setAnchorHref(m_links.at(ch.link));
    }
    return f;
}

int Parser::paraLevel() const
{
    const ParaState &p = m_stack.back().para;
    const int level = std::max({p.itap >= 0 ? p.itap : 0, p.intbl ? 1 : 0, m_stack.back().minLevel});
    return std::min(level, RtfReader::MaxTableDepth);
}

void Parser::openTable(int columns)
{
    columns = std::clamp(columns, 1, RtfReader::MaxTableColumns);
    QTextTableFormat format;
    format.setBorder(0);
    format.setCellSpacing(0);
    format.setCellPadding(4);
    TableCtx ctx;
    ctx.table = m_cursor.insertTable(1, columns, format);
    m_tables.push_back(ctx);
    m_cursor = ctx.table->cellAt(0, 0).firstCursorPosition();
}

// Marks empty paragraphs while cells merge; a noncharacter, which reading never lets into text.
constexpr char16_t MergePlaceholder = 0xFDEF;

void Parser::closeTable()
{
    TableCtx &ctx = m_tables.back();
    QTextTable *table = ctx.table;
    if (table->rows() > ctx.rowsUsed)
        table->removeRows(ctx.rowsUsed, table->rows() - ctx.rowsUsed);
    for (const auto &[column, span] : ctx.open)
        ctx.spans.push_back(span);
    // Merging removes the marks that begin the merged-away cells, and an empty paragraph before
    // such a mark then takes the format of the paragraph after it. A placeholder character in
    // each such paragraph (unless it is merged away itself) keeps its format.
    std::set<std::pair<int, int>> mergedAway;
    std::vector<Span> valid;
    for (const Span &span : ctx.spans) {
        if ((span.rows > 1 || span.columns > 1) && span.row + span.rows <= table->rows()
            && span.column + span.columns <= table->columns()) {
            valid.push_back(span);
            for (int r = span.row; r < span.row + span.rows; ++r)
                for (int c = span.column; c < span.column + span.columns; ++c)
                    if (r != span.row || c != span.column)
                        mergedAway.insert({r, c});
        }
    }
    for (const auto &[r, c] : mergedAway) {
        const QTextTableCell cell = table->cellAt(r, c);
        if (!cell.isValid())
            continue;
        const QTextBlock before = m_doc->findBlock(cell.firstPosition() - 1);
        if (!before.isValid() || before.length() > 1)
            continue;
        const QTextTableCell owner = table->cellAt(before.position());
        if (owner.isValid() && mergedAway.count({owner.row(), owner.column()}))
            continue;
        QTextCursor(before).insertText(QString(QChar(MergePlaceholder)));
    }
    for (const Span &span : valid)
        table->mergeCells(span.row, span.column, span.rows, span.columns);
    const bool merged = !valid.empty();
    if (merged) {
        const QString placeholder = QString(QChar(MergePlaceholder));
        QTextCursor from(m_doc);
        from.setPosition(table->firstPosition());
        for (;;) {
            QTextCursor hit = m_doc->find(placeholder, from);
            if (hit.isNull() || hit.selectionStart() > table->lastPosition())
                break;
            hit.removeSelectedText();
            from = hit;
        }
    }
    m_tables.pop_back();
    m_cursor = table->lastCursorPosition();
    m_cursor.movePosition(QTextCursor::NextBlock);
    m_pendingBreak = false;
}

// Counts the rows of the outer table that still follow, from where reading stands, by a light
// look ahead: a row is a \row after a cell or text of its own. The look ahead stops where text or
// a paragraph end outside the table would close it, or far from the last row it found. It never
// decides what is read, only how many rows are made at once, so a wrong count costs time only.
int Parser::rowsAhead()
{
    struct Flags
    {
        bool intbl = false;
        bool hidden = false;
        int itap = -1;
    };
    std::vector<Flags> outer; // the groups open where the look ahead starts, innermost last
    outer.reserve(m_stack.size());
    for (const State &state : m_stack)
        outer.push_back(Flags{state.para.intbl, state.ch.hidden, state.para.itap});
    std::vector<Flags> stack{outer.back()};
    outer.pop_back();
    const char *data = m_in.constData();
    const qsizetype n = m_in.size();
    constexpr qsizetype MaxGap = 256 * 1024; // bytes after the last row found
    int rows = 0;
    bool content = true; // the row being read has content, or no rows would be asked for
    qsizetype lastRow = m_pos;
    auto inTable = [&stack] { return stack.back().intbl || stack.back().itap > 0; };
    // Text outside the table ends the look ahead; hidden text is no content.
    auto textSeen = [&]() -> bool {
        if (stack.back().hidden)
            return true;
        content = true;
        return inTable();
    };
    // Skips the group whose "{" was just passed.
    auto skipGroup = [&](qsizetype &i) {
        int depth = 1;
        while (i < n && depth > 0) {
            const char c = data[i++];
            if (c == '{') {
                ++depth;
            } else if (c == '}') {
                --depth;
            } else if (c == '\\' && i < n) {
                if (data[i] == 'b' && i + 3 < n && data[i + 1] == 'i' && data[i + 2] == 'n' && data[i + 3] >= '0'
                    && data[i + 3] <= '9') {
                    qsizetype j = i + 3;
                    qint64 count = 0;
                    while (j < n && data[j] >= '0' && data[j] <= '9' && count < n)
                        count = count * 10 + (data[j++] - '0');
                    if (j < n && data[j] == ' ')
                        ++j;
                    i = std::min<qsizetype>(n, j + qsizetype(std::min<qint64>(count, n)));
                } else {
                    ++i;
                }
            }
        }
    };
    qsizetype i = m_pos;
    auto stop = [&] {
        m_lookedAheadTo = i;
        return rows;
    };
    while (i < n && i - lastRow < MaxGap) {
        const char c = data[i];
        if (c == '{') {
            ++i;
            // Destinations that are not body text are passed over whole.
            qsizetype j = i;
            while (j < n && (data[j] == '\r' || data[j] == '\n'))
                ++j;
            bool skip = false;
            bool picture = false;
            if (j + 1 < n && data[j] == '\\' && data[j + 1] == '*') {
                skip = true;
            } else if (j + 1 < n && data[j] == '\\') {
                qsizetype k = j + 1;
                while (k < n && k - j < 33 && ((data[k] >= 'a' && data[k] <= 'z') || (data[k] >= 'A' && data[k] <= 'Z')))
                    ++k;
                const auto found = keywords().find(std::string_view(data + j + 1, size_t(k - j - 1)));
                if (found != keywords().end()) {
                    switch (found->second) {
                    case Kw::SkipDest: case Kw::Fonttbl: case Kw::Colortbl: case Kw::Listtable:
                    case Kw::Listoverridetable: case Kw::Fldinst: case Kw::Pn: case Kw::Nesttableprops:
                        skip = true;
                        break;
                    case Kw::Pict:
                        skip = picture = true;
                        break;
                    default:
                        break;
                    }
                }
            }
            if (skip) {
                skipGroup(i);
                if (picture && !textSeen())
                    break;
            } else
                stack.push_back(stack.back());
            continue;
        }
        if (c == '}') {
            ++i;
            stack.pop_back();
            if (stack.empty()) {
                if (outer.empty())
                    break; // the document ends
                stack.push_back(outer.back());
                outer.pop_back();
            }
            continue;
        }
        if (c != '\\') {
            ++i;
            if (c != '\r' && c != '\n' && !textSeen())
                break;
            continue;
        }
        ++i;
        if (i >= n)
            break;
        const char d = data[i];
        if (!((d >= 'a' && d <= 'z') || (d >= 'A' && d <= 'Z'))) {
            ++i;
            // Control symbols that stand for text; \' takes its two digits as text as well.
            if ((d == '\\' || d == '{' || d == '}' || d == '\'' || d == '~' || d == '_' || d == '-') && !textSeen())
                break;
            if (d == '\n' || d == '\r') { // a paragraph end
                if (!inTable())
                    break;
            }
            continue;
        }
        const qsizetype start = i;
        while (i < n && i - start < 32 && ((data[i] >= 'a' && data[i] <= 'z') || (data[i] >= 'A' && data[i] <= 'Z')))
            ++i;
        const std::string_view name(data + start, size_t(i - start));
        bool negative = false;
        if (i + 1 < n && data[i] == '-' && data[i + 1] >= '0' && data[i + 1] <= '9') {
            negative = true;
            ++i;
        }
        bool hasParam = false;
        qint64 value = 0;
        while (i < n && data[i] >= '0' && data[i] <= '9') {
            if (value < 1'000'000'000)
                value = value * 10 + (data[i] - '0');
            hasParam = true;
            ++i;
        }
        if (i < n && data[i] == ' ')
            ++i;
        if (negative)
            value = -value;
        if (name == "bin") {
            i += qsizetype(std::clamp<qint64>(value, 0, n - i));
            continue;
        }
        const auto found = keywords().find(name);
        if (found == keywords().end())
            continue;
        Flags &f = stack.back();
        const bool on = !hasParam || value != 0;
        switch (found->second) {
        case Kw::Row:
            if (content) {
                ++rows;
                lastRow = i;
            }
            content = false;
            break;
        case Kw::Cell: case Kw::Nestcell: content = true; break;
        case Kw::Par: case Kw::Sect: case Kw::Page:
            if (!inTable())
                return stop();
            break;
        case Kw::Pard: f.intbl = false; f.itap = -1; break;
        case Kw::Intbl: f.intbl = on; break;
        case Kw::Itap: f.itap = int(std::clamp<qint64>(value, 0, RtfReader::MaxTableDepth)); break;
        case Kw::V: f.hidden = on; break;
        case Kw::Plain: f.hidden = false; break;
        case Kw::U: case Kw::Line: case Kw::Tab: case Kw::Emdash: case Kw::Endash: case Kw::Bullet:
        case Kw::Lquote: case Kw::Rquote: case Kw::Ldblquote: case Kw::Rdblquote: case Kw::Emspace:
        case Kw::Enspace: case Kw::Qmspace: case Kw::Zwj: case Kw::Zwnj: case Kw::Ltrmark: case Kw::Rtlmark:
            if (!textSeen())
                return stop();
            break;
        default:
            break;
        }
    }
    return stop();
}

void Parser::beginContent(int level)
{
    while (int(m_tables.size()) > level)
        closeTable();
    while (int(m_tables.size()) < level) {
        const int newLevel = int(m_tables.size()) + 1;
        m_pendingBreak = false;
        if (newLevel == 1) {
            // Outer rows are defined before their cells.
            openTable(int(rowDef(1).cells.size()));
        } else {
            // Nested rows are defined after their cells: grow the table as cells come.
            rowDef(newLevel).cells.clear();
            openTable(1);
        }
    }
    if (!m_tables.empty()) {
        TableCtx &ctx = m_tables.back();
        if (ctx.needCell) {
            if (ctx.row >= ctx.table->rows()) {
                // Every row added costs Qt a pass over the whole table: add the rows that are
                // coming in one go (in steps of at most 1,024: Qt inserts many rows in quadratic time).
                // A look ahead that found no rows is not repeated before reading passes its end:
                // input it misjudges grows the table a row at a time instead.
                if (level == 1 && ctx.row >= ctx.rowsExpected && m_pos >= m_lookedAheadTo)
                    ctx.rowsExpected = ctx.row + rowsAhead();
                ctx.table->appendRows(std::clamp(ctx.rowsExpected - ctx.row, 1, 1024));
            }
            ctx.rowsUsed = std::max(ctx.rowsUsed, ctx.row + 1);
            if (ctx.col >= ctx.table->columns()) {
                if (ctx.table->columns() < RtfReader::MaxTableColumns)
                    ctx.table->appendColumns(ctx.col - ctx.table->columns() + 1);
                ctx.col = std::min(ctx.col, ctx.table->columns() - 1);
            }
            const QTextTableCell cell = ctx.table->cellAt(ctx.row, ctx.col);
            if (!cell.isValid()) {
                // Should the table refuse to grow, its text goes on in its last cell.
                m_cursor = ctx.table->lastCursorPosition();
                m_pendingBreak = true;
                ctx.needCell = false;
                ctx.row = ctx.table->rows() - 1;
                ctx.col = ctx.table->columns() - 1;
                ctx.rowsUsed = ctx.table->rows();
                return beginContent(level);
            }
            m_cursor = cell.lastCursorPosition();
            // Extra cells beyond the limit share the last one: keep their text as new paragraphs.
            m_pendingBreak = m_cursor.position() != cell.firstPosition();
            ctx.needCell = false;
        }
    }
    if (m_pendingBreak) {
        m_cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        m_pendingBreak = false;
    }
}

void Parser::flushRun()
{
    if (m_run.isEmpty())
        return;
    beginContent(paraLevel());
    m_cursor.insertText(m_run, charFormat(m_runState));
    m_run.clear();
    m_paraHasContent = true;
}

QTextListFormat Parser::listFormat(const ParaState &para, bool *ok) const
{
    QTextListFormat f;
    *ok = false;
    if (para.ls > 0) {
        const auto o = m_overrides.find(para.ls);
        const ListLevel *level = nullptr;
        const ListDef *def = nullptr;
        int own = 0; // the level whose number this paragraph shows
        if (o != m_overrides.end()) {
            for (const ListDef &list : m_lists) {
                if (list.id == o->second && !list.levels.empty()) {
                    def = &list;
                    own = std::clamp(para.ilvl, 0, int(list.levels.size()) - 1);
                    level = &list.levels[size_t(own)];
                    break;
                }
            }
        }
        f.setIndent(std::clamp(para.ilvl, 0, 8) + 1);
        if (!level) {
            f.setStyle(QTextListFormat::ListDisc);
            *ok = true;
            return f;
        }
        // The level text is a length character followed by the text, level numbers as codes 0-8.
        const int length = level->text.isEmpty() ? 0 : level->text[0].unicode();
        const QString text = level->text.mid(1, length);
        qsizetype first = -1, last = -1;
        for (qsizetype k = 0; k < text.size(); ++k) {
            if (text[k].unicode() < 9) {
                if (first < 0)
                    first = k;
                last = k;
            }
        }
        switch (level->nfc) {
        case 0: case 5: case 6: case 7: case 22: f.setStyle(QTextListFormat::ListDecimal); break;
        case 1: f.setStyle(QTextListFormat::ListUpperRoman); break;
        case 2: f.setStyle(QTextListFormat::ListLowerRoman); break;
        case 3: f.setStyle(QTextListFormat::ListUpperAlpha); break;
        case 4: f.setStyle(QTextListFormat::ListLowerAlpha); break;
        case 23:
        case 255: {
            // Bullets, and levels with a text but no number, which show that text alike: pick
            // the shape from the character. A level with neither is no list.
            if (level->nfc == 255 && text.isEmpty())
                return f;
            const QChar c = text.isEmpty() ? QChar(0x2022) : text[0];
            const ushort u = c.unicode();
            if (u == 'o' || u == 0x25CB || u == 0x25E6)
                f.setStyle(QTextListFormat::ListCircle);
            else if (u == 0xA7 || u == 0xF0A7 || u == 0x25AA || u == 0x25A0 || u == 0xF06E)
                f.setStyle(QTextListFormat::ListSquare);
            else
                f.setStyle(QTextListFormat::ListDisc);
            *ok = true;
            return f;
        }
        default: f.setStyle(QTextListFormat::ListDecimal); break; // numbers in other scripts
        }
        const qsizetype at = text.indexOf(QChar(char16_t(own)));
        if (at >= 0) {
            // Qt shows one number: the numbers of the levels above ("I.01" in legal numbering)
            // become text, as they stand for the items this list comes under.
            auto expand = [&](QStringView part) {
                QString out;
                for (const QChar c : part) {
                    const int k = c.unicode();
                    if (k >= 9) {
                        out += c;
                        continue;
                    }
                    const auto run = m_listsByKey.find(std::make_pair(para.ls, k));
                    if (k >= own || run == m_listsByKey.end() || !run->second.list || run->second.list->count() == 0)
                        continue;
                    const QTextList *above = run->second.list;
                    const int number = above->itemNumber(above->item(above->count() - 1)) + 1;
                    out += formatNumber(number, level->legal ? 0 : def->levels[size_t(k)].nfc);
                }
                return out;
            };
            f.setNumberPrefix(Rtf::numberText(expand(QStringView(text).left(at))));
            f.setNumberSuffix(Rtf::numberText(expand(QStringView(text).mid(at + 1))));
        } else if (first >= 0) {
            f.setNumberPrefix(Rtf::numberText(text.left(first)));
            f.setNumberSuffix(Rtf::numberText(text.mid(last + 1)));
        }
        *ok = true;
        return f;
    }
    if (para.hasPn && para.pn.type != 0) {
        f.setStyle(para.pn.style);
        f.setIndent(std::clamp(para.pn.level, 1, 9));
        if (para.pn.type != 1) {
            f.setNumberPrefix(Rtf::numberText(para.pn.before));
            f.setNumberSuffix(Rtf::numberText(para.pn.after));
        }
        *ok = true;
    }
    return f;
}

void Parser::applyParagraphFormat(const ParaState &para)
{
    QTextBlockFormat f;
    switch (para.align) {
    case 1: f.setAlignment(Qt::AlignRight); break;
    case 2: f.setAlignment(Qt::AlignHCenter); break;
    case 3: f.setAlignment(Qt::AlignJustify); break;
    default: break;
    }
    bool isList = false;
    const QTextListFormat lf = listFormat(para, &isList);
    int li = para.li, fi = para.fi;
    if (isList) {
        li = std::max(0, li - lf.indent() * ListLevelTwips);
        fi = fi + ListHangTwips;
    }
    if (li != 0)
        f.setLeftMargin(li / TwipsPerPixel);
    if (para.ri != 0)
        f.setRightMargin(para.ri / TwipsPerPixel);
    if (fi != 0)
        f.setTextIndent(fi / TwipsPerPixel);
    if (para.sb != 0)
        f.setTopMargin(para.sb / TwipsPerPixel);
    if (para.sa != 0)
        f.setBottomMargin(para.sa / TwipsPerPixel);
    if (para.sl > 0 && para.slmult)
        f.setLineHeight(para.sl * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    else if (para.sl > 0)
        f.setLineHeight(para.sl / TwipsPerPixel, QTextBlockFormat::MinimumHeight);
    else if (para.sl < 0)
        f.setLineHeight(-qint64(para.sl) / TwipsPerPixel, QTextBlockFormat::FixedHeight);
    if (para.pagebb || m_pageBreakPending)
        f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    m_pageBreakPending = false;
    if (m_inNotes)
        f.setProperty(Rtf::FootnoteBlock, m_note);
    m_cursor.setBlockFormat(f);
    if (isList) {
        addToList(para);
    } else {
        m_pnList = nullptr;
        ++m_listEpoch;
    }
}

void Parser::addToList(const ParaState &para)
{
    bool ok = false;
    const QTextListFormat format = listFormat(para, &ok);
    if (para.ls > 0) {
        ListRun &run = m_listsByKey[std::make_pair(para.ls, std::clamp(para.ilvl, 0, 8))];
        if (run.list && run.count < RtfReader::MaxListItems
            && (!Rtf::isBullet(format.style()) || run.epoch == m_listEpoch)) {
            run.list->add(m_cursor.block());
            ++run.count;
        } else {
            run.list = m_cursor.createList(format);
            run.count = 1;
        }
        run.epoch = m_listEpoch;
        // An item ends the lists of the levels below it: they number afresh under it.
        for (int deeper = std::clamp(para.ilvl, 0, 8) + 1; deeper <= 8; ++deeper) {
            const auto below = m_listsByKey.find(std::make_pair(para.ls, deeper));
            if (below != m_listsByKey.end())
                below->second.list = nullptr;
        }
        m_pnList = nullptr;
        return;
    }
    if (m_pnList && m_pnFormat == format && m_pnCount < RtfReader::MaxListItems) {
        m_pnList->add(m_cursor.block());
        ++m_pnCount;
    } else {
        m_pnList = m_cursor.createList(format);
        m_pnFormat = format;
        m_pnCount = 1;
    }
}

void Parser::endParagraph()
{
    flushRun();
    beginContent(paraLevel());
    applyParagraphFormat(st().para);
    m_pendingBreak = true;
    m_paraHasContent = false;
    m_paragraphEnded = true;
}

void Parser::endCell(int level)
{
    flushRun();
    level = std::min(level, RtfReader::MaxTableDepth);
    beginContent(level);
    applyParagraphFormat(st().para);
    m_paraHasContent = false;
    if (m_tables.empty())
        return;
    TableCtx &ctx = m_tables.back();
    ++ctx.col;
    ctx.needCell = true;
}

void Parser::endRow(int level)
{
    flushRun();
    level = std::min(level, RtfReader::MaxTableDepth);
    if (int(m_tables.size()) < level || level < 1)
        return; // a row end without a table
    while (int(m_tables.size()) > level)
        closeTable();
    TableCtx &ctx = m_tables.back();
    if (ctx.row >= ctx.rowsUsed)
        return; // a row end without cells
    applyRow(ctx, rowDef(level));
    ++ctx.row;
    ctx.col = 0;
    ctx.needCell = true;
}

void Parser::applyRow(TableCtx &ctx, const RowDef &def)
{
    QTextTable *table = ctx.table;
    const int columns = table->columns();
    if (!ctx.widthsSet && !def.cells.empty()) {
        QList<QTextLength> widths;
        int left = 0;
        for (int c = 0; c < columns; ++c) {
            if (c < int(def.cells.size())) {
                const int width = std::max(1, def.cells[size_t(c)].cellx - left);
                left = def.cells[size_t(c)].cellx;
                widths.append(QTextLength(QTextLength::FixedLength, std::min(width, 31680) / TwipsPerPixel));
            } else {
                widths.append(QTextLength());
            }
        }
        QTextTableFormat format = table->format();
        format.setColumnWidthConstraints(widths);
        table->setFormat(format);
        ctx.widthsSet = true;
    }
    const int row = ctx.row;
    const int n = std::min(columns, int(def.cells.size()));
    for (int c = 0; c < n; ++c) {
        const CellDef &cd = def.cells[size_t(c)];
        if (cd.shading < 0 && cd.shadePct <= 0
            && std::all_of(std::begin(cd.borders), std::end(cd.borders), [](const BorderDef &b) { return b.width < 0; }))
            continue;
        // Cells are merged only once the table is complete: each cell is still its own.
        QTextTableCell cell = table->cellAt(row, c);
        if (!cell.isValid())
            continue;
        QTextTableCellFormat f = cell.format().toTableCellFormat();
        bool changed = false;
        if (const auto colour = this->colour(cd.shading)) {
            f.setBackground(*colour);
            changed = true;
        } else if (cd.shadePct > 0) {
            f.setBackground(shadeColour(cd.shadePct));
            changed = true;
        }
        for (int side = 0; side < 4; ++side) {
            const BorderDef &b = cd.borders[side];
            if (b.width < 0)
                continue;
            const qreal width = std::min(b.width, 1500) / TwipsPerPixel;
            const QBrush brush(colour(b.color).value_or(QColor(Qt::black)));
            switch (side) {
            case 0: f.setTopBorder(width); f.setTopBorderStyle(QTextFrameFormat::BorderStyle_Solid); f.setTopBorderBrush(brush); break;
            case 1: f.setLeftBorder(width); f.setLeftBorderStyle(QTextFrameFormat::BorderStyle_Solid); f.setLeftBorderBrush(brush); break;
            case 2: f.setBottomBorder(width); f.setBottomBorderStyle(QTextFrameFormat::BorderStyle_Solid); f.setBottomBorderBrush(brush); break;
            default: f.setRightBorder(width); f.setRightBorderStyle(QTextFrameFormat::BorderStyle_Solid); f.setRightBorderBrush(brush); break;
            }
            changed = true;
            if (!ctx.collapsed) {
                QTextTableFormat format = table->format();
                format.setBorderCollapse(true);
                table->setFormat(format);
                ctx.collapsed = true;
            }
        }
        if (changed)
            cell.setFormat(f);
    }
    // Merges: a run of cells marked as continuing the one on their left, and cells continuing the
    // cell above. Cells of this row end the vertical spans they do not continue.
    auto finish = [&ctx](int column) {
        const auto it = ctx.open.find(column);
        if (it != ctx.open.end()) {
            ctx.spans.push_back(it->second);
            ctx.open.erase(it);
        }
    };
    for (int c = 0; c < n; ++c) {
        const CellDef &cd = def.cells[size_t(c)];
        if (cd.merge) {
            finish(c);
            continue;
        }
        int span = 1;
        while (c + span < n && def.cells[size_t(c + span)].merge)
            ++span;
        const auto it = ctx.open.find(c);
        if (cd.vmerge && it != ctx.open.end() && it->second.row + it->second.rows == row) {
            it->second.rows += 1;
            continue;
        }
        finish(c);
        ctx.open[c] = Span{row, c, 1, span};
    }
    for (int c = n; c < columns; ++c)
        finish(c);
}

void Parser::finishFieldInstruction(FieldCtx &field)
{
    const QString inst = field.inst.trimmed();
    if (!inst.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return;
    QString target;
    QString anchor;
    qsizetype k = 9;
    bool nextIsAnchor = false;
    while (k < inst.size()) {
        while (k < inst.size() && inst[k].isSpace())
            ++k;
        if (k >= inst.size())
            break;
        QString word;
        if (inst[k] == u'"') {
            ++k;
            while (k < inst.size() && inst[k] != u'"') {
                if (inst[k] == u'\\' && k + 1 < inst.size())
                    ++k;
                word.append(inst[k++]);
            }
            ++k;
        } else {
            if (inst[k] == u'\\' && k + 1 < inst.size() && inst[k + 1].isLetter()) {
                nextIsAnchor = inst[k + 1] == u'l';
                k += 2;
                continue;
            }
            while (k < inst.size() && !inst[k].isSpace()) {
                if (inst[k] == u'\\' && k + 1 < inst.size())
                    ++k;
                word.append(inst[k++]);
            }
        }
        if (nextIsAnchor) {
            anchor = word;
            nextIsAnchor = false;
        } else if (target.isEmpty()) {
            target = word;
        }
    }
    if (!anchor.isEmpty())
        target += u'#' + anchor;
    target = Rtf::linkTarget(target);
    if (target.isEmpty())
        return;
    if (m_links.size() < 1'000'000) {
        m_links.append(target);
        field.link = int(m_links.size()) - 1;
    }
}

// Fields that stored no result: symbols and equations are made from their instruction. Page
// numbers have no page in a document without pages and stay empty.
void Parser::fieldWithoutResult(const FieldCtx &field)
{
    const QString inst = field.inst.trimmed();
    const QString kind = inst.section(u' ', 0, 0, QString::SectionSkipEmpty).toUpper();
    if (kind == u"EQ") {
        qsizetype k = 2;
        const QString text = equationText(inst, k).trimmed();
        if (!text.isEmpty())
            this->text(text);
        return;
    }
    if (kind != u"SYMBOL")
        return;
    const QStringList words = inst.mid(6).split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return;
    bool ok = false;
    const uint code = words[0].startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? words[0].mid(2).toUInt(&ok, 16)
                                                                                    : words[0].toUInt(&ok);
    if (!ok || code == 0 || code > 0xFFFF)
        return;
    CharState &ch = st().ch;
    const CharState saved = ch;
    // \f "Font" names the font, \s the size in points.
    const qsizetype f = inst.indexOf(QLatin1String("\\f"));
    if (f >= 0) {
        const qsizetype open = inst.indexOf(u'"', f);
        const qsizetype close = open >= 0 ? inst.indexOf(u'"', open + 1) : -1;
        const QString name = close > open ? inst.mid(open + 1, close - open - 1).trimmed() : QString();
        if (!name.isEmpty()) {
            auto it = std::find_if(m_fonts.begin(), m_fonts.end(), [&name](const auto &entry) {
                return entry.second.name.compare(name, Qt::CaseInsensitive) == 0;
            });
            if (it == m_fonts.end() && m_fonts.size() < 100000) {
                const int index = m_fonts.empty() ? 0 : m_fonts.rbegin()->first + 1;
                it = m_fonts.emplace(index, FontDef{name, 1252}).first;
            }
            if (it != m_fonts.end())
                ch.font = it->first;
        }
    }
    const qsizetype size = inst.indexOf(QLatin1String("\\s"));
    if (size >= 0) {
        const int points = inst.mid(size + 2).trimmed().section(u' ', 0, 0).toInt(&ok);
        if (ok && points > 0)
            ch.fs = std::min(points, 1638) * 2;
    }
    // The code is the font's own character code; symbol fonts are shown by those codes.
    text(QChar(char16_t(code)));
    ch = saved;
}

void Parser::finishPicture()
{
    PictCtx p = std::move(m_pict);
    m_pict = PictCtx();
    if (p.tooBig || p.data.isEmpty())
        return;
    std::optional<EmbeddedPicture> picture = pictureFrom(p);
    if (!picture)
        return;
    QSizeF size;
    const double sx = std::clamp(p.scalex, 1, 10000) / 100.0;
    const double sy = std::clamp(p.scaley, 1, 10000) / 100.0;
    if (p.goalw > 0 && p.goalh > 0) {
        size = QSizeF(p.goalw / TwipsPerPixel, p.goalh / TwipsPerPixel);
    } else {
        size = EmbeddedPictureStore::naturalSize(*picture);
        if (size.isEmpty() && p.picw > 0 && p.pich > 0)
            size = QSizeF(p.picw, p.pich);
    }
    size = QSizeF(size.width() * sx, size.height() * sy);
    if (size.isEmpty())
        size = QSizeF(96, 96);
    size = QSizeF(std::clamp(size.width(), 1.0, 16384.0), std::clamp(size.height(), 1.0, 16384.0));
    // The picture's group is still open: whether it shows depends on the group around it.
    const State &outer = m_stack.size() > 1 ? m_stack[m_stack.size() - 2] : m_stack.back();
    if ((outer.dest != Dest::Text && outer.dest != Dest::ShapeValue) || outer.ch.hidden)
        return;
    if (outer.dest == Dest::ShapeValue && !m_shapes.empty())
        m_shapes.back().content = true;
    flushRun();
    beginContent(paraLevel());
    const QTextImageFormat format = EmbeddedPictureStore::add(m_doc, std::move(*picture), size);
    m_cursor.insertImage(format);
    m_paraHasContent = true;
    m_hasPictures = true;
    ++m_bodyChars;
}

void Parser::openGroup()
{
    flushBytes();
    m_skip = 0;
    if (m_overflow > 0 || int(m_stack.size()) >= RtfReader::MaxGroupDepth) {
        ++m_overflow;
        return;
    }
    m_stack.push_back(m_stack.back());
    m_stack.back().box = false;
}

void Parser::closeGroup()
{
    flushBytes();
    m_skip = 0;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    const int depth = int(m_stack.size()) - 1;
    if (depth == m_pict.depth)
        finishPicture();
    if (depth == m_pnDepth) {
        m_pnDepth = -1;
        if (m_stack.size() > 1) {
            ParaState &outer = m_stack[m_stack.size() - 2].para;
            outer.hasPn = true;
            outer.pn = m_pnBuild;
        }
    }
    if (st().dest == Dest::FontTable && m_fontEntry >= 0) {
        m_fonts[m_fontEntry].name = m_fonts[m_fontEntry].name.trimmed();
        m_fontEntry = -1;
    }
    if (m_inNotes && depth == 1 && (m_paraHasContent || !m_run.isEmpty()))
        endParagraph(); // a note's last paragraph, without its paragraph mark
    if (st().box) {
        // The text after a text box goes on in a paragraph of its own.
        if (m_paraHasContent || !m_run.isEmpty())
            endParagraph();
        m_pendingBreak = true;
    }
    while (!m_shapes.empty() && m_shapes.back().depth >= depth)
        m_shapes.pop_back();
    while (!m_fields.empty() && m_fields.back().depth >= depth) {
        if (m_fields.back().depth == depth && m_bodyChars == m_fields.back().bodyMark)
            fieldWithoutResult(m_fields.back());
        m_fields.pop_back();
    }
    if (m_stack.size() == 1) {
        // The document's own group closed: the rest of the input is not part of it.
        m_done = true;
        return;
    }
    // Text of a closing group keeps its own format.
    if (!m_run.isEmpty() && !(m_stack[m_stack.size() - 2].ch == m_runState))
        flushRun();
    m_stack.pop_back();
}

void Parser::controlSymbol(char c)
{
    switch (c) {
    case '\\': case '{': case '}':
        if (m_skip > 0) { --m_skip; return; }
        // In double-byte code pages these can be the second byte of a character.
        if (!m_bytes.isEmpty() && !RtfCodepage::isSingleByte(currentCodepage()))
            addByte(c);
        else
            text(QChar(QLatin1Char(c)));
        return;
    case '~': text(QChar(0x00A0)); return;
    case '-': text(QChar(0x00AD)); return;
    case '_': text(QChar(0x2011)); return;
    case '\n': case '\r': controlWord("par", false, 0); return;
    case '\t': controlWord("tab", false, 0); return;
    default: return; // \* is handled by the caller; \| \: and others carry nothing here
    }
}

void Parser::controlWord(std::string_view name, bool hasParam, int param)
{
    flushBytes();
    const auto found = keywords().find(name);
    const Kw kw = found == keywords().end() ? Kw::Unknown : found->second;
    if (kw != Kw::U)
        m_skip = 0;
    State &s = st();
    const bool on = !hasParam || param != 0;

    // Destinations whose keywords are ignored entirely.
    if (s.dest == Dest::Skip)
        return;
    if (s.dest == Dest::Upr) {
        if (kw == Kw::Ud)
            s.dest = Dest::Text;
        return;
    }

    switch (kw) {
    case Kw::Unknown:
        return;
    case Kw::Rtf: return;
    case Kw::Ansi: m_ansi = 1252; return;
    case Kw::Mac: m_ansi = 10000; return;
    case Kw::Pc: m_ansi = 437; return;
    case Kw::Pca: m_ansi = 850; return;
    case Kw::Ansicpg: if (hasParam && param > 0) m_ansi = param; return;
    case Kw::Deff: if (hasParam) m_deff = param; return;
    case Kw::Uc: s.uc = std::clamp(hasParam ? param : 1, 0, 10); return;
    case Kw::U: {
        int v = param;
        if (v < 0)
            v += 65536;
        text(QChar(char16_t(v & 0xFFFF)));
        m_skip = s.uc;
        return;
    }
    case Kw::SkipDest: s.dest = Dest::Skip; return;
    case Kw::Fonttbl: s.dest = Dest::FontTable; return;
    case Kw::Colortbl: s.dest = Dest::ColorTable; m_colours.clear(); return;
    case Kw::Listtable: s.dest = Dest::ListTable; return;
    case Kw::Listoverridetable: s.dest = Dest::ListOverrideTable; return;
    case Kw::Upr: s.dest = Dest::Upr; return;
    case Kw::Ud: return;
    case Kw::Shppict: case Kw::Result: s.dest = Dest::Text; return;
    case Kw::Nesttableprops: s.nestProps = true; return;
    case Kw::Pict:
        // A floating picture is its shape's "pib" property.
        if ((s.dest != Dest::Text && !(s.dest == Dest::ShapeValue && m_propName == u"pib" && !m_shapes.empty()))
            || m_pict.depth >= 0) {
            s.dest = Dest::Skip;
            return;
        }
        s.dest = Dest::Pict;
        m_pict = PictCtx();
        m_pict.depth = int(m_stack.size()) - 1;
        return;
    case Kw::Shp:
        if (m_shapes.size() < 1000)
            m_shapes.push_back(ShapeCtx{int(m_stack.size()) - 1});
        return;
    case Kw::Shpinst:
    case Kw::Do:
        if (s.dest == Dest::Text)
            s.dest = Dest::Shape;
        else if (s.dest != Dest::Shape)
            s.dest = Dest::Skip;
        return;
    case Kw::Sp: s.dest = s.dest == Dest::Skip ? Dest::Skip : Dest::Shape; return;
    case Kw::Sn:
        m_propName.clear();
        s.dest = s.dest == Dest::Skip ? Dest::Skip : Dest::ShapeName;
        return;
    case Kw::Sv:
        m_propName = m_propName.trimmed();
        s.dest = s.dest == Dest::Skip ? Dest::Skip : Dest::ShapeValue;
        return;
    case Kw::Shprslt:
        // The picture a shape leaves for readers without shapes, unless the shape was read.
        s.dest = !m_shapes.empty() && m_shapes.back().content ? Dest::Skip : Dest::Text;
        return;
    case Kw::Shptxt:
    case Kw::Dptxbxtext:
        // A text box's text comes in as paragraphs of their own where its shape is anchored.
        if (s.dest != Dest::Shape || s.ch.hidden) {
            s.dest = Dest::Skip;
            return;
        }
        s.dest = Dest::Text;
        if (m_paraHasContent || !m_run.isEmpty())
            endParagraph();
        s.minLevel = paraLevel();
        s.para = ParaState();
        s.box = true;
        if (!m_shapes.empty())
            m_shapes.back().content = true;
        return;
    case Kw::Footnote:
        if (s.dest == Dest::Text && !m_inNotes && m_notes.size() < 100000) {
            Note note{m_pos, s, m_markWaiting ? m_noteMarks : 0};
            note.state.para = ParaState(); // a note in a table cell is no table text
            m_notes.push_back(std::move(note));
            m_markWaiting = false;
        }
        s.dest = Dest::Skip;
        return;
    case Kw::Chftn:
        if (s.dest == Dest::Text)
            footnoteMark();
        return;
    case Kw::Field:
        if (m_fields.size() < 1000)
            m_fields.push_back(FieldCtx{int(m_stack.size()) - 1, {}, false, -1, m_bodyChars});
        return;
    case Kw::Fldinst:
        s.dest = m_fields.empty() ? Dest::Skip : Dest::FieldInst;
        return;
    case Kw::Fldrslt:
        if (!m_fields.empty()) {
            FieldCtx &field = m_fields.back();
            if (!field.parsed) {
                field.parsed = true;
                finishFieldInstruction(field);
            }
            if (field.link >= 0)
                s.ch.link = field.link;
        }
        s.dest = Dest::Text;
        return;
    case Kw::Pn:
        m_pnDepth = int(m_stack.size()) - 1;
        m_pnBuild = PnDef();
        // Keywords inside the group describe the number; its text comes from \pntxta/\pntxtb.
        s.dest = Dest::Pn;
        return;
    case Kw::Pntxta: s.dest = Dest::PnAfter; if (m_pnDepth >= 0) m_pnBuild.after.clear(); return;
    case Kw::Pntxtb: s.dest = Dest::PnBefore; if (m_pnDepth >= 0) m_pnBuild.before.clear(); return;
    case Kw::Pnlvlblt: m_pnBuild.type = 1; m_pnBuild.style = QTextListFormat::ListDisc; return;
    case Kw::Pnlvlbody: if (m_pnBuild.type == 0) { m_pnBuild.type = 2; m_pnBuild.style = QTextListFormat::ListDecimal; } return;
    case Kw::Pnlvl: m_pnBuild.level = std::clamp(param, 1, 9); if (m_pnBuild.type == 0) { m_pnBuild.type = 2; m_pnBuild.style = QTextListFormat::ListDecimal; } return;
    case Kw::Pnlvlcont: return;
    case Kw::Pndec: if (m_pnBuild.type != 1) { m_pnBuild.type = 2; m_pnBuild.style = QTextListFormat::ListDecimal; } return;
    case Kw::Pnucrm: if (m_pnBuild.type != 1) { m_pnBuild.type = 2; m_pnBuild.style = QTextListFormat::ListUpperRoman; } return;
    case Kw::Pnlcrm: if (m_pnBuild.type != 1) { m_pnBuild.type = 2; m_pnBuild.style = QTextListFormat::ListLowerRoman; } return;
    case Kw::Pnucltr: if (m_pnBuild.type != 1) { m_pnBuild.type = 2; m_pnBuild.style = QTextListFormat::ListUpperAlpha; } return;
    case Kw::Pnlcltr: if (m_pnBuild.type != 1) { m_pnBuild.type = 2; m_pnBuild.style = QTextListFormat::ListLowerAlpha; } return;
    default:
        break;
    }

    // Keywords of the header tables.
    switch (s.dest) {
    case Dest::FontTable:
        if (kw == Kw::F) {
            m_fontEntry = param;
            m_fonts[param] = FontDef();
        } else if (kw == Kw::Fcharset && m_fontEntry >= 0) {
            m_fonts[m_fontEntry].codepage = codepageForCharset(param, m_ansi);
        } else if (kw == Kw::Cpg && m_fontEntry >= 0 && param > 0) {
            m_fonts[m_fontEntry].codepage = param;
        }
        return;
    case Dest::ColorTable:
        if (kw == Kw::Red) m_red = param;
        else if (kw == Kw::Green) m_green = param;
        else if (kw == Kw::Blue) m_blue = param;
        return;
    case Dest::ListTable:
    case Dest::LevelText:
        switch (kw) {
        case Kw::List: if (m_lists.size() < 10000) m_lists.emplace_back(); return;
        case Kw::Listid: if (!m_lists.empty()) m_lists.back().id = param; return;
        case Kw::Listlevel:
            if (!m_lists.empty() && m_lists.back().levels.size() < 9)
                m_lists.back().levels.emplace_back();
            return;
        case Kw::Levelnfc:
            if (!m_lists.empty() && !m_lists.back().levels.empty())
                m_lists.back().levels.back().nfc = param;
            return;
        case Kw::Levellegal:
            if (!m_lists.empty() && !m_lists.back().levels.empty())
                m_lists.back().levels.back().legal = on;
            return;
        case Kw::Leveltext: s.dest = Dest::LevelText; return;
        case Kw::F:
            if (!m_lists.empty() && !m_lists.back().levels.empty())
                m_lists.back().levels.back().font = param;
            return;
        default: return;
        }
    case Dest::ListOverrideTable:
        if (kw == Kw::Listoverride) m_overrideId = 0;
        else if (kw == Kw::Listid) m_overrideId = param;
        else if (kw == Kw::Ls && m_overrides.size() < 10000) m_overrides[param] = m_overrideId;
        return;
    case Dest::Pict:
        switch (kw) {
        case Kw::Pngblip: m_pict.kind = PictCtx::Png; return;
        case Kw::Jpegblip: m_pict.kind = PictCtx::Jpeg; return;
        case Kw::Emfblip: m_pict.kind = PictCtx::Emf; return;
        case Kw::Wmetafile: m_pict.kind = PictCtx::Wmf; return;
        case Kw::Dibitmap: m_pict.kind = PictCtx::Dib; return;
        case Kw::Wbitmap: m_pict.kind = PictCtx::Ddb; return;
        case Kw::OtherBlip: m_pict.kind = PictCtx::Other; return;
        case Kw::Picw: m_pict.picw = param; return;
        case Kw::Pich: m_pict.pich = param; return;
        case Kw::Picwgoal: m_pict.goalw = param; return;
        case Kw::Pichgoal: m_pict.goalh = param; return;
        case Kw::Picscalex: m_pict.scalex = param; return;
        case Kw::Picscaley: m_pict.scaley = param; return;
        case Kw::Wbmbitspixel: m_pict.bpp = param; return;
        case Kw::Wbmwidthbytes: m_pict.widthBytes = param; return;
        default: return;
        }
    case Dest::Skip:
    case Dest::Upr:
    case Dest::Pn:
    case Dest::Shape:
    case Dest::ShapeName:
    case Dest::ShapeValue:
        return;
    case Dest::Text:
    case Dest::FieldInst:
    case Dest::PnBefore:
    case Dest::PnAfter:
        break;
    }

    CharState &ch = s.ch;
    ParaState &para = s.para;
    const bool body = s.dest == Dest::Text;
    switch (kw) {
    case Kw::Par:
        if (body) endParagraph();
        return;
    case Kw::Sect:
        if (body && (m_paraHasContent || !m_run.isEmpty())) endParagraph();
        return;
    case Kw::Page:
        if (body) {
            endParagraph();
            m_pageBreakPending = true;
        }
        return;
    case Kw::Line: text(QChar(QChar::LineSeparator)); return;
    case Kw::Tab: text(QChar(u'\t')); return;
    case Kw::Cell: if (body) endCell(1); return;
    case Kw::Nestcell: if (body) endCell(std::max(2, paraLevel())); return;
    case Kw::Row: if (body) endRow(1); return;
    case Kw::Nestrow: if (body) endRow(std::max(2, paraLevel())); return;
    case Kw::Emdash: text(QChar(0x2014)); return;
    case Kw::Endash: text(QChar(0x2013)); return;
    case Kw::Bullet: text(QChar(0x2022)); return;
    case Kw::Lquote: text(QChar(0x2018)); return;
    case Kw::Rquote: text(QChar(0x2019)); return;
    case Kw::Ldblquote: text(QChar(0x201C)); return;
    case Kw::Rdblquote: text(QChar(0x201D)); return;
    case Kw::Emspace: text(QChar(0x2003)); return;
    case Kw::Enspace: text(QChar(0x2002)); return;
    case Kw::Qmspace: text(QChar(0x2005)); return;
    case Kw::Zwj: text(QChar(0x200D)); return;
    case Kw::Zwnj: text(QChar(0x200C)); return;
    case Kw::Ltrmark: text(QChar(0x200E)); return;
    case Kw::Rtlmark: text(QChar(0x200F)); return;

    case Kw::Plain: {
        const int link = ch.link;
        ch = CharState();
        ch.link = link;
        return;
    }
    case Kw::B: ch.bold = on; return;
    case Kw::I: ch.italic = on; return;
    case Kw::Ul: ch.underline = on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline; return;
    case Kw::Uld: ch.underline = on ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline; return;
    case Kw::Uldash: ch.underline = on ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline; return;
    case Kw::Uldashd: ch.underline = on ? QTextCharFormat::DashDotLine : QTextCharFormat::NoUnderline; return;
    case Kw::Uldashdd: ch.underline = on ? QTextCharFormat::DashDotDotLine : QTextCharFormat::NoUnderline; return;
    case Kw::Ulwave: ch.underline = on ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline; return;
    case Kw::Ulnone: ch.underline = QTextCharFormat::NoUnderline; return;
    case Kw::Strike: ch.strike = on; return;
    case Kw::V: ch.hidden = on; return;
    case Kw::F: ch.font = hasParam ? param : -1; return;
    case Kw::Fs: ch.fs = hasParam && param > 0 ? param : 24; return;
    case Kw::Cf: ch.fg = hasParam ? param : -1; return;
    case Kw::Cb: case Kw::Highlight: case Kw::Chcbpat: ch.bg = hasParam && param > 0 ? param : -1; return;
    case Kw::Super: ch.valign = on ? 1 : 0; return;
    case Kw::Sub: ch.valign = on ? 2 : 0; return;
    case Kw::Nosupersub: ch.valign = 0; return;

    case Kw::Pard:
        para = ParaState();
        m_paragraphEnded = false;
        return;
    case Kw::Ql: para.align = 0; return;
    case Kw::Qr: para.align = 1; return;
    case Kw::Qc: para.align = 2; return;
    case Kw::Qj: para.align = 3; return;
    case Kw::Li: para.li = std::clamp(param, -31680, 31680); return;
    case Kw::Ri: para.ri = std::clamp(param, -31680, 31680); return;
    case Kw::Fi: para.fi = std::clamp(param, -31680, 31680); return;
    case Kw::Sb: para.sb = std::clamp(param, 0, 31680); return;
    case Kw::Sa: para.sa = std::clamp(param, 0, 31680); return;
    case Kw::Sl: para.sl = std::clamp(param, -31680, 31680); return;
    case Kw::Slmult: para.slmult = on; return;
    case Kw::Intbl: para.intbl = on; return;
    case Kw::Itap: para.itap = std::clamp(param, 0, RtfReader::MaxTableDepth); return;
    case Kw::Ls: para.ls = param; return;
    case Kw::Ilvl: para.ilvl = std::clamp(param, 0, 8); return;
    case Kw::Pagebb: para.pagebb = on; return;

    case Kw::Trowd: {
        const int level = s.nestProps ? std::max(2, paraLevel()) : 1;
        rowDef(level).cells.clear();
        m_cellDef = CellDef();
        m_border = nullptr;
        return;
    }
    case Kw::Cellx: {
        const int level = s.nestProps ? std::max(2, paraLevel()) : 1;
        RowDef &def = rowDef(level);
        if (int(def.cells.size()) < RtfReader::MaxTableColumns) {
            m_cellDef.cellx = std::clamp(param, -(1 << 28), 1 << 28);
            def.cells.push_back(m_cellDef);
        }
        m_cellDef = CellDef();
        m_border = nullptr;
        return;
    }
    case Kw::Clcbpat: m_cellDef.shading = param; return;
    case Kw::Clshdng: m_cellDef.shadePct = param; return;
    case Kw::Clbrdrt: m_border = &m_cellDef.borders[0]; return;
    case Kw::Clbrdrl: m_border = &m_cellDef.borders[1]; return;
    case Kw::Clbrdrb: m_border = &m_cellDef.borders[2]; return;
    case Kw::Clbrdrr: m_border = &m_cellDef.borders[3]; return;
    case Kw::OtherBorder: m_border = &m_ignoredBorder; return;
    case Kw::Brdrline: if (m_border && m_border->width < 0) m_border->width = 15; return;
    case Kw::Brdrnone: if (m_border) m_border->width = -1; return;
    case Kw::Brdrw: if (m_border) m_border->width = std::clamp(param, 0, 1500); return;
    case Kw::Brdrcf: if (m_border) m_border->color = param; return;
    case Kw::Clmgf: m_cellDef.mergeFirst = true; return;
    case Kw::Clmrg: m_cellDef.merge = true; return;
    case Kw::Clvmgf: m_cellDef.vmergeFirst = true; return;
    case Kw::Clvmrg: m_cellDef.vmerge = true; return;

    default:
        return;
    }
}

void Parser::plainText(qsizetype &i)
{
    const qsizetype n = m_in.size();
    const char *data = m_in.constData();
    State &s = st();
    if (s.dest == Dest::Pict) {
        // Hexadecimal picture data.
        while (i < n) {
            const char c = data[i];
            int v;
            if (c >= '0' && c <= '9') v = c - '0';
            else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
            else if (c == '\\' || c == '{' || c == '}') break;
            else { ++i; continue; }
            ++i;
            if (m_pict.nibble < 0) {
                m_pict.nibble = v;
            } else {
                if (m_pict.data.size() < MaxPictureBytes)
                    m_pict.data.append(char(m_pict.nibble << 4 | v));
                else
                    m_pict.tooBig = true;
                m_pict.nibble = -1;
            }
        }
        return;
    }
    if (s.dest == Dest::Skip || s.dest == Dest::Upr) {
        while (i < n && data[i] != '\\' && data[i] != '{' && data[i] != '}')
            ++i;
        return;
    }
    const int cp = currentCodepage();
    const bool single = RtfCodepage::isSingleByte(cp);
    while (i < n) {
        const char c = data[i];
        if (c == '\\' || c == '{' || c == '}')
            return;
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (m_skip > 0) {
            --m_skip;
            ++i;
            continue;
        }
        if (c == '\t') {
            flushBytes();
            text(QChar(u'\t'));
            ++i;
            continue;
        }
        if (uchar(c) < 0x20) {
            ++i;
            continue;
        }
        if (!single) {
            addByte(c);
            ++i;
            // A trail byte can look like "\\", "{" or "}": it is still part of the character.
            if (RtfCodepage::isLeadByte(cp, uchar(c)) && i < n && uchar(data[i]) >= 0x40) {
                addByte(data[i]);
                ++i;
            }
            continue;
        }
        if (uchar(c) >= 0x80) {
            text(RtfCodepage::decodeByte(cp, uchar(c)));
            ++i;
            continue;
        }
        // A run of printable ASCII.
        qsizetype end = i + 1;
        while (end < n && uchar(data[end]) >= 0x20 && uchar(data[end]) < 0x80 && data[end] != '\\'
               && data[end] != '{' && data[end] != '}')
            ++end;
        text(QString::fromLatin1(data + i, end - i));
        i = end;
    }
}

void Parser::footnoteMark()
{
    int number = m_note;
    if (!m_inNotes) {
        number = ++m_noteMarks;
        m_markWaiting = true;
    }
    if (number <= 0)
        return;
    CharState &ch = st().ch;
    const CharState saved = ch;
    ch.valign = 1;
    ch.note = number;
    text(QString::number(number));
    ch = saved;
}

// The notes of the body, each read from its group, below a separator at the end.
void Parser::gatherFootnotes()
{
    m_inNotes = true;
    m_note = -1;
    m_stack.resize(1);
    // Groups the body left open end with it.
    m_fields.clear();
    m_shapes.clear();
    m_pnDepth = -1;
    m_pendingBreak = true;
    beginContent(0);
    m_cursor.insertText(QString(6, QChar(0x2014)), QTextCharFormat());
    applyParagraphFormat(ParaState());
    m_pendingBreak = true;
    const std::vector<Note> notes = std::move(m_notes);
    for (const Note &note : notes) {
        m_note = note.number;
        m_stack.resize(1);
        m_stack.push_back(note.state);
        m_pos = note.start;
        m_done = false;
        m_skip = 0;
        m_overflow = 0;
        m_paraHasContent = false;
        parse(2);
        flushBytes();
        if (m_paraHasContent || !m_run.isEmpty())
            endParagraph();
        while (!m_tables.empty())
            closeTable();
    }
}

void Parser::run()
{
    State root;
    m_stack.push_back(root);
    const char *data = m_in.constData();
    const qsizetype n = m_in.size();
    qsizetype &i = m_pos;
    // Blanks before the document's group.
    while (i < n && data[i] != '{')
        ++i;
    if (i < n)
        ++i; // the document's own group is the root state
    parse(1);
    // End of input, whether the document's group closed or not.
    flushBytes();
    if (m_pict.depth >= 0)
        finishPicture();
    while (m_stack.size() > 1 && st().dest != Dest::Text)
        m_stack.pop_back();
    flushRun();
    beginContent(0);
    // Word processors end their documents with a paragraph mark; the empty paragraph a document
    // always ends in is no list item of the paragraph before it.
    applyParagraphFormat(m_paragraphEnded && !m_paraHasContent ? ParaState() : st().para);
    if (!m_notes.empty())
        gatherFootnotes();
}

// Reads until the input ends, the document's group closes or fewer than minDepth groups are open.
void Parser::parse(size_t minDepth)
{
    const char *data = m_in.constData();
    const qsizetype n = m_in.size();
    qsizetype &i = m_pos;
    while (i < n && !m_done && m_stack.size() >= minDepth) {
        WorkProgress::step();
        const char c = data[i];
        if (c == '{') {
            ++i;
            openGroup();
            continue;
        }
        if (c == '}') {
            ++i;
            closeGroup();
            continue;
        }
        if (c != '\\') {
            if (m_overflow > 0) {
                ++i;
                continue;
            }
            plainText(i);
            continue;
        }
        // A control word or symbol.
        ++i;
        if (i >= n)
            break;
        const char d = data[i];
        if ((d >= 'a' && d <= 'z') || (d >= 'A' && d <= 'Z')) {
            const qsizetype start = i;
            while (i < n && i - start < 32 && ((data[i] >= 'a' && data[i] <= 'z') || (data[i] >= 'A' && data[i] <= 'Z')))
                ++i;
            const std::string_view name(data + start, size_t(i - start));
            bool hasParam = false;
            bool negative = false;
            qint64 value = 0;
            if (i < n && data[i] == '-' && i + 1 < n && data[i + 1] >= '0' && data[i + 1] <= '9') {
                negative = true;
                ++i;
            }
            int digits = 0;
            while (i < n && data[i] >= '0' && data[i] <= '9') {
                if (digits < 11)
                    value = value * 10 + (data[i] - '0');
                ++digits;
                ++i;
                hasParam = true;
            }
            if (i < n && data[i] == ' ')
                ++i;
            value = std::clamp<qint64>(negative ? -value : value, -2147483647, 2147483647);
            if (m_overflow > 0)
                continue;
            if (name == "bin") {
                // Raw bytes follow; never trust the count beyond the input.
                const qsizetype count = std::clamp<qint64>(value, 0, n - i);
                if (st().dest == Dest::Pict) {
                    if (m_pict.data.size() + count <= MaxPictureBytes)
                        m_pict.data.append(data + i, count);
                    else
                        m_pict.tooBig = true;
                }
                i += count;
                continue;
            }
            controlWord(name, hasParam, int(value));
            continue;
        }
        ++i;
        if (m_overflow > 0)
            continue;
        if (d == '\'') {
            // \'hh: one byte in the current code page.
            int v = 0;
            int got = 0;
            while (got < 2 && i < n) {
                const char h = data[i];
                int x;
                if (h >= '0' && h <= '9') x = h - '0';
                else if (h >= 'a' && h <= 'f') x = h - 'a' + 10;
                else if (h >= 'A' && h <= 'F') x = h - 'A' + 10;
                else break;
                v = v * 16 + x;
                ++got;
                ++i;
            }
            if (got == 2)
                hexByte(v);
            continue;
        }
        if (d == '*') {
            // An optional destination: skipped unless its keyword is one we read.
            qsizetype j = i;
            while (j < n && (data[j] == ' ' || data[j] == '\r' || data[j] == '\n'))
                ++j;
            if (j < n && data[j] == '\\') {
                qsizetype k = j + 1;
                while (k < n && k - j < 33 && ((data[k] >= 'a' && data[k] <= 'z') || (data[k] >= 'A' && data[k] <= 'Z')))
                    ++k;
                const std::string_view name(data + j + 1, size_t(k - j - 1));
                const auto found = keywords().find(name);
                if (found != keywords().end() && found->second != Kw::SkipDest)
                    continue; // read it as usual
            }
            st().dest = Dest::Skip;
            continue;
        }
        controlSymbol(d);
    }
}

} // namespace

bool RtfReader::isRtf(const QByteArray &data)
{
    qsizetype i = 0;
    // A UTF-8 byte order mark or blanks may precede the document.
    if (data.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.mid(i, 5) == "{\\rtf";
}

RtfReader::Status RtfReader::read(const QByteArray &rtf, QTextDocument *document)
{
    if (!isRtf(rtf))
        return Status::NotRtf;
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    QTextCursor cursor(document);
    // One edit block: the document settles its frame structure once, not after every table row.
    cursor.beginEditBlock();
    Parser parser(rtf, cursor);
    parser.run();
    cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
    // Only now: a layout present while reading would lay the document out as it grows.
    if (parser.hasPictures())
        EmbeddedPictureStore::preparePainting(document);
    return Status::Ok;
}

RtfReader::Status RtfReader::insert(const QByteArray &rtf, QTextCursor &cursor)
{
    if (!isRtf(rtf))
        return Status::NotRtf;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    Parser parser(rtf, cursor);
    parser.run();
    cursor.endEditBlock();
    return Status::Ok;
}
