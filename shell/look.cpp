#include "shell/look.h"

#include "shell/titledrag.h"

#include "widgets/ui/gradientbutton.h"
#include "widgets/ui/gradientpanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QWidget *makeBand(QWidget *parent, const char *name, QColor middle, QColor edge, const QString &caption)
{
    auto *band = new GradientPanel(parent);
    band->setObjectName(QLatin1String(name));
    band->setAntialiased(false);
    band->setGradient(true);
    band->setGradientType(RbLook::gtDoubleVert);
    band->setDefaultFrom(middle);
    band->setDefaultTo(edge);
    band->setBorderWidth(0);
    band->setCornerWidth(0);
    band->setCaption(caption);
    band->setCaptionPosition(GradientPanel::cpMiddleCenter);
    band->setFontColor(Qt::white);
    band->setTextShadow(false);
    band->setAccessibleName(caption.isEmpty() ? QString::fromLatin1(name) : caption);
    return band;
}

QWidget *makeContentPanel(QWidget *parent, const char *name, int border, bool rounded)
{
    auto *panel = new GradientPanel(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setColor(Qt::white);
    panel->setBorderColor(QColor(192, 192, 192));
    panel->setBorderWidth(border);
    panel->setCornerWidth(rounded ? 10 : 0);
    panel->setShowCaption(false);
    new QVBoxLayout(panel); // the panel keeps its children inside the border
    return panel;
}

namespace {

// Names a command button for code, tests and screen readers and puts it in its place.
QAbstractButton *placeButton(QAbstractButton *button, const char *name, const QString &toolTip,
                             const QRect &geometry)
{
    button->setObjectName(QLatin1String(name));
    button->setToolTip(toolTip);
    button->setAccessibleName(button->text().isEmpty() ? toolTip : QString(button->text()).remove(QLatin1Char('&')));
    button->setGeometry(geometry);
    return button;
}

} // namespace

QAbstractButton *makeButton(QWidget *parent, const char *name, const QString &caption, const QString &toolTip,
                            const QRect &geometry)
{
    auto *button = new GradientButton(caption, parent);
    // The corners show the colour of the panel the button sits on.
    if (auto *panel = qobject_cast<GradientPanel *>(parent))
        button->setColor(panel->gradient() ? panel->defaultTo() : panel->color());
    return placeButton(button, name, toolTip, geometry);
}

QAbstractButton *makeFlatButton(QWidget *parent, const char *name, const QString &caption, const QString &toolTip,
                                const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    button->setFlat(true);
    return placeButton(button, name, toolTip, geometry);
}

QLineEdit *makeCaptionedBox(QWidget *parent, const char *labelName, const QString &caption, QPoint at,
                            const char *boxName, const QRect &geometry)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(labelName));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->move(at);
    label->adjustSize();

    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(boxName));
    box->setGeometry(geometry);
    box->setAccessibleName(caption);
    label->setBuddy(box);
    return box;
}

QWidget *makeTitleBand(QWidget *window, const char *name, const QString &caption, int height, int fontPixels)
{
    QWidget *title = makeBand(window, name, QColor(16, 132, 208), QColor(113, 184, 255), caption);
    title->setGeometry(0, 0, window->width(), height);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(fontPixels);
    font.setBold(true);
    title->setFont(font);
    new TitleDrag(title);
    return title;
}
