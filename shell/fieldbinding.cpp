#include "shell/fieldbinding.h"

#include "store/datalink.h"
#include "store/table.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

FieldBinding::FieldBinding(QWidget *control, DataLink &link, const QString &field)
    : QObject(control), m_control(control), m_link(link), m_field(field)
{
    Table *table = link.table();
    connect(table, &Table::recordChanged, this, &FieldBinding::show);
    connect(table, &Table::stateChanged, this, &FieldBinding::show);
    connect(table, &Table::updateRecordRequested, this, &FieldBinding::store);
    control->installEventFilter(this);
}

// A control in a hidden window catches up when it is shown: walking a table through thousands of
// records must not lay out text nobody sees.
bool FieldBinding::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_control && event->type() == QEvent::Show && m_stale)
        show();
    return QObject::eventFilter(watched, event);
}

FieldBinding::FieldBinding(QLineEdit *edit, DataLink &link, const QString &field)
    : FieldBinding(static_cast<QWidget *>(edit), link, field)
{
    const int index = link.table()->definition().indexOf(field);
    if (index >= 0 && link.table()->definition().fields.at(index).size > 0)
        edit->setMaxLength(link.table()->definition().fields.at(index).size);
    connect(edit, &QLineEdit::textEdited, this, [this] { m_editing = true; });
    show();
}

FieldBinding::FieldBinding(QPlainTextEdit *memo, DataLink &link, const QString &field)
    : FieldBinding(static_cast<QWidget *>(memo), link, field)
{
    connect(memo, &QPlainTextEdit::textChanged, this, [this] { m_editing = true; });
    show();
}

FieldBinding::FieldBinding(QLabel *label, DataLink &link, const QString &field)
    : FieldBinding(static_cast<QWidget *>(label), link, field)
{
    show();
}

void FieldBinding::show()
{
    if (!m_control)
        return;
    Table *table = m_link.table();
    const bool editing = table->state() == Table::State::Edit || table->state() == Table::State::Insert;
    // While the record is being changed, what the user typed stays in the box.
    if (editing && m_editing)
        return;
    if (!m_control->isVisible()) {
        m_stale = true;
        m_editing = false;
        return;
    }
    m_stale = false;
    const QString stored = table->isActive() ? table->text(m_field) : QString();
    if (controlText() != stored)
        setControlText(stored);
    m_editing = false;
}

void FieldBinding::store()
{
    if (!m_control || qobject_cast<QLabel *>(m_control) || !m_editing)
        return;
    Table *table = m_link.table();
    const QString text = controlText();
    if (table->text(m_field) != text)
        table->setText(m_field, text);
}

void FieldBinding::restore()
{
    m_editing = false;
    show();
}

QString FieldBinding::controlText() const
{
    if (auto *edit = qobject_cast<QLineEdit *>(m_control))
        return edit->text();
    if (auto *memo = qobject_cast<QPlainTextEdit *>(m_control))
        return memo->toPlainText();
    if (auto *label = qobject_cast<QLabel *>(m_control))
        return label->text();
    return {};
}

void FieldBinding::setControlText(const QString &text)
{
    if (auto *edit = qobject_cast<QLineEdit *>(m_control))
        edit->setText(text);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(m_control))
        memo->setPlainText(text);
    else if (auto *label = qobject_cast<QLabel *>(m_control))
        label->setText(text);
}

