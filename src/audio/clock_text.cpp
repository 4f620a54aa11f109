#include "audio/clock_text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvan {

namespace {

double Finite(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

// Whole numbers past this are not a time any clip has; they count as 0
// rather than overflow.
constexpr double kLargest = double(std::numeric_limits<int>::max());

long long WholeOrZero(double value)
{
    return std::abs(value) <= kLargest ? static_cast<long long>(value) : 0;
}

}  // namespace

double RoundHalfEvenWhole(double value)
{
    const double nearest = std::round(value);  // halves away from zero
    if (std::abs(value - std::trunc(value)) != 0.5)
        return nearest;
    return 2.0 * std::round(value / 2.0);
}

double RoundHalfEvenCents(double value)
{
    const double scaled = value * 100.0;
    const double below = std::floor(scaled);
    // 180.3 s is 3.005 minutes to anyone reading it, but 300.50000000000006
    // hundredths to the machine: a hair's breadth from a half is a half.
    const double hair = 1e-9 * std::max(1.0, std::abs(scaled));
    if (std::abs(scaled - below - 0.5) <= hair)
        return (std::fmod(below, 2.0) == 0.0 ? below : below + 1.0) / 100.0;
    return std::round(scaled) / 100.0;
}

TimeLeft TimeLeftOf(double duration, double position)
{
    const double d = Finite(duration);
    const long long p = WholeOrZero(RoundHalfEvenWhole(Finite(position)));
    const double left = d - double(p);
    TimeLeft t;
    t.minutes = WholeOrZero(RoundHalfEvenWhole(left)) / 60;
    t.seconds = WholeOrZero(RoundHalfEvenWhole(left - 60.0 * double(t.minutes)));
    return t;
}

double TotalMinutes(double duration)
{
    const double t = RoundHalfEvenCents(Finite(duration) / 60.0);
    return t == 0.0 ? 0.0 : t;  // no "-0"
}

QString ClockCaption(TimeLeft left, double totalMinutes, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    const double cents = std::abs(std::round(totalMinutes * 100.0));
    const int decimals = std::fmod(cents, 100.0) == 0.0 ? 0 : std::fmod(cents, 10.0) == 0.0 ? 1 : 2;
    return QStringLiteral(" Remain ") + plain.toString(left.minutes) + QStringLiteral(" : ")
           + plain.toString(left.seconds) + QStringLiteral(" Total Time ")
           + plain.toString(totalMinutes, 'f', decimals);
}

}  // namespace corvan
