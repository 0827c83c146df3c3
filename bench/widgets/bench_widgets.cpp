// The widget look at full-HD size:
//   rebuilding the three-times smoothed background of a 1920 x 1080 panel   target < 30 ms
//   one fade tick of a button (levels advanced, face blended and painted)   target < 1 ms
// plus the repaint of a main-window-like set of panels and buttons after a resize.
// Usage: bench_widgets (runs offscreen unless QT_QPA_PLATFORM says otherwise)

#include "widgets/ui/gradientbutton.h"
#include "widgets/ui/gradientpanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template<typename F>
double measureMs(int runs, F &&f)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f(i);
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // 1. The background of a full-window panel, rebuilt after each resize.
    GradientPanel panel;
    const double rebuild = measureMs(15, [&](int i) {
        panel.resize(1920, 1080 - (i % 2)); // a real size change every run
        (void)panel.background();
    });

    // 2. One fade tick of a button: the level step and the repaint it causes.
    GradientButton button(QStringLiteral("Save Recipe"));
    button.resize(110, 30);
    QImage canvas(button.size(), QImage::Format_RGB32);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(&button, &enter);
    button.render(&canvas); // builds the state pictures once, as the first paint does
    const double tick = measureMs(200, [&](int i) {
        if (i % 10 == 0) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(&button, i % 20 == 0 ? static_cast<QEvent *>(&enter) : &leave);
        }
        button.tickFade();
        button.render(&canvas);
    });

    // 3. A window's worth: banner, bottom bar and two content panels with nine buttons, resized.
    QWidget window;
    window.resize(1920, 1080);
    auto *banner = new GradientPanel(&window);
    auto *bar = new GradientPanel(&window);
    auto *left = new GradientPanel(&window);
    auto *right = new GradientPanel(&window);
    std::vector<GradientButton *> buttons;
    for (int i = 0; i < 9; ++i)
        buttons.push_back(new GradientButton(QStringLiteral("Command %1").arg(i + 1), bar));
    QImage screen(window.size(), QImage::Format_RGB32);
    const double windowRepaint = measureMs(9, [&](int i) {
        const int w = 1920 - (i % 2), h = 1080;
        window.resize(w, h);
        banner->setGeometry(0, 0, w, 73);
        bar->setGeometry(0, h - 60, w, 60);
        left->setGeometry(0, 73, 400, h - 133);
        right->setGeometry(405, 73, w - 405, h - 133);
        for (int b = 0; b < 9; ++b)
            buttons[size_t(b)]->setGeometry(10 + b * 120, 15, 110, 30);
        window.render(&screen);
    });

    std::printf("panel background rebuild 1920x1080 (3x smoothed): %.2f ms  (target < 30 ms, ratio %.2f)\n",
                rebuild, rebuild / 30.0);
    std::printf("button fade tick and repaint:                    %.3f ms  (target < 1 ms, ratio %.2f)\n",
                tick, tick / 1.0);
    std::printf("main-window set repaint after resize:            %.2f ms\n", windowRepaint);
    return 0;
}
