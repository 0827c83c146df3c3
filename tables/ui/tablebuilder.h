#pragma once

#include "tables/tabledesign.h"

#include <QDialog>
#include <QSpinBox>

class QAbstractButton;
class QLabel;
class QLineEdit;
class GradientCheckBox;
class StringGrid;

// A number field whose up and down steps are commands: it reports them instead of changing its
// own value, and brings its text back into its range only when it loses the focus.
class SizeField : public QSpinBox
{
    Q_OBJECT
public:
    SizeField(int minimum, int maximum, QWidget *parent = nullptr);
    void stepBy(int steps) override;
    // The number typed, or `fallback` when the text is not a number.
    [[nodiscard]] int typedValue(int fallback) const;

Q_SIGNALS:
    void stepped(int steps);
    void entered();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    int m_minimum;
    int m_maximum;
};

// A count field (1 to 100) that tells a step of its up/down buttons or arrow keys from typing.
class CountField : public QSpinBox
{
    Q_OBJECT
public:
    explicit CountField(QWidget *parent = nullptr);
    void stepBy(int steps) override;
    [[nodiscard]] bool stepping() const { return m_stepping; }

private:
    bool m_stepping = false;
};

// The table builder ("DllForms"): a grid of up to 100 x 100 cells with their styles, which goes
// into a recipe as a bitmap snapshot of the visible grid or as a metafile of the whole table,
// through the clipboard. Closing only hides the window; everything stays for the next showing.
class TableBuilder : public QDialog
{
    Q_OBJECT
public:
    explicit TableBuilder(QWidget *parent = nullptr);

    // Set when a table picture was put on the clipboard for the recipe; cleared when the window
    // closes in any other way.
    [[nodiscard]] bool inserted() const { return m_inserted; }
    void setInserted(bool on) { m_inserted = on; }

    [[nodiscard]] TableDesign &design() { return m_design; }
    [[nodiscard]] StringGrid *grid() const { return m_grid; }

    void btnClearTabelClick();
    void SpeedButton1Click();
    void btnInsertClick();
    void btnEmfClick();
    void RbButton6Click();
    void RbButton7Click();
    void btnImportClick();
    void btnExportClick();

    // The grid snapshot: the visible cells with a line along the left and top edge.
    [[nodiscard]] QImage gridSnapshot() const;

    static QString helpText();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paintCell(QPainter &painter, int col, int row, const QRect &rect);
    void gridClick();
    void refreshSizeFields();
    void setColWidth(int width);
    void setRowHeight(int height);
    void countChanged(CountField *field, bool columns);
    void headerToggled(bool columnHeader, bool on);
    void setAlignment(quint8 alignment);
    void colourCommand(int which);
    void bodyFontCommand();
    void headerFontCommand();
    void applyBodyFont(const QFont &font);
    void applyHeaderFont(const QFont &font);
    void tableChanged();
    void focusGrid();
    void closeWithInsert();

    TableDesign m_design;
    StringGrid *m_grid = nullptr;
    QLineEdit *m_edit = nullptr;
    QLabel *m_label3 = nullptr;
    GradientCheckBox *m_autoHeight = nullptr;
    GradientCheckBox *m_colHeader = nullptr;
    GradientCheckBox *m_rowHeader = nullptr;
    SizeField *m_colWidth = nullptr;
    SizeField *m_rowHeight = nullptr;
    CountField *m_colCount = nullptr;
    CountField *m_rowCount = nullptr;
    bool m_inserted = false;
};
