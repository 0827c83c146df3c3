#include "printing/lxvalue.h"

#include <cfenv>
#include <cmath>

long double toInches(LxMeasurement unit, long double x)
{
    switch (unit) {
    case LxMeasurement::Units: return x / 100 / 25.4L;
    case LxMeasurement::Pixels: return x / 96;
    case LxMeasurement::Millimeters: return x / 25.4L;
    case LxMeasurement::Centimeters: return x * 10 / 25.4L;
    case LxMeasurement::Inches: return x;
    case LxMeasurement::Twips: return x / 1440;
    }
    return x;
}

long double fromInches(LxMeasurement unit, long double x)
{
    switch (unit) {
    case LxMeasurement::Units: return x * 25.4L * 100;
    case LxMeasurement::Pixels: return x * 96;
    case LxMeasurement::Millimeters: return x * 25.4L;
    case LxMeasurement::Centimeters: return x * 25.4L / 10;
    case LxMeasurement::Inches: return x;
    case LxMeasurement::Twips: return x * 1440;
    }
    return x;
}

LxValue LxValue::from(LxMeasurement unit, long double value)
{
    return LxValue(toInches(unit, value));
}

long double LxValue::as(LxMeasurement unit) const
{
    return fromInches(unit, m_inches);
}

qint64 LxValue::twips() const
{
    // nearbyint rounds in the current mode, which is to nearest with halves to even.
    return static_cast<qint64>(std::nearbyintl(m_inches * 1440));
}

qint64 LxValue::devicePixels(double pixelsPerInch) const
{
    return static_cast<qint64>(std::llroundl(m_inches * pixelsPerInch));
}

bool LxValue::set(LxMeasurement unit, long double value)
{
    return setInches(toInches(unit, value));
}

bool LxValue::setInches(long double inches)
{
    if (inches == m_inches)
        return false;
    m_inches = inches;
    return true;
}
