#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>

#include <span>

class QMimeData;

// The 29 emoticons of the picker: where each sits on the picker's main panel, its hover text and
// its artwork, and the pictures made from that artwork for the screen and for the clipboard.
struct Emoticon
{
    int tag;               // 1 to 29, the order of the hover texts
    const char *control;   // the picture control's object name ("Image2")
    QRect geometry;        // pixels on the picker's main panel; the size is the picture's size
    const char *hoverText; // untranslated; a name, three blanks and the typed code where it has one
    const char *artwork;   // base name of the SVG under :/emoticons/

    // The hover text as shown (translated).
    [[nodiscard]] QString text() const;
    // The name without the typed code ("Angry" for "Angry   :x"), for screen readers.
    [[nodiscard]] QString name() const;
    [[nodiscard]] QString artworkPath() const;
};

namespace Emoticons {

[[nodiscard]] std::span<const Emoticon> all();
// The emoticon of a tag, or nullptr for a tag outside 1 to 29.
[[nodiscard]] const Emoticon *byTag(int tag);

// The artwork drawn at its size times `scale` on a transparent background.
[[nodiscard]] QImage picture(const Emoticon &emoticon, qreal scale = 1.0);
// The artwork as an enhanced metafile of the emoticon's size at 96 dpi, drawn as vectors.
[[nodiscard]] QByteArray metafile(const Emoticon &emoticon);
// What the clipboard receives for a chosen emoticon: the metafile ("image/x-emf") and, for
// programs that take no metafiles, the picture as PNG ("image/png"). The caller owns the result.
[[nodiscard]] QMimeData *clipboardData(const Emoticon &emoticon);

} // namespace Emoticons
