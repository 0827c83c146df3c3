#pragma once

#include <QLocale>
#include <QString>

#include <optional>

// The page setup logic behind the preview window and its dialogs: the margins kept in
// Settings.ini, the zoom steps and fits of the page view, the range a user types, and the margins
// dialog's read-out in inches.

// The margins of Settings.ini, in millimetres.
struct MarginSettings
{
    double left = 25;
    double top = 15;
    double right = 25;
    double bottom = 15;
    double marginTop = 25;    // top margin + header band height
    double marginBottom = 25; // bottom margin + footer band height

    // Missing values and values that are not numbers in the locale's form take the defaults.
    [[nodiscard]] static MarginSettings load(const QString &path, const QLocale &locale = QLocale());
    // Replaces the six keys of section Margins, keeping the rest of the file; throws Error
    // "Unable to write to PATH" when the file cannot be written (the old file then stays).
    void save(const QString &path, const QLocale &locale = QLocale()) const;

    // The shortest general form with up to 15 significant digits and the locale's separator.
    [[nodiscard]] static QString number(double value, const QLocale &locale = QLocale());
};

namespace PageZoom {

enum class Style { Variable, Fixed };

struct Limits
{
    int minZoom = 5;
    int maxZoom = 400;
    int increment = 10;
    Style style = Style::Variable;
};

[[nodiscard]] int clamp(int zoom, const Limits &limits);
// The next step up or down; the current zoom when there is none. Not clamped.
[[nodiscard]] int zoomIn(int zoom, const Limits &limits);
[[nodiscard]] int zoomOut(int zoom, const Limits &limits);
// The zoom at which a page of the given size in inches fits the view's width, or fits whole.
[[nodiscard]] int fitWidth(int viewWidth, int gutter, double pageWidthInches);
[[nodiscard]] int fitWhole(int viewWidth, int viewHeight, int gutter, double pageWidthInches, double pageHeightInches);
// A scroll position as a percentage of its free range, and back.
[[nodiscard]] double positionPercent(int position, int range, int visible);
[[nodiscard]] int positionFromPercent(double percent, int range, int visible);

} // namespace PageZoom

// A page range as typed into the range box: the two bounds as entered and as numbers.
struct PageRange
{
    QString firstText;
    QString lastText;
    int first = 0;
    int last = 0;

    // "FIRST-LAST" split at the first "-"; leading blanks are allowed, trailing ones are not.
    // Nothing when a bound is not a whole number, the range is reversed or leaves 1..pageCount.
    [[nodiscard]] static std::optional<PageRange> parse(const QString &text, int pageCount);
};

// The margins dialog's read-out for the spin edit of the given tag (1 top, 2 left, 3 bottom,
// 4 right, 5 header, 6 footer), values in millimetres.
[[nodiscard]] QString inchReadout(int tag, int top, int left, int bottom, int right, int header, int footer,
                                  const QLocale &locale = QLocale());
