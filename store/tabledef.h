#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

enum class FieldType {
    AutoInc,   // 32-bit signed key given by the table when a new record is stored
    Integer,   // 32-bit signed
    Text,      // Unicode text of at most `size` characters
    Blob,      // a byte string of any length
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;          // characters, for text fields
    bool readOnly = false; // set only by the table itself
};

// A table's shape: its fields and its order (a list of field names, all ascending).
struct TableDef {
    QString name;
    QList<FieldDef> fields;
    QStringList order;

    [[nodiscard]] int indexOf(const QString &field) const
    {
        for (int i = 0; i < fields.size(); ++i) {
            if (fields.at(i).name == field)
                return i;
        }
        return -1;
    }
};

// A record as a table holds it, with what the file writer needs to store only what changed.
struct StoredRow {
    std::vector<QVariant> values;  // per field; a blob whose value stays in the file is null here
    qint64 fileRow = 0;            // the record's row id in the file; 0 for a record not yet stored
    qint64 order = 0;              // its place in the file's order; 0 when it has none
    quint32 blobsInFile = 0;       // bit i set: the value of field i is read from the file on demand
    bool changed = false;          // differs from the file: stored at the next write
};
