#pragma once

#include "store/tabledef.h"

#include <QString>
#include <QVariant>

#include <vector>

class Table;

// The file form of a table: an SQLite database holding one table of the table's fields (rows in
// table order) and a small "saporin_meta" table with the format tag, the collation the rows were
// ordered by, and the next key of each auto-increment field, so that keys of deleted records are
// never given again.
// A file is always written whole into a temporary file beside it, flushed to disk and then renamed
// over the old one, so a failed write leaves the old file as it was.
class TableFile
{
public:
    // A table written whole into a temporary file beside its own file, waiting to replace it.
    // Dropped without commit(), it removes the temporary file and leaves the old file as it was.
    class Pending
    {
    public:
        Pending(QString temporary, QString path);
        Pending(Pending &&other) noexcept;
        Pending &operator=(Pending &&other) noexcept;
        Pending(const Pending &) = delete;
        Pending &operator=(const Pending &) = delete;
        ~Pending();

        // Renames the temporary file over the table's file. Throws Error naming the file; the
        // temporary file is gone afterwards either way.
        void commit();

    private:
        void discard() noexcept;

        QString m_temporary;
        QString m_path;
    };

    struct Contents {
        std::vector<std::vector<QVariant>> rows;
        std::vector<qint64> nextKeys;   // per field; 1 for fields that are not auto-increment
        QString collation;              // the rules the records were ordered by when written
    };

    // Reads every record. Throws Error naming the file when it cannot be read or is not a table
    // file of this shape.
    [[nodiscard]] static Contents read(const TableDef &def, const QString &path);
    // Writes every stored record of the table into a temporary file beside its file name.
    [[nodiscard]] static Pending prepare(const Table &table);
    // prepare() and commit() in one.
    static void write(const Table &table);
};
