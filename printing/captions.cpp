#include "printing/captions.h"

#include "printing/pagemodel.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace {

constexpr double ReferenceResolution = 7200;

const QImage &referenceDevice()
{
    static const QImage image = [] {
        QImage i(1, 1, QImage::Format_Mono);
        i.setDotsPerMeterX(qRound(ReferenceResolution / 0.0254));
        i.setDotsPerMeterY(qRound(ReferenceResolution / 0.0254));
        return i;
    }();
    return image;
}

QFont atDevice(const QFont &font, const QImage &device)
{
    return QFont(font, &device);
}

} // namespace

namespace Captions {

QString dateSeparator(const QLocale &locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    for (QChar c : format) {
        if (!c.isLetter() && c != QLatin1Char('\''))
            return c.isSpace() ? QStringLiteral("/") : QString(c);
    }
    return QStringLiteral("/");
}

QString expandTokens(const QString &text, int page, int pageCount, const QDateTime &now, const QLocale &locale)
{
    const QString sep = dateSeparator(locale);
    const QDate date = now.date();
    const QTime time = now.time();
    const QString dateText = QStringLiteral("%1%2%3%4%5")
                                 .arg(date.day(), 2, 10, QLatin1Char('0'))
                                 .arg(sep)
                                 .arg(date.month(), 2, 10, QLatin1Char('0'))
                                 .arg(sep)
                                 .arg(date.year(), 4, 10, QLatin1Char('0'));
    const QString timeText = QStringLiteral("%1%2%3").arg(time.hour(), 2, 10, QLatin1Char('0')).arg(sep).arg(time.minute(), 2, 10, QLatin1Char('0'));
    QString out = text;
    out.replace(QLatin1String("{DATE}"), dateText);
    out.replace(QLatin1String("{TIME}"), timeText);
    out.replace(QLatin1String("{PAGE}"), QString::number(page));
    out.replace(QLatin1String("{NUMPAGES}"), QString::number(pageCount));
    return out;
}

QList<int> advances(const QString &text, const QFont &font, double resolutionX)
{
    const QFontMetricsF metrics(atDevice(font, referenceDevice()), &referenceDevice());
    QList<int> result;
    result.reserve(text.size());
    // Each character's width is what it adds to the text before it, so kerning is counted and the
    // widths add up to the measured length.
    double before = 0;
    double carried = 0;
    for (int i = 0; i < text.size(); ++i) {
        // Surrogate pairs measure and advance as one character.
        const int length = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const double upTo = metrics.horizontalAdvance(text.left(i + length));
        const double exact = (upTo - before) / ReferenceResolution * resolutionX;
        before = upTo;
        int advance = int(exact);
        carried += exact - advance;
        if (carried >= 1) {
            const double whole = std::floor(carried);
            advance += int(whole);
            carried -= whole;
        }
        result << advance;
        if (length == 2) {
            result << 0;
            ++i;
        }
    }
    return result;
}

void drawBand(QPainter &painter, const LxHeaderFooter &band, const QRectF &r, int page, int pageCount, double resX, double resY,
              const QDateTime &now)
{
    if (!band.isVisible())
        return;
    const int left = int(std::lround(r.left() * resX));
    const int right = int(std::lround(r.right() * resX));
    const int top = int(std::lround(r.top() * resY));
    const int bottom = int(std::lround(r.bottom() * resY));
    const bool header = band.kind() == LxHeaderFooter::Header;

    painter.save();
    for (int position = 0; position < 3; ++position) {
        const LxHeaderFooterCaption &caption = band.caption(LxHeaderFooter::Position(position));
        const QString text = expandTokens(caption.caption, page, pageCount, now);
        if (text.isEmpty())
            continue;
        const QFontMetricsF reference(atDevice(caption.font, referenceDevice()), &referenceDevice());
        const double w = reference.horizontalAdvance(text) / ReferenceResolution;
        const double h = reference.height() / ReferenceResolution;
        const int tw = int(std::lround(resX * w));
        const int th = int(std::lround(resX * h));
        int x = left;
        if (position == LxHeaderFooter::CaptionCenter)
            x = (left + right - tw) / 2;
        else if (position == LxHeaderFooter::CaptionRight)
            x = right - tw;
        const int y = header ? bottom - th : top;

        // The caption font at the target's resolution, whatever device the painter is on.
        QFont font = caption.font;
        font.setPixelSize(qMax(1, int(std::lround(caption.font.pointSizeF() * resX / 72.0))));
        painter.setPen(Qt::black);
        painter.setFont(font);
        const QFontMetricsF device(font, painter.device());
        const double baseline = y + device.ascent();
        const QList<int> steps = advances(text, caption.font, resX);
        double pen = x;
        for (int i = 0; i < text.size(); ++i) {
            const int length = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
            painter.drawText(QPointF(pen, baseline), text.mid(i, length));
            pen += steps.at(i);
            if (length == 2)
                ++i;
        }
    }
    if (band.showLine()) {
        QPen pen = band.pen();
        painter.setPen(pen);
        const int y = header ? bottom : top;
        painter.drawLine(left, y, right, y);
    }
    painter.restore();
}

} // namespace Captions
