// libFuzzer target for the EMF player: any bytes are either refused by canPlay or played onto a
// small image, whatever sizes, counts and offsets their records claim.
// Built and run by scripts/fuzz.sh [SECONDS]; seeds in tests/metafile/seeds-emf.

#include "metafile/emfplayer.h"
#include "tests/support/fuzzapplication.h"

#include <QImage>
#include <QPainter>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!EmfPlayer::canPlay(bytes))
        return 0;
    (void)EmfPlayer::frameSize(bytes);
    QImage image(64, 48, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    EmfPlayer::play(bytes, painter, QRectF(0, 0, 64, 48));
    return 0;
}
