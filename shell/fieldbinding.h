#pragma once

#include <QObject>
#include <QPointer>

class DataLink;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

// Binds an edit control to a field of a table through its data link: the control shows the field
// of the current record and follows every move and state change of the table; a post stores the
// control's text into the field, a cancel puts the stored value back into the control.
// A single-line box accepts at most as many characters as the field holds; a multi-line box may
// hold more, and the text is cut to the field's size when stored.
class FieldBinding : public QObject
{
    Q_OBJECT
public:
    FieldBinding(QLineEdit *edit, DataLink &link, const QString &field);
    FieldBinding(QPlainTextEdit *memo, DataLink &link, const QString &field);
    FieldBinding(QLabel *label, DataLink &link, const QString &field);

    // Shows the stored value again, dropping what was typed (Escape in a bound box).
    void restore();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FieldBinding(QWidget *control, DataLink &link, const QString &field);
    void show();
    void store();
    [[nodiscard]] QString controlText() const;
    void setControlText(const QString &text);

    QPointer<QWidget> m_control;
    DataLink &m_link;
    QString m_field;
    bool m_editing = false;   // the user has typed since the control last showed the field
    bool m_stale = false;     // the field changed while the control was hidden
};
