#include "editor/recipebody.h"

#include "store/error.h"

#include <QCoreApplication>

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace {

QString zlibText(int code, const z_stream &stream)
{
    if (stream.msg)
        return QString::fromLatin1(stream.msg);
    const char *text = zError(code);
    return text ? QString::fromLatin1(text) : QStringLiteral("zlib error %1").arg(code);
}

// zlib counts in uInt; feed large buffers in slices that fit.
constexpr qint64 MaxSlice = std::numeric_limits<uInt>::max() / 2;

} // namespace

QByteArray SaveRecipeBody(const QByteArray &rtf)
{
    z_stream stream{};
    int rc = deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    if (rc != Z_OK)
        throw Error(zlibText(rc, stream));

    QByteArray out;
    const qint64 bound = qint64(deflateBound(&stream, uLong(std::min<qint64>(rtf.size(), MaxSlice))));
    out.resize(qsizetype(std::max<qint64>(bound, 64)));
    qint64 inPos = 0;
    qint64 outPos = 0;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(rtf.constData()));
    for (;;) {
        const qint64 inLeft = rtf.size() - inPos;
        const qint64 inSlice = std::min(inLeft, MaxSlice);
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(rtf.constData())) + inPos;
        stream.avail_in = uInt(inSlice);
        if (out.size() - outPos < 65536)
            out.resize(out.size() + std::max<qsizetype>(out.size() / 2, 65536));
        stream.next_out = reinterpret_cast<Bytef *>(out.data()) + outPos;
        stream.avail_out = uInt(std::min<qint64>(out.size() - outPos, MaxSlice));
        const uInt outBefore = stream.avail_out;
        const int flush = inSlice == inLeft ? Z_FINISH : Z_NO_FLUSH;
        rc = deflate(&stream, flush);
        inPos += inSlice - stream.avail_in;
        outPos += outBefore - stream.avail_out;
        if (rc == Z_STREAM_END)
            break;
        if (rc != Z_OK && rc != Z_BUF_ERROR) {
            const QString message = zlibText(rc, stream);
            deflateEnd(&stream);
            throw Error(message);
        }
    }
    deflateEnd(&stream);
    out.resize(qsizetype(outPos));
    // A body is kept for the whole run: give back what the worst case reserved.
    out.squeeze();
    return out;
}

QByteArray LoadRecipeBody(const QByteArray &stored)
{
    return LoadRecipeBody(stored, MaxRecipeBodySize);
}

QByteArray LoadRecipeBody(const QByteArray &stored, qint64 limit)
{
    if (stored.isEmpty())
        return {};

    z_stream stream{};
    int rc = inflateInit2(&stream, 15);
    if (rc != Z_OK)
        throw Error(zlibText(rc, stream));

    QByteArray out;
    // Bodies compress about four to one; guess, then grow geometrically.
    out.resize(qsizetype(std::min<qint64>(limit + 1, std::max<qint64>(qint64(stored.size()) * 4, 4096))));
    qint64 inPos = 0;
    qint64 outPos = 0;
    for (;;) {
        const qint64 inSlice = std::min<qint64>(stored.size() - inPos, MaxSlice);
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(stored.constData())) + inPos;
        stream.avail_in = uInt(inSlice);
        if (out.size() == outPos) {
            if (outPos > limit) {
                inflateEnd(&stream);
                throw Error(QCoreApplication::translate("RecipeBody",
                        "The recipe body is larger than %1 MB when unpacked and cannot be opened.")
                                .arg(limit / (1024 * 1024)));
            }
            out.resize(qsizetype(std::min<qint64>(limit + 1, std::max<qint64>(out.size() * 2, 4096))));
        }
        stream.next_out = reinterpret_cast<Bytef *>(out.data()) + outPos;
        stream.avail_out = uInt(std::min<qint64>(out.size() - outPos, MaxSlice));
        const uInt outBefore = stream.avail_out;
        rc = inflate(&stream, Z_NO_FLUSH);
        inPos += inSlice - stream.avail_in;
        outPos += outBefore - stream.avail_out;
        if (rc == Z_STREAM_END)
            break;
        if (rc == Z_BUF_ERROR && stream.avail_out != 0) {
            // No progress possible with output room left: the input ran out before the stream's end.
            break;
        }
        if (rc != Z_OK && rc != Z_BUF_ERROR) {
            const QString message = zlibText(rc, stream);
            inflateEnd(&stream);
            throw Error(message);
        }
        if (inPos >= stored.size() && stream.avail_out != 0)
            break; // data ran out; what was inflated so far is the body
    }
    inflateEnd(&stream);
    if (outPos > limit)
        throw Error(QCoreApplication::translate("RecipeBody",
                "The recipe body is larger than %1 MB when unpacked and cannot be opened.")
                        .arg(limit / (1024 * 1024)));
    out.resize(qsizetype(outPos));
    return out;
}
