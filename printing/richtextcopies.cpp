#include "printing/richtextcopies.h"

#include "editor/embeddedpicture.h"

#include <QTextDocument>

RichTextCopies::RichTextCopies() = default;

RichTextCopies::~RichTextCopies()
{
    clear();
}

QTextDocument *RichTextCopies::copyOf(const QTextDocument *source)
{
    if (Entry *entry = m_copies.value(source)) {
        ++entry->references;
        return entry->copy.get();
    }
    // A clone holds the same blocks, formats and image resources as the source, so the copy lays
    // out exactly what the editor shows, pictures included.
    auto *entry = new Entry;
    entry->copy.reset(source->clone());
    entry->copy->setUndoRedoEnabled(false);
    // The clone's layout needs our picture drawing: stand-ins and metafiles are drawn at paint time.
    EmbeddedPictureStore::preparePainting(entry->copy.get());
    entry->references = 1;
    m_copies.insert(source, entry);
    return entry->copy.get();
}

void RichTextCopies::release(const QTextDocument *source)
{
    Entry *entry = m_copies.value(source);
    if (!entry || --entry->references > 0)
        return;
    m_copies.remove(source);
    delete entry;
}

int RichTextCopies::references(const QTextDocument *source) const
{
    const Entry *entry = m_copies.value(source);
    return entry ? entry->references : 0;
}

void RichTextCopies::clear()
{
    qDeleteAll(m_copies);
    m_copies.clear();
}
