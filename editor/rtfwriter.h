#pragma once

#include <QByteArray>

class QTextCursor;
class QTextDocument;

// Writes a QTextDocument as RTF that other word processors read: a font and colour table, \uN
// text with a one-byte fallback, paragraph and character formats, lists in the \ls form with
// their labels as \listtext (the older \pn form makes LibreOffice slow), tables, links as
// HYPERLINK fields and embedded pictures as their original bytes. RtfReader reads the output
// back to a document that writes the same bytes again.
class RtfWriter
{
public:
    [[nodiscard]] static QByteArray write(const QTextDocument *document);
    // Only the cursor's selection, as a document of its own.
    [[nodiscard]] static QByteArray write(const QTextCursor &selection);
};
