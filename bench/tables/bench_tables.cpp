// Measures the table renderer on a table with text in every cell (100 x 100 at scale 1):
//   rendering the metafile            vs. QPainter drawing the same rectangles and word-wrapped
//                                         texts onto a QImage (target: at most 1.5 times)
//   the metafile's size                   (target: under 5 MB)
//   pasting it into the editor and repainting (target: under 200 ms)
// Usage: bench_tables [--scale S] [--repeat N]; every figure is the best of N runs. At scale 1 the
// exit code says whether all targets were met.

#include "editor/control/richtextcontrol.h"
#include "tables/rendergrid.h"
#include "tables/tabledesign.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMimeData>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

double bestOf(int repeat, const std::function<void()> &work)
{
    double best = 1e99;
    for (int i = 0; i < repeat; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    double scale = 1.0;
    int repeat = 3;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--scale"))
            scale = args.at(i + 1).toDouble();
        else if (args.at(i) == QLatin1String("--repeat"))
            repeat = std::max(1, args.at(i + 1).toInt());
    }
    const int count = std::clamp(int(100 * scale), 2, 100);

    TableDesign design;
    design.stepColCount(count);
    design.stepRowCount(count);
    static const char *const words[] = {"flour", "butter", "sugar", "eggs", "milk", "salt", "simmer", "golden"};
    for (int c = 0; c < count; ++c)
        for (int r = 0; r < count; ++r)
            design.grid().setCell(c, r, QStringLiteral("%1 %2 %3").arg(words[(c + r) % 8], words[(c * 3 + r) % 8]).arg(r));

    TRenderGrid renderer(&design.grid(), &design.styles());
    const double ours = bestOf(repeat, [&] { renderer.Render(); });
    const QByteArray emf = renderer.Metafile();

    const QSize size(design.grid().totalWidth(), design.grid().totalHeight());
    const double baseline = bestOf(repeat, [&] {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        int y = 0;
        for (int r = 0; r < count; ++r) {
            int x = 0;
            for (int c = 0; c < count; ++c) {
                const TCellStyle &style = design.styles().lookup(r, c);
                const QRect cell(x, y, design.grid().colWidth(c), design.grid().rowHeight(r));
                painter.setPen(QColor(192, 192, 192));
                painter.setBrush(style.Colour);
                painter.drawRect(cell.adjusted(0, 0, -1, -1));
                painter.setFont(style.Font->font);
                painter.setPen(style.Font->color);
                painter.drawText(cell.adjusted(1, 0, -1, 2), Qt::TextWordWrap, design.grid().cell(c, r));
                x += cell.width();
            }
            y += design.grid().rowHeight(r);
        }
    });

    RichTextControl editor;
    editor.resize(900, 700);
    editor.show();
    const double paste = bestOf(repeat, [&] {
        editor.clear();
        QMimeData data;
        data.setData(QStringLiteral("image/x-emf"), emf);
        editor.insertFromMimeData(&data);
        editor.viewport()->repaint();
    });

    const double ratio = ours / baseline;
    std::printf("table %d x %d (%d x %d pixels)\n", count, count, size.width(), size.height());
    std::printf("render metafile      %9.1f ms\n", ours);
    std::printf("QPainter on QImage   %9.1f ms   ratio %.2f (target <= 1.5)\n", baseline, ratio);
    std::printf("metafile size        %9.2f MB   (target < 5)\n", emf.size() / 1e6);
    std::printf("paste and repaint    %9.1f ms   (target < 200)\n", paste);
    if (count < 100)
        return 0;
    return ratio <= 1.5 && emf.size() < 5'000'000 && paste < 200 ? 0 : 1;
}
