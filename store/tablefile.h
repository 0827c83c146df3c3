#pragma once

#include "store/error.h"
#include "store/tabledef.h"

#include <QString>

#include <memory>
#include <vector>

class Table;
struct sqlite3;

// The file form of a table: an SQLite database holding a small "saporin_meta" table (the format
// tag, the collation the rows are ordered by, the next key of each auto-increment field, so that
// keys of deleted records are never given again), one table of every field but the blobs, with
// each record's place in the table order, and per blob field a table of the values by record, so
// that opening a table reads no blob.
// Files of the first layout hold the blobs among the other fields. They open as they are, and
// their first write stores them in the present layout.
// A file of the present layout is written by changes only: the inserted, changed and deleted
// records and the next keys, in one SQLite transaction with a rollback journal and full sync,
// the files of all tables written together in one transaction across them. A new file, or one of
// the first layout, is written whole into a temporary file beside it, flushed to disk and then
// renamed over the old one. A failed or interrupted write leaves the old content either way.
class TableFile
{
public:
    struct Contents {
        std::vector<std::unique_ptr<StoredRow>> rows;   // in the file's order
        std::vector<qint64> nextKeys;   // per field; 1 for fields that are not auto-increment
        QString collation;              // the rules the records were ordered by when written
        bool inOrder = true;            // false when some record has no place in the order
    };

    // A failed write; nothingStored() tells whether every file kept its old content.
    class WriteError : public Error
    {
    public:
        WriteError(const QString &message, bool nothingStored);
        [[nodiscard]] bool nothingStored() const { return m_nothingStored; }

    private:
        bool m_nothingStored;
    };

    TableFile(const TableFile &) = delete;
    TableFile &operator=(const TableFile &) = delete;
    ~TableFile();

    // Reads every record but its blobs and keeps the file open for them. Throws Error naming the
    // file when it cannot be read or is not a table file of this shape.
    [[nodiscard]] static std::unique_ptr<TableFile> open(const TableDef &def, const QString &path,
                                                         Contents &contents);

    // The blob `field` of the record stored in row `fileRow`; throws Error naming the file when it
    // can no longer be read.
    [[nodiscard]] QByteArray blob(int field, qint64 fileRow) const;
    [[nodiscard]] qint64 blobSize(int field, qint64 fileRow) const;

    // True when the file can be written by changes only: it has the present layout and is still
    // the file that was read.
    [[nodiscard]] bool canTakeChanges() const;

    // Stores the changes of the tables that are active and changed since they were read or
    // created, in their order (master first): files written whole are prepared first, then each
    // file is replaced or changed in turn, neighbouring files written by changes in one
    // transaction. Throws WriteError naming the file.
    static void write(const std::vector<const Table *> &tables);

    // Gaps between neighbouring records' places in the order, so that records put between them
    // rarely make every place change.
    static constexpr qint64 OrderGap = qint64(1) << 20;

private:
    TableFile(TableDef def, QString path);
    [[nodiscard]] QByteArray readBlob(int field, qint64 fileRow, bool sizeOnly, qint64 *size) const;

    TableDef m_def;
    QString m_path;
    sqlite3 *m_db = nullptr;
    int m_layout = 0;   // 1 or 2
    quint64 m_device = 0;   // the file that was read
    quint64 m_inode = 0;
};
