#pragma once

#include <QByteArray>
#include <QRectF>
#include <QSizeF>

class QPainter;

// Plays enhanced metafiles onto a QPainter: the records EmfDevice writes (the platform's drawing
// rules for rectangles, pens, brushes, paths, clips, fonts, text runs with their advances and
// bitmaps), from whichever program wrote them. Files with other records are left to a fuller
// player; canPlay() tells them apart.
class EmfPlayer
{
public:
    // True when the bytes are a well-formed EMF whose every record this player draws.
    [[nodiscard]] static bool canPlay(const QByteArray &emf);
    // The picture's frame in pixels at 96 dpi, or an empty size.
    [[nodiscard]] static QSizeF frameSize(const QByteArray &emf);
    // Draws the picture so that its frame fills `target`; false when it cannot be played.
    static bool play(const QByteArray &emf, QPainter &painter, const QRectF &target);
};
