#include "editor/embeddedpicture.h"
#include "editor/rtfreader.h"
#include "editor/rtfwriter.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <vector>

// Documents written by other RTF producers, read by our reader and compared with the plain text
// their producer reads out of them: the words must match, in order, on 99 % of the longer text.

namespace {

QString corpusDirectory()
{
    return QStringLiteral(SAPORIN_CORPUS_DIR);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Our text as a plain-text reader would show it: list numbers before their items.
QString documentText(const QTextDocument &document)
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString line = block.text();
        if (QTextList *list = block.textList())
            line.prepend(list->itemText(block) + QLatin1Char(' '));
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

// Words only: punctuation, bullets, table rules and whitespace differ between producers' texts.
QStringList words(const QString &text)
{
    static const QRegularExpression word(QStringLiteral("\\w+"), QRegularExpression::UseUnicodePropertiesOption);
    QStringList found;
    auto it = word.globalMatch(text.normalized(QString::NormalizationForm_C));
    while (it.hasNext())
        found << it.next().captured();
    return found;
}

// 1 - (word edit distance / longer length).
double similarity(const QStringList &a, const QStringList &b)
{
    if (a.isEmpty() && b.isEmpty())
        return 1.0;
    std::vector<int> previous(size_t(b.size()) + 1), current(size_t(b.size()) + 1);
    for (int j = 0; j <= b.size(); ++j)
        previous[size_t(j)] = j;
    for (int i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (int j = 1; j <= b.size(); ++j) {
            const int change = previous[size_t(j - 1)] + (a.at(i - 1) == b.at(j - 1) ? 0 : 1);
            current[size_t(j)] = std::min({change, previous[size_t(j)] + 1, current[size_t(j - 1)] + 1});
        }
        std::swap(previous, current);
    }
    return 1.0 - double(previous[size_t(b.size())]) / double(std::max(a.size(), b.size()));
}

int pictureCount(const QTextDocument &document)
{
    int count = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()
                && EmbeddedPictureStore::isPictureName(it.fragment().charFormat().toImageFormat().name()))
                ++count;
    return count;
}

} // namespace

class TestRtfCorpus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textMatchesTheProducer_data();
    void textMatchesTheProducer();
};

void TestRtfCorpus::textMatchesTheProducer_data()
{
    QTest::addColumn<QString>("rtfPath");
    QTest::addColumn<int>("pictures");
    const QDir files(corpusDirectory());
    const QStringList names = files.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    QVERIFY(names.size() >= 8);
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << files.filePath(name) << (name == QLatin1String("lo-pictures.rtf") ? 2 : 0);
}

void TestRtfCorpus::textMatchesTheProducer()
{
    QFETCH(QString, rtfPath);
    QFETCH(int, pictures);
    QTextDocument document;
    QCOMPARE(RtfReader::read(readAll(rtfPath), &document), RtfReader::Status::Ok);
    QString expectedPath = rtfPath;
    expectedPath.replace(QRegularExpression(QStringLiteral("\\.rtf$")), QStringLiteral(".txt"));
    const QStringList ours = words(documentText(document));
    const QStringList theirs = words(QString::fromUtf8(readAll(expectedPath)));
    QVERIFY(!theirs.isEmpty());
    const double score = similarity(ours, theirs);
    QVERIFY2(score >= 0.99, qPrintable(QStringLiteral("%1 similar\nours:   %2\ntheirs: %3")
                                           .arg(score)
                                           .arg(ours.join(QLatin1Char(' ')), theirs.join(QLatin1Char(' ')))));
    if (pictures > 0)
        QCOMPARE(pictureCount(document), pictures);

    // What we write of a foreign document reads back to the same text and writes the same bytes.
    const QByteArray written = RtfWriter::write(&document);
    QTextDocument again;
    QCOMPARE(RtfReader::read(written, &again), RtfReader::Status::Ok);
    QCOMPARE(again.toPlainText(), document.toPlainText());
    QCOMPARE(pictureCount(again), pictureCount(document));
    QCOMPARE(RtfWriter::write(&again), written);
}

QTEST_MAIN(TestRtfCorpus)
#include "tst_rtfcorpus.moc"
