#include "printing/ui/headerfooterdialog.h"

#include "shell/look.h"
#include "shell/prompt.h"
#include "shell/titledrag.h"
#include "shell/windowdesign.h"
#include "widgets/ui/gradientbutton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>

HeaderFooterDialog::HeaderFooterDialog(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "HeaderFooterForm", tr("Header and Footer Titles"), QSize(640, 387), Frame::Borderless);
    makeTitleBand(this, "RbPanel1", tr("Header and Footer Titles"), 36, 18);
    new TitleDrag(this);

    QWidget *panel = makeContentPanel(this, "RbPanel2", 3, false);
    panel->setGeometry(0, 36, width(), 300);

    QFont font(QStringLiteral("Arial"));
    font.setPointSize(12);
    auto heading = [panel](const QString &text, int y) {
        auto *label = new QLabel(text, panel);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->setGeometry(20, y, 200, 18);
        return label;
    };
    heading(tr("Header"), 12);
    QLineEdit **edits[] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6};
    static const char *const names[] = {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6"};
    static const char *const columns[] = {"Left Text", "Center Text", "Right Text"};
    static const char *const columnNames[] = {"Label4", "Label2", "Label5"};
    for (int i = 0; i < 6; ++i) {
        auto *edit = *edits[i] = new QLineEdit(panel);
        edit->setObjectName(QString::fromLatin1(names[i]));
        edit->setMaxLength(40);
        edit->setFont(font);
        edit->setGeometry(20 + (i % 3) * 204, i < 3 ? 34 : 110, 192, 28);
        edit->setAccessibleName((i < 3 ? tr("Header") : tr("Footer")) + QLatin1Char(' ') + tr(columns[i % 3]));
    }
    for (int c = 0; c < 3; ++c) {
        auto *label = new QLabel(tr(columns[c]), panel);
        label->setObjectName(QString::fromLatin1(columnNames[c]));
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(20 + c * 204, 70, 192, 18);
    }
    heading(tr("Footer"), 142);

    dxCheckBox1 = new QCheckBox(tr("Show Header Line"), panel);
    dxCheckBox1->setObjectName(QStringLiteral("dxCheckBox1"));
    dxCheckBox1->setGeometry(20, 180, 180, 22);
    dxCheckBox2 = new QCheckBox(tr("Show Footer Line"), panel);
    dxCheckBox2->setObjectName(QStringLiteral("dxCheckBox2"));
    dxCheckBox2->setGeometry(20, 208, 180, 22);

    auto *lineType = new QLabel(tr("Line Type:"), panel);
    lineType->setObjectName(QStringLiteral("Label8"));
    lineType->setGeometry(224, 182, 80, 18);
    ComboBox1 = new QComboBox(panel);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({tr("Solid"), tr("Dotted"), tr("DashDot"), tr("DashDotDot")});
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setGeometry(304, 180, 120, 24);
    lineType->setBuddy(ComboBox1);
    ComboBox1->setAccessibleName(tr("Line Type:"));

    QAbstractButton *fontButton = makeButton(panel, "RbButton4", tr("    Font"), QString(), QRect(448, 178, 150, 28));
    m_colourButton = makeButton(panel, "RbButton3", tr("Line Colour"), QString(), QRect(448, 214, 150, 28));
    connect(fontButton, &QAbstractButton::clicked, this, &HeaderFooterDialog::dxButton3Click);
    connect(m_colourButton, &QAbstractButton::clicked, this, &HeaderFooterDialog::dxButton4Click);

    QAbstractButton *apply = makeButton(this, "RbButton1", tr("  Apply"), QString(), QRect(180, 348, 120, 28));
    QAbstractButton *close = makeButton(this, "RbButton2", tr("  Close"), QString(), QRect(340, 348, 120, 28));
    connect(apply, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(close, &QAbstractButton::clicked, this, &QDialog::reject);
}

void HeaderFooterDialog::dxButton3Click()
{
    Prompt::FontRequest request;
    request.initial = Edit1->font();
    request.title = tr("Font");
    request.minPointSize = 8;
    request.maxPointSize = 12;
    const std::optional<QFont> chosen = Prompt::instance().font(request);
    if (!chosen)
        return;
    QFont font = *chosen;
    // Sizes outside 8 to 12 points are not offered.
    if (font.pointSizeF() > 0)
        font.setPointSizeF(std::clamp(font.pointSizeF(), 8.0, 12.0));
    for (QLineEdit *edit : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6})
        edit->setFont(font);
}

void HeaderFooterDialog::dxButton4Click()
{
    const std::optional<QColor> chosen = Prompt::instance().color(Qt::black);
    if (!chosen || !chosen->isValid())
        return;
    m_lineColour = *chosen;
    if (auto *button = qobject_cast<GradientButton *>(m_colourButton))
        button->setProperty("FontColor", m_lineColour);
    QPalette p = m_colourButton->palette();
    p.setColor(QPalette::ButtonText, m_lineColour);
    m_colourButton->setPalette(p);
    m_colourButton->update();
}

void HeaderFooterDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        centreWindow(this, parentWidget());
}
