#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QSize>
#include <QString>

#include <memory>

class EmfPaintEngine;

// A paint device that records what a QPainter draws on it as an enhanced metafile (EMF): pens,
// brushes, rectangles, polygons and paths, rectangular clips, fonts, text runs with the advances
// Qt laid out, and bitmaps. The device is `size` pixels at 96 dpi; the metafile's frame is the
// same size in hundredths of a millimetre. Paint on it once; data() then holds the finished file.
//
// Coordinates are written in 1/`unitsPerPixel` of a pixel. One unit per pixel keeps the
// platform's exact pixel rules (a rectangle covers left..right-1); more units keep curves smooth
// in small artwork.
class EmfDevice : public QPaintDevice
{
public:
    explicit EmfDevice(QSize size, QString creator = QStringLiteral("Saporin"), QString title = {},
                       int unitsPerPixel = 1);
    ~EmfDevice() override;
    EmfDevice(const EmfDevice &) = delete;
    EmfDevice &operator=(const EmfDevice &) = delete;

    QPaintEngine *paintEngine() const override;
    [[nodiscard]] QSize size() const { return m_size; }

    // The metafile as written when the last painter on the device ended; empty before that.
    [[nodiscard]] QByteArray data() const;
    // Writes data() to a file; false when the file cannot be written.
    [[nodiscard]] bool save(const QString &path) const;

    // The MIME type of EMF on the clipboard.
    static QString mimeType() { return QStringLiteral("image/x-emf"); }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    friend class EmfPaintEngine;
    QSize m_size;
    QString m_creator;
    QString m_title;
    int m_unitsPerPixel;
    QByteArray m_data;
    std::unique_ptr<EmfPaintEngine> m_engine;
};
