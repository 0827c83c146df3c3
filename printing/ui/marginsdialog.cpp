#include "printing/ui/marginsdialog.h"

#include "printing/pagesetup.h"
#include "shell/look.h"
#include "shell/titledrag.h"
#include "shell/windowdesign.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QSpinBox>

namespace {

QSpinBox *spin(QWidget *parent, const char *name, const QString &caption, int tag, int minimum, int maximum, int value, QRect geometry)
{
    auto *label = new QLabel(caption, parent);
    label->setGeometry(geometry.left(), geometry.top() - 18, geometry.width(), 16);
    auto *box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(minimum, maximum);
    box->setValue(value);
    box->setGeometry(geometry);
    box->setProperty("tag", tag);
    box->setMouseTracking(true);
    label->setBuddy(box);
    box->setAccessibleName(caption);
    return box;
}

} // namespace

MarginsDialog::MarginsDialog(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "MarginsForm", tr("Page Margins"), QSize(360, 280), Frame::Borderless);
    makeTitleBand(this, "RbPanel1", tr("Page Margins"), 36, 18);
    new TitleDrag(this);

    m_inner = makeContentPanel(this, "RbPanel3", 3, false);
    m_inner->setGeometry(0, 36, width(), 196);
    m_inner->setMouseTracking(true);
    m_inner->installEventFilter(this);

    // The four margins sit like the sides of a page; header and footer in a column at the right.
    SpinEdit2 = spin(m_inner, "SpinEdit2", tr("Top"), 1, 1, 100, 19, QRect(95, 30, 60, 24));
    auto *unit = new QLabel(tr("Millimeters"), m_inner);
    unit->setGeometry(90, 56, 80, 16);
    SpinEdit1 = spin(m_inner, "SpinEdit1", tr("Left"), 2, 1, 100, 19, QRect(20, 92, 60, 24));
    SpinEdit3 = spin(m_inner, "SpinEdit3", tr("Right"), 4, 1, 100, 19, QRect(170, 92, 60, 24));
    SpinEdit4 = spin(m_inner, "SpinEdit4", tr("Bottom"), 3, 1, 100, 19, QRect(95, 150, 60, 24));
    SpinHeader = spin(m_inner, "SpinHeader", tr("Header"), 5, 5, 15, 10, QRect(270, 50, 60, 24));
    SpinFooter = spin(m_inner, "SpinFooter", tr("Footer"), 6, 5, 15, 10, QRect(270, 120, 60, 24));
    for (QSpinBox *box : {SpinHeader, SpinFooter})
        box->findChild<QLineEdit *>()->setMaxLength(2);

    Label6 = new QLabel(tr("Value in Inches: 0"), this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setStyleSheet(QStringLiteral("color: rgb(255, 128, 0);"));
    Label6->setGeometry(12, 236, 336, 16);
    Label6->hide();

    for (QSpinBox *box : {SpinEdit1, SpinEdit2, SpinEdit3, SpinEdit4, SpinHeader, SpinFooter}) {
        connect(box, &QSpinBox::valueChanged, this, [this, box] { SpinEdit2Change(box->property("tag").toInt()); });
        box->installEventFilter(this);
    }

    QAbstractButton *apply = makeButton(this, "RbButton2", tr("  Apply"), QString(), QRect(60, 252, 100, 24));
    QAbstractButton *close = makeButton(this, "RbButton1", tr("  Close"), QString(), QRect(200, 252, 100, 24));
    connect(apply, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(close, &QAbstractButton::clicked, this, &QDialog::reject);
}

void MarginsDialog::SpinEdit2Change(int tag)
{
    Label6->setText(inchReadout(tag, SpinEdit2->value(), SpinEdit1->value(), SpinEdit4->value(), SpinEdit3->value(),
                                SpinHeader->value(), SpinFooter->value()));
    Label6->show();
}

bool MarginsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::HoverMove || event->type() == QEvent::Enter) {
        if (watched == m_inner)
            Label6->hide();
        else if (auto *box = qobject_cast<QSpinBox *>(watched))
            SpinEdit2Change(box->property("tag").toInt());
    }
    return QDialog::eventFilter(watched, event);
}

void MarginsDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        centreWindow(this, parentWidget());
}
