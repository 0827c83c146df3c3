#pragma once

#include <QDialog>

class QLabel;
class QSpinBox;

// The margins dialog ("MarginsForm"): page margins and header and footer heights in millimetres,
// with a live read-out in inches. It only collects values: the preview applies them on OK.
class MarginsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit MarginsDialog(QWidget *parent = nullptr);

    QSpinBox *SpinEdit1; // left
    QSpinBox *SpinEdit2; // top
    QSpinBox *SpinEdit3; // right
    QSpinBox *SpinEdit4; // bottom
    QSpinBox *SpinHeader;
    QSpinBox *SpinFooter;
    QLabel *Label6;

    // Shows the read-out for the spin edit of the given tag.
    void SpinEdit2Change(int tag);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_inner = nullptr;
};
