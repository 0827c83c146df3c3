#include "editor/rtfwriter.h"

#include "editor/embeddedpicture.h"
#include "editor/rtfcodepage.h"
#include "editor/rtfcommon.h"
#include "editor/workprogress.h"
#include "editor/rtfreader.h"

#include <QColor>
#include <QHash>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <variant>
#include <vector>

namespace {

using Rtf::ListHangTwips;
using Rtf::ListLevelTwips;
using Rtf::TwipsPerPixel;
// The text width columns of unknown width share, in twips (6.5 inches).
constexpr int TextWidthTwips = 9360;

using Element = std::variant<QTextBlock, QTextTable *>;

int twips(double pixels)
{
    return int(std::clamp(std::lround(pixels * TwipsPerPixel), -31680L * 4, 31680L * 4));
}

// Font table entries end at ";" and carry no control characters; the reader trims them.
QString cleanFamily(QString family)
{
    family.remove(u';');
    family.removeIf([](QChar c) { return c.unicode() < 0x20; });
    return family.trimmed();
}

// Qt numbers "1." when a list format names no suffix.
QString numberSuffix(const QTextListFormat &format)
{
    return format.hasProperty(QTextFormat::ListNumberSuffix) ? Rtf::numberText(format.numberSuffix())
                                                             : QStringLiteral(".");
}
QString numberPrefix(const QTextListFormat &format)
{
    return Rtf::numberText(format.numberPrefix());
}

void appendNumber(QByteArray &out, const char *word, long value)
{
    out += word;
    out += QByteArray::number(qlonglong(value));
}

class Writer
{
public:
    explicit Writer(const QTextDocument *document) : m_doc(document) {}

    QByteArray run();

private:
    void writeElements(const std::vector<Element> &elements, int depth);
    void writeParagraph(const QTextBlock &block, int depth);
    void writeTable(QTextTable *table, int depth);
    void writeRowDefinition(QTextTable *table, int row);
    void writeRuns(const QTextBlock &block);
    void writeCharFormat(const QTextCharFormat &format);
    void writePicture(const QTextImageFormat &format);
    void writeText(QStringView text) { escape(text, m_out); }
    static void escape(QStringView text, QByteArray &out);
    void writeListMarks(const QTextBlock &block, QTextList *list);
    int font(const QString &family);
    int colour(const QColor &colour);
    int listNumber(QTextList *list);
    void paragraphOutsideLists() { ++m_epoch; }
    QByteArray header() const;

    static std::vector<Element> elements(QTextFrame::iterator it);

    const QTextDocument *m_doc;
    QByteArray m_out;
    QByteArray m_text;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QHash<QRgb, int> m_colourIndex;
    QList<QRgb> m_colours;
    // One \ls per run of a list, split where the reader splits it (see RtfReader).
    struct ListRun
    {
        int number = 0;
        int epoch = 0;
        int count = 0;
    };
    QHash<QTextList *, ListRun> m_runs;
    // List definitions, and the override (\ls) of each list run with the definition it uses.
    // Bullet lists of one shape share a definition; numbered lists each have their own, since
    // readers go on numbering across the lists of one definition.
    QList<QTextListFormat> m_lists;
    QHash<int, int> m_bulletDefinitions; // list style -> index into m_lists
    QList<int> m_overrides;
    int m_epoch = 0;
    // Footnotes gathered at the end of the document, by number, that a mark in the text takes
    // back as an RTF footnote; they and their separator are left out of the text.
    QHash<int, std::vector<QTextBlock>> m_notes;
    QSet<int> m_notesWritten;
    bool m_inNote = false;
    void findFootnotes(std::vector<Element> &content);
    QString m_defaultFamily;
    double m_defaultPointSize = 12;
};

std::vector<Element> Writer::elements(QTextFrame::iterator it)
{
    std::vector<Element> out;
    for (; !it.atEnd(); ++it) {
        if (QTextFrame *frame = it.currentFrame()) {
            if (auto *table = qobject_cast<QTextTable *>(frame)) {
                out.emplace_back(table);
            } else {
                // Other frames are written as their content.
                const std::vector<Element> inner = elements(frame->begin());
                out.insert(out.end(), inner.begin(), inner.end());
            }
        } else {
            const QTextBlock block = it.currentBlock();
            if (block.isValid())
                out.emplace_back(block);
        }
    }
    return out;
}

int Writer::font(const QString &family)
{
    const auto it = m_fontIndex.constFind(family);
    if (it != m_fontIndex.constEnd())
        return *it;
    m_fonts.append(family);
    m_fontIndex.insert(family, int(m_fonts.size()) - 1);
    return int(m_fonts.size()) - 1;
}

int Writer::colour(const QColor &colour)
{
    const QRgb rgb = colour.rgb() | 0xFF000000u;
    const auto it = m_colourIndex.constFind(rgb);
    if (it != m_colourIndex.constEnd())
        return *it;
    m_colours.append(rgb);
    const int index = int(m_colours.size()); // entry 0 is the automatic colour
    m_colourIndex.insert(rgb, index);
    return index;
}

int Writer::listNumber(QTextList *list)
{
    const QTextListFormat format = list->format();
    const auto style = format.style();
    const bool bullet = Rtf::isBullet(style);
    ListRun &run = m_runs[list];
    if (run.number > 0 && run.count < RtfReader::MaxListItems && (!bullet || run.epoch == m_epoch)) {
        ++run.count;
    } else {
        int definition = bullet ? m_bulletDefinitions.value(int(style), -1) : -1;
        if (definition < 0) {
            m_lists.append(format);
            definition = int(m_lists.size()) - 1;
            if (bullet)
                m_bulletDefinitions.insert(int(style), definition);
        }
        m_overrides.append(definition);
        run.number = int(m_overrides.size());
        run.count = 1;
    }
    run.epoch = m_epoch;
    return run.number;
}

void Writer::escape(QStringView text, QByteArray &m_out)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'\\': m_out += "\\\\"; continue;
        case u'{': m_out += "\\{"; continue;
        case u'}': m_out += "\\}"; continue;
        case u'\t': m_out += "\\tab "; continue;
        case 0x2028: case 0x2029: case u'\n': m_out += "\\line "; continue;
        case 0x00A0: m_out += "\\~"; continue;
        case 0x00AD: m_out += "\\-"; continue;
        case 0x2011: m_out += "\\_"; continue;
        case QChar::ObjectReplacementCharacter: continue;
        default: break;
        }
        if (u < 0x20)
            continue;
        if (u < 0x80) {
            m_out += char(u);
            continue;
        }
        appendNumber(m_out, "\\u", long(qint16(u)));
        if (const auto b = RtfCodepage::toWindows1252(c)) {
            static const char hex[] = "0123456789abcdef";
            m_out += "\\'";
            m_out += hex[*b >> 4];
            m_out += hex[*b & 15];
        } else {
            m_out += '?';
        }
    }
}

void Writer::writeCharFormat(const QTextCharFormat &f)
{
    QString family;
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty()) {
        family = families.first();
    } else {
        // A format made from a QFont may name its family the older way.
        const QFont font = f.font();
        if (font.resolveMask() & (QFont::FamilyResolved | QFont::FamiliesResolved))
            family = font.family();
    }
    family = cleanFamily(family);
    if (family.isEmpty())
        family = m_defaultFamily;
    appendNumber(m_out, "\\f", font(family));
    double points = m_defaultPointSize;
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
        points = f.fontPointSize();
    else if (f.hasProperty(QTextFormat::FontPixelSize) && f.intProperty(QTextFormat::FontPixelSize) > 0)
        points = f.intProperty(QTextFormat::FontPixelSize) * 0.75;
    appendNumber(m_out, "\\fs", std::clamp(std::lround(points * 2), 2L, 3276L));
    if (f.fontWeight() >= QFont::DemiBold)
        m_out += "\\b";
    if (f.fontItalic())
        m_out += "\\i";
    QTextCharFormat::UnderlineStyle underline = f.underlineStyle();
    if (underline == QTextCharFormat::NoUnderline && f.fontUnderline())
        underline = QTextCharFormat::SingleUnderline;
    switch (underline) {
    case QTextCharFormat::NoUnderline: break;
    case QTextCharFormat::DashUnderline: m_out += "\\uldash"; break;
    case QTextCharFormat::DotLine: m_out += "\\uld"; break;
    case QTextCharFormat::DashDotLine: m_out += "\\uldashd"; break;
    case QTextCharFormat::DashDotDotLine: m_out += "\\uldashdd"; break;
    case QTextCharFormat::WaveUnderline: m_out += "\\ulwave"; break;
    default: m_out += "\\ul"; break;
    }
    if (f.fontStrikeOut())
        m_out += "\\strike";
    if (f.foreground().style() != Qt::NoBrush)
        appendNumber(m_out, "\\cf", colour(f.foreground().color()));
    if (f.background().style() != Qt::NoBrush)
        appendNumber(m_out, "\\highlight", colour(f.background().color()));
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        m_out += "\\super";
    else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        m_out += "\\sub";
    m_out += ' ';
}

void Writer::writePicture(const QTextImageFormat &format)
{
    std::optional<EmbeddedPicture> picture = EmbeddedPictureStore::find(m_doc, format.name());
    if (!picture) {
        // A picture that came in some other way: keep what the document shows, as PNG.
        const QVariant resource = m_doc->resource(QTextDocument::ImageResource, QUrl(format.name()));
        QImage image;
        if (resource.canConvert<QImage>())
            image = resource.value<QImage>();
        if (image.isNull())
            return;
        picture = EmbeddedPictureStore::fromImage(image);
    }
    QSizeF size(format.width(), format.height());
    const QSizeF natural = EmbeddedPictureStore::naturalSize(*picture);
    if (size.width() <= 0)
        size.setWidth(natural.width() > 0 ? natural.width() : 96);
    if (size.height() <= 0)
        size.setHeight(natural.height() > 0 ? natural.height() : 96);
    m_out += "{\\pict";
    switch (picture->kind) {
    case EmbeddedPicture::Kind::Png: m_out += "\\pngblip"; break;
    case EmbeddedPicture::Kind::Jpeg: m_out += "\\jpegblip"; break;
    case EmbeddedPicture::Kind::Emf: m_out += "\\emfblip"; break;
    case EmbeddedPicture::Kind::Wmf: m_out += "\\wmetafile8"; break;
    }
    appendNumber(m_out, "\\picw", std::max(0, picture->nativeSize.width()));
    appendNumber(m_out, "\\pich", std::max(0, picture->nativeSize.height()));
    appendNumber(m_out, "\\picwgoal", twips(size.width()));
    appendNumber(m_out, "\\pichgoal", twips(size.height()));
    m_out += '\n';
    static const char hex[] = "0123456789abcdef";
    const QByteArray &data = picture->data;
    const qsizetype start = m_out.size();
    m_out.resize(start + data.size() * 2 + data.size() / 64 + 1);
    char *out = m_out.data() + start;
    for (qsizetype k = 0; k < data.size(); ++k) {
        const uchar b = uchar(data[k]);
        *out++ = hex[b >> 4];
        *out++ = hex[b & 15];
        if (k % 64 == 63)
            *out++ = '\n';
    }
    m_out.resize(out - m_out.constData());
    m_out += '}';
}

void Writer::writeRuns(const QTextBlock &block)
{
    QString openLink;
    // Runs that write the same properties are one run: formats can differ in what RTF does not
    // carry, and would otherwise come back merged, written differently.
    QByteArray openRun;
    auto closeRun = [&] {
        if (!openRun.isEmpty())
            m_out += '}';
        openRun.clear();
    };
    auto closeLink = [&] {
        closeRun();
        if (!openLink.isNull())
            m_out += "}}}";
        openLink = QString();
    };
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const QTextCharFormat format = fragment.charFormat();
        // Runs with nothing to show (only characters that are not text) are left out whole, so
        // that their links, fonts and colours do not reach the output either.
        m_text.clear();
        if (!format.isImageFormat()) {
            escape(fragment.text(), m_text);
            if (m_text.isEmpty())
                continue;
        }
        const QString href = format.isAnchor() ? Rtf::linkTarget(format.anchorHref()) : QString();
        if (href != openLink || (href.isEmpty() && !openLink.isNull())) {
            closeLink();
            if (!href.isEmpty()) {
                // Field instructions escape backslashes and quotes themselves.
                QString target = href;
                target.replace(u'\\', QLatin1String("\\\\"));
                target.replace(u'"', QLatin1String("%22"));
                m_out += "{\\field{\\*\\fldinst{HYPERLINK \"";
                writeText(target);
                m_out += "\"}}{\\fldrslt{";
                openLink = href;
            }
        }
        if (format.isImageFormat()) {
            closeRun();
            const QTextImageFormat image = format.toImageFormat();
            for (qsizetype k = 0; k < fragment.length(); ++k)
                writePicture(image);
            continue;
        }
        QByteArray header;
        std::swap(header, m_out);
        writeCharFormat(format);
        std::swap(header, m_out);
        // A mark whose note went is left as its number.
        if (const int note = format.intProperty(Rtf::FootnoteMark);
            note > 0 && (m_inNote || (m_notes.contains(note) && !m_notesWritten.contains(note)))) {
            closeRun();
            m_out += '{' + header + "\\chftn}";
            const auto it = m_notes.constFind(note);
            if (!m_inNote && it != m_notes.constEnd() && !m_notesWritten.contains(note)) {
                m_notesWritten.insert(note);
                m_inNote = true;
                m_out += "{\\footnote";
                for (const QTextBlock &paragraph : *it) {
                    writeParagraph(paragraph, 0);
                    m_out += "\\par";
                }
                m_out += '}';
                m_inNote = false;
            }
            continue;
        }
        if (header != openRun) {
            closeRun();
            m_out += '{';
            m_out += header;
            openRun = header;
        }
        m_out += m_text;
    }
    closeLink();
}

void Writer::writeListMarks(const QTextBlock &block, QTextList *list)
{
    // The label as the list shows it, for readers that do not number lists themselves.
    const QTextListFormat lf = list->format();
    m_out += "{\\listtext\\f0 ";
    if (Rtf::isBullet(lf.style())) {
        writeText(QString(QChar(0x2022)));
    } else {
        const QString item = list->itemText(block);
        const QString fullSuffix = lf.hasProperty(QTextFormat::ListNumberSuffix) ? lf.numberSuffix() : QStringLiteral(".");
        const QString number = item.mid(lf.numberPrefix().size(),
                                        item.size() - lf.numberPrefix().size() - fullSuffix.size());
        writeText(numberPrefix(lf) + number + numberSuffix(lf));
    }
    m_out += "\\tab}";
}

void Writer::writeParagraph(const QTextBlock &block, int depth)
{
    WorkProgress::step();
    const QTextBlockFormat f = block.blockFormat();
    m_out += "\\pard";
    if (depth >= 1)
        m_out += "\\intbl";
    if (depth >= 2)
        appendNumber(m_out, "\\itap", depth);
    const Qt::Alignment align = f.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignRight)
        m_out += "\\qr";
    else if (align & Qt::AlignHCenter)
        m_out += "\\qc";
    else if (align & Qt::AlignJustify)
        m_out += "\\qj";
    QTextList *list = block.textList();
    int li = twips(f.leftMargin());
    int fi = twips(f.textIndent());
    int level = 0;
    if (list) {
        level = std::clamp(list->format().indent(), 1, 9);
        li += level * ListLevelTwips;
        fi -= ListHangTwips;
    }
    if (li != 0)
        appendNumber(m_out, "\\li", li);
    if (const int ri = twips(f.rightMargin()))
        appendNumber(m_out, "\\ri", ri);
    if (fi != 0)
        appendNumber(m_out, "\\fi", fi);
    if (const int sb = twips(f.topMargin()); sb > 0)
        appendNumber(m_out, "\\sb", sb);
    if (const int sa = twips(f.bottomMargin()); sa > 0)
        appendNumber(m_out, "\\sa", sa);
    switch (f.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        appendNumber(m_out, "\\sl", std::clamp(std::lround(f.lineHeight() * 240 / 100), 1L, 31680L));
        m_out += "\\slmult1";
        break;
    case QTextBlockFormat::FixedHeight:
        appendNumber(m_out, "\\sl", -std::clamp(long(twips(f.lineHeight())), 1L, 31680L));
        m_out += "\\slmult0";
        break;
    case QTextBlockFormat::MinimumHeight:
        appendNumber(m_out, "\\sl", std::clamp(long(twips(f.lineHeight())), 1L, 31680L));
        m_out += "\\slmult0";
        break;
    default:
        break;
    }
    if (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        m_out += "\\pagebb";
    if (!list)
        paragraphOutsideLists();
    if (list) {
        appendNumber(m_out, "\\ls", listNumber(list));
        appendNumber(m_out, "\\ilvl", level - 1);
        m_out += ' ';
        writeListMarks(block, list);
    } else {
        m_out += ' ';
    }
    writeRuns(block);
}

void Writer::writeRowDefinition(QTextTable *table, int row)
{
    const QTextTableFormat tf = table->format();
    const QList<QTextLength> widths = tf.columnWidthConstraints();
    const int columns = table->columns();
    m_out += "\\trowd\\trgaph108";
    long cellx = 0;
    for (int c = 0; c < columns; ++c) {
        const QTextTableCell cell = table->cellAt(row, c);
        if (cell.row() == row && cell.column() == c) {
            if (cell.rowSpan() > 1)
                m_out += "\\clvmgf";
            if (cell.columnSpan() > 1)
                m_out += "\\clmgf";
        } else if (cell.column() != c) {
            m_out += "\\clmrg";
        } else {
            m_out += "\\clvmrg";
        }
        const QTextTableCellFormat cf = cell.format().toTableCellFormat();
        if (cf.background().style() != Qt::NoBrush)
            appendNumber(m_out, "\\clcbpat", colour(cf.background().color()));
        static const char *const sides[] = {"\\clbrdrt", "\\clbrdrl", "\\clbrdrb", "\\clbrdrr"};
        static const QTextFormat::Property widthProps[] = {QTextFormat::TableCellTopBorder,
                QTextFormat::TableCellLeftBorder, QTextFormat::TableCellBottomBorder, QTextFormat::TableCellRightBorder};
        static const QTextFormat::Property brushProps[] = {QTextFormat::TableCellTopBorderBrush,
                QTextFormat::TableCellLeftBorderBrush, QTextFormat::TableCellBottomBorderBrush,
                QTextFormat::TableCellRightBorderBrush};
        for (int side = 0; side < 4; ++side) {
            const double width = cf.hasProperty(widthProps[side]) ? cf.doubleProperty(widthProps[side]) : tf.border();
            const int w = twips(width);
            if (w <= 0)
                continue;
            m_out += sides[side];
            appendNumber(m_out, "\\brdrs\\brdrw", std::min(w, 1500));
            const QBrush brush = cf.brushProperty(brushProps[side]);
            if (brush.style() != Qt::NoBrush && brush.color().rgb() != qRgb(0, 0, 0))
                appendNumber(m_out, "\\brdrcf", colour(brush.color()));
        }
        long width = TextWidthTwips / std::max(1, columns);
        if (c < widths.size()) {
            const QTextLength &length = widths.at(c);
            if (length.type() == QTextLength::FixedLength)
                width = twips(length.rawValue());
            else if (length.type() == QTextLength::PercentageLength)
                width = std::lround(length.rawValue() * TextWidthTwips / 100);
        }
        cellx += std::clamp(width, 1L, 31680L); // the reader keeps columns up to 22 inches
        appendNumber(m_out, "\\cellx", cellx);
    }
}

void Writer::writeTable(QTextTable *table, int depth)
{
    for (int r = 0; r < table->rows(); ++r) {
        if (depth == 1) {
            writeRowDefinition(table, r);
            m_out += '\n';
        }
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            const char *end = depth == 1 ? "\\cell " : "\\nestcell ";
            if (cell.row() != r || cell.column() != c) {
                paragraphOutsideLists();
                m_out += "\\pard\\intbl";
                if (depth >= 2)
                    appendNumber(m_out, "\\itap", depth);
                m_out += end;
                continue;
            }
            std::vector<Element> content = elements(cell.begin());
            for (size_t k = 0; k < content.size(); ++k) {
                if (const auto *block = std::get_if<QTextBlock>(&content[k])) {
                    writeParagraph(*block, depth);
                    m_out += k + 1 < content.size() ? "\\par\n" : end;
                } else {
                    writeTable(std::get<QTextTable *>(content[k]), depth + 1);
                }
            }
            if (content.empty()) {
                paragraphOutsideLists();
                m_out += "\\pard\\intbl";
                m_out += end;
            }
        }
        if (depth == 1) {
            m_out += "\\row\n";
        } else {
            m_out += "{\\*\\nesttableprops";
            writeRowDefinition(table, r);
            m_out += "\\nestrow}{\\nonesttables\\par}\n";
        }
    }
}

void Writer::writeElements(const std::vector<Element> &content, int depth)
{
    for (size_t k = 0; k < content.size(); ++k) {
        if (const auto *block = std::get_if<QTextBlock>(&content[k])) {
            writeParagraph(*block, depth);
            if (k + 1 < content.size())
                m_out += "\\par\n";
        } else {
            writeTable(std::get<QTextTable *>(content[k]), depth + 1);
        }
    }
}

void Writer::findFootnotes(std::vector<Element> &content)
{
    QSet<int> marks;
    for (QTextBlock block = m_doc->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().hasProperty(Rtf::FootnoteBlock))
            continue;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (const int note = it.fragment().charFormat().intProperty(Rtf::FootnoteMark); note > 0)
                marks.insert(note);
    }
    if (marks.isEmpty())
        return;
    // Notes whose mark is gone stay in the text, as paragraphs of their own.
    std::vector<Element> kept;
    bool anyNote = false;
    std::vector<size_t> separators;
    for (const Element &element : content) {
        const auto *block = std::get_if<QTextBlock>(&element);
        const int note = block ? block->blockFormat().intProperty(Rtf::FootnoteBlock) : 0;
        if (block && block->blockFormat().hasProperty(Rtf::FootnoteBlock) && marks.contains(note)) {
            m_notes[note].push_back(*block);
            anyNote = true;
            continue;
        }
        if (block && note == -1 && block->blockFormat().hasProperty(Rtf::FootnoteBlock))
            separators.push_back(kept.size());
        kept.push_back(element);
    }
    if (anyNote) {
        for (auto it = separators.rbegin(); it != separators.rend(); ++it)
            kept.erase(kept.begin() + qsizetype(*it));
    }
    content = std::move(kept);
}

QByteArray Writer::header() const
{
    QByteArray h = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    Writer *self = const_cast<Writer *>(this);
    for (qsizetype k = 0; k < m_fonts.size(); ++k) {
        QByteArray saved;
        std::swap(saved, self->m_out);
        self->writeText(m_fonts.at(k));
        std::swap(saved, self->m_out);
        h += "{\\f" + QByteArray::number(k) + "\\fnil\\fcharset0 "
                + saved + ";}";
    }
    h += "}\n{\\colortbl;";
    for (const QRgb rgb : m_colours)
        h += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb)) + "\\blue"
                + QByteArray::number(qBlue(rgb)) + ';';
    h += "}\n";
    if (!m_lists.isEmpty()) {
        h += "{\\*\\listtable\n";
        for (qsizetype k = 0; k < m_lists.size(); ++k) {
            const QTextListFormat &lf = m_lists.at(k);
            const QByteArray id = QByteArray::number(k + 1);
            h += "{\\list\\listtemplateid" + id;
            for (int level = 0; level < 9; ++level) {
                h += "{\\listlevel";
                QByteArray text;
                // Where the number stands in the level text (1-based): readers that place numbers
                // by it, LibreOffice among them, show none without it.
                QByteArray numbers = "{\\levelnumbers;}";
                switch (Rtf::isBullet(lf.style()) ? QTextListFormat::ListDisc : lf.style()) {
                case QTextListFormat::ListDisc:
                    h += "\\levelnfc23";
                    text = lf.style() == QTextListFormat::ListCircle   ? "\\'01o"
                            : lf.style() == QTextListFormat::ListSquare ? "\\'01\\u9642 ?"
                                                                         : "\\'01\\u8226 ?";
                    break;
                default: {
                    switch (lf.style()) {
                    case QTextListFormat::ListLowerAlpha: h += "\\levelnfc4"; break;
                    case QTextListFormat::ListUpperAlpha: h += "\\levelnfc3"; break;
                    case QTextListFormat::ListLowerRoman: h += "\\levelnfc2"; break;
                    case QTextListFormat::ListUpperRoman: h += "\\levelnfc1"; break;
                    default: h += "\\levelnfc0"; break;
                    }
                    QByteArray saved;
                    std::swap(saved, self->m_out);
                    self->writeText(numberPrefix(lf));
                    self->m_out += "\\'0" + QByteArray::number(level);
                    self->writeText(numberSuffix(lf));
                    std::swap(saved, self->m_out);
                    const qsizetype length = numberPrefix(lf).size() + 1 + numberSuffix(lf).size();
                    static const char hex[] = "0123456789abcdef";
                    text = QByteArray("\\'") + hex[(length >> 4) & 15] + hex[length & 15] + saved;
                    const qsizetype at = numberPrefix(lf).size() + 1;
                    numbers = QByteArray("{\\levelnumbers\\'") + hex[(at >> 4) & 15] + hex[at & 15] + ";}";
                    break;
                }
                }
                h += "\\leveljc0\\levelfollow0\\levelstartat1{\\leveltext" + text + ";}" + numbers + "\\fi-"
                        + QByteArray::number(ListHangTwips) + "\\li" + QByteArray::number((level + 1) * ListLevelTwips) + '}';
            }
            h += "\\listid" + id + "}\n";
        }
        h += "}\n{\\*\\listoverridetable";
        for (qsizetype k = 0; k < m_overrides.size(); ++k) {
            h += "{\\listoverride\\listid" + QByteArray::number(m_overrides.at(k) + 1) + "\\listoverridecount0\\ls"
                    + QByteArray::number(k + 1) + '}';
            if (k % 8 == 7)
                h += '\n';
        }
        h += "}\n";
    }
    h += "{\\*\\generator Saporin;}\\viewkind4\n";
    return h;
}

QByteArray Writer::run()
{
    const QFont defaultFont = m_doc->defaultFont();
    m_defaultFamily = cleanFamily(defaultFont.family());
    if (m_defaultFamily.isEmpty())
        m_defaultFamily = QStringLiteral("Arial");
    if (defaultFont.pointSizeF() > 0)
        m_defaultPointSize = defaultFont.pointSizeF();
    else if (defaultFont.pixelSize() > 0)
        m_defaultPointSize = defaultFont.pixelSize() * 0.75;
    font(m_defaultFamily);
    std::vector<Element> content = elements(m_doc->rootFrame()->begin());
    findFootnotes(content);
    writeElements(content, 0);
    QByteArray out = header();
    out += m_out;
    out += "}\n";
    return out;
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument *document)
{
    Writer writer(document);
    return writer.run();
}

QByteArray RtfWriter::write(const QTextCursor &selection)
{
    const QTextDocument *source = selection.document();
    QTextDocument copy;
    if (source)
        copy.setDefaultFont(source->defaultFont());
    QTextCursor cursor(&copy);
    cursor.insertFragment(selection.selection());
    // Pictures live in the source document's resources; bring along the ones the copy shows.
    if (source) {
        for (QTextBlock block = copy.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (!format.isImageFormat())
                    continue;
                EmbeddedPictureStore::copy(source, &copy, format.toImageFormat().name());
            }
        }
    }
    Writer writer(&copy);
    return writer.run();
}
