#include "tables/jpegwriter.h"

#include "store/error.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

} // namespace

void WriteJpeg(const QImage &image, const QString &path, int quality)
{
    const QString failed = QCoreApplication::translate("WriteJpeg", "Cannot create file %1").arg(path);
    if (image.isNull())
        throw Error(failed);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);

    // Compressed in memory first, so that a failure leaves no half-written file.
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_compress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        throw Error(failed);
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.density_unit = 1; // dots per inch
    info.X_density = 96;
    info.Y_density = 96;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const QByteArray bytes(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        throw Error(failed);
}
