#include "audio/clock_text.h"
#include "audio/volume_ladder.h"

#include <gtest/gtest.h>

namespace corvan {
namespace {

using Dir = VolumeDirection;

TEST(VolumeLadder, ButtonRowsKeepTheirSpacing)
{
    // Written out in full: the blanks are the point.
    const char* expected[] = {" 00 ", " 5 ",  " 10 ", " 15 ", " 20 ", " 25 ", " 30 ", " 35 ", " 40 ", " 45 ",
                              " 50 ", " 55 ", " 60 ", " 65 ", " 70 ", " 75 ", " 80 ", " 85 ", " 90 ", " 100"};
    for (int i = 0; i < 20; ++i) {
        const long volume = -2500 + 100 * i;
        for (Dir d : {Dir::Increase, Dir::Decrease})
            EXPECT_EQ(ButtonStepCaption(volume, d), QStringLiteral("Volume ") + QLatin1String(expected[i])) << volume;
    }
    EXPECT_FALSE(ButtonLevelText(-650));
    EXPECT_FALSE(ButtonLevelText(-500));
}

TEST(VolumeLadder, EndRulesOffTheLadder)
{
    const QString full = QStringLiteral("Volume Full");
    const QString least = QStringLiteral("Volume Least");
    const struct {
        long volume;
        Dir direction;
        std::optional<QString> caption;
    } cases[] = {
        {-500, Dir::Increase, full},          {0, Dir::Increase, full},
        {-2600, Dir::Increase, std::nullopt}, {-650, Dir::Increase, std::nullopt},  // between rows: the label stays
        {-2600, Dir::Decrease, least},        {-10000, Dir::Decrease, least},
        {-2550, Dir::Decrease, least},        {-500, Dir::Decrease, full},
        {-100, Dir::Decrease, full},          {0, Dir::Decrease, full},
        {-650, Dir::Decrease, std::nullopt},  {-2450, Dir::Decrease, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ButtonStepCaption(c.volume, c.direction), c.caption) << c.volume;
}

TEST(VolumeLadder, SliderTable)
{
    const struct {
        int position;
        const char* level;
        std::optional<long> volume;
    } rows[] = {
        {0, " 00 ", {}},    {1, " 10 ", {}}, {2, " 20 ", {}},   {3, " 30 ", {}}, {4, " 40 ", -1800}, {5, " 50 ", {}},
        {6, " 60 ", -1200}, {7, " 70 ", {}}, {8, " 80 ", -700}, {9, " 90 ", {}}, {10, " 100 ", 0},
    };
    for (const auto& r : rows) {
        const auto step = SliderStep(r.position);
        ASSERT_TRUE(step) << r.position;
        EXPECT_EQ(step->caption, QStringLiteral("Volume ") + QLatin1String(r.level));
        EXPECT_EQ(step->volume, r.volume) << r.position;
    }
    EXPECT_FALSE(SliderStep(-1));
    EXPECT_FALSE(SliderStep(11));
}

TEST(VolumeLadder, SpinTable)
{
    const std::pair<long, int> expected[] = {{-2500, 0}, {-1800, 2}, {-1200, 6}, {-700, 8}, {0, 10}};
    for (int value = -1; value <= 11; ++value) {
        const auto step = SpinStep(value);
        if (value >= 2 && value <= 10 && value % 2 == 0) {
            ASSERT_TRUE(step) << value;
            EXPECT_EQ(std::make_pair(step->volume, step->thumb), expected[value / 2 - 1]) << value;
        } else {
            EXPECT_FALSE(step) << value;
        }
    }
}

TEST(ClockText, TimeLeft)
{
    const struct {
        double duration, position;
        long long minutes, seconds;
    } cases[] = {
        {59.6, 0, 1, 0},  // 59.6 s left rounds to a whole minute
        {29.6, 0, 0, 30},
        {200, 100.5, 1, 40},  // the position counts as 100
        {200, 101.5, 1, 38},  // ... and this one as 102
        {187, 0, 3, 7},
        {245.3, 100.4, 2, 25},
        {0, 0, 0, 0},  // nothing open
        {std::nan(""), std::nan(""), 0, 0},
        {1e300, 0, 0, 0},  // not a time: counts as 0 rather than overflow
    };
    for (const auto& c : cases) {
        const TimeLeft t = TimeLeftOf(c.duration, c.position);
        EXPECT_EQ(t.minutes, c.minutes) << c.duration << " at " << c.position;
        EXPECT_EQ(t.seconds, c.seconds) << c.duration << " at " << c.position;
    }
}

TEST(ClockText, TotalInDecimalMinutes)
{
    const std::pair<double, double> cases[] = {
        {180, 3},      {185, 3.08}, {245.3, 4.09}, {270, 4.5}, {0, 0}, {180.3, 3},  // 3.005: a half, to the even 3.00
        {180.9, 3.02},                                                              // 3.015: to 3.02
        {1.5, 0.02},   {2.1, 0.04},
    };
    for (auto [seconds, minutes] : cases)
        EXPECT_DOUBLE_EQ(TotalMinutes(seconds), minutes) << seconds;
}

TEST(ClockText, CaptionInTheLocalesForm)
{
    const QLocale c = QLocale::c();
    EXPECT_EQ(ClockCaption({2, 25}, 4.09, c), QStringLiteral(" Remain 2 : 25 Total Time 4.09"));
    EXPECT_EQ(ClockCaption({3, 7}, 3, c), QStringLiteral(" Remain 3 : 7 Total Time 3"));
    EXPECT_EQ(ClockCaption({0, 0}, 0, c), QStringLiteral(" Remain 0 : 0 Total Time 0"));
    EXPECT_EQ(ClockCaption({4, 30}, 4.5, c), QStringLiteral(" Remain 4 : 30 Total Time 4.5"));
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(ClockCaption({1234, 5}, 1234.5, german), QStringLiteral(" Remain 1234 : 5 Total Time 1234,5"));
    EXPECT_EQ(ClockCaption({-1, -5}, 0.17, c), QStringLiteral(" Remain -1 : -5 Total Time 0.17"));
}

}  // namespace
}  // namespace corvan
