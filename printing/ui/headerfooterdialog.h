#pragma once

#include <QColor>
#include <QDialog>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;

// The header and footer dialog ("HeaderFooterForm"): the six caption texts, their common font, and
// the style and colour of the band lines. It only collects values: the preview applies them on OK.
class HeaderFooterDialog : public QDialog
{
    Q_OBJECT
public:
    explicit HeaderFooterDialog(QWidget *parent = nullptr);

    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QLineEdit *Edit3;
    QLineEdit *Edit4;
    QLineEdit *Edit5;
    QLineEdit *Edit6;
    QCheckBox *dxCheckBox1; // show header line
    QCheckBox *dxCheckBox2; // show footer line
    QComboBox *ComboBox1;   // line type
    [[nodiscard]] QColor lineColour() const { return m_lineColour; }

    void dxButton3Click(); // font
    void dxButton4Click(); // line colour

protected:
    void showEvent(QShowEvent *event) override;

private:
    QColor m_lineColour = Qt::black;
    QAbstractButton *m_colourButton = nullptr;
};
