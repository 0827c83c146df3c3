#include "widgets/ui/gallery.h"

#include "widgets/ui/gradientbutton.h"
#include "widgets/ui/gradientcheckbox.h"
#include "widgets/ui/gradientpanel.h"
#include "widgets/ui/gradientsplitter.h"

#include <QApplication>
#include <QEnterEvent>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <functional>
#include <vector>

namespace {

enum class State { Default, Hover, Pressed, Disabled, Focused, Checked };

const char *stateName(State s)
{
    switch (s) {
    case State::Default: return "default";
    case State::Hover: return "hover";
    case State::Pressed: return "pressed";
    case State::Disabled: return "disabled";
    case State::Focused: return "focused";
    case State::Checked: return "checked";
    }
    return "";
}

QPixmap sampleGlyph()
{
    QPixmap glyph(16, 16);
    glyph.fill(Qt::transparent);
    QPainter p(&glyph);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 96, 0), 1.5));
    p.setBrush(QColor(80, 176, 64));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(4.5, 8.5), QPointF(7, 11));
    p.drawLine(QPointF(7, 11), QPointF(11.5, 5));
    return glyph;
}

void hover(QWidget *w)
{
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(w, &enter);
}

void press(QWidget *w)
{
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

template<typename W>
void bringTo(W *w, State state)
{
    switch (state) {
    case State::Default: break;
    case State::Hover:
        hover(w);
        for (int i = 0; i < 10; ++i)
            w->tickFade();
        break;
    case State::Pressed:
        hover(w);
        press(w);
        w->tickFade();
        break;
    case State::Disabled: w->setEnabled(false); break;
    case State::Focused: break; // one widget at a time, when the picture is taken
    case State::Checked: w->setCheckable(true); w->setChecked(true); break;
    }
}

QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

QImage renderWidgetGallery()
{
    QWidget canvas;
    canvas.setObjectName(QStringLiteral("widgetGallery"));
    canvas.setWindowTitle(QStringLiteral("Widget gallery"));
    canvas.setAutoFillBackground(true);
    QPalette palette = canvas.palette();
    palette.setColor(QPalette::Window, QColor(240, 240, 240));
    canvas.setPalette(palette);
    auto *grid = new QGridLayout(&canvas);
    grid->setSpacing(10);

    const State states[] = {State::Default, State::Hover, State::Pressed,
                            State::Disabled, State::Focused, State::Checked};
    for (int c = 0; c < 6; ++c)
        grid->addWidget(heading(QString::fromLatin1(stateName(states[c])), &canvas), 0, c + 1);

    std::vector<std::function<void()>> later; // states applied once the window is shown
    std::vector<QWidget *> focused;           // only one widget can hold the focus at a time
    const QPixmap glyph = sampleGlyph();
    int row = 1;

    // Buttons: caption only, and with a glyph; "checked" is a grouped button held down.
    for (bool withGlyph : {false, true}) {
        grid->addWidget(new QLabel(withGlyph ? QStringLiteral("TRbButton + glyph")
                                             : QStringLiteral("TRbButton"), &canvas), row, 0);
        for (int c = 0; c < 6; ++c) {
            auto *button = new GradientButton(QStringLiteral("Save"), &canvas);
            button->setFixedSize(90, 30);
            if (withGlyph)
                button->setGlyph(glyph);
            grid->addWidget(button, row, c + 1, Qt::AlignCenter);
            const State s = states[c];
            if (s == State::Focused)
                focused.push_back(button);
            const int group = withGlyph ? 2 : 1;
            later.push_back([button, s, group] {
                if (s == State::Checked) {
                    button->setGroupIndex(group);
                    button->setButtonDown(true);
                } else {
                    bringTo(button, s);
                }
            });
        }
        ++row;
    }

    grid->addWidget(new QLabel(QStringLiteral("TRbCheckBox"), &canvas), row, 0);
    for (int c = 0; c < 6; ++c) {
        auto *box = new GradientCheckBox(QStringLiteral("Print header"), &canvas);
        box->setFixedSize(110, 17);
        grid->addWidget(box, row, c + 1, Qt::AlignCenter);
        const State s = states[c];
        if (s == State::Focused)
            focused.push_back(box);
        later.push_back([box, s] { bringTo(box, s); });
    }
    ++row;

    // Panels: antialiased, gradient, group box, disabled, two caption places.
    grid->addWidget(new QLabel(QStringLiteral("TRbPanel"), &canvas), row, 0);
    const char *captions[] = {"Antialiased", "Gradient", "Group box", "Disabled", "Middle centre",
                              "Bottom right"};
    for (int c = 0; c < 6; ++c) {
        auto *panel = new GradientPanel(&canvas);
        panel->setCaption(QString::fromLatin1(captions[c]));
        panel->setFixedSize(110, 70);
        switch (c) {
        case 1:
            panel->setAntialiased(false);
            panel->setGradient(true);
            panel->setGradientType(RbLook::gtDoubleVert);
            panel->setDefaultTo(QColor(175, 190, 209));
            break;
        case 2: panel->setCaptionPosition(GradientPanel::cpGroupBox); break;
        case 3: panel->setEnabled(false); break;
        case 4: panel->setCaptionPosition(GradientPanel::cpMiddleCenter); break;
        case 5:
            panel->setCaptionPosition(GradientPanel::cpBottomRight);
            panel->setBorderWidth(5);
            break;
        }
        grid->addWidget(panel, row, c + 1, Qt::AlignCenter);
    }
    ++row;

    // Splitters: the bar between two panes, default and hovered, both grip directions.
    grid->addWidget(new QLabel(QStringLiteral("TRbSplitter"), &canvas), row, 0);
    for (int c = 0; c < 4; ++c) {
        const bool horizontalGrip = c >= 2;
        auto *splitter = new GradientSplitter(horizontalGrip ? Qt::Vertical : Qt::Horizontal, &canvas);
        splitter->setGripAlign(horizontalGrip ? GradientSplitter::gaHorizontal
                                              : GradientSplitter::gaVertical);
        splitter->setFixedSize(110, 110);
        splitter->setHandleWidth(horizontalGrip ? 7 : 5);
        for (int pane = 0; pane < 2; ++pane) {
            auto *panel = new GradientPanel(splitter);
            panel->setShowCaption(false);
            splitter->addWidget(panel);
        }
        grid->addWidget(splitter, row, c + 1, Qt::AlignCenter);
        if (c % 2 == 1) {
            later.push_back([splitter] {
                auto *handle = static_cast<GradientSplitterHandle *>(splitter->handle(1));
                QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
                QApplication::sendEvent(handle, &enter);
                for (int i = 0; i < 10; ++i)
                    handle->tickFade();
            });
        }
    }
    ++row;

    canvas.adjustSize();
    canvas.show();
    canvas.activateWindow();
    QApplication::processEvents();
    if (!canvas.isActiveWindow())
        QApplication::setActiveWindow(&canvas); // platforms without a window manager

    for (const auto &apply : later)
        apply();
    QApplication::processEvents();
    QImage picture = canvas.grab().toImage();
    QPainter painter(&picture);
    for (QWidget *w : focused) {
        w->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        painter.drawPixmap(w->mapTo(&canvas, QPoint(0, 0)) * picture.devicePixelRatio(), w->grab());
    }
    return picture;
}

int runWidgetGallery(const QString &outputPath)
{
    const QImage picture = renderWidgetGallery();
    return picture.save(outputPath, "PNG") ? 0 : 1;
}
