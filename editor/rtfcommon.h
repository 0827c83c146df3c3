#pragma once

#include <QString>
#include <QTextFormat>
#include <QTextListFormat>

// Units and rules the RTF reader and writer must agree on, or a document would not read back as
// it was written.
namespace Rtf {

// Twips (1/1440 inch) per document pixel at 96 dpi.
inline constexpr double TwipsPerPixel = 15.0;
// Indent of one list level in the document, in twips (Qt's default indent width of 40 pixels).
inline constexpr int ListLevelTwips = 600;
// Hanging indent a list paragraph's first line carries in the file, in twips.
inline constexpr int ListHangTwips = 360;
// Longest text before or after a list number: a level text's length is one byte.
inline constexpr int MaxNumberText = 28;

// Footnotes: the reader gathers the notes at the end of the document under a separator line, and
// the writer takes them back from there. A note mark carries the number of its note
// (FootnoteMark, from 1); each paragraph of a note carries that number (FootnoteBlock; 0 for a
// note with a mark of its own, -1 for the separator).
inline constexpr int FootnoteMark = QTextFormat::UserProperty + 0x4E0;
inline constexpr int FootnoteBlock = QTextFormat::UserProperty + 0x4E1;

// Lists whose items carry no number are bullets, whatever shape the bullet has.
inline bool isBullet(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal:
    case QTextListFormat::ListLowerAlpha:
    case QTextListFormat::ListUpperAlpha:
    case QTextListFormat::ListLowerRoman:
    case QTextListFormat::ListUpperRoman:
        return false;
    default:
        return true;
    }
}

// The text around a list number as both sides keep it: no control characters, no line or
// paragraph ends, no ";" (which ends a level text), at most MaxNumberText characters.
inline QString numberText(QString text)
{
    text.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return u < 0x20 || u == 0x2028 || u == 0x2029 || u == u';';
    });
    return text.left(MaxNumberText);
}

// A link target as both sides keep it: no control characters, line or paragraph ends or object
// marks. A target left empty is no link at all.
inline QString linkTarget(QString target)
{
    target.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return u < 0x20 || u == 0x2028 || u == 0x2029 || u == 0xFFFC;
    });
    return target;
}

} // namespace Rtf
