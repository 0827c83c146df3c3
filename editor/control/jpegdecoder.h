#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes JPEG data with libjpeg. Large photos can be decoded at 1/2, 1/4 or 1/8 of their size
// (the decoder's own DCT scaling), which is far quicker than decoding whole and scaling down.
struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;
};

// Reads the header only; false when the data is not a readable JPEG. Never throws.
[[nodiscard]] bool ReadJpegInfo(const QByteArray &data, JpegInfo *info);

// Decodes to a 24-bit image no larger than maxSide on its longer side where DCT scaling allows
// (0: full size). Throws Error with libjpeg's message when the data cannot be decoded.
[[nodiscard]] QImage DecodeJpeg(const QByteArray &data, int maxSide = 0);
