#pragma once

#include <QByteArray>
#include <QImage>
#include <QMetaType>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <optional>

class QTextDocument;
class QTextImageFormat;

// A picture embedded in a recipe body: its original bytes and kind, so that saving writes it back
// exactly, and its native size as the file gave it. The display image lives beside it in the
// document's image resources under the same "saporin-pic://N" name.
struct EmbeddedPicture
{
    enum class Kind { Png, Jpeg, Emf, Wmf };

    Kind kind = Kind::Png;
    QByteArray data;
    // Bitmaps: pixels. Metafiles: hundredths of a millimetre. Zero when unknown.
    QSize nativeSize;
    // Metafiles that could be converted: SVG text that draws the picture as vectors.
    QByteArray svg;

    [[nodiscard]] bool isVector() const { return kind == Kind::Emf || kind == Kind::Wmf; }
    [[nodiscard]] static QString kindName(Kind kind);
};

Q_DECLARE_METATYPE(EmbeddedPicture)

// Stores and finds embedded pictures in a QTextDocument. Pictures are kept as document resources,
// so QTextDocument::clear() drops them and clone() carries them along. The display image kept for
// a bitmap is no larger than what was decoded (at most MaxDisplaySide on its longer side); a
// picture that cannot be decoded, or a metafile, keeps only a small stand-in.
// EMFs of the records EmfPlayer knows (those our own EMF device writes) are drawn by it directly.
// Other metafiles are played into SVG once, when they are added: EMF through libemf2svg (shapes,
// paths, pens and brushes, text, embedded bitmaps, clipping and EMF+ records where present), WMF
// through libwmf's SVG device (its record set, with gsfonts for text). A metafile neither can play
// shows as a framed placeholder of its size and keeps its bytes for saving.
class EmbeddedPictureStore
{
public:
    // Largest side of a display image in pixels; larger pictures are shown scaled down.
    static constexpr int MaxDisplaySide = 4096;

    // Registers a picture and its display image in the document; returns the image format to
    // insert, sized to displaySize (pixels at 96 dpi; an empty size means the natural size).
    static QTextImageFormat add(QTextDocument *document, EmbeddedPicture picture, QSizeF displaySize = {});

    // Makes a picture from bitmap or metafile bytes of any supported file type (PNG, JPEG, BMP,
    // GIF, EMF, WMF); bitmaps that are neither PNG nor JPEG are kept as PNG.
    static std::optional<EmbeddedPicture> fromFileData(const QByteArray &bytes);
    // Makes a picture from an image (pasted bitmaps), kept as PNG.
    static EmbeddedPicture fromImage(const QImage &image);

    // The picture behind an image format name, if the name is one of ours.
    [[nodiscard]] static std::optional<EmbeddedPicture> find(const QTextDocument *document, const QString &name);

    [[nodiscard]] static bool isPictureName(const QString &name);

    // Copies the picture (display image and original bytes) of the given name between documents.
    static void copy(const QTextDocument *from, QTextDocument *to, const QString &name);

    // Renders the picture at the given pixel size (for the clipboard): bitmaps decoded, metafiles
    // drawn through SVG, a framed placeholder when the picture cannot be drawn.
    [[nodiscard]] static QImage render(const EmbeddedPicture &picture, QSize size);

    // Has the document's layout draw our pictures: metafiles as vectors and undrawable pictures as
    // placeholders at paint time, since the document keeps only small stand-ins for them. add()
    // and copy() do it for a document that has a layout already, RtfReader after reading; a
    // document given pictures otherwise (QTextDocument::clone(), a headless document drawn later)
    // needs it called before it is drawn.
    static void preparePainting(QTextDocument *document);

    // The natural display size in pixels at 96 dpi, or an empty size when it is unknown.
    [[nodiscard]] static QSizeF naturalSize(const EmbeddedPicture &picture);
};
