#pragma once

#include <QtGlobal>

// Units a length can be written and read in.
enum class LxMeasurement { Units, Pixels, Millimeters, Centimeters, Inches, Twips };

// A length of the page model. It always holds inches; "Units" are hundredths of a millimetre and
// "Pixels" are 1/96 inch.
class LxValue
{
public:
    LxValue() = default;
    explicit LxValue(long double inches) : m_inches(inches) {}
    static LxValue from(LxMeasurement unit, long double value);

    [[nodiscard]] long double inches() const { return m_inches; }
    [[nodiscard]] long double as(LxMeasurement unit) const;
    // Whole twips, rounded to the nearest with halves to even.
    [[nodiscard]] qint64 twips() const;
    // Pixels of a device with the given resolution, rounded to the nearest.
    [[nodiscard]] qint64 devicePixels(double pixelsPerInch) const;

    // Stores the value; false when it equals the held one exactly (no change to report).
    bool set(LxMeasurement unit, long double value);
    bool setInches(long double inches);

    friend bool operator==(const LxValue &, const LxValue &) = default;

private:
    long double m_inches = 0;
};

[[nodiscard]] long double toInches(LxMeasurement unit, long double value);
[[nodiscard]] long double fromInches(LxMeasurement unit, long double inches);
