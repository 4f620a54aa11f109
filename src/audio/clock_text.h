#pragma once

#include <QLocale>
#include <QString>

namespace corvan {

// Rounds to the nearest whole number, a half to the even neighbour
// (100.5 -> 100, 101.5 -> 102).
double RoundHalfEvenWhole(double value);

// Rounds to two decimals, a half to the even neighbour (3.005 -> 3,
// 3.015 -> 3.02). A half is judged on the decimal value the figure stands
// for, not on its binary approximation.
double RoundHalfEvenCents(double value);

// What is left of the open clip, as the time line shows it.
struct TimeLeft {
    long long minutes = 0;
    long long seconds = 0;
};

// The position counts in whole seconds (rounded, halves to even); the time
// left is rounded to whole seconds before it is split into minutes and
// seconds, so 59.6 s left reads 1 minute 0 seconds. A figure that is not a
// number counts as 0.
TimeLeft TimeLeftOf(double duration, double position);

// The clip's length in minutes, to two decimals (not minutes and seconds:
// 245.3 s is 4.09).
double TotalMinutes(double duration);

// " Remain " M " : " S " Total Time " T, in the locale's decimal form:
// whole numbers without leading zeros or group separators, the total with at
// most two decimals and no trailing zeros.
QString ClockCaption(TimeLeft left, double totalMinutes, const QLocale& locale);

}  // namespace corvan
