#include "interchange/mealmasterwriter.h"

#include "editor/rtfreader.h"
#include "interchange/mealmasterbody.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace {

constexpr qsizetype LineWidth = 78;
constexpr qsizetype ItemWidth = LineWidth - 11;

// Splits text at spaces into lines of at most `width` characters (a longer word stays whole).
QStringList wrapped(const QString &text, qsizetype width)
{
    QStringList lines;
    QString current;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!current.isEmpty() && current.size() + 1 + word.size() > width) {
            lines << current;
            current.clear();
        }
        current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!current.isEmpty())
        lines << current;
    return lines;
}

QString cellText(QTextTable *table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cursor(cell.firstCursorPosition());
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char(' ')).trimmed();
}

bool cellIsBold(QTextTable *table, int row, int column)
{
    const QTextBlock block = table->cellAt(row, column).firstCursorPosition().block();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (!it.fragment().text().trimmed().isEmpty())
            return it.fragment().charFormat().fontWeight() >= QFont::Bold;
    }
    return false;
}

// "1 1/2 c" gives amount "1 1/2" and unit "c": a unit is a last word of one or two letters.
MealMasterIngredient ingredientFromCells(const QString &amountAndUnit, const QString &item)
{
    MealMasterIngredient ingredient;
    ingredient.item = item;
    const qsizetype space = amountAndUnit.lastIndexOf(QLatin1Char(' '));
    const QString last = amountAndUnit.mid(space + 1);
    bool letters = !last.isEmpty() && last.size() <= 2;
    for (const QChar c : last)
        letters = letters && c.isLetter();
    if (letters) {
        ingredient.unit = last;
        ingredient.amount = space < 0 ? QString() : amountAndUnit.left(space).trimmed();
    } else {
        ingredient.amount = amountAndUnit;
    }
    return ingredient;
}

void addIngredients(MealMasterRecipe &recipe, QTextTable *table)
{
    for (int row = 0; row < table->rows(); ++row) {
        const QString first = cellText(table, row, 0);
        const QString second = cellText(table, row, 1);
        if (first.isEmpty() && cellIsBold(table, row, 1)) {
            MealMasterIngredient heading;
            heading.heading = true;
            heading.item = second;
            recipe.ingredients.append(heading);
        } else {
            recipe.ingredients.append(ingredientFromCells(first, second));
        }
    }
}

QString headingLine(const QString &text)
{
    const qsizetype dashes = std::max<qsizetype>(5, (LineWidth - 5 - text.size()) / 2);
    return QStringLiteral("MMMMM") + QString(dashes, QLatin1Char('-')) + text + QString(dashes, QLatin1Char('-'));
}

} // namespace

QByteArray MealMasterWriter::write(const MealMasterRecipe &recipe)
{
    QString out;
    out += QStringLiteral("MMMMM----- Recipe via Meal-Master (tm) v8.05\n \n");
    out += QStringLiteral("      Title: ") + recipe.title + QLatin1Char('\n');
    out += QStringLiteral(" Categories: ") + recipe.categories.join(QLatin1String(", ")) + QLatin1Char('\n');
    if (!recipe.yield.isEmpty())
        out += QStringLiteral("      Yield: ") + recipe.yield + QLatin1Char('\n');
    out += QStringLiteral(" \n");
    bool any = false;
    for (const MealMasterIngredient &ingredient : recipe.ingredients) {
        any = true;
        if (ingredient.heading) {
            out += headingLine(ingredient.item) + QLatin1Char('\n');
            continue;
        }
        const QStringList lines = wrapped(ingredient.item, ItemWidth);
        out += ingredient.amount.rightJustified(7) + QLatin1Char(' ') + ingredient.unit.leftJustified(2) + QLatin1Char(' ')
            + lines.value(0) + QLatin1Char('\n');
        for (qsizetype i = 1; i < lines.size(); ++i)
            out += QString(11, QLatin1Char(' ')) + QLatin1Char('-') + lines.at(i) + QLatin1Char('\n');
    }
    if (any)
        out += QStringLiteral(" \n");
    for (const QString &paragraph : recipe.directions) {
        for (const QString &line : wrapped(paragraph, LineWidth - 2))
            out += QStringLiteral("  ") + line + QLatin1Char('\n');
        out += QStringLiteral(" \n");
    }
    out += QStringLiteral("MMMMM\n\n");
    return out.toUtf8();
}

MealMasterRecipe MealMasterWriter::fromStored(const QString &name, const QString &category, const QString &tags,
                                              const QByteArray &rtf)
{
    MealMasterRecipe recipe;
    recipe.title = name.simplified();
    for (const QString &tag : tags.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString categoryName = tag.simplified();
        if (!categoryName.isEmpty())
            recipe.categories << categoryName;
    }
    if (!category.isEmpty() && !recipe.categories.contains(category.simplified()))
        recipe.categories.prepend(category.simplified());

    QTextDocument document;
    if (rtf.isEmpty() || RtfReader::read(rtf, &document) != RtfReader::Status::Ok)
        return recipe;
    if (!IsMealMasterBody(rtf)) {
        for (const QString &line : document.toPlainText().split(QLatin1Char('\n'))) {
            const QString paragraph = line.simplified();
            if (!paragraph.isEmpty())
                recipe.directions << paragraph;
        }
        return recipe;
    }
    bool titleSkipped = false;
    bool tableRead = false;
    for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto *table = qobject_cast<QTextTable *>(it.currentFrame())) {
            if (!tableRead && table->columns() == 2)
                addIngredients(recipe, table);
            tableRead = true;
            continue;
        }
        const QString text = it.currentBlock().text().simplified();
        if (text.isEmpty())
            continue;
        if (!titleSkipped) {
            titleSkipped = true;
            continue;
        }
        if (!tableRead && recipe.yield.isEmpty() && text.startsWith(QLatin1String("Yield: ")))
            recipe.yield = text.mid(7);
        else
            recipe.directions << text;
    }
    return recipe;
}
