#include "editor/control/jpegdecoder.h"

#include "store/error.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: jump back out.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr info)
{
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void silent(j_common_ptr, int) {}

} // namespace

bool ReadJpegInfo(const QByteArray &data, JpegInfo *info)
{
    jpeg_decompress_struct decoder{};
    ErrorManager errors{};
    decoder.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.emit_message = silent;
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

QImage DecodeJpeg(const QByteArray &data, int maxSide)
{
    jpeg_decompress_struct decoder{};
    ErrorManager errors{};
    decoder.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.emit_message = silent;
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
    decoder.scale_num = 1;
    decoder.scale_denom = 1;
    if (maxSide > 0) {
        const unsigned longer = std::max(decoder.image_width, decoder.image_height);
        while (decoder.scale_denom < 8 && longer / (decoder.scale_denom * 2) >= unsigned(maxSide))
            decoder.scale_denom *= 2;
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
    }
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    return image;
}
