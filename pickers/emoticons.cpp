#include "pickers/emoticons.h"

#include "metafile/emfdevice.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>

#include <array>

namespace {

#define HOVER(text) QT_TRANSLATE_NOOP("Emoticons", text)

const std::array<Emoticon, 29> Table{{
    {1, "Image2", {24, 24, 21, 21}, HOVER("Angry   :x"), "angry"},
    {2, "Image23", {56, 24, 21, 21}, HOVER("Smiley   :)"), "smiley"},
    {3, "Image5", {88, 24, 21, 21}, HOVER("Tongue   :p or :P"), "tongue"},
    {4, "Image7", {120, 24, 21, 21}, HOVER("Laugh out Loud   :lol:"), "laugh"},
    {5, "Image26", {152, 24, 20, 20}, HOVER("Puke or Sick   +o("), "sick"},
    {6, "Image9", {184, 24, 21, 21}, HOVER("Oh My!   :o"), "ohmy"},
    {7, "Image10", {216, 24, 21, 21}, HOVER("Unsure or Confused   :s or :?"), "unsure"},
    {8, "Image11", {248, 24, 21, 21}, HOVER("Wacko   x)"), "wacko"},
    {9, "Image13", {280, 24, 21, 21}, HOVER("ph34r"), "ph34r"},
    {10, "Image27", {344, 24, 20, 22}, HOVER("Crying   :'("), "crying"},
    {11, "Image29", {312, 24, 21, 21}, HOVER("Mellow or Uninterested   :|"), "mellow"},
    {12, "Image28", {376, 24, 20, 20}, HOVER("Question"), "question"},
    {13, "Image3", {24, 72, 22, 26}, HOVER("Sad   :("), "sad"},
    {14, "Image4", {56, 72, 22, 26}, HOVER("Big Smile!   :D"), "bigsmile"},
    {15, "Image6", {88, 72, 23, 22}, HOVER("Cool   8)"), "cool"},
    {16, "Image8", {120, 72, 22, 26}, HOVER("Wink   ;)"), "wink"},
    {17, "Image12", {152, 72, 22, 30}, HOVER("Crazy   8x)"), "crazy"},
    {18, "Image14", {184, 72, 22, 26}, HOVER("Nea"), "nea"},
    {19, "Image15", {216, 72, 23, 25}, HOVER("Sarcastic"), "sarcastic"},
    {20, "Image16", {252, 72, 31, 26}, HOVER("Bye-Bye"), "byebye"},
    {21, "Image25", {285, 72, 40, 27}, HOVER("Dancing"), "dancing"},
    {22, "Image24", {333, 72, 36, 26}, HOVER("Pardon"), "pardon"},
    {23, "Image1", {376, 72, 22, 26}, HOVER("Happy Smile   :)"), "happysmile"},
    {24, "Image17", {48, 128, 45, 27}, HOVER("Hello"), "hello"},
    {25, "Image18", {104, 128, 54, 30}, HOVER("Let's drink on that"), "drink"},
    {26, "Image20", {168, 128, 43, 26}, HOVER("Praise"), "praise"},
    {27, "Image22", {224, 128, 27, 25}, HOVER("Bomb"), "bomb"},
    {28, "Image21", {264, 128, 34, 24}, HOVER("Yahoo!"), "yahoo"},
    {29, "Image19", {320, 128, 51, 45}, HOVER("Truce or Surrender"), "truce"},
}};

#undef HOVER

// The three blanks that part a name from its typed code.
const QLatin1String CodeSeparator("   ");

} // namespace

QString Emoticon::text() const
{
    return QCoreApplication::translate("Emoticons", hoverText);
}

QString Emoticon::name() const
{
    const QString all = text();
    const qsizetype cut = all.indexOf(CodeSeparator);
    return cut < 0 ? all : all.left(cut);
}

QString Emoticon::artworkPath() const
{
    return QStringLiteral(":/emoticons/%1.svg").arg(QLatin1String(artwork));
}

namespace Emoticons {

std::span<const Emoticon> all()
{
    return Table;
}

const Emoticon *byTag(int tag)
{
    return tag >= 1 && tag <= int(Table.size()) ? &Table[size_t(tag - 1)] : nullptr;
}

QImage picture(const Emoticon &emoticon, qreal scale)
{
    QImage image((QSizeF(emoticon.geometry.size()) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(emoticon.artworkPath());
    QPainter painter(&image);
    renderer.render(&painter, QRectF(image.rect()));
    return image;
}

QByteArray metafile(const Emoticon &emoticon)
{
    // Sixteen units to the pixel keep the curves of such small drawings round.
    EmfDevice device(emoticon.geometry.size(), QStringLiteral("Saporin"), emoticon.name(), 16);
    QSvgRenderer renderer(emoticon.artworkPath());
    QPainter painter(&device);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(emoticon.geometry.size())));
    painter.end();
    return device.data();
}

QMimeData *clipboardData(const Emoticon &emoticon)
{
    auto *data = new QMimeData;
    data->setData(EmfDevice::mimeType(), metafile(emoticon));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture(emoticon).save(&buffer, "PNG");
    data->setData(QStringLiteral("image/png"), png);
    return data;
}

} // namespace Emoticons
