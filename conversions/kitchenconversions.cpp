#include "conversions/kitchenconversions.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Leading blanks, sign, digits, "." and digits, exponent: the number as written with a point.
const QRegularExpression &pointNumber()
{
    static const QRegularExpression pattern(
        QStringLiteral("^ *([+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?)"));
    return pattern;
}

double toDouble(const QString &number)
{
    return std::strtod(number.toLatin1().constData(), nullptr);
}

} // namespace

const QList<KitchenConversions::Direction> &KitchenConversions::directions()
{
    using enum Operation;
    static const QList<Direction> table{
        {"edtCups", "edtMM1", Multiply, 250.0L, 2},
        {"edtMM1", "edtCups", Divide, 250.0L, 2},
        {"edtTeaspoon", "edtMM2", Multiply, 5.0L, 2},
        {"edtMM2", "edtTeaspoon", Divide, 5.0L, 2},
        {"edtDessertspoon", "edtMM3", Multiply, 10.0L, 2},
        {"edtMM3", "edtDessertspoon", Divide, 10.0L, 2},
        {"edtTablespoon", "edtMM4", Multiply, 15.0L, 2},
        {"edtMM4", "edtTablespoon", Divide, 15.0L, 2},
        {"edtGrams2", "edtPounds", Multiply, 0.0022L, 4},
        {"edtPounds", "edtGrams2", Divide, 0.0022L, 2},
        {"edtGrams", "edtOunces", Divide, 28.0L, 2},
        {"edtOunces", "edtGrams", Multiply, 28.0L, 2},
        {"edtMM5", "edtPints", Multiply, 0.00175L, 5},
        {"edtPints", "edtMM5", Divide, 0.00175L, 2},
        {"edtMM6", "edtFloz", Multiply, 0.03L, 2},
        // Not the inverse of the line above: fluid ounces to millilitres divides by 0.0333333.
        {"edtFloz", "edtMM6", Divide, 0.0333333L, 2},
        {"edtCentimetre", "edtDesimetre", Multiply, 0.4L, 2},
        {"edtDesimetre", "edtCentimetre", Divide, 0.4L, 2},
    };
    return table;
}

const KitchenConversions::Direction *KitchenConversions::directionFrom(const QString &sourceBox)
{
    for (const Direction &direction : directions()) {
        if (sourceBox == QLatin1String(direction.source))
            return &direction;
    }
    return nullptr;
}

QString KitchenConversions::boxClearedBy(const QString &box)
{
    // Both weight boxes of the first row clear the ounces box, as the grams box of the second row does.
    if (box == QLatin1String("edtGrams2") || box == QLatin1String("edtPounds"))
        return QStringLiteral("edtOunces");
    const Direction *direction = directionFrom(box);
    return direction ? QString::fromLatin1(direction->target) : QString();
}

double KitchenConversions::parse(const QString &text, const QLocale &locale)
{
    if (text.isEmpty())
        return 0;
    const QRegularExpressionMatch point = pointNumber().match(text);
    if (point.hasMatch() && point.capturedLength(0) == text.size())
        return toDouble(point.captured(1));
    bool ok = false;
    const double localised = locale.toDouble(text.trimmed(), &ok);
    if (ok)
        return localised;
    return point.hasMatch() ? toDouble(point.captured(1)) : 0;
}

QString KitchenConversions::format(long double value, int decimals, const QLocale &locale)
{
    if (!std::isfinite(value))
        return locale.toString(double(value));
    // 18 significant digits: d.ddddddddddddddddde±x
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17Le", std::fabs(value));
    QByteArray digits;
    int exponent = 0;
    for (const char *p = buffer; *p; ++p) {
        if (*p >= '0' && *p <= '9') {
            digits += *p;
        } else if (*p == 'e') {
            exponent = std::atoi(p + 1);
            break;
        }
    }
    // digits[i] stands for 10^(exponent - i). Keep the places down to 10^-decimals, rounding on
    // the next one, halves away from zero.
    const int kept = exponent + 1 + decimals;   // digits before the rounding place
    QByteArray rounded;
    if (kept <= 0) {
        rounded = (kept == 0 && digits.at(0) >= '5') ? QByteArray("1") : QByteArray("0");
    } else {
        rounded = digits.left(kept);
        while (rounded.size() < kept)
            rounded += '0';
        if (kept < digits.size() && digits.at(kept) >= '5') {
            int i = int(rounded.size()) - 1;
            while (i >= 0 && rounded.at(i) == '9')
                rounded[i--] = '0';
            if (i >= 0)
                rounded[i] = char(rounded.at(i) + 1);
            else
                rounded.prepend('1');
        }
    }
    // `rounded` is now the value times 10^decimals, as an integer.
    while (rounded.size() <= decimals)
        rounded.prepend('0');
    const QByteArray whole = rounded.left(rounded.size() - decimals);
    const QByteArray fraction = rounded.right(decimals);

    QString integral;
    const int count = int(whole.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0)
            integral += locale.groupSeparator();
        integral += QLatin1Char(whole.at(i));
    }
    QString result = integral;
    if (decimals > 0)
        result += locale.decimalPoint() + QString::fromLatin1(fraction);
    // A negative value that rounds to zero is shown as zero, without a sign.
    const bool zero = std::all_of(rounded.cbegin(), rounded.cend(), [](char c) { return c == '0'; });
    if (value < 0 && !zero)
        result.prepend(QLatin1Char('-'));   // a plain hyphen, also where the locale has its own minus sign
    return result;
}

QString KitchenConversions::convert(const Direction &direction, const QString &text, const QLocale &locale)
{
    const long double value = parse(text, locale);
    const long double result = direction.operation == Operation::Multiply ? value * direction.factor
                                                                          : value / direction.factor;
    return format(result, direction.decimals, locale);
}
