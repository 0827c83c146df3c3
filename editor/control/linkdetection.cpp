#include "editor/control/linkdetection.h"

#include <QRegularExpression>

namespace {

const QRegularExpression &linkPattern()
{
    // A link runs to the next blank; trailing punctuation that usually ends a sentence is not
    // part of it. "file:" links keep their "%" escapes (blanks are written as "%").
    static const QRegularExpression pattern(
        QStringLiteral(R"((?:(?:https?|ftp|file|mailto|news|telnet|gopher):|www\.)[^\s<>"]+)"
                       R"(|[A-Za-z0-9._%+\-]+@[A-Za-z0-9\-]+(?:\.[A-Za-z0-9\-]+)+)"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

bool isTrailingPunctuation(QChar c)
{
    return QStringLiteral(".,;:!?)]}'").contains(c);
}

} // namespace

QList<DetectedLink> DetectLinks(const QString &text)
{
    QList<DetectedLink> links;
    auto it = linkPattern().globalMatch(text);
    while (it.hasNext()) {
        const auto match = it.next();
        int start = int(match.capturedStart());
        int length = int(match.capturedLength());
        // The scheme must start a word: "xhttp://" is not a link.
        if (start > 0 && (text.at(start - 1).isLetterOrNumber() || text.at(start - 1) == QLatin1Char('_')))
            continue;
        while (length > 0 && isTrailingPunctuation(text.at(start + length - 1)))
            --length;
        const QString found = text.mid(start, length);
        // A scheme alone ("http:") is not a link.
        if (found.endsWith(QLatin1Char(':')) || found.compare(QLatin1String("www."), Qt::CaseInsensitive) == 0
            || length < 5)
            continue;
        links.append({start, length, found});
    }
    return links;
}

QString LinkAt(const QString &text, int at)
{
    for (const DetectedLink &link : DetectLinks(text))
        if (at >= link.start && at < link.start + link.length)
            return link.text;
    return {};
}
