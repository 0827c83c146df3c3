#include "store/table.h"

#include "store/error.h"
#include "store/tablefile.h"

#include <QLocale>

#include <algorithm>
#include <limits>

namespace {

const QString &textOf(const QVariant &value)
{
    static const QString empty;
    return value.typeId() == QMetaType::QString ? *static_cast<const QString *>(value.constData()) : empty;
}

QString closedMessage()
{
    return QObject::tr("Cannot perform this operation on a closed dataset");
}

} // namespace

Table::Table(TableDef def, QObject *parent)
    : QObject(parent), m_def(std::move(def))
{
    for (const QString &name : std::as_const(m_def.order)) {
        const int index = m_def.indexOf(name);
        Q_ASSERT_X(index >= 0, "Table", "order names an unknown field");
        if (index < 0)
            continue;
        m_orderFields.push_back(index);
    }
    m_nextKey.assign(m_def.fields.size(), 1);

    // The user's collation; a bare "C" locale would order by code point, which no reader of a
    // recipe list expects, so it falls back to English rules.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    setCollationLocale(locale);
}

Table::~Table() = default;

void Table::setCollationLocale(const QLocale &locale)
{
    m_collator = QCollator(locale);
    m_collator.setCaseSensitivity(Qt::CaseSensitive);
    m_collator.setNumericMode(false);
    m_collator.setIgnorePunctuation(false);
}

QString Table::collationName() const
{
    // Rules may change with the library that implements them, so its version is part of the name.
    return m_collator.locale().bcp47Name() + QLatin1String("; case-sensitive; Qt ") + QLatin1String(qVersion());
}

void Table::setMaster(Table *master, const QString &masterField, const QString &detailField)
{
    m_master = master;
    m_masterField = master->definition().indexOf(masterField);
    m_linkField = m_def.indexOf(detailField);
    Q_ASSERT_X(m_masterField >= 0 && m_linkField >= 0, "Table::setMaster", "unknown link field");
    Q_ASSERT_X(!m_def.order.isEmpty() && m_def.order.constFirst() == detailField, "Table::setMaster",
               "a detail table's order must begin with its link field");
    connect(master, &Table::positionChanged, this, &Table::followMaster);
}

void Table::createEmpty()
{
    closeFile();
    loadRows({}, std::vector<qint64>(m_def.fields.size(), 1), true);
    m_changed = false;
}

void Table::open()
{
    TableFile::Contents contents;
    std::unique_ptr<TableFile> file = TableFile::open(m_def, m_fileName, contents);
    closeFile();
    m_file = std::move(file);
    loadRows(std::move(contents.rows), contents.nextKeys, contents.collation == collationName() && contents.inOrder);
    m_changed = false;
}

void Table::closeFile()
{
    m_file.reset();
    m_deletedFileRows.clear();
    m_reordered = false;
}

void Table::loadRows(std::vector<RowPtr> rows, const std::vector<qint64> &nextKeys, bool sameCollation)
{
    // A file is written in table order. Only when it was ordered by other collation rules, or its
    // numbers are out of order (a file not written by this program), is it sorted again.
    if (!sameCollation || !numbersInOrder(rows)) {
        sortRows(rows);
        m_reordered = true;
    }
    m_rows = std::move(rows);
    m_nextKey = nextKeys;
    m_nextKey.resize(m_def.fields.size(), 1);
    m_buffer.reset();
    m_modified = false;
    m_state = State::Browse;
    refreshView(true);
    Q_EMIT stateChanged(m_state);
    Q_EMIT positionChanged();
}

void Table::close()
{
    if (m_state == State::Inactive)
        return;
    m_buffer.reset();
    m_modified = false;
    if (m_changed) {
        try {
            TableFile::write({this});
        } catch (...) {
            discard();
            throw;
        }
    }
    discard();
}

void Table::discard()
{
    if (m_state == State::Inactive)
        return;
    m_buffer.reset();
    m_modified = false;
    m_rows.clear();
    m_viewBegin = m_viewEnd = m_cursor = 0;
    m_eof = true;
    m_changed = false;
    closeFile();
    setState(State::Inactive);
}

void Table::reserveKeysThrough(const QString &field, qint64 used)
{
    const int index = fieldIndex(field);
    Q_ASSERT_X(m_def.fields.at(index).type == FieldType::AutoInc, "Table::reserveKeysThrough",
               "only auto-increment fields give keys");
    m_nextKey[size_t(index)] = std::max(m_nextKey[size_t(index)], used + 1);
}

void Table::requireActive() const
{
    if (m_state == State::Inactive)
        throw Error(closedMessage());
}

void Table::checkBrowseMode()
{
    requireActive();
    if (m_state == State::Edit || m_state == State::Insert) {
        Q_EMIT updateRecordRequested();
        if (m_modified)
            post();
        else
            cancel();
    }
}

void Table::followMaster()
{
    if (m_state == State::Inactive)
        return;
    checkBrowseMode();
    refreshView(true);
}

std::optional<qint64> Table::linkValue() const
{
    if (!m_master || !m_master->isActive())
        return std::nullopt;
    const QVariant value = m_master->value(m_master->definition().fields.at(m_masterField).name);
    if (value.isNull())
        return std::nullopt;
    return value.toLongLong();
}

void Table::refreshView(bool toFirst)
{
    if (!m_master) {
        m_viewBegin = 0;
        m_viewEnd = m_rows.size();
    } else if (const std::optional<qint64> link = linkValue()) {
        auto keyOf = [this](const RowPtr &row) { return row->values[m_linkField].toLongLong(); };
        auto lower = std::partition_point(m_rows.begin(), m_rows.end(),
                                          [&](const RowPtr &row) { return keyOf(row) < *link; });
        auto upper = std::partition_point(lower, m_rows.end(),
                                          [&](const RowPtr &row) { return keyOf(row) == *link; });
        m_viewBegin = size_t(lower - m_rows.begin());
        m_viewEnd = size_t(upper - m_rows.begin());
    } else {
        m_viewBegin = m_viewEnd = 0;
    }
    if (toFirst || m_cursor < m_viewBegin || m_cursor >= m_viewEnd) {
        m_cursor = m_viewBegin;
        m_eof = m_viewBegin == m_viewEnd;
    }
    Q_EMIT recordChanged();
}

void Table::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

void Table::first()
{
    checkBrowseMode();
    m_cursor = m_viewBegin;
    m_eof = isEmpty();
    Q_EMIT positionChanged();
    Q_EMIT recordChanged();
}

void Table::next()
{
    checkBrowseMode();
    if (m_cursor + 1 < m_viewEnd) {
        ++m_cursor;
        m_eof = false;
        Q_EMIT positionChanged();
        Q_EMIT recordChanged();
    } else {
        m_eof = true;
    }
}

bool Table::eof() const
{
    requireActive();
    return m_eof || m_viewBegin == m_viewEnd;
}

bool Table::isEmpty() const
{
    requireActive();
    return m_viewBegin == m_viewEnd;
}

int Table::recordCount() const
{
    requireActive();
    return int(m_viewEnd - m_viewBegin);
}

int Table::recNo() const
{
    requireActive();
    if (m_state == State::Insert || m_viewBegin == m_viewEnd)
        return 0;
    return int(m_cursor - m_viewBegin) + 1;
}

void Table::setRecNo(int recNo)
{
    checkBrowseMode();
    if (recNo < 1 || recNo > recordCount())
        return;
    m_cursor = m_viewBegin + size_t(recNo - 1);
    m_eof = false;
    Q_EMIT positionChanged();
    Q_EMIT recordChanged();
}

bool Table::locate(const QString &field, const QString &value)
{
    checkBrowseMode();
    const int index = fieldIndex(field);
    for (size_t i = m_viewBegin; i < m_viewEnd; ++i) {
        const QVariant &stored = m_rows[i]->values[index];
        if (stored.toString() == value) {
            m_cursor = i;
            m_eof = false;
            Q_EMIT positionChanged();
            Q_EMIT recordChanged();
            return true;
        }
    }
    return false;
}

void Table::insert()
{
    checkBrowseMode();
    m_buffer = std::make_unique<Row>();
    m_buffer->values.resize(m_def.fields.size());
    if (m_master) {
        if (const std::optional<qint64> link = linkValue())
            m_buffer->values[m_linkField] = int(*link);
    }
    m_modified = false;
    setState(State::Insert);
    Q_EMIT recordChanged();
}

void Table::edit()
{
    requireActive();
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    if (isEmpty())
        throw Error(tr("Cannot perform this operation on an empty dataset"));
    m_buffer = std::make_unique<Row>(*m_rows[m_cursor]);
    m_modified = false;
    setState(State::Edit);
    Q_EMIT recordChanged();
}

void Table::post()
{
    requireActive();
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    Q_EMIT updateRecordRequested();

    RowPtr row = std::move(m_buffer);
    if (m_master && row->values[m_linkField].isNull()) {
        m_buffer = std::move(row);
        throw Error(tr("Field '%1' must have a value").arg(m_def.fields.at(m_linkField).name));
    }
    if (m_state == State::Insert) {
        for (int i = 0; i < m_def.fields.size(); ++i) {
            if (m_def.fields.at(i).type != FieldType::AutoInc)
                continue;
            if (m_nextKey[i] > std::numeric_limits<qint32>::max()) {
                m_buffer = std::move(row);
                throw Error(tr("No more keys can be given in field '%1'").arg(m_def.fields.at(i).name));
            }
            row->values[i] = int(m_nextKey[i]++);
        }
    } else {
        m_rows.erase(m_rows.begin() + qsizetype(m_cursor));
    }
    row->changed = true;
    const size_t at = upperBound(*row);
    m_rows.insert(m_rows.begin() + qsizetype(at), std::move(row));
    m_changed = true;
    m_modified = false;
    m_cursor = at;
    m_eof = false;
    setState(State::Browse);
    refreshView(false);
    Q_EMIT positionChanged();
}

void Table::cancel()
{
    requireActive();
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    m_buffer.reset();
    m_modified = false;
    setState(State::Browse);
    Q_EMIT recordChanged();
}

void Table::remove()
{
    requireActive();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (isEmpty())
        throw Error(tr("Cannot perform this operation on an empty dataset"));
    m_buffer.reset();
    m_modified = false;
    setState(State::Browse);
    if (const qint64 fileRow = m_rows[m_cursor]->fileRow)
        m_deletedFileRows.push_back(fileRow);
    m_rows.erase(m_rows.begin() + qsizetype(m_cursor));
    m_changed = true;
    // Stay on the record that followed, or on the new last one.
    if (m_viewEnd > 0)
        --m_viewEnd;
    if (m_cursor >= m_viewEnd && m_cursor > m_viewBegin)
        m_cursor = m_viewEnd - 1;
    refreshView(false);
    Q_EMIT positionChanged();
}

int Table::fieldIndex(const QString &field) const
{
    const int index = m_def.indexOf(field);
    if (index < 0)
        throw Error(tr("%1: Field '%2' not found").arg(m_def.name, field));
    return index;
}

const Table::Row *Table::currentRow() const
{
    if (m_state == State::Edit || m_state == State::Insert)
        return m_buffer.get();
    if (m_viewBegin == m_viewEnd)
        return nullptr;
    return m_rows[m_cursor].get();
}

QVariant Table::value(const QString &field) const
{
    requireActive();
    const int index = fieldIndex(field);
    const Row *row = currentRow();
    return row ? fieldValue(*row, index) : QVariant();
}

QVariant Table::fieldValue(const Row &row, int field) const
{
    if (row.blobsInFile & (1u << field)) {
        if (!m_file)
            throw Error(closedMessage());
        return m_file->blob(field, row.fileRow);
    }
    return row.values[size_t(field)];
}

qint64 Table::blobSize(const QString &field) const
{
    requireActive();
    const int index = fieldIndex(field);
    const Row *row = currentRow();
    if (!row)
        return 0;
    if (row->blobsInFile & (1u << index))
        return m_file->blobSize(index, row->fileRow);
    return row->values[size_t(index)].toByteArray().size();
}

QString Table::text(const QString &field) const
{
    return value(field).toString();
}

QByteArray Table::blob(const QString &field) const
{
    return value(field).toByteArray();
}

void Table::setValue(const QString &field, const QVariant &value)
{
    requireActive();
    const int index = fieldIndex(field);
    if (m_state != State::Edit && m_state != State::Insert)
        throw Error(tr("Dataset not in edit or insert mode"));
    const FieldDef &def = m_def.fields.at(index);
    if (def.readOnly)
        throw Error(tr("Field '%1' cannot be modified").arg(def.name));

    QVariant stored;
    if (!value.isNull()) {
        switch (def.type) {
        case FieldType::AutoInc:
        case FieldType::Integer: {
            bool ok = false;
            const qlonglong number = value.toLongLong(&ok);
            if (!ok || number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
                throw Error(tr("'%1' is not a valid value for field '%2'").arg(value.toString(), def.name));
            stored = int(number);
            break;
        }
        case FieldType::Text:
            stored = cutToSize(value.toString(), def.size);
            break;
        case FieldType::Blob:
            stored = value.toByteArray();
            break;
        }
    }
    m_buffer->values[index] = stored;
    m_buffer->blobsInFile &= ~(1u << index);
    m_modified = true;
    Q_EMIT recordChanged();
}

QString Table::cutToSize(const QString &text, int size)
{
    if (size <= 0 || text.size() <= size)
        return text;
    qsizetype length = size;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}

QVariant Table::storedValue(int row, int field) const
{
    return fieldValue(*m_rows.at(size_t(row)), field);
}

bool Table::numbersInOrder(const std::vector<RowPtr> &rows) const
{
    for (size_t i = 1; i < rows.size(); ++i) {
        for (int field : m_orderFields) {
            if (m_def.fields.at(field).type == FieldType::Text)
                break;   // text order is trusted to the collation name
            const qint64 before = rows[i - 1]->values[field].toLongLong();
            const qint64 after = rows[i]->values[field].toLongLong();
            if (before < after)
                break;
            if (before > after)
                return false;
        }
    }
    return true;
}

void Table::sortRows(std::vector<RowPtr> &rows) const
{
    // Sort keys, made once per record for this sort, compare far faster than the texts themselves.
    struct Entry {
        RowPtr row;
        std::vector<QCollatorSortKey> keys;
    };
    std::vector<Entry> entries;
    entries.reserve(rows.size());
    for (RowPtr &row : rows) {
        Entry entry{std::move(row), {}};
        for (int field : m_orderFields) {
            if (m_def.fields.at(field).type == FieldType::Text)
                entry.keys.push_back(m_collator.sortKey(textOf(entry.row->values[field])));
        }
        entries.push_back(std::move(entry));
    }
    std::stable_sort(entries.begin(), entries.end(), [this](const Entry &a, const Entry &b) {
        size_t key = 0;
        for (int field : m_orderFields) {
            int order = 0;
            if (m_def.fields.at(field).type == FieldType::Text) {
                order = a.keys[key].compare(b.keys[key]);
                ++key;
            } else {
                const qint64 x = a.row->values[field].toLongLong();
                const qint64 y = b.row->values[field].toLongLong();
                order = x < y ? -1 : x > y ? 1 : 0;
            }
            if (order != 0)
                return order < 0;
        }
        return false;
    });
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = std::move(entries[i].row);
}

bool Table::lessThan(const Row &a, const Row &b) const
{
    for (int field : m_orderFields) {
        if (m_def.fields.at(field).type == FieldType::Text) {
            const int order = m_collator.compare(textOf(a.values[field]), textOf(b.values[field]));
            if (order != 0)
                return order < 0;
        } else {
            const qint64 x = a.values[field].toLongLong();
            const qint64 y = b.values[field].toLongLong();
            if (x != y)
                return x < y;
        }
    }
    return false;
}

size_t Table::upperBound(const Row &row) const
{
    auto at = std::upper_bound(m_rows.begin(), m_rows.end(), row,
                               [this](const Row &value, const RowPtr &element) { return lessThan(value, *element); });
    return size_t(at - m_rows.begin());
}
