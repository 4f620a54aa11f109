#include "audio/volume_ladder.h"

#include <array>

namespace corvan {

namespace {

struct LadderRow {
    long volume;
    const char* level;
};

// One row per button step. The spacing of the texts is what the window has
// always shown: " 5 " and the two-digit texts padded on both sides, " 100"
// on the left only. The ladder jumps from " 90 " to " 100"; " 95" has no
// volume of its own.
constexpr std::array<LadderRow, 20> kButtonLadder{{
    {-2500, " 00 "}, {-2400, " 5 "},  {-2300, " 10 "}, {-2200, " 15 "}, {-2100, " 20 "},
    {-2000, " 25 "}, {-1900, " 30 "}, {-1800, " 35 "}, {-1700, " 40 "}, {-1600, " 45 "},
    {-1500, " 50 "}, {-1400, " 55 "}, {-1300, " 60 "}, {-1200, " 65 "}, {-1100, " 70 "},
    {-1000, " 75 "}, {-900, " 80 "},  {-800, " 85 "},  {-700, " 90 "},  {-600, " 100"},
}};

struct SliderLadderRow {
    const char* level;
    std::optional<long> volume;  // nullopt: the engine keeps its volume
};

// Index = slider position. Only the even positions from 4 up set a volume.
// The top text has a trailing blank, unlike the button ladder's " 100".
constexpr std::array<SliderLadderRow, 11> kSliderLadder{{
    {" 00 ", std::nullopt},
    {" 10 ", std::nullopt},
    {" 20 ", std::nullopt},
    {" 30 ", std::nullopt},
    {" 40 ", -1800},
    {" 50 ", std::nullopt},
    {" 60 ", -1200},
    {" 70 ", std::nullopt},
    {" 80 ", -700},
    {" 90 ", std::nullopt},
    {" 100 ", 0},
}};

QString VolumeCaption(const char* level)
{
    return QStringLiteral("Volume ") + QLatin1String(level);
}

}  // namespace

std::optional<QString> ButtonLevelText(long volume)
{
    for (const LadderRow& row : kButtonLadder) {
        if (row.volume == volume)
            return QLatin1String(row.level);
    }
    return std::nullopt;
}

std::optional<QString> ButtonStepCaption(long volume, VolumeDirection direction)
{
    if (const auto level = ButtonLevelText(volume))
        return QStringLiteral("Volume ") + *level;
    if (direction == VolumeDirection::Increase) {
        if (volume >= -500)
            return QStringLiteral("Volume Full");
        return std::nullopt;
    }
    if (volume < -2500)
        return QStringLiteral("Volume Least");
    if (volume > -600)
        return QStringLiteral("Volume Full");
    return std::nullopt;
}

std::optional<SliderRow> SliderStep(int position)
{
    if (position < 0 || position >= int(kSliderLadder.size()))
        return std::nullopt;
    const SliderLadderRow& row = kSliderLadder[position];
    return SliderRow{VolumeCaption(row.level), row.volume};
}

std::optional<SpinRow> SpinStep(int value)
{
    switch (value) {
    case 2:
        return SpinRow{-2500, 0};
    case 4:
        return SpinRow{-1800, 2};
    case 6:
        return SpinRow{-1200, 6};
    case 8:
        return SpinRow{-700, 8};
    case 10:
        return SpinRow{0, 10};
    default:
        return std::nullopt;
    }
}

}  // namespace corvan
