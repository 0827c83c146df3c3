#include "conversions/ui/conversionswindow.h"

#include "shell/look.h"
#include "shell/prompt.h"
#include "shell/windowdesign.h"
#include "conversions/kitchenconversions.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

struct Row {
    const char *leftBox;
    const char *leftLabel;
    const char *rightBox;
    const char *rightLabel;
};

struct Group {
    const char *name;
    const char *caption;
    QList<Row> rows;
};

const QList<Group> &groups()
{
    static const QList<Group> all{
        {"GroupBox1", QT_TRANSLATE_NOOP("ConversionsWindow", "Cups and Spoons"),
         {{"edtCups", "Cups", "edtMM1", "Millilitres"},
          {"edtTeaspoon", "Teaspoons", "edtMM2", "Millilitres"},
          {"edtDessertspoon", "Dessertspoons", "edtMM3", "Millilitres"},
          {"edtTablespoon", "Tablespoons", "edtMM4", "Millilitres"}}},
        {"GroupBox2", QT_TRANSLATE_NOOP("ConversionsWindow", "Weight"),
         {{"edtGrams2", "Grams", "edtPounds", "Pounds"}, {"edtGrams", "Grams", "edtOunces", "Ounces"}}},
        {"GroupBox3", QT_TRANSLATE_NOOP("ConversionsWindow", "Liquids"),
         {{"edtMM5", "Millilitres", "edtPints", "Pints"}, {"edtMM6", "Millilitres", "edtFloz", "Fluid Ounces"}}},
        {"GroupBox4", QT_TRANSLATE_NOOP("ConversionsWindow", "Length"),
         {{"edtCentimetre", "Centimetres", "edtDesimetre", "Desimetres"}}},
    };
    return all;
}

const char *const ReferenceLines[] = {
    "1 Cup              ->    250 Millilitres",
    "1 Teaspoon      ->    5 Milliltres",
    "1 Dessertspoon ->    10 Millilitres",
    "1 Tablespoon    ->    15 Millilitres",
    "1000 Grams      ->   1 Kilogram",
    "1 Gram             ->    0.0022 Pounds",
    "1 Gram             ->    0.04 Ounces",
    "1000 Millilitres   ->   1 Litre",
    "1 Millilitre          ->   0.00175 Pints",
    "1 Millilitre          ->    0.03 Fluid Ounces",
    "1 Centimetre      ->    0.4 Desimetre",
};

} // namespace

ConversionsWindow::ConversionsWindow(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "frmConversions", tr("Conversions"), QSize(663, 582), Frame::Fixed);

    QWidget *previous = nullptr;
    int top = 8;
    for (const Group &group : groups()) {
        auto *box = new QGroupBox(tr(group.caption), this);
        box->setObjectName(QLatin1String(group.name));
        auto *grid = new QGridLayout(box);
        grid->setHorizontalSpacing(8);
        grid->setVerticalSpacing(8);
        int row = 0;
        for (const Row &line : group.rows) {
            int column = 0;
            for (auto [name, caption] : {std::pair{line.leftBox, line.leftLabel}, std::pair{line.rightBox, line.rightLabel}}) {
                auto *label = new QLabel(tr(caption), box);
                auto *edit = new QLineEdit(box);
                edit->setObjectName(QLatin1String(name));
                edit->setAccessibleName(tr(caption));
                label->setBuddy(edit);
                edit->installEventFilter(this);
                m_boxes.insert(QLatin1String(name), edit);
                grid->addWidget(label, row, column);
                grid->addWidget(edit, row, column + 1);
                column += 2;
                if (previous)
                    setTabOrder(previous, edit);
                previous = edit;
            }
            ++row;
        }
        const int height = 30 + 32 * int(group.rows.size());
        box->setGeometry(8, top, 400, height);
        top += height + 10;
    }

    auto *reference = new QGroupBox(tr("Coversions"), this);
    reference->setObjectName(QStringLiteral("GroupBox5"));
    reference->setGeometry(418, 8, 237, 400);
    auto *lines = new QVBoxLayout(reference);
    for (const char *text : ReferenceLines) {
        auto *label = new QLabel(QString::fromLatin1(text), reference);
        label->setTextFormat(Qt::PlainText);
        lines->addWidget(label);
    }
    lines->addStretch();

    QAbstractButton *clearAll = makeButton(this, "btnClearAll", tr("Clear All"), QString(), QRect(418, 540, 110, 28));
    QAbstractButton *close = makeButton(this, "bmtClose", tr("Close"), QString(), QRect(545, 540, 110, 28));
    setTabOrder(previous, clearAll);
    setTabOrder(clearAll, close);
    connect(clearAll, &QAbstractButton::clicked, this, &ConversionsWindow::btnClearAllClick);
    connect(close, &QAbstractButton::clicked, this, &QDialog::close);
}

void ConversionsWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        centreWindow(this, parentWidget());
}

bool ConversionsWindow::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (!edit || !m_boxes.contains(edit->objectName()))
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease
                           ? key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter
                           : false;
    if (event->type() == QEvent::KeyPress) {
        // Every key that types a character (Backspace, Enter and Ctrl+V included, Delete not)
        // clears the old result of the box it belongs with. Tab moves the focus and Alt
        // combinations are commands: Qt gives them a text too, but they type nothing.
        const bool typesNothing = key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab
                                  || key->key() == Qt::Key_Backtab
                                  || (key->modifiers() & (Qt::AltModifier | Qt::MetaModifier));
        if (!key->text().isEmpty() && !typesNothing) {
            if (QLineEdit *cleared = m_boxes.value(KitchenConversions::boxClearedBy(edit->objectName())))
                cleared->clear();
        }
        if (enter)
            return true;   // converting happens on release; Enter must not close the dialog
    } else if (event->type() == QEvent::KeyRelease && enter) {
        if (const auto *direction = KitchenConversions::directionFrom(edit->objectName())) {
            m_boxes.value(QLatin1String(direction->target))
                ->setText(KitchenConversions::convert(*direction, edit->text(), QLocale()));
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ConversionsWindow::keyPressEvent(QKeyEvent *event)
{
    // The window has no Cancel button, so Escape does not close it; Close and the close box do.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ConversionsWindow::btnClearAllClick()
{
    if (Prompt::instance().confirm(tr("Clear all values?")) != Prompt::Answer::Yes)
        return;
    for (QLineEdit *edit : std::as_const(m_boxes))
        edit->clear();
}
