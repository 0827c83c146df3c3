#pragma once

#include <QObject>

class Table;

// The link through which bound edit controls on other windows show and change a table's current
// record ("datCategory", "datRecipe").
class DataLink : public QObject
{
    Q_OBJECT
public:
    DataLink(Table *table, const QString &name, QObject *parent = nullptr)
        : QObject(parent), m_table(table)
    {
        setObjectName(name);
    }

    [[nodiscard]] Table *table() const { return m_table; }

private:
    Table *m_table;
};
