// Renders the program's SVG icon into a square PNG of a given size, at build time:
//   saporin-rendericon IN.svg SIZE OUT.png
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Only an image is painted; no screen is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool ok = false;
    const int size = args.value(2).toInt(&ok);
    if (args.size() != 4 || !ok || size <= 0) {
        std::fprintf(stderr, "usage: saporin-rendericon IN.svg SIZE OUT.png\n");
        return 2;
    }
    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "saporin-rendericon: cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    if (!image.save(args.at(3), "PNG")) {
        std::fprintf(stderr, "saporin-rendericon: cannot write %s\n", qPrintable(args.at(3)));
        return 1;
    }
    return 0;
}
