#include "editor/control/jpegdecoder.h"

#include "store/error.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: jump back out.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool dataEnded = false;
};

void errorExit(j_common_ptr info)
{
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings are silent; the two that say the compressed data ran out are remembered.
void noteWarning(j_common_ptr info, int level)
{
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    if (level < 0 && (info->err->msg_code == JWRN_JPEG_EOF || info->err->msg_code == JWRN_HIT_MARKER))
        manager->dataEnded = true;
}

} // namespace

bool ReadJpegInfo(const QByteArray &data, JpegInfo *info)
{
    jpeg_decompress_struct decoder{};
    ErrorManager errors{};
    decoder.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.emit_message = noteWarning;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&decoder);
        return false;
    }
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&decoder, TRUE);
    if (info) {
        info->width = int(decoder.image_width);
        info->height = int(decoder.image_height);
        info->components = decoder.num_components;
    }
    jpeg_destroy_decompress(&decoder);
    return true;
}

QImage DecodeJpeg(const QByteArray &data, int maxSide, JpegTruncation truncation)
{
    jpeg_decompress_struct decoder{};
    ErrorManager errors{};
    decoder.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.emit_message = noteWarning;
    QImage image; // declared before setjmp so it is not clobbered
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&decoder);
        throw Error(QString::fromLocal8Bit(errors.message));
    }
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&decoder, TRUE);
    decoder.out_color_space = JCS_RGB;
    // The largest scale in eighths that stays within maxSide; only a picture more than eight
    // times larger needs smooth scaling after that.
    decoder.scale_num = 8;
    decoder.scale_denom = 8;
    const unsigned longer = std::max(decoder.image_width, decoder.image_height);
    if (maxSide > 0 && longer > unsigned(maxSide)) {
        unsigned eighths = 7;
        while (eighths > 1 && (quint64(longer) * eighths + 7) / 8 > unsigned(maxSide))
            --eighths;
        decoder.scale_num = eighths;
    }
    jpeg_start_decompress(&decoder);
    const int width = int(decoder.output_width), height = int(decoder.output_height);
    // 24-bit RGB rows straight into the image.
    image = QImage(width, height, QImage::Format_RGB888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&decoder);
        throw Error(QStringLiteral("The picture is too large to show (%1 x %2).").arg(width).arg(height));
    }
    while (decoder.output_scanline < decoder.output_height) {
        JSAMPROW row = image.scanLine(int(decoder.output_scanline));
        jpeg_read_scanlines(&decoder, &row, 1);
        if (errors.dataEnded && truncation == JpegTruncation::Refuse && decoder.output_scanline < decoder.output_height) {
            jpeg_destroy_decompress(&decoder);
            return {};
        }
    }
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    if (maxSide > 0 && std::max(width, height) > maxSide)
        image = image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}
