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
#include <unordered_set>
#include <utility>

namespace {

constexpr const char *FormatTag = "saporin-table/1";

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

    void reset() { sqlite3_reset(m_stmt); }
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

QString columnList(const TableDef &def)
{
    QStringList columns;
    for (const FieldDef &field : def.fields)
        columns << quoted(field.name);
    return columns.join(QLatin1String(", "));
}

// Reads the records of an open database; throws Error with the bare reason.
TableFile::Contents readContents(Database &db, const TableDef &def)
{
    // The shape: the format tag, the table and every field.
    {
        Statement tables(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
        QStringList names;
        while (tables.step())
            names << tables.text(0);
        if (!names.contains(QLatin1String("saporin_meta")))
            throw Error(tr("it is not a recipe table file"));
        if (!names.contains(def.name))
            throw Error(tr("it holds no table \"%1\"").arg(def.name));
    }
    TableFile::Contents contents;
    contents.nextKeys.assign(def.fields.size(), 1);
    {
        Statement meta(db, QStringLiteral("SELECT key, value FROM saporin_meta"));
        bool tagged = false;
        while (meta.step()) {
            const QString key = meta.text(0);
            if (key == QLatin1String("format")) {
                tagged = meta.text(1) == QLatin1String(FormatTag);
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
        if (!tagged)
            throw Error(tr("it is not a recipe table file of a known version"));
    }
    {
        Statement info(db, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(def.name)));
        QStringList columns;
        while (info.step())
            columns << info.text(1);
        for (const FieldDef &field : def.fields) {
            if (!columns.contains(field.name))
                throw Error(tr("its table \"%1\" has no field \"%2\"").arg(def.name, field.name));
        }
    }

    std::vector<std::unordered_set<qint64>> seenKeys(def.fields.size());
    Statement rows(db, QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columnList(def), quoted(def.name)));
    sqlite3_stmt *stmt = rows.handle();
    while (rows.step()) {
        std::vector<QVariant> values(def.fields.size());
        for (int i = 0; i < def.fields.size(); ++i) {
            const FieldDef &field = def.fields.at(i);
            const int kind = sqlite3_column_type(stmt, i);
            if (kind == SQLITE_NULL) {
                if (field.type == FieldType::AutoInc)
                    throw Error(tr("a record has no value in field \"%1\"").arg(field.name));
                continue;
            }
            switch (field.type) {
            case FieldType::AutoInc:
            case FieldType::Integer: {
                const qint64 number = sqlite3_column_int64(stmt, i);
                if (kind != SQLITE_INTEGER || number < std::numeric_limits<qint32>::min()
                    || number > std::numeric_limits<qint32>::max())
                    throw Error(tr("a record holds an invalid value in field \"%1\"").arg(field.name));
                if (field.type == FieldType::AutoInc) {
                    if (!seenKeys[i].insert(number).second)
                        throw Error(tr("two records share the key %1 in field \"%2\"").arg(number).arg(field.name));
                    contents.nextKeys[i] = qMax(contents.nextKeys[i], number + 1);
                }
                values[i] = int(number);
                break;
            }
            case FieldType::Text:
                values[i] = Table::cutToSize(rows.text(i), field.size);
                break;
            case FieldType::Blob: {
                const int size = sqlite3_column_bytes(stmt, i);
                const auto *data = static_cast<const char *>(sqlite3_column_blob(stmt, i));
                values[i] = QByteArray(data, size);
                break;
            }
            }
        }
        contents.rows.push_back(std::move(values));
    }
    return contents;
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

void writeContents(Database &db, const Table &table)
{
    const TableDef &def = table.definition();
    // Bodies of several kilobytes pack best into small pages with overflow chains: with 16 KB pages
    // a 10 KB body leaves most of its page empty and the file grows by half.
    execute(db, QStringLiteral("PRAGMA page_size = 4096"));
    execute(db, QStringLiteral("PRAGMA journal_mode = OFF"));
    execute(db, QStringLiteral("PRAGMA synchronous = OFF"));
    execute(db, QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
    execute(db, QStringLiteral("BEGIN"));
    execute(db, QStringLiteral("CREATE TABLE saporin_meta (key TEXT PRIMARY KEY, value)"));
    {
        Statement meta(db, QStringLiteral("INSERT INTO saporin_meta (key, value) VALUES (?, ?)"));
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
    QStringList columns;
    QStringList marks;
    for (const FieldDef &field : def.fields) {
        columns << quoted(field.name) + QLatin1Char(' ') + sqlType(field.type);
        marks << QStringLiteral("?");
    }
    execute(db, QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(def.name), columns.join(QLatin1String(", "))));

    Statement insert(db, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                             .arg(quoted(def.name), columnList(def), marks.join(QLatin1String(", "))));
    sqlite3_stmt *stmt = insert.handle();
    QByteArray utf8;
    for (int row = 0; row < table.totalRecordCount(); ++row) {
        for (int i = 0; i < def.fields.size(); ++i) {
            const QVariant &value = table.storedValue(row, i);
            const int column = i + 1;
            if (value.isNull()) {
                sqlite3_bind_null(stmt, column);
                continue;
            }
            switch (def.fields.at(i).type) {
            case FieldType::AutoInc:
            case FieldType::Integer:
                sqlite3_bind_int(stmt, column, value.toInt());
                break;
            case FieldType::Text:
                utf8 = value.toString().toUtf8();
                sqlite3_bind_text(stmt, column, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
                break;
            case FieldType::Blob:
                if (value.typeId() == QMetaType::QByteArray) {
                    // The stored array outlives the step: no copy.
                    const auto *bytes = static_cast<const QByteArray *>(value.constData());
                    sqlite3_bind_blob64(stmt, column, bytes->constData(), sqlite3_uint64(bytes->size()), SQLITE_STATIC);
                } else {
                    const QByteArray bytes = value.toByteArray();
                    sqlite3_bind_blob64(stmt, column, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
                }
                break;
            }
        }
        insert.step();
        insert.reset();
    }
    execute(db, QStringLiteral("COMMIT"));
}

} // namespace

TableFile::Contents TableFile::read(const TableDef &def, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    auto failure = [&](const QString &reason) {
        return Error(tr("Cannot read the table file \"%1\": %2").arg(shown, reason));
    };
    const QFileInfo info(path);
    if (info.isDir())
        throw failure(tr("it is a directory"));
    if (!info.exists())
        throw failure(tr("it does not exist"));
    if (!info.isReadable())
        throw failure(tr("permission denied"));

    Database db;
    const QString opened = db.open(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
    if (!opened.isEmpty())
        throw failure(opened);
    try {
        return readContents(db, def);
    } catch (const Error &error) {
        throw failure(error.message());
    }
}

namespace {

Error writeFailure(const QString &path, const QString &reason)
{
    return Error(tr("Cannot write the table file \"%1\": %2").arg(QDir::toNativeSeparators(path), reason));
}

} // namespace

TableFile::Pending::Pending(QString temporary, QString path)
    : m_temporary(std::move(temporary)), m_path(std::move(path))
{
}

TableFile::Pending::Pending(Pending &&other) noexcept
    : m_temporary(std::exchange(other.m_temporary, QString())), m_path(std::move(other.m_path))
{
}

TableFile::Pending &TableFile::Pending::operator=(Pending &&other) noexcept
{
    if (this != &other) {
        discard();
        m_temporary = std::exchange(other.m_temporary, QString());
        m_path = std::move(other.m_path);
    }
    return *this;
}

TableFile::Pending::~Pending()
{
    discard();
}

void TableFile::Pending::discard() noexcept
{
    if (!m_temporary.isEmpty())
        ::unlink(QFile::encodeName(m_temporary).constData());
    m_temporary.clear();
}

void TableFile::Pending::commit()
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

TableFile::Pending TableFile::prepare(const Table &table)
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
        writeContents(db, table);
        problem = db.close();
        if (!problem.isEmpty())
            throw Error(problem);
        syncPath(QFile::decodeName(pattern), O_RDONLY);
    } catch (const Error &error) {
        throw failure(error.message());
    }
    return pending;
}

void TableFile::write(const Table &table)
{
    prepare(table).commit();
}
