// How fast LibreOffice reads the RTF we write for a long document, against its own RTF of the same
// content: a recipe book of about 1,000 pages with 1,700 bullet lists and 850 numbered ones.
//   soffice --convert-to txt of our RTF     vs. the same for LibreOffice's RTF (made from HTML)
// Both must give the same words. Target: ours within twice LibreOffice's own time.
// Usage: bench_libreoffice [--scale S] [--repeat N]
// Needs soffice on the PATH; without it the benchmark says so and exits with 77 (skipped).

#include "editor/rtfwriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <cstdio>

namespace {

quint64 state = 0x9E3779B97F4A7C15ull;
quint64 nextRandom()
{
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

QString words(int count)
{
    static const char *const list[] = {"flour", "butter", "sugar", "eggs", "milk", "salt", "pepper", "onion",
                                       "garlic", "simmer", "stir", "bake", "minutes", "until", "golden", "gently",
                                       "fold", "whisk", "the", "and", "with", "into", "crème", "brûlée"};
    QString out;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            out += u' ';
        out += QString::fromUtf8(list[nextRandom() % (sizeof list / sizeof list[0])]);
    }
    return out;
}

// Each recipe: a title, ingredients as bullets, numbered steps, five paragraphs and tips as
// bullets of another shape.
void buildBook(QTextDocument &doc, int recipes)
{
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 11));
    QTextCursor c(&doc);
    QTextCharFormat title;
    title.setFontPointSize(16);
    title.setFontWeight(QFont::Bold);
    const QTextCharFormat plain;
    auto paragraph = [&](const QString &text, const QTextCharFormat &format) {
        if (!doc.isEmpty())
            c.insertBlock(QTextBlockFormat(), plain);
        c.insertText(text, format);
    };
    auto list = [&](QTextListFormat::Style style, int items, int length) {
        c.insertBlock(QTextBlockFormat(), plain);
        QTextListFormat format;
        format.setStyle(style);
        c.createList(format);
        for (int i = 0; i < items; ++i) {
            if (i > 0)
                c.insertBlock();
            c.insertText(words(length));
        }
    };
    for (int r = 1; r <= recipes; ++r) {
        paragraph(QStringLiteral("Recipe %1: %2").arg(r).arg(words(3)), title);
        paragraph(QStringLiteral("Ingredients"), plain);
        list(QTextListFormat::ListDisc, 7, 3);
        paragraph(QStringLiteral("Method"), plain);
        list(QTextListFormat::ListDecimal, 5, 22);
        for (int p = 0; p < 5; ++p)
            paragraph(words(95), plain);
        list(QTextListFormat::ListCircle, 3, 9);
    }
}

bool write(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Runs soffice with a profile of its own, so that it neither meets another instance nor the
// user's settings. Returns the seconds it took, or a negative value when it failed.
double soffice(const QString &program, const QString &profile, const QStringList &args)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, QStringList{QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                                       QStringLiteral("--headless"), QStringLiteral("--norestore")}
                                   + args);
    if (!process.waitForFinished(30 * 60 * 1000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

int wordCount(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression word(QStringLiteral("\\w+"));
    int count = 0;
    for (auto it = word.globalMatch(QString::fromUtf8(file.readAll())); it.hasNext(); it.next())
        ++count;
    return count;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    double scale = 1.0;
    int repeat = 1;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--scale"))
            scale = args.at(i + 1).toDouble();
        else if (args.at(i) == QLatin1String("--repeat"))
            repeat = std::max(1, args.at(i + 1).toInt());
    }
    const QString program = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (program.isEmpty()) {
        std::printf("soffice not found: LibreOffice is not installed here, so this benchmark is skipped\n");
        return 77;
    }

    QTextDocument doc;
    const int recipes = std::max(4, int(850 * scale));
    buildBook(doc, recipes);
    doc.setPageSize(QSizeF(794 - 2 * 96, 1123 - 2 * 96)); // A4 at 96 dpi, one-inch margins
    int bullets = 0, numbered = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (QTextList *list = b.textList(); list && list->item(0) == b)
            ++(list->format().style() == QTextListFormat::ListDecimal ? numbered : bullets);
    }
    std::printf("book: %d recipes, %d pages, %d bullet lists, %d numbered lists\n", recipes, doc.pageCount(), bullets,
                numbered);

    QTemporaryDir dir;
    const QString profile = dir.filePath(QStringLiteral("profile"));
    const QString tiny = dir.filePath(QStringLiteral("tiny.rtf"));
    const QString ours = dir.filePath(QStringLiteral("ours.rtf"));
    const QString html = dir.filePath(QStringLiteral("book.html"));
    const QString own = dir.filePath(QStringLiteral("own"));
    if (!write(tiny, "{\\rtf1 x}") || !write(ours, RtfWriter::write(&doc)) || !write(html, doc.toHtml().toUtf8())) {
        std::printf("cannot write to %s\n", qPrintable(dir.path()));
        return 1;
    }
    const QString toText = QStringLiteral("txt:Text (encoded):UTF8");
    // The first run makes the profile; the second measures what starting alone costs.
    soffice(program, profile, {QStringLiteral("--convert-to"), toText, QStringLiteral("--outdir"), dir.path(), tiny});
    const double start = soffice(program, profile, {QStringLiteral("--convert-to"), toText, QStringLiteral("--outdir"), dir.path(), tiny});
    if (soffice(program, profile, {QStringLiteral("--infilter=HTML (StarWriter)"), QStringLiteral("--convert-to"),
                                   QStringLiteral("rtf:Rich Text Format"), QStringLiteral("--outdir"), own, html}) < 0) {
        std::printf("LibreOffice did not convert the book's HTML to RTF\n");
        return 1;
    }
    double oursTime = 1e99, ownTime = 1e99;
    for (int i = 0; i < repeat; ++i) {
        const double a = soffice(program, profile, {QStringLiteral("--convert-to"), toText, QStringLiteral("--outdir"), dir.path(), ours});
        const double b = soffice(program, profile, {QStringLiteral("--convert-to"), toText, QStringLiteral("--outdir"), own,
                                                    own + QStringLiteral("/book.rtf")});
        if (a < 0 || b < 0) {
            std::printf("LibreOffice failed to read %s\n", a < 0 ? "our RTF" : "its own RTF");
            return 1;
        }
        oursTime = std::min(oursTime, a);
        ownTime = std::min(ownTime, b);
    }
    const int oursWords = wordCount(dir.filePath(QStringLiteral("ours.txt")));
    const int ownWords = wordCount(own + QStringLiteral("/book.txt"));
    std::printf("LibreOffice reads: ours %.2f s (%.1f MB)   its own %.2f s   ratio %.2f (%.2f without its start of %.2f s)\n",
                oursTime, QFileInfo(ours).size() / 1e6, ownTime, oursTime / ownTime,
                std::max(0.0, oursTime - start) / std::max(0.01, ownTime - start), start);
    std::printf("words read: ours %d, its own %d\n", oursWords, ownWords);
    if (oursWords != ownWords) {
        std::printf("LibreOffice reads other words from our RTF than from its own\n");
        return 1;
    }
    return 0;
}
