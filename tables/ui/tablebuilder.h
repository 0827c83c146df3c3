#pragma once

#include <QDialog>

// The table builder ("DllForms"): a grid of cells that goes into a recipe as a picture.
class TableBuilder : public QDialog
{
    Q_OBJECT
public:
    explicit TableBuilder(QWidget *parent = nullptr);

    // Set when a table picture was put on the clipboard for the recipe; cleared by the builder
    // when it is shown again.
    [[nodiscard]] bool inserted() const { return m_inserted; }
    void setInserted(bool on) { m_inserted = on; }

private:
    bool m_inserted = false;
};
