#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes JPEG data with libjpeg. Large photos are decoded at a fraction of their size in eighths
// (the decoder's own DCT scaling), which is far quicker and smaller than decoding whole and scaling
// down: a 48-megapixel photo shown at 4096 pixels never exists in memory at full size.
struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;
};

// What to do with data that end before the last row of the picture.
enum class JpegTruncation {
    Fill,   // show what was there, the rest grey (as libjpeg does)
    Refuse, // stop at the end of the data and return a null image
};

// Reads the header only; false when the data is not a readable JPEG. Never throws.
[[nodiscard]] bool ReadJpegInfo(const QByteArray &data, JpegInfo *info);

// Decodes to a 24-bit image whose longer side is at most maxSide (0: full size). Throws Error with
// libjpeg's message when the data cannot be decoded.
[[nodiscard]] QImage DecodeJpeg(const QByteArray &data, int maxSide = 0,
                                JpegTruncation truncation = JpegTruncation::Fill);
