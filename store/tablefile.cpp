#include "store/tablefile.h"

#include "store/error.h"
#include "store/table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <limits>
#include <unistd.h>
#include <algorithm>
#include <optional>
#include <unordered_set>
#include <utility>

namespace {

// The first layout kept blobs among the other fields; the second keeps them in tables of their own.
constexpr const char *FirstFormatTag = "saporin-table/1";
constexpr const char *FormatTag = "saporin-table/2";
constexpr const char *OrderColumn = "saporin_order";

QString tr(const char *text)
{
    return QCoreApplication::translate("TableFile", text);
}

QString quoted(const QString &name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// An open database that is closed on every way out.
class Database
{
public:
    Database() = default;
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;
    ~Database()
    {
        if (m_db)
            sqlite3_close_v2(m_db);
    }

    // Returns an error text, or an empty string on success.
    QString open(const QString &path, int flags)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK)
            return lastError(rc);
        sqlite3_extended_result_codes(m_db, 1);
        return {};
    }

    // Closes explicitly, so that a failure to finish writing is seen.
    QString close()
    {
        const int rc = sqlite3_close(m_db);
        if (rc != SQLITE_OK)
            return lastError(rc);
        m_db = nullptr;
        return {};
    }

    [[nodiscard]] QString lastError(int rc) const
    {
        const char *message = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
        return QString::fromUtf8(message ? message : sqlite3_errstr(rc));
    }

    [[nodiscard]] sqlite3 *handle() const { return m_db; }
    // Hands the open database over to the caller.
    [[nodiscard]] sqlite3 *release() { return std::exchange(m_db, nullptr); }

private:
    sqlite3 *m_db = nullptr;
};

class Statement
{
public:
    Statement(Database &db, const QString &sql) : m_db(db)
    {
        const QByteArray text = sql.toUtf8();
        const int rc = sqlite3_prepare_v2(db.handle(), text.constData(), int(text.size()), &m_stmt, nullptr);
        if (rc != SQLITE_OK)
            throw Error(db.lastError(rc));
    }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement() { sqlite3_finalize(m_stmt); }

    // True while there is a row; throws on failure.
    bool step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw Error(m_db.lastError(rc));
    }

    void reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    [[nodiscard]] sqlite3_stmt *handle() const { return m_stmt; }

    [[nodiscard]] QString text(int column) const
    {
        const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        return QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, column));
    }

private:
    Database &m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

void execute(Database &db, const QString &sql)
{
    Statement statement(db, sql);
    while (statement.step()) {
    }
}

QString sqlType(FieldType type)
{
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
        return QStringLiteral("INTEGER");
    case FieldType::Text:
        return QStringLiteral("TEXT");
    case FieldType::Blob:
        return QStringLiteral("BLOB");
    }
    return {};
}

QString nextKeyName(const FieldDef &field)
{
    return QStringLiteral("next:") + field.name;
}



void syncPath(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        throw Error(QString::fromLocal8Bit(std::strerror(errno)));
    const int rc = ::fsync(fd);
    const int fsyncErrno = errno;
    ::close(fd);
    // Some file systems cannot sync a directory; the rename itself has happened then.
    if (rc != 0 && !(flags & O_DIRECTORY && (fsyncErrno == EINVAL || fsyncErrno == EBADF)))
        throw Error(QString::fromLocal8Bit(std::strerror(fsyncErrno)));
}

bool isBlob(const FieldDef &field)
{
    return field.type == FieldType::Blob;
}

QString blobTableName(const TableDef &def, const FieldDef &field)
{
    return def.name + QLatin1Char('.') + field.name;
}

// The fields a layout keeps in the table of records.
QList<int> recordColumns(const TableDef &def, int layout)
{
    QList<int> fields;
    for (int i = 0; i < def.fields.size(); ++i) {
        if (layout == 1 || !isBlob(def.fields.at(i)))
            fields << i;
    }
    return fields;
}

QString columnList(const TableDef &def, const QList<int> &fields)
{
    QStringList columns;
    for (const int i : fields)
        columns << quoted(def.fields.at(i).name);
    return columns.join(QLatin1String(", "));
}

Error readFailure(const QString &path, const QString &reason)
{
    return Error(tr("Cannot read the table file \"%1\": %2").arg(QDir::toNativeSeparators(path), reason));
}

Error writeFailure(const QString &path, const QString &reason)
{
    return Error(tr("Cannot write the table file \"%1\": %2").arg(QDir::toNativeSeparators(path), reason));
}

// Reads every record but the blobs of an open database; gives its layout, throws Error with the
// bare reason.
int readContents(Database &db, const TableDef &def, TableFile::Contents &contents)
{
    QStringList names;
    {
        Statement tables(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
        while (tables.step())
            names << tables.text(0);
    }
    if (!names.contains(QLatin1String("saporin_meta")))
        throw Error(tr("it is not a recipe table file"));
    if (!names.contains(def.name))
        throw Error(tr("it holds no table \"%1\"").arg(def.name));
    contents.nextKeys.assign(def.fields.size(), 1);
    int layout = 0;
    {
        Statement meta(db, QStringLiteral("SELECT key, value FROM saporin_meta"));
        while (meta.step()) {
            const QString key = meta.text(0);
            if (key == QLatin1String("format")) {
                const QString tag = meta.text(1);
                layout = tag == QLatin1String(FormatTag) ? 2 : tag == QLatin1String(FirstFormatTag) ? 1 : 0;
                continue;
            }
            if (key == QLatin1String("collation")) {
                contents.collation = meta.text(1);
                continue;
            }
            for (int i = 0; i < def.fields.size(); ++i) {
                if (def.fields.at(i).type == FieldType::AutoInc && key == nextKeyName(def.fields.at(i)))
                    contents.nextKeys[i] = qMax<qint64>(1, sqlite3_column_int64(meta.handle(), 1));
            }
        }
        if (layout == 0)
            throw Error(tr("it is not a recipe table file of a known version"));
    }
    {
        Statement info(db, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(def.name)));
        QStringList columns;
        while (info.step())
            columns << info.text(1);
        for (const int i : recordColumns(def, layout)) {
            if (!columns.contains(def.fields.at(i).name))
                throw Error(tr("its table \"%1\" has no field \"%2\"").arg(def.name, def.fields.at(i).name));
        }
        if (layout == 2 && !columns.contains(QLatin1String(OrderColumn)))
            throw Error(tr("its table \"%1\" has no field \"%2\"").arg(def.name, QLatin1String(OrderColumn)));
    }
    quint32 blobs = 0;
    for (int i = 0; i < def.fields.size(); ++i) {
        if (!isBlob(def.fields.at(i)))
            continue;
        blobs |= 1u << i;
        if (layout == 2 && !names.contains(blobTableName(def, def.fields.at(i))))
            throw Error(tr("it holds no table \"%1\"").arg(blobTableName(def, def.fields.at(i))));
    }

    const QList<int> fields = recordColumns(def, layout);
    QList<int> read;   // the columns selected after rowid, blobs left out
    for (const int i : fields) {
        if (!isBlob(def.fields.at(i)))
            read << i;
    }
    const QString order = layout == 2 ? quoted(QLatin1String(OrderColumn)) : QStringLiteral("rowid");
    std::vector<std::unordered_set<qint64>> seenKeys(def.fields.size());
    Statement rows(db, QStringLiteral("SELECT rowid, %1, %2 FROM %3 ORDER BY rowid")
                           .arg(columnList(def, read), order, quoted(def.name)));
    sqlite3_stmt *stmt = rows.handle();
    const int orderColumn = int(read.size()) + 1;
    bool ascending = true;
    qint64 last = 0;
    while (rows.step()) {
        auto record = std::make_unique<StoredRow>();
        record->values.resize(def.fields.size());
        record->fileRow = sqlite3_column_int64(stmt, 0);
        record->blobsInFile = blobs;
        for (int c = 0; c < read.size(); ++c) {
            const int i = read.at(c);
            const int column = c + 1;
            const FieldDef &field = def.fields.at(i);
            const int kind = sqlite3_column_type(stmt, column);
            if (kind == SQLITE_NULL) {
                if (field.type == FieldType::AutoInc)
                    throw Error(tr("a record has no value in field \"%1\"").arg(field.name));
                continue;
            }
            if (field.type == FieldType::Text) {
                record->values[i] = Table::cutToSize(rows.text(column), field.size);
                continue;
            }
            const qint64 number = sqlite3_column_int64(stmt, column);
            if (kind != SQLITE_INTEGER || number < std::numeric_limits<qint32>::min()
                || number > std::numeric_limits<qint32>::max())
                throw Error(tr("a record holds an invalid value in field \"%1\"").arg(field.name));
            if (field.type == FieldType::AutoInc) {
                if (!seenKeys[i].insert(number).second)
                    throw Error(tr("two records share the key %1 in field \"%2\"").arg(number).arg(field.name));
                contents.nextKeys[i] = qMax(contents.nextKeys[i], number + 1);
            }
            record->values[i] = int(number);
        }
        record->order = sqlite3_column_type(stmt, orderColumn) == SQLITE_INTEGER
                            ? sqlite3_column_int64(stmt, orderColumn) : 0;
        if (record->order <= 0)
            contents.inOrder = false;
        else if (record->order <= last)
            ascending = false;
        last = record->order;
        contents.rows.push_back(std::move(record));
    }
    if (!ascending) {
        std::stable_sort(contents.rows.begin(), contents.rows.end(),
                         [](const auto &a, const auto &b) { return a->order < b->order; });
        for (size_t i = 1; i < contents.rows.size(); ++i) {
            if (contents.rows[i]->order == contents.rows[i - 1]->order)
                contents.inOrder = false;
        }
    }
    return layout;
}

void bindValue(sqlite3_stmt *stmt, int column, FieldType type, const QVariant &value, QByteArray &scratch)
{
    if (!value.isValid() || value.isNull()) {
        sqlite3_bind_null(stmt, column);
        return;
    }
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
        sqlite3_bind_int(stmt, column, value.toInt());
        break;
    case FieldType::Text:
        scratch = value.toString().toUtf8();
        sqlite3_bind_text(stmt, column, scratch.constData(), int(scratch.size()), SQLITE_TRANSIENT);
        break;
    case FieldType::Blob:
        if (value.typeId() == QMetaType::QByteArray) {
            // The value outlives the step: no copy.
            const auto *bytes = static_cast<const QByteArray *>(value.constData());
            sqlite3_bind_blob64(stmt, column, bytes->constData(), sqlite3_uint64(bytes->size()), SQLITE_STATIC);
        } else {
            scratch = value.toByteArray();
            sqlite3_bind_blob64(stmt, column, scratch.constData(), sqlite3_uint64(scratch.size()), SQLITE_TRANSIENT);
        }
        break;
    }
}

void writeMeta(Database &db, const QString &schema, const Table &table)
{
    const TableDef &def = table.definition();
    Statement meta(db, QStringLiteral("INSERT OR REPLACE INTO %1.saporin_meta (key, value) VALUES (?, ?)").arg(schema));
    auto put = [&](const QString &key, const QVariant &value) {
        const QByteArray keyText = key.toUtf8();
        sqlite3_bind_text(meta.handle(), 1, keyText.constData(), int(keyText.size()), SQLITE_TRANSIENT);
        if (value.typeId() == QMetaType::QString) {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(meta.handle(), 2, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_int64(meta.handle(), 2, value.toLongLong());
        }
        meta.step();
        meta.reset();
    };
    put(QStringLiteral("format"), QString::fromLatin1(FormatTag));
    put(QStringLiteral("table"), def.name);
    put(QStringLiteral("collation"), table.collationName());
    for (int i = 0; i < def.fields.size(); ++i) {
        if (def.fields.at(i).type == FieldType::AutoInc)
            put(nextKeyName(def.fields.at(i)), table.nextKey(i));
    }
}

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

Pending::Pending(QString temporary, QString path)
    : m_temporary(std::move(temporary)), m_path(std::move(path))
{
}

Pending::Pending(Pending &&other) noexcept
    : m_temporary(std::exchange(other.m_temporary, QString())), m_path(std::move(other.m_path))
{
}

Pending &Pending::operator=(Pending &&other) noexcept
{
    if (this != &other) {
        discard();
        m_temporary = std::exchange(other.m_temporary, QString());
        m_path = std::move(other.m_path);
    }
    return *this;
}

Pending::~Pending()
{
    discard();
}

void Pending::discard() noexcept
{
    if (!m_temporary.isEmpty())
        ::unlink(QFile::encodeName(m_temporary).constData());
    m_temporary.clear();
}

void Pending::commit()
{
    if (m_temporary.isEmpty())
        return;
    const QByteArray from = QFile::encodeName(m_temporary);
    if (::rename(from.constData(), QFile::encodeName(m_path).constData()) != 0) {
        const int code = errno;
        discard();
        throw writeFailure(m_path, QString::fromLocal8Bit(std::strerror(code)));
    }
    m_temporary.clear();
    try {
        syncPath(QFileInfo(m_path).absolutePath(), O_RDONLY | O_DIRECTORY);
    } catch (const Error &) {
        // The file is complete and in place; only the directory entry may reach the disk later.
    }
}

// Places in the file's order for the rows of a table: records whose place still fits keep it,
// the others get places between their neighbours. Gives false when there is no room left.
bool placeRows(const Table &table, std::vector<qint64> &orders)
{
    const int count = table.totalRecordCount();
    orders.assign(size_t(count), 0);
    auto keeps = [&](int i) {
        const StoredRow &row = table.storedRow(i);
        return !row.changed && row.fileRow != 0 && row.order > 0;
    };
    qint64 previous = 0;
    int i = 0;
    while (i < count) {
        if (keeps(i)) {
            const qint64 order = table.storedRow(i).order;
            if (order <= previous)
                return false;
            orders[size_t(i)] = previous = order;
            ++i;
            continue;
        }
        int j = i;
        while (j < count && !keeps(j))
            ++j;
        const qint64 run = j - i;
        const qint64 next = j < count ? table.storedRow(j).order : previous + (run + 1) * TableFile::OrderGap;
        const qint64 step = (next - previous) / (run + 1);
        if (step < 1)
            return false;
        for (qint64 k = 0; k < run; ++k)
            orders[size_t(i + k)] = previous + step * (k + 1);
        previous = orders[size_t(j - 1)];
        i = j;
    }
    return true;
}

void createLayout(Database &db, const TableDef &def)
{
    execute(db, QStringLiteral("CREATE TABLE saporin_meta (key TEXT PRIMARY KEY, value)"));
    QStringList columns;
    for (const int i : recordColumns(def, 2))
        columns << quoted(def.fields.at(i).name) + QLatin1Char(' ') + sqlType(def.fields.at(i).type);
    columns << quoted(QLatin1String(OrderColumn)) + QStringLiteral(" INTEGER");
    execute(db, QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(def.name), columns.join(QLatin1String(", "))));
    for (const FieldDef &field : def.fields) {
        if (isBlob(field))
            execute(db, QStringLiteral("CREATE TABLE %1 (row INTEGER PRIMARY KEY, value BLOB)")
                            .arg(quoted(blobTableName(def, field))));
    }
}

// Stores the changes of one table into the database attached as `schema`, inside the caller's
// transaction: deleted records, then changed and inserted ones, with their blobs.
void writeChanges(Database &db, const QString &schema, const Table &table)
{
    const TableDef &def = table.definition();
    const QString records = schema + QLatin1Char('.') + quoted(def.name);
    std::vector<int> blobFields;
    for (int i = 0; i < def.fields.size(); ++i) {
        if (isBlob(def.fields.at(i)))
            blobFields.push_back(i);
    }
    auto blobTable = [&](int field) { return schema + QLatin1Char('.') + quoted(blobTableName(def, def.fields.at(field))); };

    {
        Statement remove(db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(records));
        std::vector<std::unique_ptr<Statement>> removeBlobs;
        for (const int field : blobFields)
            removeBlobs.push_back(std::make_unique<Statement>(db, QStringLiteral("DELETE FROM %1 WHERE row = ?").arg(blobTable(field))));
        for (const qint64 fileRow : table.deletedFileRows()) {
            sqlite3_bind_int64(remove.handle(), 1, fileRow);
            remove.step();
            remove.reset();
            for (auto &statement : removeBlobs) {
                sqlite3_bind_int64(statement->handle(), 1, fileRow);
                statement->step();
                statement->reset();
            }
        }
    }

    std::vector<qint64> orders;
    const bool renumber = table.reordered() || !placeRows(table, orders);
    const QList<int> fields = recordColumns(def, 2);
    QStringList assignments;
    QStringList marks;
    for (const int i : fields) {
        assignments << quoted(def.fields.at(i).name) + QStringLiteral(" = ?");
        marks << QStringLiteral("?");
    }
    const QString order = quoted(QLatin1String(OrderColumn));
    Statement update(db, QStringLiteral("UPDATE %1 SET %2, %3 = ? WHERE rowid = ?")
                             .arg(records, assignments.join(QLatin1String(", ")), order));
    Statement insert(db, QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (%4, ?)")
                             .arg(records, columnList(def, fields), order, marks.join(QLatin1String(", "))));
    Statement move(db, QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?").arg(records, order));
    std::vector<std::unique_ptr<Statement>> putBlobs;
    std::vector<std::unique_ptr<Statement>> dropBlobs;
    for (const int field : blobFields) {
        putBlobs.push_back(std::make_unique<Statement>(
            db, QStringLiteral("INSERT OR REPLACE INTO %1 (row, value) VALUES (?, ?)").arg(blobTable(field))));
        dropBlobs.push_back(std::make_unique<Statement>(db, QStringLiteral("DELETE FROM %1 WHERE row = ?").arg(blobTable(field))));
    }

    QByteArray scratch;
    const int count = table.totalRecordCount();
    for (int r = 0; r < count; ++r) {
        const StoredRow &row = table.storedRow(r);
        const qint64 place = renumber ? (qint64(r) + 1) * TableFile::OrderGap : orders[size_t(r)];
        if (!row.changed && row.fileRow != 0) {
            if (place != row.order) {
                sqlite3_bind_int64(move.handle(), 1, place);
                sqlite3_bind_int64(move.handle(), 2, row.fileRow);
                move.step();
                move.reset();
            }
            continue;
        }
        Statement &statement = row.fileRow != 0 ? update : insert;
        int column = 1;
        for (const int i : fields)
            bindValue(statement.handle(), column++, def.fields.at(i).type, row.values[size_t(i)], scratch);
        sqlite3_bind_int64(statement.handle(), column++, place);
        if (row.fileRow != 0)
            sqlite3_bind_int64(statement.handle(), column, row.fileRow);
        statement.step();
        statement.reset();
        const qint64 fileRow = row.fileRow != 0 ? row.fileRow : sqlite3_last_insert_rowid(db.handle());
        for (size_t b = 0; b < blobFields.size(); ++b) {
            const int field = blobFields[b];
            if (row.blobsInFile & (1u << field))
                continue;   // unchanged, still in its place
            const QVariant &value = row.values[size_t(field)];
            const bool empty = value.toByteArray().isEmpty();
            Statement &blob = empty ? *dropBlobs[b] : *putBlobs[b];
            sqlite3_bind_int64(blob.handle(), 1, fileRow);
            if (!empty)
                bindValue(blob.handle(), 2, FieldType::Blob, value, scratch);
            blob.step();
            blob.reset();
        }
    }
    writeMeta(db, schema, table);
}

// Writes every record of a table into a new database of the present layout.
void writeWhole(Database &db, const Table &table)
{
    const TableDef &def = table.definition();
    // Bodies of several kilobytes pack best into small pages with overflow chains: with 16 KB pages
    // a 10 KB body leaves most of its page empty and the file grows by half.
    execute(db, QStringLiteral("PRAGMA page_size = 4096"));
    // The file is a temporary one, flushed and renamed into place when complete.
    execute(db, QStringLiteral("PRAGMA journal_mode = OFF"));
    execute(db, QStringLiteral("PRAGMA synchronous = OFF"));
    execute(db, QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
    execute(db, QStringLiteral("BEGIN"));
    createLayout(db, def);
    writeMeta(db, QStringLiteral("main"), table);
    const QList<int> fields = recordColumns(def, 2);
    QStringList marks;
    for (int i = 0; i < fields.size(); ++i)
        marks << QStringLiteral("?");
    Statement insert(db, QStringLiteral("INSERT INTO %1 (rowid, %2, %3) VALUES (?, %4, ?)")
                             .arg(quoted(def.name), columnList(def, fields), quoted(QLatin1String(OrderColumn)),
                                  marks.join(QLatin1String(", "))));
    std::vector<std::pair<int, std::unique_ptr<Statement>>> blobs;
    for (int i = 0; i < def.fields.size(); ++i) {
        if (isBlob(def.fields.at(i)))
            blobs.emplace_back(i, std::make_unique<Statement>(db, QStringLiteral("INSERT INTO %1 (row, value) VALUES (?, ?)")
                                                                      .arg(quoted(blobTableName(def, def.fields.at(i))))));
    }
    QByteArray scratch;
    for (int r = 0; r < table.totalRecordCount(); ++r) {
        const StoredRow &row = table.storedRow(r);
        const qint64 fileRow = r + 1;
        sqlite3_bind_int64(insert.handle(), 1, fileRow);
        int column = 2;
        for (const int i : fields)
            bindValue(insert.handle(), column++, def.fields.at(i).type, row.values[size_t(i)], scratch);
        sqlite3_bind_int64(insert.handle(), column, fileRow * TableFile::OrderGap);
        insert.step();
        insert.reset();
        for (auto &[field, statement] : blobs) {
            // A value still in the old file is read from there, one at a time.
            const QVariant value = table.storedValue(r, field);
            if (value.toByteArray().isEmpty())
                continue;
            sqlite3_bind_int64(statement->handle(), 1, fileRow);
            bindValue(statement->handle(), 2, FieldType::Blob, value, scratch);
            statement->step();
            statement->reset();
        }
    }
    execute(db, QStringLiteral("COMMIT"));
}

Pending prepareWhole(const Table &table)
{
    const QString path = table.fileName();
    auto failure = [&](const QString &reason) { return writeFailure(path, reason); };

    const QFileInfo target(path);
    QByteArray pattern = QFile::encodeName(target.absolutePath() + QLatin1String("/.")
                                           + target.fileName() + QLatin1String(".XXXXXX"));
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        throw failure(QString::fromLocal8Bit(std::strerror(errno)));
    // mkstemp makes the file private; give it the old file's mode, or the one a new file gets.
    struct stat old {};
    mode_t mode = 0;
    if (::stat(QFile::encodeName(path).constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    ::close(fd);
    Pending pending(QFile::decodeName(pattern), path);

    try {
        Database db;
        QString problem = db.open(QFile::decodeName(pattern), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
        if (!problem.isEmpty())
            throw Error(problem);
        writeWhole(db, table);
        problem = db.close();
        if (!problem.isEmpty())
            throw Error(problem);
        syncPath(QFile::decodeName(pattern), O_RDONLY);
    } catch (const Error &error) {
        throw failure(error.message());
    }
    return pending;
}

// Stores the changes of tables whose files have the present layout, in one transaction across
// all their files: SQLite commits a transaction over several rollback-journal databases
// atomically, through a journal that names them all.
void commitChanges(const std::vector<const Table *> &tables)
{
    Database db;
    QString current = tables.front()->fileName();
    try {
        QString problem = db.open(current, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
        if (!problem.isEmpty())
            throw Error(problem);
        sqlite3_busy_timeout(db.handle(), 10000);
        QStringList schemas{QStringLiteral("main")};
        for (size_t i = 1; i < tables.size(); ++i) {
            const QString schema = QStringLiteral("t%1").arg(i);
            Statement attach(db, QStringLiteral("ATTACH DATABASE ? AS %1").arg(schema));
            const QByteArray name = tables[i]->fileName().toUtf8();
            sqlite3_bind_text(attach.handle(), 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            current = tables[i]->fileName();
            attach.step();
            schemas << schema;
        }
        for (const QString &schema : std::as_const(schemas)) {
            execute(db, QStringLiteral("PRAGMA %1.journal_mode = DELETE").arg(schema));
            execute(db, QStringLiteral("PRAGMA %1.synchronous = FULL").arg(schema));
        }
        execute(db, QStringLiteral("BEGIN IMMEDIATE"));
        try {
            for (size_t i = 0; i < tables.size(); ++i) {
                current = tables[i]->fileName();
                writeChanges(db, schemas.at(qsizetype(i)), *tables[i]);
            }
            current = tables.front()->fileName();
            execute(db, QStringLiteral("COMMIT"));
        } catch (...) {
            sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        problem = db.close();
        if (!problem.isEmpty())
            throw Error(problem);
    } catch (const Error &error) {
        throw writeFailure(current, error.message());
    }
}

} // namespace

TableFile::WriteError::WriteError(const QString &message, bool nothingStored)
    : Error(message), m_nothingStored(nothingStored)
{
}

TableFile::TableFile(TableDef def, QString path) : m_def(std::move(def)), m_path(std::move(path)) {}

TableFile::~TableFile()
{
    if (m_db)
        sqlite3_close_v2(m_db);
}

std::unique_ptr<TableFile> TableFile::open(const TableDef &def, const QString &path, Contents &contents)
{
    auto failure = [&](const QString &reason) { return readFailure(path, reason); };
    const QFileInfo info(path);
    if (info.isDir())
        throw failure(tr("it is a directory"));
    if (!info.exists())
        throw failure(tr("it does not exist"));
    if (!info.isReadable())
        throw failure(tr("permission denied"));

    std::unique_ptr<TableFile> file(new TableFile(def, path));
    // Read and write, where allowed, so that SQLite can roll back a write that was cut off.
    Database db;
    const int flags = info.isWritable() ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    const QString opened = db.open(path, flags | SQLITE_OPEN_NOMUTEX);
    if (!opened.isEmpty())
        throw failure(opened);
    sqlite3_busy_timeout(db.handle(), 10000);
    try {
        execute(db, QStringLiteral("BEGIN"));
        file->m_layout = readContents(db, def, contents);
        execute(db, QStringLiteral("COMMIT"));
    } catch (const Error &error) {
        throw failure(error.message());
    }
    struct stat held {};
    if (::stat(QFile::encodeName(path).constData(), &held) == 0) {
        file->m_device = held.st_dev;
        file->m_inode = held.st_ino;
    }
    file->m_db = db.release();
    return file;
}

QByteArray TableFile::readBlob(int field, qint64 fileRow, bool sizeOnly, qint64 *size) const
{
    const FieldDef &def = m_def.fields.at(field);
    const QString sql = m_layout == 2
        ? QStringLiteral("SELECT %1 FROM %2 WHERE row = ?")
              .arg(sizeOnly ? QStringLiteral("length(value)") : QStringLiteral("value"),
                   quoted(blobTableName(m_def, def)))
        : QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
              .arg(sizeOnly ? QStringLiteral("length(%1)").arg(quoted(def.name)) : quoted(def.name), quoted(m_def.name));
    sqlite3_stmt *stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    int rc = sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &stmt, nullptr);
    QByteArray value;
    if (rc == SQLITE_OK) {
        sqlite3_bind_int64(stmt, 1, fileRow);
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            if (sizeOnly) {
                *size = sqlite3_column_int64(stmt, 0);
            } else {
                const auto *data = static_cast<const char *>(sqlite3_column_blob(stmt, 0));
                const int bytes = sqlite3_column_bytes(stmt, 0);
                // A value that fails to come whole (out of memory, a damaged page) is an error.
                rc = sqlite3_errcode(m_db);
                if (rc == SQLITE_ROW || rc == SQLITE_OK)
                    value = QByteArray(data, bytes);
            }
            if (rc == SQLITE_ROW || rc == SQLITE_OK)
                rc = sqlite3_step(stmt);
        }
    }
    const QString reason = QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        throw Error(tr("Cannot read \"%1\" of a record from the table file \"%2\": %3")
                        .arg(def.name, QDir::toNativeSeparators(m_path), reason));
    }
    return value;
}

QByteArray TableFile::blob(int field, qint64 fileRow) const
{
    return readBlob(field, fileRow, false, nullptr);
}

qint64 TableFile::blobSize(int field, qint64 fileRow) const
{
    qint64 size = 0;
    (void)readBlob(field, fileRow, true, &size);
    return size;
}

bool TableFile::canTakeChanges() const
{
    if (m_layout != 2)
        return false;
    // Only into the very file that was read: row ids mean nothing in another.
    struct stat now {};
    return ::stat(QFile::encodeName(m_path).constData(), &now) == 0 && S_ISREG(now.st_mode)
           && now.st_dev == m_device && now.st_ino == m_inode;
}

void TableFile::write(const std::vector<const Table *> &tables)
{
    std::vector<const Table *> changed;
    for (const Table *table : tables) {
        if (table->isActive() && table->dataChangedSinceLoad())
            changed.push_back(table);
    }
    if (changed.empty())
        return;
    auto takesChanges = [](const Table *table) { return table->file() && table->file()->canTakeChanges(); };

    // Every file written whole is complete before anything replaces an old one.
    std::vector<std::optional<Pending>> whole(changed.size());
    QStringList failures;
    for (size_t i = 0; i < changed.size(); ++i) {
        if (takesChanges(changed[i]))
            continue;
        try {
            whole[i].emplace(prepareWhole(*changed[i]));
        } catch (const Error &error) {
            failures << error.message();
        }
    }
    if (!failures.isEmpty())
        throw WriteError(failures.join(QLatin1Char('\n')), true);

    // In table order, master first; neighbouring files that take changes share one transaction.
    bool stored = false;
    for (size_t i = 0; i < changed.size();) {
        try {
            if (whole[i]) {
                whole[i]->commit();
                ++i;
            } else {
                std::vector<const Table *> group;
                while (i < changed.size() && !whole[i])
                    group.push_back(changed[i++]);
                commitChanges(group);
            }
        } catch (const Error &error) {
            throw WriteError(error.message(), !stored);
        }
        stored = true;
    }
}
