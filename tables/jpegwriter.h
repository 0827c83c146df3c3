#pragma once

#include <QString>

class QImage;

// Writes an image as a baseline JPEG file through libjpeg. Throws Error when the file cannot be
// written.
void WriteJpeg(const QImage &image, const QString &path, int quality = 100);
