#include "editor/control/finddialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

FindDialog::FindDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(tr("Find"));
    setModal(false);

    auto *label = new QLabel(tr("Fi&nd what:"), this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("edtFindText"));
    label->setBuddy(m_text);
    m_text->setAccessibleName(tr("Find what"));

    m_wholeWord = new QCheckBox(tr("Match &whole word only"), this);
    m_wholeWord->setObjectName(QStringLiteral("chkWholeWord"));
    m_matchCase = new QCheckBox(tr("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("chkMatchCase"));

    auto *direction = new QGroupBox(tr("Direction"), this);
    m_up = new QRadioButton(tr("&Up"), direction);
    m_up->setObjectName(QStringLiteral("rbUp"));
    m_down = new QRadioButton(tr("&Down"), direction);
    m_down->setObjectName(QStringLiteral("rbDown"));
    m_down->setChecked(true);
    auto *directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);

    auto *buttons = new QDialogButtonBox(Qt::Vertical, this);
    QPushButton *next = buttons->addButton(tr("&Find Next"), QDialogButtonBox::ActionRole);
    next->setObjectName(QStringLiteral("btnFindNext"));
    next->setDefault(true);
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("btnCancel"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_text, 0, 1, 1, 2);
    grid->addWidget(m_wholeWord, 1, 0, 1, 2);
    grid->addWidget(m_matchCase, 2, 0, 1, 2);
    grid->addWidget(direction, 1, 2, 2, 1);
    grid->addWidget(buttons, 0, 3, 3, 1);

    auto updateNext = [this, next] { next->setEnabled(!m_text->text().isEmpty()); };
    connect(m_text, &QLineEdit::textChanged, this, updateNext);
    updateNext();
    connect(next, &QPushButton::clicked, this, [this] {
        Q_EMIT findNext(findText(), forward(), matchCase(), wholeWord());
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
}

QString FindDialog::findText() const { return m_text->text(); }

void FindDialog::setFindText(const QString &text)
{
    m_text->setText(text);
    m_text->selectAll();
}

bool FindDialog::forward() const { return m_down->isChecked(); }

void FindDialog::setForward(bool on)
{
    (on ? m_down : m_up)->setChecked(true);
}

bool FindDialog::matchCase() const { return m_matchCase->isChecked(); }
void FindDialog::setMatchCase(bool on) { m_matchCase->setChecked(on); }
bool FindDialog::wholeWord() const { return m_wholeWord->isChecked(); }
void FindDialog::setWholeWord(bool on) { m_wholeWord->setChecked(on); }
