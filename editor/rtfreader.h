#pragma once

#include <QByteArray>

class QTextCursor;
class QTextDocument;

// Reads RTF into a QTextDocument: text, character and paragraph formats, lists, tables, links and
// embedded pictures. It reads what word processors write, not only our own output, and survives
// damaged input: what can be read is read, and nothing grows beyond the size of the input.
class RtfReader
{
public:
    enum class Status {
        Ok,
        NotRtf, // the data does not start with "{\rtf"; the document was left untouched
    };

    // Replaces the document's content (pictures included) with the RTF. Undo history is not kept.
    static Status read(const QByteArray &rtf, QTextDocument *document);

    // Inserts the RTF at the cursor, replacing its selection, as one undo step. The cursor ends
    // after the inserted content.
    static Status insert(const QByteArray &rtf, QTextCursor &cursor);

    // True when the data starts with "{\rtf" (after blanks).
    [[nodiscard]] static bool isRtf(const QByteArray &data);

    // Limits that keep damaged input in check.
    static constexpr int MaxGroupDepth = 2000;
    static constexpr int MaxTableDepth = 8;
    static constexpr int MaxTableColumns = 63;
    // Lists longer than this continue as a new list (Qt's lists slow down with their length).
    static constexpr int MaxListItems = 1000;
};
