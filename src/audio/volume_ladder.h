#pragma once

#include <QString>

#include <optional>

namespace corvan {

// How far each volume trigger moves the engine's Volume, in hundredths of a
// decibel. The window works in -2500 (its start) .. 0 (full) and never bounds
// a value itself: the engine refuses what it cannot take.
inline constexpr long kButtonVolumeStep = 100;  // Command19 / Command20
inline constexpr long kMenuVolumeStep = 200;    // popup Up / Down

enum class VolumeDirection { Increase, Decrease };

// The level text the volume buttons show for a volume in force, from " 00 "
// at -2500 to " 100" at -600; nullopt between or beyond the rows.
std::optional<QString> ButtonLevelText(long volume);

// The caption of the volume label after a button step that left `volume` in
// force: "Volume " and the level text, or the end caption of the direction
// ("Volume Full", "Volume Least"); nullopt when the label keeps its caption.
std::optional<QString> ButtonStepCaption(long volume, VolumeDirection direction);

// What a position of the volume slider means.
struct SliderRow {
    QString caption;             // the whole caption of the volume label
    std::optional<long> volume;  // the volume it sets; nullopt leaves the engine alone
};
// nullopt outside positions 0..10.
std::optional<SliderRow> SliderStep(int position);

// What a value of the spin control means.
struct SpinRow {
    long volume;
    int thumb;  // where the slider's thumb goes
};
// nullopt for the values that change nothing (0 and the odd ones).
std::optional<SpinRow> SpinStep(int value);

}  // namespace corvan
