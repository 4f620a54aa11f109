#include "audio/volume_controls.h"

#include "audio/volume_ladder.h"
#include "engine/media_engine.h"

#include <QAction>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

namespace corvan {

VolumeControls::VolumeControls(const VolumeMirrors& mirrors, MediaEngine& engine, QObject* parent)
    : QObject(parent)
    , m_(mirrors)
    , engine_(engine)
{
}

void VolumeControls::step(long delta)
{
    // Refused past either end; the volume in force then stays.
    engine_.SetVolume(engine_.Volume() + delta);
}

void VolumeControls::buttonStep(long delta)
{
    step(delta);
    m_.Slider1->setFocus(Qt::OtherFocusReason);
    // The value read back, not the one asked for: at an end the engine kept
    // its own, and that is what the label tells.
    const auto direction = delta > 0 ? VolumeDirection::Increase : VolumeDirection::Decrease;
    if (const auto caption = ButtonStepCaption(engine_.Volume(), direction))
        m_.Label23->setText(*caption);
}

void VolumeControls::menuStep(long delta)
{
    step(delta);
    m_.Slider1->setFocus(Qt::OtherFocusReason);
}

void VolumeControls::VolumeIncrease()
{
    buttonStep(kButtonVolumeStep);
}
void VolumeControls::VolumeDecrease()
{
    buttonStep(-kButtonVolumeStep);
}
void VolumeControls::MenuVolumeUp()
{
    menuStep(kMenuVolumeStep);
}
void VolumeControls::MenuVolumeDown()
{
    menuStep(-kMenuVolumeStep);
}

void VolumeControls::SliderMoved()
{
    const auto row = SliderStep(m_.Slider1->value());
    if (!row)
        return;
    m_.Label23->setText(row->caption);
    if (row->volume)
        engine_.SetVolume(*row->volume);
}

void VolumeControls::SpinChanged(int value)
{
    const auto row = SpinStep(value);
    if (!row)
        return;
    engine_.SetVolume(row->volume);
    const QSignalBlocker quiet(m_.Slider1);
    m_.Slider1->setValue(row->thumb);
}

void VolumeControls::ToggleMute()
{
    if (engine_.Mute()) {
        engine_.SetMute(false);
        m_.Label11->setText(QString());
    } else {
        engine_.SetMute(true);
        m_.Label11->setText(QStringLiteral("X"));
    }
}

void VolumeControls::MenuMute()
{
    m_.mnupopupoptionsmute->setChecked(!m_.mnupopupoptionsmute->isChecked());
    ToggleMute();
}

}  // namespace corvan
