#include "tables/tabletext.h"

#include "store/error.h"
#include "tables/tablegrid.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>

namespace TableText {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TableText", text);
}

// Windows-1252 in 0x80..0x9f; the rest of the code page is Latin-1.
constexpr char16_t Cp1252High[32] = {
    0x20ac, 0x0081, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008d, 0x017d, 0x008f,
    0x0090, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x009d, 0x017e, 0x0178,
};

// Reads the file's text: counts as tokens, cells as whole lines.
class Reader
{
public:
    explicit Reader(QString text) : m_text(std::move(text)) {}

    [[nodiscard]] bool atEnd() const { return m_at >= m_text.size(); }

    // Blanks, tabs and line breaks are skipped, then the characters up to the next blank or
    // control character form an optionally signed integer; the rest of its line is skipped.
    // Nothing left reads as 0.
    int count()
    {
        while (!atEnd() && m_text.at(m_at).unicode() <= 0x20)
            ++m_at;
        const qsizetype start = m_at;
        while (!atEnd() && m_text.at(m_at).unicode() > 0x20)
            ++m_at;
        const QString token = m_text.mid(start, m_at - start);
        line(); // the rest of the line
        if (token.isEmpty())
            return 0;
        bool ok = false;
        const int value = token.toInt(&ok, 10);
        if (!ok)
            throw Error(tr("Invalid numeric input"));
        return value;
    }

    // A line ends at LF or CR LF; a CR not followed by LF is dropped. Past the end, empty.
    QString line()
    {
        QString result;
        while (!atEnd()) {
            const QChar ch = m_text.at(m_at++);
            if (ch == QLatin1Char('\n'))
                break;
            if (ch != QLatin1Char('\r'))
                result += ch;
        }
        return result;
    }

private:
    QString m_text;
    qsizetype m_at = 0;
};

QString fileError(const QFileDevice &file)
{
    switch (file.error()) {
    case QFileDevice::PermissionsError: return tr("File access denied");
    default: break;
    }
    if (!QFileInfo(file.fileName()).dir().exists() || (file.error() == QFileDevice::OpenError && !QFileInfo::exists(file.fileName())))
        return tr("File not found");
    return file.errorString();
}

} // namespace

ExportKind exportKindFor(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : name.mid(dot).toLower();
    if (extension == QLatin1String(".txt"))
        return ExportKind::TableText;
    if (extension == QLatin1String(".csv"))
        return ExportKind::Csv;
    return ExportKind::None;
}

QByteArray write(const TableGrid &grid)
{
    QString text = QString::number(grid.colCount()) + QLatin1String("\r\n") + QString::number(grid.rowCount())
        + QLatin1String("\r\n");
    for (int c = 0; c < grid.colCount(); ++c)
        for (int r = 0; r < grid.rowCount(); ++r)
            text += grid.cell(c, r) + QLatin1String("\r\n");
    return text.toUtf8();
}

QString csvField(const QString &text)
{
    const bool quote = std::any_of(text.cbegin(), text.cend(), [](QChar ch) {
        return (ch.unicode() >= 1 && ch.unicode() <= 32) || ch == QLatin1Char('"') || ch == QLatin1Char(',');
    });
    if (!quote)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray writeCsv(const TableGrid &grid)
{
    QString text;
    for (int r = 0; r < grid.rowCount(); ++r) {
        if (grid.colCount() == 1 && grid.cell(0, r).isEmpty()) {
            text += QLatin1String("\"\"\r\n"); // a lone empty field still shows as a field
            continue;
        }
        for (int c = 0; c < grid.colCount(); ++c) {
            if (c > 0)
                text += QLatin1Char(',');
            text += csvField(grid.cell(c, r));
        }
        text += QLatin1String("\r\n");
    }
    return text.toUtf8();
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xfeff)))
            text.remove(0, 1);
        return text;
    }
    text.clear();
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = uchar(byte);
        text += QChar(b >= 0x80 && b < 0xa0 ? Cp1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

void read(const QByteArray &bytes, TableGrid &grid)
{
    Reader reader(decode(bytes));
    const int cols = reader.count();
    grid.setColCount(std::min(cols, MaxCount));
    const int rows = reader.count();
    grid.setRowCount(std::min(rows, MaxCount));
    // Lines are laid out for the file's own counts; cells beyond the table are read and dropped.
    // Past the end of the file every line would be empty, so reading stops there.
    const qint64 fileRows = std::max(1, rows);
    const qint64 fileCols = std::max(1, cols);
    for (qint64 c = 0; c < fileCols && !reader.atEnd(); ++c)
        for (qint64 r = 0; r < fileRows && !reader.atEnd(); ++r) {
            const QString text = reader.line();
            if (c < grid.colCount() && r < grid.rowCount())
                grid.setCell(int(c), int(r), text);
        }
}

void writeFile(const QString &path, const TableGrid &grid)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error(fileError(file));
    const QByteArray bytes = write(grid);
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw Error(fileError(file));
}

void writeCsvFile(const QString &path, const TableGrid &grid)
{
    const QByteArray bytes = writeCsv(grid);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error(tr("Cannot create file %1").arg(QDir::toNativeSeparators(path)));
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw Error(fileError(file));
}

void readFile(const QString &path, TableGrid &grid)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(fileError(file));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(fileError(file));
    read(bytes, grid);
}

} // namespace TableText
