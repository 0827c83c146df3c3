#include "printing/pagesetup.h"

#include "store/error.h"
#include "store/inifile.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QString Section = QStringLiteral("Margins");

double read(const IniFile &ini, const QString &key, double fallback, const QLocale &locale)
{
    if (!ini.contains(Section, key))
        return fallback;
    bool ok = false;
    const double value = locale.toDouble(ini.value(Section, key).trimmed(), &ok);
    return ok && std::isfinite(value) ? value : fallback;
}

// "#0.0#": at least one digit before the separator, one or two after it.
QString inches(double millimetres, const QLocale &locale)
{
    QString text = locale.toString(millimetres / 25.4, 'f', 2);
    if (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    return text;
}

bool wholeNumber(const QString &text, int &value)
{
    // Leading blanks, an optional sign, decimal digits; nothing after them.
    int i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    QString digits = text.mid(i);
    if (digits.startsWith(QLatin1Char('+')) || digits.startsWith(QLatin1Char('-')))
        digits = digits.mid(1);
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return false;
    bool ok = false;
    value = text.mid(i).toInt(&ok);
    return ok;
}

} // namespace

MarginSettings MarginSettings::load(const QString &path, const QLocale &locale)
{
    IniFile ini(path);
    ini.load();
    MarginSettings s;
    s.left = read(ini, QStringLiteral("Left"), s.left, locale);
    s.top = read(ini, QStringLiteral("Top"), s.top, locale);
    s.right = read(ini, QStringLiteral("Right"), s.right, locale);
    s.bottom = read(ini, QStringLiteral("Bottom"), s.bottom, locale);
    s.marginTop = read(ini, QStringLiteral("MarginTop"), s.marginTop, locale);
    s.marginBottom = read(ini, QStringLiteral("MarginBottom"), s.marginBottom, locale);
    return s;
}

void MarginSettings::save(const QString &path, const QLocale &locale) const
{
    IniFile ini(path);
    // A file that exists but cannot be read is not overwritten: its other sections would be lost.
    if (!ini.load())
        throw Error(QStringLiteral("Unable to write to %1").arg(QFileInfo(path).absoluteFilePath()));
    // The six keys are written afresh, in their order, after any other keys of the section.
    static const char *const keys[] = {"Left", "Top", "Right", "Bottom", "MarginTop", "MarginBottom"};
    for (const char *key : keys)
        ini.remove(Section, QString::fromLatin1(key));
    ini.setValue(Section, QStringLiteral("Left"), number(left, locale));
    ini.setValue(Section, QStringLiteral("Top"), number(top, locale));
    ini.setValue(Section, QStringLiteral("Right"), number(right, locale));
    ini.setValue(Section, QStringLiteral("Bottom"), number(bottom, locale));
    ini.setValue(Section, QStringLiteral("MarginTop"), number(marginTop, locale));
    ini.setValue(Section, QStringLiteral("MarginBottom"), number(marginBottom, locale));
    if (!ini.save())
        throw Error(QStringLiteral("Unable to write to %1").arg(QFileInfo(path).absoluteFilePath()));
}

QString MarginSettings::number(double value, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', 15);
}

namespace PageZoom {

namespace {
constexpr std::array<int, 15> Steps = {7, 10, 14, 20, 30, 45, 60, 80, 120, 170, 250, 350, 500, 650, 800};
}

int clamp(int zoom, const Limits &limits)
{
    return std::clamp(zoom, limits.minZoom, limits.maxZoom);
}

int zoomIn(int zoom, const Limits &limits)
{
    if (limits.style == Style::Fixed)
        return zoom + limits.increment;
    for (int step : Steps) {
        if (step > zoom)
            return step;
    }
    return zoom;
}

int zoomOut(int zoom, const Limits &limits)
{
    if (limits.style == Style::Fixed)
        return zoom - limits.increment;
    for (auto it = Steps.rbegin(); it != Steps.rend(); ++it) {
        if (*it < zoom)
            return *it;
    }
    return zoom;
}

int fitWidth(int viewWidth, int gutter, double pageWidthInches)
{
    return int(100.0 * (viewWidth - 2 * gutter - 20) / (pageWidthInches * 96));
}

int fitWhole(int viewWidth, int viewHeight, int gutter, double pageWidthInches, double pageHeightInches)
{
    const double width = double(viewWidth - 2 * gutter - 20) / (pageWidthInches * 96);
    const double height = double(viewHeight - 2 * gutter - 20) / (pageHeightInches * 96);
    return int(100.0 * std::min(width, height));
}

double positionPercent(int position, int range, int visible)
{
    return range > visible ? double(position) / (range - visible) * 100 : 0;
}

int positionFromPercent(double percent, int range, int visible)
{
    return range > visible ? int(std::lround(percent * (range - visible) / 100)) : 0;
}

} // namespace PageZoom

std::optional<PageRange> PageRange::parse(const QString &text, int pageCount)
{
    PageRange range;
    const qsizetype dash = text.indexOf(QLatin1Char('-'));
    range.firstText = dash < 0 ? QString() : text.left(dash);
    range.lastText = dash < 0 ? text : text.mid(dash + 1);
    if (!wholeNumber(range.firstText, range.first) || !wholeNumber(range.lastText, range.last))
        return std::nullopt;
    if (range.last < range.first || range.first < 1 || range.last > pageCount)
        return std::nullopt;
    return range;
}

QString inchReadout(int tag, int top, int left, int bottom, int right, int header, int footer, const QLocale &locale)
{
    const QString prefix = QStringLiteral("Value in Inches: ");
    switch (tag) {
    case 1: return prefix + inches(top, locale) + QStringLiteral(" >> Including Header: ") + inches(top + header, locale);
    case 2: return prefix + inches(left, locale);
    case 3: return prefix + inches(bottom, locale) + QStringLiteral(" >> Including Footer: ") + inches(bottom + footer, locale);
    case 4: return prefix + inches(right, locale);
    case 5: return prefix + inches(header, locale);
    case 6: return prefix + inches(footer, locale);
    default: return prefix + QLatin1Char('0');
    }
}
