#pragma once

#include "store/tabledef.h"

#include <QByteArray>
#include <QCollator>
#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

class TableFile;

// An in-memory table backed by one file: the records in table order, a cursor, the edit states
// and, for a detail table, the view of the records that belong to its master's current record.
// Blob values of records read from the file stay there until asked for; the file is kept open
// for that while the table is active. Every failure is thrown as Error with a readable message.
class Table : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    Q_ENUM(State)

    explicit Table(TableDef def, QObject *parent = nullptr);
    ~Table() override;

    [[nodiscard]] const TableDef &definition() const { return m_def; }

    // The file the table is read from and written to.
    void setFileName(const QString &path) { m_fileName = path; }
    [[nodiscard]] QString fileName() const { return m_fileName; }

    // The locale whose collation orders text fields (case-sensitive). Set before opening.
    void setCollationLocale(const QLocale &locale);
    // Names the collation rules; a file records the rules its records were ordered by.
    [[nodiscard]] QString collationName() const;

    // Makes a detail table of this one: it presents only the records whose `detailField` equals the
    // master's current `masterField`, and its order must begin with `detailField`.
    void setMaster(Table *master, const QString &masterField, const QString &detailField);

    void createEmpty();                 // an empty table in memory, nothing read
    void open();                        // reads every record of the file
    // Writes the table to its file if its data changed since it was read or created, then makes it
    // inactive. A record still being edited or inserted is dropped. Throws when writing fails; the
    // table is inactive afterwards either way and the old file is left as it was.
    void close();
    // Makes the table inactive without writing anything; its changes are dropped.
    void discard();

    [[nodiscard]] bool isActive() const { return m_state != State::Inactive; }
    [[nodiscard]] State state() const { return m_state; }
    [[nodiscard]] bool dataChangedSinceLoad() const { return m_changed; }

    // Navigation within the present order and view. A move first ends an edit or insert: posted
    // when a field was changed, cancelled otherwise.
    void first();
    void next();
    [[nodiscard]] bool eof() const;
    [[nodiscard]] bool isEmpty() const;
    [[nodiscard]] int recordCount() const;   // records in the view
    [[nodiscard]] int recNo() const;         // 1-based position in the view; 0 when empty
    void setRecNo(int recNo);
    // Positions on the first record whose text field equals `value` exactly (case-sensitive).
    // Returns false and stays put when there is none.
    bool locate(const QString &field, const QString &value);

    void insert();
    void edit();
    void post();
    void cancel();
    void remove();                           // deletes the current record

    // Field access on the current record (the edit buffer while editing or inserting).
    [[nodiscard]] QVariant value(const QString &field) const;
    [[nodiscard]] QString text(const QString &field) const;
    // Reads a value that is still in the file; throws Error when the file cannot give it.
    [[nodiscard]] QByteArray blob(const QString &field) const;
    // The size in bytes, without reading the value.
    [[nodiscard]] qint64 blobSize(const QString &field) const;
    void setValue(const QString &field, const QVariant &value);
    void setText(const QString &field, const QString &value) { setValue(field, value); }
    void setBlob(const QString &field, const QByteArray &value) { setValue(field, value); }
    [[nodiscard]] bool isModified() const { return m_modified; }

    // Text cut to a field's size: at most `size` UTF-16 units, never half a surrogate pair.
    [[nodiscard]] static QString cutToSize(const QString &text, int size);

    // Every stored record in table order, whatever the view, for the file writer and tools.
    [[nodiscard]] int totalRecordCount() const { return int(m_rows.size()); }
    // A blob still in the file is read from it (Error when it cannot be).
    [[nodiscard]] QVariant storedValue(int row, int field) const;
    [[nodiscard]] qint64 nextKey(int field) const { return m_nextKey.at(size_t(field)); }
    // For the file writer: a record as stored, the file rows of the records deleted, whether
    // the records were sorted anew when read, and the file read from (none for a new table).
    [[nodiscard]] const StoredRow &storedRow(int row) const { return *m_rows.at(size_t(row)); }
    [[nodiscard]] const std::vector<qint64> &deletedFileRows() const { return m_deletedFileRows; }
    [[nodiscard]] bool reordered() const { return m_reordered; }
    [[nodiscard]] const TableFile *file() const { return m_file.get(); }
    // Keeps the auto-increment `field` from ever giving `used` or a key below it, for keys that
    // other tables refer to. It does not count as a change of the data.
    void reserveKeysThrough(const QString &field, qint64 used);

Q_SIGNALS:
    // Before a post: bound controls write their text into the edit buffer now.
    void updateRecordRequested();
    // The current record, its contents or the table's state changed: bound controls show it again.
    void recordChanged();
    void stateChanged(Table::State state);
    // The table moved to another record, or records were added or removed: detail tables follow.
    void positionChanged();

private:
    using Row = StoredRow;
    using RowPtr = std::unique_ptr<Row>;

    [[nodiscard]] QVariant fieldValue(const Row &row, int field) const;
    void requireActive() const;
    void requireBrowseOrEditing() const;
    void checkBrowseMode();
    void followMaster();
    void refreshView(bool toFirst);
    void setState(State state);
    void storeRow(RowPtr row);
    [[nodiscard]] int fieldIndex(const QString &field) const;
    [[nodiscard]] const Row *currentRow() const;
    [[nodiscard]] std::optional<qint64> linkValue() const;
    [[nodiscard]] bool lessThan(const Row &a, const Row &b) const;
    [[nodiscard]] bool numbersInOrder(const std::vector<RowPtr> &rows) const;
    void sortRows(std::vector<RowPtr> &rows) const;
    [[nodiscard]] size_t upperBound(const Row &row) const;
    void loadRows(std::vector<RowPtr> rows, const std::vector<qint64> &nextKeys, bool sameCollation);
    void closeFile();

    TableDef m_def;
    QString m_fileName;
    QCollator m_collator;
    std::vector<int> m_orderFields;       // field indexes of the order
    std::vector<RowPtr> m_rows;           // every record, in table order
    std::vector<qint64> m_nextKey;        // per field: the next auto-increment value

    State m_state = State::Inactive;
    size_t m_viewBegin = 0;               // the view: rows [m_viewBegin, m_viewEnd)
    size_t m_viewEnd = 0;
    size_t m_cursor = 0;                  // absolute row index of the current record
    bool m_eof = true;
    bool m_changed = false;               // data differ from the file
    bool m_reordered = false;             // rows sorted anew at open: every place in the file changes
    std::vector<qint64> m_deletedFileRows; // row ids in the file of the records deleted
    std::unique_ptr<TableFile> m_file;    // open while the table is active and was read from a file
    RowPtr m_buffer;                      // the record being edited or inserted
    bool m_modified = false;              // a field of the buffer was set

    Table *m_master = nullptr;
    int m_masterField = -1;               // in the master's fields
    int m_linkField = -1;                 // in this table's fields
};
