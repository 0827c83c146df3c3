#pragma once

#include <QList>
#include <QLocale>
#include <QString>

// The kitchen conversions: nine pairs of unit boxes, each direction with its own factor and
// number of decimals, the parsing of what the user typed and the formatting of results.
class KitchenConversions
{
public:
    enum class Operation { Multiply, Divide };

    struct Direction {
        const char *source;    // box names
        const char *target;
        Operation operation;
        long double factor;
        int decimals;
    };

    // Every direction, in the order of the boxes.
    [[nodiscard]] static const QList<Direction> &directions();
    [[nodiscard]] static const Direction *directionFrom(const QString &sourceBox);
    // The box whose text a character typed into `box` clears (not always its partner).
    [[nodiscard]] static QString boxClearedBy(const QString &box);

    // Reads a quantity: "." as the decimal point whatever the locale when that reads the whole
    // text; otherwise the text as `locale` writes numbers (so a grouped result such as "1,000.00"
    // reads back as its true value); otherwise the longest number at its start. Empty text, and
    // text with no number at its start, give 0.
    [[nodiscard]] static double parse(const QString &text, const QLocale &locale);

    // Fixed-point with `decimals` decimals, halves away from zero, digits grouped in threes, with
    // the locale's separators and a leading "-" for negatives. The value is rounded from its 18
    // significant decimal digits.
    [[nodiscard]] static QString format(long double value, int decimals, const QLocale &locale);

    // The target box's new text when Enter is released in `sourceBox` holding `text`.
    [[nodiscard]] static QString convert(const Direction &direction, const QString &text, const QLocale &locale);
};
