#pragma once

#include <QDialog>
#include <QHash>

class QLineEdit;

// The kitchen conversions calculator ("frmConversions"): nine pairs of unit boxes. Enter in a box
// writes the converted value into its partner; typing clears the partner's old result. Closing
// only hides the window, so the boxes keep their texts.
class ConversionsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit ConversionsWindow(QWidget *parent = nullptr);

    [[nodiscard]] QLineEdit *box(const QString &name) const { return m_boxes.value(name); }
    void btnClearAllClick();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QHash<QString, QLineEdit *> m_boxes;
};
