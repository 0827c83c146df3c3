#include "pickers/characterpreview.h"

#include <QPainter>

QImage characterPreview(QSize size, QFont font, const QString &text)
{
    QImage image(size, QImage::Format_RGB32);
    const int dotsPerMeter = qRound(96 / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
    if (!text.isEmpty()) {
        font.setPointSize(70);
        painter.setFont(font);
        painter.setPen(QColor(0, 0, 128)); // the grid's navy
        painter.setRenderHint(QPainter::TextAntialiasing);
        // No Qt::TextShowMnemonic: "&" is drawn as itself.
        painter.drawText(image.rect().adjusted(1, 1, -1, -1), Qt::AlignCenter | Qt::TextSingleLine, text);
    }
    return image;
}
