#include "editor/rtfcodepage.h"

#include <QHash>

#include <array>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <mutex>

namespace {

using Table = std::array<char16_t, 256>;

QByteArray iconvName(int codepage)
{
    switch (codepage) {
    case 10000: return "MACINTOSH";
    case 1361: return "JOHAB";
    case 65001: return "UTF-8";
    case 20127: return "ASCII";
    case 28591: return "ISO-8859-1";
    default: return "CP" + QByteArray::number(codepage);
    }
}

// Converts with iconv; returns false when the code page is unknown to it.
bool convert(int codepage, const QByteArray &bytes, QString *out)
{
    iconv_t cd = iconv_open("UTF-16LE", iconvName(codepage).constData());
    if (cd == iconv_t(-1))
        return false;
    out->clear();
    out->reserve(bytes.size());
    QByteArray in = bytes;
    char *inPtr = in.data();
    size_t inLeft = size_t(in.size());
    char16_t buffer[512];
    while (inLeft > 0) {
        char *outPtr = reinterpret_cast<char *>(buffer);
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out->append(reinterpret_cast<const QChar *>(buffer), qsizetype((sizeof buffer - outLeft) / 2));
        if (rc == size_t(-1)) {
            if (errno == E2BIG)
                continue;
            // An invalid or incomplete sequence: mark it and go on after its first byte.
            out->append(QChar::ReplacementCharacter);
            ++inPtr;
            --inLeft;
        }
    }
    // Code pages with combining marks hold a letter back until they know what follows it.
    char *outPtr = reinterpret_cast<char *>(buffer);
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out->append(reinterpret_cast<const QChar *>(buffer), qsizetype((sizeof buffer - outLeft) / 2));
    iconv_close(cd);
    return true;
}

const Table &table(int codepage)
{
    static std::mutex mutex;
    static QHash<int, std::shared_ptr<Table>> tables;
    thread_local int lastCodepage = -1;
    thread_local const Table *last = nullptr;
    if (codepage == lastCodepage && last)
        return *last;
    std::lock_guard lock(mutex);
    auto &entry = tables[codepage];
    if (!entry) {
        entry = std::make_shared<Table>();
        for (int b = 0; b < 256; ++b) {
            QString s;
            const bool ok = b < 0x80 ? false : convert(codepage, QByteArray(1, char(b)), &s);
            // Bytes a code page leaves undefined keep their own value, as Windows does.
            const bool defined = ok && s.size() == 1 && s[0] != QChar::ReplacementCharacter;
            (*entry)[size_t(b)] = defined ? s[0].unicode() : char16_t(b);
        }
        if (codepage == 10000) {
            // The converter predates two changes to the Mac Roman table that Windows follows.
            (*entry)[0xC6] = 0x2206;
            (*entry)[0xF0] = 0xF8FF;
        }
    }
    lastCodepage = codepage;
    last = entry.get();
    return *last;
}

} // namespace

namespace RtfCodepage {

bool isSingleByte(int codepage)
{
    switch (codepage) {
    case 932: case 936: case 949: case 950: case 1361: case 54936: case 65001:
        return false;
    default:
        return true;
    }
}

bool isLeadByte(int codepage, uchar byte)
{
    switch (codepage) {
    case 932: return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936: case 949: case 950: case 54936: return byte >= 0x81 && byte <= 0xFE;
    case 1361: return (byte >= 0x84 && byte <= 0xD3) || (byte >= 0xD8 && byte <= 0xDE) || (byte >= 0xE0 && byte <= 0xF9);
    default: return false;
    }
}

QChar decodeByte(int codepage, uchar byte)
{
    if (byte < 0x80)
        return QChar(byte);
    return QChar(table(codepage)[byte]);
}

QString decode(int codepage, const QByteArray &bytes)
{
    if (isSingleByte(codepage)) {
        const Table &t = table(codepage);
        QString out(bytes.size(), Qt::Uninitialized);
        for (qsizetype k = 0; k < bytes.size(); ++k)
            out[k] = QChar(t[uchar(bytes[k])]);
        return out;
    }
    QString out;
    if (!convert(codepage, bytes, &out))
        return decode(1252, bytes);
    return out;
}

std::optional<uchar> toWindows1252(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return uchar(u);
    const Table &t = table(1252);
    for (int b = 0x80; b < 0xA0; ++b)
        if (t[size_t(b)] == u && u >= 0x100)
            return uchar(b);
    return std::nullopt;
}

} // namespace RtfCodepage
