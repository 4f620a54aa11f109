#pragma once

#include <QObject>

class QAction;
class QLabel;
class QSlider;

namespace corvan {

class MediaEngine;

// The mirrors of the volume and the mute state. The engine's Volume and Mute
// are the only record; each mirror is written by its own commands alone, so
// the mirrors may disagree with the engine and with one another.
struct VolumeMirrors {
    QLabel* Label23 = nullptr;               // "Volume" and a level text
    QSlider* Slider1 = nullptr;              // positions 0..10; takes the focus after a step
    QLabel* Label11 = nullptr;               // "X" while it has muted the engine
    QAction* mnupopupoptionsmute = nullptr;  // its check mark follows only its own uses
};

// The volume and mute commands. None bounds a volume itself: a step past the
// engine's range is refused by the engine, and the mirrors then show the
// value still in force.
class VolumeControls : public QObject {
    Q_OBJECT

public:
    VolumeControls(const VolumeMirrors& mirrors, MediaEngine& engine, QObject* parent = nullptr);

    // Command19 / Command20: a step of 100, the label by the button ladder.
    void VolumeIncrease();
    void VolumeDecrease();
    // Popup "Up" / "Down": a step of 200, the label left alone.
    void MenuVolumeUp();
    void MenuVolumeDown();

    // The slider has moved: the label by the slider table, and at some
    // positions the volume.
    void SliderMoved();
    // The spin control's value is `value`: the volume and the slider's
    // thumb by the spin table. Moving the thumb here is not a slider move.
    void SpinChanged(int value);

    // Label11, Command1: mutes or unmutes by the engine's state, with the
    // "X" in Label11 following.
    void ToggleMute();
    // Popup "&Mute": flips its own check mark, then the toggle.
    void MenuMute();
    // The file list's "+", "-" and "m" go to the engine alone, past these
    // mirrors (browser/file_list_keys.h).

private:
    void step(long delta);
    void buttonStep(long delta);
    void menuStep(long delta);

    VolumeMirrors m_;
    MediaEngine& engine_;
};

}  // namespace corvan
