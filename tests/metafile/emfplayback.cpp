#include "emfplayback.h"

#include <QPainter>
#include <QSvgRenderer>

#include <emf2svg.h>

#include <cstdlib>
#include <cstring>

qint32 EmfRecord::at(int offset) const
{
    qint32 value = 0;
    if (offset >= 0 && offset + 4 <= bytes.size())
        std::memcpy(&value, bytes.constData() + offset, 4);
    return value;
}

QList<EmfRecord> emfRecords(const QByteArray &emf)
{
    QList<EmfRecord> records;
    qsizetype at = 0;
    while (at + 8 <= emf.size()) {
        quint32 type, size;
        std::memcpy(&type, emf.constData() + at, 4);
        std::memcpy(&size, emf.constData() + at + 4, 4);
        if (size < 8 || size % 4 || at + qsizetype(size) > emf.size())
            break;
        records.append({type, emf.mid(at, size)});
        at += size;
    }
    return records;
}

QImage playEmf(const QByteArray &emf, QSize size)
{
    generatorOptions options{};
    char emptyNameSpace[] = "";
    options.nameSpace = emptyNameSpace;
    options.svgDelimiter = true;
    options.imgWidth = size.width();
    options.imgHeight = size.height();
    char *out = nullptr;
    size_t length = 0;
    QByteArray copy = emf;
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (emf2svg(copy.data(), size_t(copy.size()), &out, &length, &options) == 1 && out) {
        QSvgRenderer renderer(QByteArray(out, qsizetype(length)));
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    } else {
        image = QImage();
    }
    std::free(out);
    return image;
}

double differingShare(const QImage &a, const QImage &b, int tolerance)
{
    if (a.size() != b.size() || a.isNull())
        return 1.0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    const auto inside = [&x](int col, int row) {
        const QRgb centre = x.pixel(col, row);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (x.valid(col + dx, row + dy) && x.pixel(col + dx, row + dy) != centre)
                    return false;
        return true;
    };
    qint64 differing = 0;
    qint64 counted = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            if (!inside(col, row))
                continue;
            ++counted;
            if (std::abs(qRed(p[col]) - qRed(q[col])) > tolerance || std::abs(qGreen(p[col]) - qGreen(q[col])) > tolerance
                || std::abs(qBlue(p[col]) - qBlue(q[col])) > tolerance)
                ++differing;
        }
    }
    return counted ? double(differing) / double(counted) : 1.0;
}
