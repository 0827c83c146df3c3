// A recipe body holding a 12-megapixel photo, inserted as the editor's Insert Picture does:
//   stored body size against the JPEG file's size         target <= 1.4 x
//   opening the body (inflate, read, decode, first paint)  target < 1 s
// and the photo must show, decoded no larger than the display cap (fails otherwise), also for a
// 48-megapixel phone photo (--megapixels 48.8).
// Usage: bench_photo [--megapixels N] (runs offscreen unless QT_QPA_PLATFORM says otherwise)

#include "editor/control/richtextcontrol.h"
#include "editor/embeddedpicture.h"
#include "editor/recipebody.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// A photo-like picture: smooth light and colour with fine grain, so the JPEG is of a real size.
QByteArray makePhoto(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(12);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int grain = int(random.bounded(24)) - 12;
            const double u = double(x) / width, v = double(y) / height;
            line[x] = qRgb(qBound(0, int(200 * u + 40 * std::sin(v * 9)) + grain, 255),
                           qBound(0, int(160 * v + 60 * std::cos(u * 7)) + grain, 255),
                           qBound(0, int(120 + 80 * std::sin((u + v) * 5)) + grain, 255));
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return jpeg;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    double megapixels = 12;
    const QStringList args = QCoreApplication::arguments();
    const int at = int(args.indexOf(QStringLiteral("--megapixels")));
    if (at > 0 && at + 1 < args.size())
        megapixels = args.at(at + 1).toDouble();
    const int height = int(std::sqrt(megapixels * 1e6 * 3 / 4));
    const int width = height * 4 / 3;
    const QByteArray jpeg = makePhoto(width, height);

    QElapsedTimer timer;
    timer.start();
    QByteArray stored;
    {
        RichTextControl editor;
        editor.setPlainText(QStringLiteral("Our garden in June.\n"));
        editor.moveCursor(QTextCursor::End);
        editor.InsertPicture(jpeg);
        stored = SaveRecipeBody(editor.StreamOut());
    }
    const double insertAndSave = timer.nsecsElapsed() / 1e6;

    RichTextControl reader;
    reader.resize(1026, 309);
    QImage screen(reader.size(), QImage::Format_RGB32);
    timer.restart();
    reader.StreamIn(LoadRecipeBody(stored));
    reader.render(&screen);
    const double open = timer.nsecsElapsed() / 1e6;

    // The display image the document keeps for the photo.
    QImage shown;
    for (QTextBlock block = reader.document()->begin(); block.isValid() && shown.isNull(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (const QTextCharFormat f = it.fragment().charFormat(); f.isImageFormat())
                shown = reader.document()->resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name())).value<QImage>();
    const bool shows = !shown.isNull() && shown.width() > 64
            && std::max(shown.width(), shown.height()) <= EmbeddedPictureStore::MaxDisplaySide;

    const double ratio = double(stored.size()) / double(jpeg.size());
    std::printf("photo %d x %d, JPEG %.2f MB\n", width, height, jpeg.size() / 1048576.0);
    std::printf("stored body / JPEG size:  %.3f  (target <= 1.4)\n", ratio);
    std::printf("insert and save:          %.0f ms\n", insertAndSave);
    std::printf("open (inflate, read, paint): %.0f ms  (target < 1000 ms, ratio %.2f)\n", open, open / 1000.0);
    std::printf("shown as %d x %d (%.1f MB)%s\n", shown.width(), shown.height(), shown.sizeInBytes() / 1048576.0,
                shows ? "" : "  NOT SHOWN");
    return ratio <= 1.4 && shows ? 0 : 1;
}
