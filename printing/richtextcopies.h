#pragma once

#include <QHash>

#include <memory>

class QTextDocument;

// Private copies of rich-text documents for layout and printing, one per source document and
// reference-counted by it. Copies carry the source's pictures along.
class RichTextCopies
{
public:
    RichTextCopies();
    ~RichTextCopies();

    // The copy of the source: made on first request, otherwise the existing one with one more
    // reference.
    QTextDocument *copyOf(const QTextDocument *source);
    // Drops one reference; the copy goes with its last one.
    void release(const QTextDocument *source);
    [[nodiscard]] int references(const QTextDocument *source) const;
    [[nodiscard]] int count() const { return int(m_copies.size()); }
    void clear();

private:
    struct Entry
    {
        std::unique_ptr<QTextDocument> copy;
        int references = 0;
    };
    QHash<const QTextDocument *, Entry *> m_copies;
};
