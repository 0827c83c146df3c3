#include "editor/embeddedpicture.h"

#include "metafile/emfplayer.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextDocument>
#include <QTextImageFormat>
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
    QByteArray copy = emf; // the library takes a mutable buffer
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
    QByteArray copy = wmf; // the library takes a mutable buffer
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

QImage placeholder(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(QColor(128, 128, 128), 1));
    p.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));
    p.drawLine(QPointF(0, 0), QPointF(size.width(), size.height()));
    p.drawLine(QPointF(size.width(), 0), QPointF(0, size.height()));
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
    switch (picture.kind) {
    case EmbeddedPicture::Kind::Png:
    case EmbeddedPicture::Kind::Jpeg: {
        QBuffer buffer;
        buffer.setData(picture.data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QSize native = reader.size();
        // Decode no larger than twice the display size: enough for sharp display, little memory.
        if (native.isValid() && (native.width() > 2 * size.width() || native.height() > 2 * size.height()))
            reader.setScaledSize(native.scaled(2 * size, Qt::KeepAspectRatio));
        QImage image = reader.read();
        return image.isNull() ? placeholder(size) : image;
    }
    case EmbeddedPicture::Kind::Emf:
        if (EmfPlayer::canPlay(picture.data)) {
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            EmfPlayer::play(picture.data, painter, QRectF(QPointF(0, 0), QSizeF(size)));
            return image;
        }
        break;
    case EmbeddedPicture::Kind::Wmf:
        break;
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

QTextImageFormat EmbeddedPictureStore::add(QTextDocument *document, EmbeddedPicture picture, QSizeF displaySize)
{
    if (picture.kind == EmbeddedPicture::Kind::Emf && picture.svg.isEmpty() && !EmfPlayer::canPlay(picture.data))
        picture.svg = emfToSvg(picture.data);
    else if (picture.kind == EmbeddedPicture::Kind::Wmf && picture.svg.isEmpty())
        picture.svg = wmfToSvg(picture.data);
    if (displaySize.isEmpty())
        displaySize = naturalSize(picture);
    if (displaySize.isEmpty())
        displaySize = QSizeF(96, 96);
    const QString name = Scheme + QString::number(nextPictureNumber.fetch_add(1));
    const QUrl url(name);
    document->addResource(QTextDocument::ImageResource, url, render(picture, clampedDisplaySize(displaySize)));
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
