#include "tables/celltext.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace CellText {

namespace {

// Texts are measured as a 96 dpi device lays them out: the screen as designed, our bitmaps and
// our metafiles.
const QPaintDevice *measureDevice()
{
    static const QImage device(1, 1, QImage::Format_RGB32);
    return &device;
}

const QString Ellipsis = QStringLiteral("...");

} // namespace

namespace {

QStringList wrapLines(const QString &text, const QFontMetrics &metrics, int width)
{
    QStringList lines;
    QString line;
    bool lineStarted = false;
    for (const QString &word : text.split(QLatin1Char(' '))) {
        if (!lineStarted) {
            line = word;
            lineStarted = true;
            continue;
        }
        const QString longer = line + QLatin1Char(' ') + word;
        if (metrics.horizontalAdvance(longer) <= width || line.isEmpty()) {
            line = longer;
        } else {
            lines.append(line);
            line = word;
        }
    }
    lines.append(line);
    return lines;
}

} // namespace

QStringList wrap(const QString &text, const QFont &font, int width)
{
    return wrapLines(text, QFontMetrics(font, measureDevice()), width);
}

int wrappedHeight(const QString &text, const QFont &font, int width)
{
    if (text.isEmpty())
        return 0;
    return int(wrap(text, font, width).size()) * QFontMetrics(font, measureDevice()).height();
}

Prefixed stripPrefixes(const QString &text)
{
    Prefixed result;
    result.text.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&')) {
            result.text += text.at(i);
            continue;
        }
        if (++i >= text.size())
            break; // a final "&" marks nothing
        if (text.at(i) != QLatin1Char('&') && result.underlined < 0)
            result.underlined = int(result.text.size());
        result.text += text.at(i);
    }
    return result;
}

QString elide(const QString &text, const QFont &font, int width)
{
    const QFontMetrics metrics(font, measureDevice());
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    QString kept = text;
    while (!kept.isEmpty() && metrics.horizontalAdvance(kept + Ellipsis) > width)
        kept.chop(1);
    return kept + Ellipsis;
}

void draw(QPainter &painter, const QRect &rect, const QString &text, Layout layout, const QFont &font,
          const QColor &color)
{
    if (text.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.save();
    painter.setFont(font);
    painter.setPen(color);
    painter.setBrush(Qt::NoBrush);
    const QFontMetrics metrics(font, measureDevice());
    // Text that lies inside the rectangle is drawn without a clip: clipping costs every device,
    // and players of the picture, for nothing.
    const auto clipUnless = [&painter, &rect](bool inside) {
        if (!inside)
            painter.setClipRect(rect, Qt::IntersectClip);
    };

    if (layout == Layout::SingleLeft || layout == Layout::SingleCentre) {
        const Prefixed prefixed = stripPrefixes(text);
        const QString line = elide(prefixed.text, font, rect.width());
        const int width = metrics.horizontalAdvance(line);
        const int x = layout == Layout::SingleCentre ? rect.left() + (rect.width() - width) / 2 : rect.left();
        const int baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();
        clipUnless(width <= rect.width() && metrics.height() <= rect.height());
        painter.drawText(QPoint(x, baseline), line);
        const bool cut = line != prefixed.text;
        const int kept = int(cut ? line.size() - Ellipsis.size() : line.size());
        if (prefixed.underlined >= 0 && prefixed.underlined < kept) {
            const int from = x + metrics.horizontalAdvance(line.left(prefixed.underlined));
            const int to = x + metrics.horizontalAdvance(line.left(prefixed.underlined + 1));
            const int y = baseline + std::max(1, metrics.underlinePos());
            painter.fillRect(QRect(from, y, std::max(1, to - from), std::max(1, metrics.lineWidth())), color);
        }
    } else {
        int baseline = rect.top() + metrics.ascent();
        const QStringList lines = wrapLines(text, metrics, rect.width());
        bool inside = int(lines.size()) * metrics.height() <= rect.height();
        QList<int> widths;
        widths.reserve(lines.size());
        for (const QString &line : lines) {
            widths.append(metrics.horizontalAdvance(line));
            inside = inside && widths.constLast() <= rect.width();
        }
        clipUnless(inside);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString &line = lines.at(i);
            if (baseline - metrics.ascent() > rect.bottom())
                break;
            const int width = widths.at(i);
            int x = rect.left();
            if (layout == Layout::WrapCentre)
                x += (rect.width() - width) / 2;
            else if (layout == Layout::WrapRight)
                x = rect.left() + rect.width() - width;
            painter.drawText(QPoint(x, baseline), line);
            baseline += metrics.height();
        }
    }
    painter.restore();
}

} // namespace CellText
