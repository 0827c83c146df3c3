#include "editor/embeddedpicture.h"

#include "editor/control/jpegdecoder.h"
#include "metafile/emfplayer.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCache>
#include <QImageReader>
#include <QMutex>
#include <QPaintEngine>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextObjectInterface>
#include <QtMath>
#include <QUrl>

#include <emf2svg.h>
#ifdef SAPORIN_HAVE_LIBWMF
#include <libwmf/api.h>
#include <libwmf/svg.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

const QLatin1String Scheme("saporin-pic://");
std::atomic<quint64> nextPictureNumber{1};

quint32 le32(const QByteArray &b, qsizetype at)
{
    if (at < 0 || at + 4 > b.size())
        return 0;
    const auto *p = reinterpret_cast<const uchar *>(b.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

qint16 le16s(const QByteArray &b, qsizetype at)
{
    if (at < 0 || at + 2 > b.size())
        return 0;
    const auto *p = reinterpret_cast<const uchar *>(b.constData() + at);
    return qint16(quint16(p[0]) | quint16(p[1]) << 8);
}

bool isEmf(const QByteArray &b)
{
    return b.size() >= 88 && le32(b, 0) == 1 && le32(b, 40) == 0x464D4520;
}

bool isPlaceableWmf(const QByteArray &b)
{
    return b.size() >= 22 && le32(b, 0) == 0x9AC6CDD7;
}

bool isWmf(const QByteArray &b)
{
    if (isPlaceableWmf(b))
        return true;
    // A bare metafile header: type 1 (memory) or 2 (disk), header size 9 words.
    return b.size() >= 18 && (le16s(b, 0) == 1 || le16s(b, 0) == 2) && le16s(b, 2) == 9;
}

// The picture frame of an EMF header, in hundredths of a millimetre.
QSize emfFrame(const QByteArray &b)
{
    const qint64 w = qint64(qint32(le32(b, 32))) - qint32(le32(b, 24));
    const qint64 h = qint64(qint32(le32(b, 36))) - qint32(le32(b, 28));
    if (w <= 0 || h <= 0 || w > 10'000'000 || h > 10'000'000)
        return {};
    return QSize(int(w), int(h));
}

QSize wmfFrame(const QByteArray &b)
{
    if (!isPlaceableWmf(b))
        return {};
    const int w = le16s(b, 10) - le16s(b, 6);
    const int h = le16s(b, 12) - le16s(b, 8);
    const int inch = quint16(le16s(b, 14));
    if (w <= 0 || h <= 0 || inch <= 0)
        return {};
    return QSize(int(qint64(w) * 2540 / inch), int(qint64(h) * 2540 / inch));
}

void setLe32(QByteArray &b, qsizetype at, quint32 v)
{
    for (int k = 0; k < 4; ++k)
        b[at + k] = char(v >> (8 * k) & 0xFF);
}

// A device context starts with the white stock brush selected; the library's own start is a
// black brush, so a shape drawn before any brush is chosen would come out black. Selecting the
// stock brush right after the header gives the metafile the start it was made for.
QByteArray emfWithWhiteBrush(const QByteArray &emf)
{
    const quint32 headerSize = le32(emf, 4);
    if (headerSize < 88 || headerSize % 4 != 0 || headerSize > quint32(emf.size()))
        return emf;
    QByteArray select;
    select.resize(12);
    setLe32(select, 0, 37);          // EMR_SELECTOBJECT
    setLe32(select, 4, 12);
    setLe32(select, 8, 0x80000000);  // stock object WHITE_BRUSH
    QByteArray out = emf;
    out.insert(qsizetype(headerSize), select);
    setLe32(out, 48, le32(emf, 48) + 12); // bytes in the metafile
    setLe32(out, 52, le32(emf, 52) + 1);  // records
    return out;
}

QByteArray emfToSvg(const QByteArray &emf)
{
    generatorOptions options{};
    char emptyNameSpace[] = "";
    options.nameSpace = emptyNameSpace; // a prefix makes the library write malformed closing tags
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    const QSize frame = emfFrame(emf);
    options.imgWidth = frame.isValid() ? frame.width() * 96.0 / 2540.0 : 0;
    options.imgHeight = frame.isValid() ? frame.height() * 96.0 / 2540.0 : 0;
    char *out = nullptr;
    size_t outLength = 0;
    QByteArray copy = emfWithWhiteBrush(emf); // the library takes a mutable buffer
    const int ok = emf2svg(copy.data(), size_t(copy.size()), &out, &outLength, &options);
    QByteArray svg;
    if (ok == 1 && out)
        svg = QByteArray(out, qsizetype(outLength));
    std::free(out);
    if (svg.isEmpty())
        return {};
    QSvgRenderer check(svg);
    return check.isValid() ? svg : QByteArray();
}

// The library sizes its buffers from the header and records; damaged values would have it ask for
// gigabytes. A bare metafile is played only if its header and every record fit its bytes.
bool plausibleWmf(const QByteArray &b)
{
    const auto word = [&b](qsizetype at) { return quint16(le16s(b, at)); };
    const quint32 maxRecord = le32(b, 12);
    if ((word(0) != 1 && word(0) != 2) || word(2) != 9 || word(10) > 4096 || maxRecord < 3
        || qint64(maxRecord) * 2 > b.size())
        return false;
    qsizetype at = 18;
    while (at + 6 <= b.size()) {
        const quint32 words = le32(b, at);
        if (words < 3 || words > maxRecord || at + qint64(words) * 2 > b.size())
            return false;
        if (word(at + 4) == 0)
            return true; // end of file record
        at += qsizetype(words) * 2;
    }
    return false;
}

// libwmf starts a metafile with a hollow brush; a device context starts with a white one. A white
// brush is created and selected in front of the records; it takes object slot 0 for good, so every
// object the metafile itself creates lands one slot higher, and the records that name a slot are
// renumbered to match. Expects a metafile that plausibleWmf() accepted.
QByteArray wmfWithWhiteBrush(const QByteArray &wmf)
{
    const auto put16 = [](QByteArray &b, qsizetype at, quint16 v) {
        b[at] = char(v & 0xFF);
        b[at + 1] = char(v >> 8);
    };
    QByteArray out = wmf;
    qsizetype at = 18;
    while (at + 6 <= out.size()) {
        const quint32 words = le32(out, at);
        const quint16 function = quint16(le16s(out, at + 4));
        if (function == 0)
            break;
        // Records whose first (and for region fills, second) parameter is an object slot.
        int slots = 0;
        switch (function) {
        case 0x012D: // META_SELECTOBJECT
        case 0x01F0: // META_DELETEOBJECT
        case 0x0234: // META_SELECTPALETTE
        case 0x012C: // META_SELECTCLIPREGION
        case 0x012A: // META_INVERTREGION
        case 0x012B: // META_PAINTREGION
            slots = 1;
            break;
        case 0x0228: // META_FILLREGION: region, brush
        case 0x0429: // META_FRAMEREGION: region, brush, height, width
            slots = 2;
            break;
        default:
            break;
        }
        for (int k = 0; k < slots && at + 8 + 2 * k <= at + qint64(words) * 2; ++k)
            put16(out, at + 6 + 2 * k, quint16(quint16(le16s(out, at + 6 + 2 * k)) + 1));
        at += qsizetype(words) * 2;
    }
    QByteArray brush;
    brush.resize(22);
    setLe32(brush, 0, 7);
    put16(brush, 4, 0x02FC);          // META_CREATEBRUSHINDIRECT
    put16(brush, 6, 0);               // BS_SOLID
    setLe32(brush, 8, 0x00FFFFFF);    // white
    put16(brush, 12, 0);
    setLe32(brush, 14, 4);
    put16(brush, 18, 0x012D);         // META_SELECTOBJECT
    put16(brush, 20, 0);              // slot 0
    out.insert(18, brush);
    setLe32(out, 6, le32(wmf, 6) + 11);                                   // size in words
    put16(out, 10, quint16(le16s(wmf, 10)) + 1);                          // objects
    setLe32(out, 12, std::max<quint32>(le32(wmf, 12), 7));                // largest record
    return out;
}

// A Windows metafile drawn as SVG through libwmf, or nothing when it cannot be played.
QByteArray wmfToSvg(const QByteArray &wmf)
{
#ifdef SAPORIN_HAVE_LIBWMF
    if (wmf.size() < 18 || wmf.size() > (64 << 20) || !plausibleWmf(wmf))
        return {};
    wmfAPI *api = nullptr;
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        return {};
    }
    QByteArray copy = wmfWithWhiteBrush(wmf); // the library takes a mutable buffer
    wmfD_Rect box{};
    unsigned int width = 0, height = 0;
    wmf_error_t error = wmf_mem_open(api, reinterpret_cast<unsigned char *>(copy.data()), long(copy.size()));
    if (error == wmf_E_None)
        error = wmf_scan(api, 0, &box);
    if (error == wmf_E_None)
        error = wmf_display_size(api, &width, &height, 96, 96);
    QByteArray svg;
    if (error == wmf_E_None && width > 0 && height > 0 && width <= 100000 && height <= 100000) {
        wmf_svg_t *device = WMF_SVG_GetData(api);
        device->out = wmf_stream_create(api, nullptr);
        char description[] = "";
        device->Description = description;
        device->bbox = box;
        device->width = width;
        device->height = height;
        error = wmf_play(api, 0, &box);
        char *memory = nullptr;
        unsigned long length = 0;
        wmf_stream_destroy(api, device->out, &memory, &length);
        if (error == wmf_E_None && memory)
            svg = QByteArray(memory, qsizetype(length));
        if (memory)
            wmf_free(api, memory);
    }
    wmf_api_destroy(api);
    if (svg.isEmpty())
        return {};
    QSvgRenderer check(svg);
    return check.isValid() ? svg : QByteArray();
#else
    Q_UNUSED(wmf);
    return {};
#endif
}

// The mark a display image carries under RoleKey when the picture itself is drawn at paint time:
// a placeholder for a picture that cannot be drawn, or a small preview of a metafile.
const QString RoleKey = QStringLiteral("saporin-role");
const QString PlaceholderRole = QStringLiteral("placeholder");
const QString VectorRole = QStringLiteral("vector");

// Stand-ins kept in the document are this small, whatever size the picture claims.
constexpr int MarkSide = 32;
constexpr int PreviewSide = 64;

// A framed white box with a cross, the look of a picture that cannot be drawn.
void drawPlaceholder(QPainter *painter, const QRectF &rect)
{
    painter->save();
    painter->fillRect(rect, Qt::white);
    QPen pen(QColor(128, 128, 128), 1);
    pen.setCosmetic(true);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    painter->drawLine(rect.topLeft(), rect.bottomRight());
    painter->drawLine(rect.topRight(), rect.bottomLeft());
    painter->restore();
}

QImage placeholder(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    drawPlaceholder(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

QImage marked(QImage image, const QString &role)
{
    image.setText(RoleKey, role);
    return image;
}

QSize clampedDisplaySize(QSizeF size)
{
    QSizeF s = size;
    if (!(s.width() >= 1) || !(s.height() >= 1))
        s = QSizeF(std::max(1.0, s.width() >= 1 ? s.width() : 1.0), std::max(1.0, s.height() >= 1 ? s.height() : 1.0));
    const double side = std::max(s.width(), s.height());
    if (side > EmbeddedPictureStore::MaxDisplaySide)
        s *= EmbeddedPictureStore::MaxDisplaySide / side;
    return QSize(std::max(1, qRound(s.width())), std::max(1, qRound(s.height())));
}

// Resources are keyed by URL alone, so the original bytes need a name of their own.
QUrl dataUrl(const QString &name)
{
    return QUrl(name + QLatin1String("/data"));
}

// The size to decode a bitmap at for display at displaySize: no larger than twice that (sharp
// on screen, little memory) and never beyond MaxDisplaySide, so any photo fits in memory.
QSize decodeSize(QSize native, QSize displaySize)
{
    QSize size = native;
    if (size.width() > 2 * displaySize.width() || size.height() > 2 * displaySize.height())
        size = native.scaled(2 * displaySize, Qt::KeepAspectRatio);
    if (std::max(size.width(), size.height()) > EmbeddedPictureStore::MaxDisplaySide)
        size = size.scaled(EmbeddedPictureStore::MaxDisplaySide, EmbeddedPictureStore::MaxDisplaySide, Qt::KeepAspectRatio);
    return size.expandedTo(QSize(1, 1));
}

QImage readScaled(const QByteArray &data, QSize displaySize)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize native = reader.size();
    if (!native.isValid() || native.isEmpty())
        return {};
    const QSize size = decodeSize(native, displaySize);
    // Qt's JPEG reader scales while decoding; the others decode whole before scaling anyway
    // (within their allocation limit). Scaling first to twice the size by sampling keeps smooth
    // scaling cheap for any shape: smoothing a picture hundreds of times taller than wide
    // straight down took seconds.
    if (reader.format() == "jpeg")
        reader.setScaledSize(size);
    QImage image = reader.read();
    if (image.isNull() || image.size() == size)
        return image;
    const QSize twice = (2 * size).boundedTo(image.size());
    if (image.width() > twice.width() || image.height() > twice.height())
        image = image.scaled(twice, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The bitmap decoded for display, or a null image when its data cannot be decoded. JPEG goes
// through libjpeg's own scaling; data that end before the picture does are refused rather than
// shown as a mostly grey picture of the size their header claims.
QImage decodeBitmap(const EmbeddedPicture &picture, QSize displaySize)
{
    if (picture.kind != EmbeddedPicture::Kind::Jpeg)
        return readScaled(picture.data, displaySize);
    JpegInfo info;
    if (!ReadJpegInfo(picture.data, &info) || info.width <= 0 || info.height <= 0)
        return {};
    const QSize size = decodeSize(QSize(info.width, info.height), displaySize);
    try {
        return DecodeJpeg(picture.data, std::max(size.width(), size.height()), JpegTruncation::Refuse);
    } catch (...) {
        // Colour spaces libjpeg will not turn into RGB (CMYK) are left to Qt's reader.
        return readScaled(picture.data, displaySize);
    }
}

// Draws the pictures of a document: bitmaps straight from their display image, metafiles as
// vectors at paint time (rasters of recent sizes kept in a cache of bounded size), and pictures
// that cannot be drawn as a framed placeholder of their size. Other images go to Qt's handler.
class PictureObjectHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    PictureObjectHandler(QObject *parent, QTextObjectInterface *fallback)
        : QObject(parent), m_fallback(fallback)
    {
    }

    QSizeF intrinsicSize(QTextDocument *doc, int posInDocument, const QTextFormat &format) override
    {
        if (m_fallback)
            return m_fallback->intrinsicSize(doc, posInDocument, format);
        const QTextImageFormat image = format.toImageFormat();
        return QSizeF(image.width(), image.height());
    }

    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *doc, int posInDocument,
                    const QTextFormat &format) override
    {
        const QString name = format.toImageFormat().name();
        if (EmbeddedPictureStore::isPictureName(name)) {
            const QImage shown = doc->resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
            const QString role = shown.text(RoleKey);
            if (role == PlaceholderRole || shown.isNull()) {
                drawPlaceholder(painter, rect);
                return;
            }
            if (role != VectorRole) {
                painter->save();
                painter->setRenderHint(QPainter::SmoothPixmapTransform);
                painter->drawImage(rect, shown);
                painter->restore();
                return;
            }
            if (drawVector(painter, rect, doc, name))
                return;
        }
        if (m_fallback)
            m_fallback->drawObject(painter, rect, doc, posInDocument, format);
    }

private:
    static bool drawVector(QPainter *painter, const QRectF &rect, const QTextDocument *doc, const QString &name)
    {
        static QMutex mutex;
        // Parsed metafiles, and rasters of them in KiB: both bounded, whatever a document holds.
        static QCache<QString, QSvgRenderer> renderers(32);
        static QCache<QString, QImage> rasters(96 * 1024);
        const QMutexLocker lock(&mutex);
        QSvgRenderer *renderer = renderers.object(name);
        if (!renderer) {
            const std::optional<EmbeddedPicture> picture = EmbeddedPictureStore::find(doc, name);
            if (picture && picture->kind == EmbeddedPicture::Kind::Emf && picture->svg.isEmpty() && EmfPlayer::canPlay(picture->data))
                return EmfPlayer::play(picture->data, *painter, rect);
            if (!picture || picture->svg.isEmpty())
                return false;
            renderer = new QSvgRenderer(picture->svg);
            if (!renderer->isValid()) {
                delete renderer;
                return false;
            }
            renderers.insert(name, renderer);
        }
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QRectF device = painter->transform().mapRect(rect);
        const QSize pixels(qCeil(device.width() * ratio), qCeil(device.height() * ratio));
        const bool raster = painter->paintEngine() && painter->paintEngine()->type() == QPaintEngine::Raster;
        if (!raster || pixels.isEmpty() || qint64(pixels.width()) * pixels.height() > 4096 * 4096) {
            renderer->render(painter, rect); // printers and huge zooms: vectors straight through
            return true;
        }
        const QString key = name + QLatin1Char('@') + QString::number(pixels.width()) + QLatin1Char('x')
                + QString::number(pixels.height());
        QImage *image = rasters.object(key);
        if (!image) {
            image = new QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            if (image->isNull()) {
                delete image;
                renderer->render(painter, rect);
                return true;
            }
            image->fill(Qt::transparent);
            QPainter p(image);
            renderer->render(&p, QRectF(QPointF(0, 0), QSizeF(pixels)));
            p.end();
            const qsizetype kib = std::max<qsizetype>(1, image->sizeInBytes() / 1024);
            if (!rasters.insert(key, image, kib)) {
                painter->drawImage(rect, *image); // larger than the whole cache: drawn once
                return true;
            }
            image = rasters.object(key);
        }
        painter->drawImage(rect, *image);
        return true;
    }

    QTextObjectInterface *m_fallback = nullptr;
};

} // namespace

QString EmbeddedPicture::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Png: return QStringLiteral("png");
    case Kind::Jpeg: return QStringLiteral("jpeg");
    case Kind::Emf: return QStringLiteral("emf");
    case Kind::Wmf: return QStringLiteral("wmf");
    }
    return {};
}

bool EmbeddedPictureStore::isPictureName(const QString &name)
{
    return name.startsWith(Scheme);
}

QSizeF EmbeddedPictureStore::naturalSize(const EmbeddedPicture &picture)
{
    if (!picture.nativeSize.isValid() || picture.nativeSize.isEmpty())
        return {};
    if (picture.isVector())
        return QSizeF(picture.nativeSize.width() * 96.0 / 2540.0, picture.nativeSize.height() * 96.0 / 2540.0);
    return QSizeF(picture.nativeSize);
}

std::optional<EmbeddedPicture> EmbeddedPictureStore::fromFileData(const QByteArray &bytes)
{
    EmbeddedPicture picture;
    if (isEmf(bytes)) {
        picture.kind = EmbeddedPicture::Kind::Emf;
        picture.data = bytes;
        picture.nativeSize = emfFrame(bytes);
        // Metafiles our own player draws need no SVG (converting a large one costs far more than
        // playing it); others go through libemf2svg.
        if (!EmfPlayer::canPlay(bytes))
            picture.svg = emfToSvg(bytes);
        return picture;
    }
    if (isWmf(bytes)) {
        picture.kind = EmbeddedPicture::Kind::Wmf;
        // The stored form of a metafile picture has no placeable header.
        picture.nativeSize = wmfFrame(bytes);
        picture.data = isPlaceableWmf(bytes) ? bytes.mid(22) : bytes;
        picture.svg = wmfToSvg(picture.data);
        return picture;
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format().toLower();
    const QSize size = reader.size();
    if (format == "png" || format == "jpeg" || format == "jpg") {
        if (!size.isValid())
            return std::nullopt;
        picture.kind = format == "png" ? EmbeddedPicture::Kind::Png : EmbeddedPicture::Kind::Jpeg;
        picture.data = bytes;
        picture.nativeSize = size;
        return picture;
    }
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return fromImage(image);
}

EmbeddedPicture EmbeddedPictureStore::fromImage(const QImage &image)
{
    EmbeddedPicture picture;
    picture.kind = EmbeddedPicture::Kind::Png;
    QBuffer buffer(&picture.data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    picture.nativeSize = image.size();
    return picture;
}

QImage EmbeddedPictureStore::render(const EmbeddedPicture &picture, QSize size)
{
    size = clampedDisplaySize(QSizeF(size));
    if (!picture.isVector()) {
        const QImage image = decodeBitmap(picture, size);
        return image.isNull() ? placeholder(size) : image;
    }
    if (picture.kind == EmbeddedPicture::Kind::Emf && picture.svg.isEmpty() && EmfPlayer::canPlay(picture.data)) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        EmfPlayer::play(picture.data, painter, QRectF(QPointF(0, 0), QSizeF(size)));
        return image;
    }
    if (picture.svg.isEmpty())
        return placeholder(size);
    QSvgRenderer renderer(picture.svg);
    if (!renderer.isValid())
        return placeholder(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

// A document that already has a layout gets our handler at once; creating a layout here would
// have the document laid out after every insertion while it is being read.
static void prepareIfLaidOut(QTextDocument *document)
{
    if (document->findChild<QAbstractTextDocumentLayout *>(QString(), Qt::FindDirectChildrenOnly))
        EmbeddedPictureStore::preparePainting(document);
}

void EmbeddedPictureStore::preparePainting(QTextDocument *document)
{
    QAbstractTextDocumentLayout *layout = document->documentLayout();
    if (layout->findChild<PictureObjectHandler *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    layout->registerHandler(QTextFormat::ImageObject,
                            new PictureObjectHandler(layout, layout->handlerForObject(QTextFormat::ImageObject)));
}

QTextImageFormat EmbeddedPictureStore::add(QTextDocument *document, EmbeddedPicture picture, QSizeF displaySize)
{
    const bool played = picture.kind == EmbeddedPicture::Kind::Emf && picture.svg.isEmpty() && EmfPlayer::canPlay(picture.data);
    if (picture.kind == EmbeddedPicture::Kind::Emf && picture.svg.isEmpty() && !played)
        picture.svg = emfToSvg(picture.data);
    else if (picture.kind == EmbeddedPicture::Kind::Wmf && picture.svg.isEmpty())
        picture.svg = wmfToSvg(picture.data);
    if (displaySize.isEmpty())
        displaySize = naturalSize(picture);
    if (displaySize.isEmpty())
        displaySize = QSizeF(96, 96);
    const QString name = Scheme + QString::number(nextPictureNumber.fetch_add(1));
    const QUrl url(name);
    // The document keeps what was really decoded; stand-ins are small and drawn at paint time.
    const QSize size = clampedDisplaySize(displaySize);
    QImage shown;
    if (!picture.isVector()) {
        shown = decodeBitmap(picture, size);
    } else if (played) {
        shown = marked(render(picture, size.scaled(PreviewSide, PreviewSide, Qt::KeepAspectRatio)), VectorRole);
    } else if (!picture.svg.isEmpty()) {
        QSvgRenderer renderer(picture.svg);
        if (renderer.isValid())
            shown = marked(render(picture, size.scaled(PreviewSide, PreviewSide, Qt::KeepAspectRatio)), VectorRole);
    }
    if (shown.isNull())
        shown = marked(placeholder(QSize(MarkSide, MarkSide)), PlaceholderRole);
    prepareIfLaidOut(document);
    document->addResource(QTextDocument::ImageResource, url, shown);
    document->addResource(QTextDocument::UserResource, dataUrl(name), QVariant::fromValue(picture));
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(std::clamp(displaySize.width(), 1.0, 16384.0));
    format.setHeight(std::clamp(displaySize.height(), 1.0, 16384.0));
    return format;
}

std::optional<EmbeddedPicture> EmbeddedPictureStore::find(const QTextDocument *document, const QString &name)
{
    if (!document || !isPictureName(name))
        return std::nullopt;
    const QVariant value = document->resource(QTextDocument::UserResource, dataUrl(name));
    if (!value.canConvert<EmbeddedPicture>())
        return std::nullopt;
    return value.value<EmbeddedPicture>();
}

void EmbeddedPictureStore::copy(const QTextDocument *from, QTextDocument *to, const QString &name)
{
    prepareIfLaidOut(to);
    const QUrl url(name);
    const QVariant image = from->resource(QTextDocument::ImageResource, url);
    if (image.isValid())
        to->addResource(QTextDocument::ImageResource, url, image);
    if (isPictureName(name)) {
        const QVariant data = from->resource(QTextDocument::UserResource, dataUrl(name));
        if (data.isValid())
            to->addResource(QTextDocument::UserResource, dataUrl(name), data);
    }
}

#include "embeddedpicture.moc"
