#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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
