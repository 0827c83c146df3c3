// libFuzzer target for embedded pictures: any bytes offered as a picture file (PNG, JPEG, BMP, GIF,
// EMF, WMF) are either refused or become a picture that is stored, drawn in a document at the
// size it claims, rendered for the clipboard, and written back with its own bytes.
// Built and run by scripts/fuzz.sh [SECONDS]; seeds in tests/editor/seeds-pictures.

#include "editor/embeddedpicture.h"
#include "editor/rtfreader.h"
#include "editor/rtfwriter.h"
#include "tests/support/fuzzapplication.h"

#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<EmbeddedPicture> picture = EmbeddedPictureStore::fromFileData(bytes);
    if (!picture)
        return 0;
    QTextDocument document;
    EmbeddedPictureStore::preparePainting(&document);
    QTextCursor(&document).insertImage(EmbeddedPictureStore::add(&document, *picture));
    QImage canvas(160, 120, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        document.drawContents(&painter, QRectF(0, 0, 160, 120));
    }
    (void)EmbeddedPictureStore::render(*picture, QSize(40, 30));
    QTextDocument back;
    if (RtfReader::read(RtfWriter::write(&document), &back) != RtfReader::Status::Ok)
        std::abort();
    return 0;
}
