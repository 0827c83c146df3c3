#include "interchange/mealmasterbody.h"

#include "editor/recipebody.h"
#include "interchange/mealmasterrecipe.h"

namespace {

constexpr char Marker[] = "{\\*\\saporinmealmaster 1}";

// Text as RTF: ASCII as it is (with its three special characters escaped), everything else as
// \uN with "?" for readers that know no Unicode; N is a signed 16-bit value, so characters
// above U+FFFF go as their two surrogates.
void appendText(QByteArray &out, const QString &text)
{
    const char16_t *run = nullptr; // plain ASCII not yet written
    auto flush = [&](const char16_t *end) {
        if (!run)
            return;
        const qsizetype from = out.size();
        out.resize(from + (end - run));
        for (char *to = out.data() + from; run != end; ++run)
            *to++ = char(*run);
        run = nullptr;
    };
    const char16_t *const begin = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *const end = begin + text.size();
    for (const char16_t *p = begin; p != end; ++p) {
        const char16_t u = *p;
        if (u >= 0x20 && u < 0x80 && u != '\\' && u != '{' && u != '}') {
            if (!run)
                run = p;
            continue;
        }
        flush(p);
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u < 0x20) {
            continue;
        } else {
            out += "\\u";
            out += QByteArray::number(int(static_cast<qint16>(u)));
            out += '?';
        }
    }
    flush(end);
}

// Widths in twips: 1.25 inch for amount and unit, the rest of a 6.5 inch text line for the item.
constexpr int AmountRight = 1800;
constexpr int ItemRight = 9360;

void appendRow(QByteArray &out, const QString &first, const QString &second, bool heading)
{
    out += "\\trowd\\trgaph108\\trleft0\\cellx";
    out += QByteArray::number(AmountRight);
    out += "\\cellx";
    out += QByteArray::number(ItemRight);
    out += "\n\\pard\\intbl\\ql ";
    appendText(out, first);
    out += "\\cell\\pard\\intbl\\ql ";
    if (heading)
        out += "\\b ";
    appendText(out, second);
    if (heading)
        out += "\\b0 ";
    out += "\\cell\\row\n";
}

} // namespace

QByteArray MealMasterBody(const MealMasterRecipe &recipe)
{
    QByteArray out;
    qsizetype estimate = 400 + recipe.title.size() + recipe.yield.size();
    for (const MealMasterIngredient &ingredient : recipe.ingredients)
        estimate += 120 + ingredient.item.size();
    for (const QString &paragraph : recipe.directions)
        estimate += 40 + paragraph.size();
    out.reserve(estimate);

    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}"
           "{\\stylesheet{\\s0\\f0\\fs20 Normal;}{\\s1\\sa120\\b\\f0\\fs32 heading 1;}}";
    out += Marker;
    out += "\n\\viewkind4\\pard\\plain\\f0\\fs20\n";
    out += "\\pard\\s1\\sa120\\b\\fs32 ";
    appendText(out, recipe.title);
    out += "\\par\n\\pard\\plain\\f0\\fs20\n";
    if (!recipe.yield.isEmpty()) {
        out += "\\pard\\sa120 Yield: ";
        appendText(out, recipe.yield);
        out += "\\par\n";
    }
    for (const MealMasterIngredient &ingredient : recipe.ingredients) {
        if (ingredient.heading) {
            appendRow(out, {}, ingredient.item, true);
        } else {
            QString amount = ingredient.amount;
            if (!ingredient.unit.isEmpty())
                amount += (amount.isEmpty() ? QString() : QStringLiteral(" ")) + ingredient.unit;
            appendRow(out, amount, ingredient.item, false);
        }
    }
    for (const QString &paragraph : recipe.directions) {
        out += "\\pard\\sa120 ";
        appendText(out, paragraph);
        out += "\\par\n";
    }
    // The last paragraph needs no mark of its own; with one, readers show an empty paragraph after it.
    if (out.endsWith("\\par\n"))
        out.chop(5);
    out += "}";
    return out;
}

QByteArray StoredMealMasterBody(const MealMasterRecipe &recipe)
{
    // Deflate hands back a buffer sized for the worst case.
    QByteArray stored = SaveRecipeBody(MealMasterBody(recipe));
    stored.squeeze();
    return stored;
}

bool IsMealMasterBody(const QByteArray &rtf)
{
    const qsizetype at = rtf.indexOf(Marker);
    return at >= 0 && at < 200;
}
