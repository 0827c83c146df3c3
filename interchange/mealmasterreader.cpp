#include "interchange/mealmasterreader.h"

#include <array>

namespace {

// The upper halves of the two 8-bit code pages. cp1252 leaves five bytes undefined; they keep
// their C1 code points, as most decoders do.
const std::array<char16_t, 128> &cp437High()
{
    static const std::array<char16_t, 128> table = [] {
        const QString text = QString::fromUtf8(
            "ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒáíóúñÑªº¿⌐¬½¼¡«»░▒▓│┤╡╢╖╕╣║╗╝╜╛┐"
            "└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00a0");
        std::array<char16_t, 128> result{};
        for (int i = 0; i < 128; ++i)
            result[size_t(i)] = text.at(i).unicode();
        return result;
    }();
    return table;
}

constexpr std::array<char16_t, 32> Cp1252C1 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decode(QByteArrayView bytes, MealMasterReader::Encoding encoding)
{
    if (encoding == MealMasterReader::Encoding::Utf8)
        return QString::fromUtf8(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    const bool dos = encoding == MealMasterReader::Encoding::Cp437;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            *out++ = b;
        else if (dos)
            *out++ = cp437High()[b - 0x80];
        else
            *out++ = b < 0xA0 ? Cp1252C1[b - 0x80] : char16_t(b);
    }
    return text;
}

bool isBlank(QStringView line)
{
    for (const QChar c : line) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            return false;
    }
    return true;
}

QStringView withoutLeadingBlanks(QStringView line)
{
    qsizetype i = 0;
    while (i < line.size() && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t')))
        ++i;
    return line.mid(i);
}

QStringView withoutTrailingBlanks(QStringView line)
{
    qsizetype n = line.size();
    while (n > 0 && (line[n - 1] == QLatin1Char(' ') || line[n - 1] == QLatin1Char('\t')))
        --n;
    return line.first(n);
}

bool startsWithSeparator(QStringView line)
{
    return line.startsWith(u"MMMMM") || line.startsWith(u"-----");
}

// "MMMMM----- Recipe via Meal-Master (tm) v8.05", "---------- Recipe via Meal-Master (tm) v8.02",
// and the rewritten headers of some collections that keep the program's name.
bool isHeader(QStringView line)
{
    return startsWithSeparator(withoutLeadingBlanks(line)) && line.contains(u"meal-master", Qt::CaseInsensitive);
}

// "MMMMM" or "-----", followed only by hyphens and spaces (old exports end with a long rule).
bool isEndMarker(QStringView line)
{
    const QStringView text = withoutTrailingBlanks(line);
    if (!startsWithSeparator(text))
        return false;
    for (const QChar c : text.mid(5)) {
        if (c != QLatin1Char('-') && c != QLatin1Char(' '))
            return false;
    }
    return true;
}

bool isHeading(QStringView line)
{
    return startsWithSeparator(withoutLeadingBlanks(line)) && !isHeader(line) && !isEndMarker(line);
}

// "MMMMM-----FILLING-----" gives "FILLING".
QString headingText(QStringView line)
{
    QStringView text = withoutLeadingBlanks(line);
    if (text.startsWith(u"MMMMM"))
        text = text.mid(5);
    qsizetype from = 0;
    while (from < text.size() && (text[from] == QLatin1Char('-') || text[from] == QLatin1Char(' ')))
        ++from;
    qsizetype to = text.size();
    while (to > from && (text[to - 1] == QLatin1Char('-') || text[to - 1] == QLatin1Char(' ')))
        --to;
    return text.sliced(from, to - from).toString();
}

// Tabs to 8-column stops, other control characters to nothing; the columns of an ingredient
// line are counted on the result.
QString cleaned(QStringView line)
{
    bool plain = true;
    for (const QChar c : line)
        plain = plain && c.unicode() >= 0x20 && c.unicode() != 0x7F;
    if (plain)
        return line.toString();
    QString result;
    result.reserve(line.size());
    for (const QChar c : line) {
        if (c == QLatin1Char('\t'))
            result += QString(8 - result.size() % 8, QLatin1Char(' '));
        else if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
            result += c;
    }
    return result;
}

bool isAmountCharacter(QChar c)
{
    return c.isDigit() || c == QLatin1Char(' ') || c == QLatin1Char('/') || c == QLatin1Char('.')
        || c == QLatin1Char('-') || c == QLatin1Char(',') || (c.unicode() >= 0xBC && c.unicode() <= 0xBE);
}

bool hasLetter(QStringView text)
{
    for (const QChar c : text) {
        if (c.isLetter())
            return true;
    }
    return false;
}

// The right-hand column of a two-column line starts at column 42 (column 41 in some files):
// the left one ends in a blank there, and the amount field (right-aligned, or
// empty) and unit field that follow are in place. Gives the offset of that column, or 0.
qsizetype secondColumn(QStringView line)
{
    for (const qsizetype at : {41, 40}) {
        if (line.size() < at + 12 || line[at - 1] != QLatin1Char(' ') || line[at + 7] != QLatin1Char(' ')
            || line[at + 10] != QLatin1Char(' ') || isBlank(line.mid(at + 11)))
            continue;
        const QStringView amount = line.sliced(at, 7);
        bool fits = isBlank(amount) || amount.back() != QLatin1Char(' ');
        for (const QChar c : amount)
            fits = fits && isAmountCharacter(c);
        for (const QChar c : line.sliced(at + 8, 2))
            fits = fits && (c.isLetter() || c == QLatin1Char(' '));
        if (fits)
            return at;
    }
    return 0;
}

MealMasterIngredient ingredientFrom(QStringView column)
{
    MealMasterIngredient result;
    result.amount = column.left(7).trimmed().toString();
    result.unit = column.mid(8, 2).trimmed().toString();
    result.item = column.mid(10).trimmed().toString();
    // A unit field run into the item ("1 cup flour" typed by hand) stays part of the item.
    if (column.size() > 10 && column[10] != QLatin1Char(' ') && !result.unit.isEmpty()) {
        result.item = column.mid(8).trimmed().toString();
        result.unit.clear();
    }
    return result;
}

QStringList splitCategories(QStringView text)
{
    QStringList result;
    for (const QStringView piece : text.split(QLatin1Char(','))) {
        const QStringView category = piece.trimmed();
        if (!category.isEmpty())
            result << category.toString();
    }
    return result;
}

} // namespace

struct MealMasterReader::State {
    enum class Phase { Outside, Header, Block, Directions };

    State(Encoding e, RecipeHandler recipes, RejectHandler rejects)
        : encoding(e), onRecipe(std::move(recipes)), onReject(std::move(rejects))
    {
    }

    Encoding encoding;
    RecipeHandler onRecipe;
    RejectHandler onReject;

    QByteArray pending;        // a line not yet ended
    QByteArray start;          // the first bytes, until it is known whether they are a byte-order mark
    bool startChecked = false;
    int lineNo = 0;
    Phase phase = Phase::Outside;
    MealMasterRecipe recipe;
    QByteArray original;
    bool titleSeen = false;
    bool blocksIngredients = false; // a line of the block was read as ingredients
    int blanksInBlock = 0;
    qsizetype lastItem[2] = {-1, -1}; // the ingredient a continuation in each column extends
    QString paragraph;
    QString blockFault;

    void startRecipe()
    {
        recipe = MealMasterRecipe();
        recipe.line = lineNo;
        original.clear();
        titleSeen = false;
        blocksIngredients = false;
        blanksInBlock = 0;
        lastItem[0] = lastItem[1] = -1;
        paragraph.clear();
        blockFault.clear();
        phase = Phase::Header;
    }

    void endParagraph()
    {
        if (!paragraph.isEmpty())
            recipe.directions << paragraph;
        paragraph.clear();
    }

    void reject(const QString &reason)
    {
        MealMasterReject rejected;
        rejected.reason = reason;
        rejected.title = recipe.title;
        rejected.line = recipe.line;
        rejected.original = std::move(original);
        original = QByteArray();
        phase = Phase::Outside;
        onReject(std::move(rejected));
    }

    void finishRecipe(bool ended)
    {
        endParagraph();
        QStringList reasons;
        if (recipe.title.isEmpty())
            reasons << QStringLiteral("no title");
        if (!ended)
            reasons << QStringLiteral("no end marker");
        if (!blockFault.isEmpty())
            reasons << blockFault;
        if (!reasons.isEmpty()) {
            reject(reasons.join(QLatin1String(", ")));
            return;
        }
        phase = Phase::Outside;
        original.clear();
        onRecipe(std::move(recipe));
    }

    bool headerField(QStringView line)
    {
        const QStringView text = withoutLeadingBlanks(line);
        auto field = [&](QStringView name) -> std::optional<QStringView> {
            if (text.startsWith(name) && text.size() > name.size() && text[name.size()] == QLatin1Char(':'))
                return text.mid(name.size() + 1).trimmed();
            return std::nullopt;
        };
        if (const auto title = field(u"Title")) {
            if (!titleSeen)
                recipe.title = cleaned(*title).trimmed();
            titleSeen = true;
        } else if (const auto categories = field(u"Categories")) {
            recipe.categories += splitCategories(cleaned(*categories));
        } else if (const auto yield = field(u"Yield") ? field(u"Yield") : field(u"Servings")) {
            if (recipe.yield.isEmpty())
                recipe.yield = cleaned(*yield).trimmed();
        } else {
            return false;
        }
        return true;
    }

    void ingredientColumn(QStringView column, int side)
    {
        MealMasterIngredient ingredient = ingredientFrom(column);
        if (ingredient.amount.isEmpty() && ingredient.unit.isEmpty() && ingredient.item.startsWith(QLatin1Char('-'))) {
            const qsizetype target = lastItem[side] >= 0 ? lastItem[side] : lastItem[0];
            const QString more = ingredient.item.mid(1).trimmed();
            if (target >= 0) {
                QString &item = recipe.ingredients[target].item;
                if (!more.isEmpty())
                    item += (item.isEmpty() ? QString() : QStringLiteral(" ")) + more;
                return;
            }
            // Nothing to continue (the first line of a block or of a section): a note of its own.
            ingredient.item = more;
        }
        if (ingredient.amount.isEmpty() && ingredient.unit.isEmpty() && ingredient.item.isEmpty())
            return;
        recipe.ingredients.append(std::move(ingredient));
        lastItem[side] = recipe.ingredients.size() - 1;
    }

    void ingredientLine(QStringView raw)
    {
        const QString line = cleaned(raw);
        if (!blocksIngredients && hasLetter(QStringView(line).left(7))) {
            // Text where the amounts belong: this recipe has no ingredient block.
            phase = Phase::Directions;
            directionLine(raw);
            return;
        }
        if (blocksIngredients && hasLetter(QStringView(line).left(7)) && blockFault.isEmpty())
            blockFault = QStringLiteral("text in the amount column at line %1").arg(lineNo);
        blocksIngredients = true;
        ++recipe.ingredientLines;
        if (const qsizetype second = secondColumn(line)) {
            ingredientColumn(QStringView(line).left(second), 0);
            ingredientColumn(QStringView(line).mid(second), 1);
        } else {
            ingredientColumn(line, 0);
            lastItem[1] = lastItem[0];
        }
    }

    void directionLine(QStringView raw)
    {
        if (isBlank(raw)) {
            endParagraph();
            return;
        }
        if (isHeading(raw)) {
            endParagraph();
            paragraph = headingText(raw);
            endParagraph();
            return;
        }
        // 0x14 is the paragraph mark of the program's own editor.
        for (const QStringView piece : raw.split(QChar(0x14))) {
            if (piece.data() != raw.data())
                endParagraph();
            const QString text = cleaned(piece).simplified();
            if (text.isEmpty())
                continue;
            if (!paragraph.isEmpty())
                paragraph += QLatin1Char(' ');
            paragraph += text;
        }
    }
};

MealMasterReader::MealMasterReader(Encoding encoding, RecipeHandler onRecipe, RejectHandler onReject)
    : m_state(std::make_unique<State>(encoding == Encoding::Auto ? Encoding::Cp1252 : encoding, std::move(onRecipe), std::move(onReject)))
{
}

MealMasterReader::~MealMasterReader() = default;

void MealMasterReader::feed(QByteArrayView data)
{
    State &s = *m_state;
    if (!s.startChecked) {
        // A byte-order mark may arrive cut over chunks: hold the first bytes until three are here.
        s.start += data;
        if (s.start.size() < 3)
            return;
        s.startChecked = true;
        QByteArray first = std::move(s.start);
        s.start = QByteArray();
        if (first.startsWith("\xEF\xBB\xBF"))
            first.remove(0, 3);
        feed(first);
        return;
    }
    if (!s.pending.isEmpty()) {
        // Finish the line cut at the end of the last chunk (a CR there may be half of a CRLF).
        qsizetype i = 0;
        if (s.pending.endsWith('\r')) {
            if (data.isEmpty())
                return;
            const QByteArray head = s.pending.chopped(1);
            s.pending.clear();
            line(head, data.front() == '\n' ? QByteArrayView("\r\n") : QByteArrayView("\r"));
            i = data.front() == '\n' ? 1 : 0;
            feed(data.sliced(i));
            return;
        }
        while (i < data.size() && data[i] != '\n' && data[i] != '\r')
            ++i;
        if (i == data.size()) {
            s.pending += data;
            return;
        }
        s.pending += data.first(i);
        data = data.sliced(i);
        if (data.front() == '\r' && data.size() == 1) {
            s.pending += '\r';
            return;
        }
        const qsizetype endLength = (data.front() == '\r' && data.size() > 1 && data[1] == '\n') ? 2 : 1;
        const QByteArray head = std::move(s.pending);
        s.pending = QByteArray();
        line(head, data.first(endLength));
        data = data.sliced(endLength);
    }
    qsizetype start = 0;
    const qsizetype size = data.size();
    const char *bytes = data.data();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c != '\n' && c != '\r')
            continue;
        if (c == '\r' && i + 1 == size) {
            s.pending = QByteArray(bytes + start, size - start);
            return;
        }
        const qsizetype endLength = (c == '\r' && bytes[i + 1] == '\n') ? 2 : 1;
        line(data.sliced(start, i - start), data.sliced(i, endLength));
        i += endLength - 1;
        start = i + 1;
    }
    if (start < size)
        s.pending = QByteArray(bytes + start, size - start);
}

void MealMasterReader::finish()
{
    State &s = *m_state;
    if (!s.startChecked) {
        s.startChecked = true;
        const QByteArray first = std::move(s.start);
        s.start = QByteArray();
        feed(first);
    }
    if (!s.pending.isEmpty()) {
        QByteArray last = std::move(s.pending);
        s.pending = QByteArray();
        if (last.endsWith('\r'))
            line(QByteArrayView(last).chopped(1), "\r");
        else
            line(last, {});
    }
    if (s.phase != State::Phase::Outside)
        s.finishRecipe(false);
}

void MealMasterReader::line(QByteArrayView raw, QByteArrayView ending)
{
    State &s = *m_state;
    ++s.lineNo;
    const QString text = decode(raw, s.encoding);
    if (isHeader(text)) {
        if (s.phase != State::Phase::Outside)
            s.finishRecipe(false);
        s.startRecipe();
    } else if (s.phase == State::Phase::Outside) {
        return;
    } else if (isEndMarker(text)) {
        s.original += raw;
        s.original += ending;
        s.finishRecipe(true);
        return;
    }
    s.original += raw;
    s.original += ending;
    if (s.recipe.line == s.lineNo)
        return;

    switch (s.phase) {
    case State::Phase::Outside:
        return;
    case State::Phase::Header:
        if (isBlank(text) || s.headerField(text))
            return;
        s.phase = State::Phase::Block;
        [[fallthrough]];
    case State::Phase::Block:
        if (isBlank(text)) {
            ++s.blanksInBlock;
            return;
        }
        if (isHeading(text)) {
            s.blanksInBlock = 0;
            MealMasterIngredient heading;
            heading.heading = true;
            heading.item = headingText(text);
            s.recipe.ingredients.append(std::move(heading));
            s.lastItem[0] = s.lastItem[1] = -1;
            return;
        }
        if (s.blanksInBlock == 0) {
            s.ingredientLine(text);
            return;
        }
        s.phase = State::Phase::Directions;
        [[fallthrough]];
    case State::Phase::Directions:
        s.directionLine(text);
        return;
    }
}

void MealMasterReader::readAll(QByteArrayView data, Encoding encoding, const RecipeHandler &onRecipe,
                               const RejectHandler &onReject)
{
    if (encoding == Encoding::Auto) {
        AutoDetector detector;
        detector.feed(data);
        encoding = detector.result();
    }
    MealMasterReader reader(encoding, onRecipe, onReject);
    reader.feed(data);
    reader.finish();
}

MealMasterReader::Encoding MealMasterReader::encodingFromName(const QString &name, bool *ok)
{
    *ok = true;
    if (name == QLatin1String("auto"))
        return Encoding::Auto;
    if (name == QLatin1String("utf-8"))
        return Encoding::Utf8;
    if (name == QLatin1String("cp1252"))
        return Encoding::Cp1252;
    if (name == QLatin1String("cp437"))
        return Encoding::Cp437;
    *ok = false;
    return Encoding::Auto;
}

QString MealMasterReader::encodingName(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Auto: return QStringLiteral("auto");
    case Encoding::Utf8: return QStringLiteral("utf-8");
    case Encoding::Cp1252: return QStringLiteral("cp1252");
    case Encoding::Cp437: return QStringLiteral("cp437");
    }
    return {};
}

void MealMasterReader::AutoDetector::feed(QByteArrayView data)
{
    if (!m_decoder.hasError())
        (void)QString(m_decoder.decode(data));
}

MealMasterReader::Encoding MealMasterReader::AutoDetector::result() const
{
    return m_decoder.hasError() ? Encoding::Cp1252 : Encoding::Utf8;
}
