#pragma once

#include <QFont>
#include <QImage>
#include <QString>

// Draws the character map's preview: a white picture with a one-pixel black frame on its edge and
// the character centred in one line inside the frame, in `font` at 70 points and navy. The picture is
// `size` pixels at 96 dpi, so the point size means the same on every screen.
[[nodiscard]] QImage characterPreview(QSize size, QFont font, const QString &text);
