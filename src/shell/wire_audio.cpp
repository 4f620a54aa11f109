#include "audio/balance_speed.h"
#include "audio/clock_display.h"
#include "audio/seeking.h"
#include "audio/volume_controls.h"
#include "engine/media_engine.h"
#include "shell/form2.h"
#include "shell/triggers.h"
#include "shell/wiring.h"

#include <QAbstractEventDispatcher>

namespace corvan {

namespace {

// How often Timer2 wakes on its own. Its tick also runs each time the event
// loop is about to wait (below), which is what keeps the speed in force.
constexpr int kRateTimerInterval = 100;  // ms

}  // namespace

void WireAudio(Form2& form)
{
    Form2Controls& c = form.Controls();
    Form2Menu& m = form.Menu();
    MediaEngine& engine = form.Engine();

    auto* volume = new VolumeControls({c.Label23, c.Slider1, c.Label11, m.mnupopupoptionsmute}, engine, &form);
    volume->setObjectName(QStringLiteral("VolumeControls"));
    auto* balanceSpeed = new BalanceSpeed(
        {c.Option3, c.Option2, c.Option1, {m.mnupopup25, m.mnupopup50, m.mnupopup100, m.mnupopup150, m.mnupopup200}},
        engine, &form);
    balanceSpeed->setObjectName(QStringLiteral("BalanceSpeed"));
    form.Commands().speed = balanceSpeed;
    // One seek of ten seconds, for the seek buttons, their popup items and
    // the file list's "1" and "2" keys (wire_playback.cpp).
    auto* seeking = new Seeking(engine, &form);
    seeking->setObjectName(QStringLiteral("Seeking"));
    form.Commands().seeking = seeking;
    auto* clock = new ClockDisplay(c.Label15, engine, &form);
    clock->setObjectName(QStringLiteral("ClockDisplay"));

    const auto speed = [balanceSpeed](QAction* item) {
        return [balanceSpeed, item] { balanceSpeed->ChooseSpeed(item); };
    };
    ConnectTriggers(
        {
            {c.Command19, Run(volume, &VolumeControls::VolumeIncrease)},
            {c.Command20, Run(volume, &VolumeControls::VolumeDecrease)},
            {m.mnupopupvolumeinc, Run(volume, &VolumeControls::MenuVolumeUp)},
            {m.mnupopupvolumedec, Run(volume, &VolumeControls::MenuVolumeDown)},
            {c.Label11, Run(volume, &VolumeControls::ToggleMute)},
            {c.Command1, Run(volume, &VolumeControls::ToggleMute)},
            {m.mnupopupoptionsmute, Run(volume, &VolumeControls::MenuMute)},

            {m.mnupopubalanceleft, Run(balanceSpeed, &BalanceSpeed::BalanceLeft)},
            {m.mnupopupbalancecenter, Run(balanceSpeed, &BalanceSpeed::BalanceCenter)},
            {m.mnupopupbalanceright, Run(balanceSpeed, &BalanceSpeed::BalanceRight)},
            {m.mnupopup25, speed(m.mnupopup25)},
            {m.mnupopup50, speed(m.mnupopup50)},
            {m.mnupopup100, speed(m.mnupopup100)},
            {m.mnupopup150, speed(m.mnupopup150)},
            {m.mnupopup200, speed(m.mnupopup200)},

            {c.Command22, Run(seeking, &Seeking::SeekBack)},
            {m.mnupopuprewind, Run(seeking, &Seeking::SeekBack)},
            {c.Command23, Run(seeking, &Seeking::SeekForward)},
            {m.mnupopupfarward, Run(seeking, &Seeking::SeekForward)},
        },
        &form);

    // The slider's own moves only: a thumb placed by the spin control does
    // not come through here (VolumeControls::SpinChanged).
    QObject::connect(c.Slider1, &QSlider::valueChanged, volume, [volume] { volume->SliderMoved(); });
    QObject::connect(c.UpDown1, &UpDown::Changed, volume, [volume](int value) { volume->SpinChanged(value); });

    // Selected by a click, by the menu or by the start-up: each writes the balance.
    for (QRadioButton* option : {c.Option3, c.Option2, c.Option1}) {
        QObject::connect(option, &QRadioButton::toggled, balanceSpeed, [balanceSpeed, option](bool on) {
            if (on)
                balanceSpeed->OptionSelected(option);
        });
    }

    QObject::connect(&form.Timer1(), &QTimer::timeout, clock, [clock, bar = c.MediaPlayer1] {
        clock->Tick();
        bar->Refresh();
    });
    // The time line shows in the window's first frame, rather than the
    // design caption for the half second until the first tick.
    clock->Tick();

    // The marked speed must be in force at once after the marks change, a
    // file opens or the engine drops its rate. A tick every millisecond would
    // do it at a cost of a few per cent of a core in wake-ups alone. Every one
    // of those changes is made by some event handled on this thread, so the
    // tick runs instead whenever the event loop has handled what was pending
    // and is about to wait; Timer2 keeps a slow beat, and its running (from
    // the load to the unload) says when the tick is live.
    QTimer& timer2 = form.Timer2();
    timer2.setInterval(kRateTimerInterval);
    timer2.setTimerType(Qt::CoarseTimer);
    QObject::connect(&timer2, &QTimer::timeout, balanceSpeed, [balanceSpeed] { balanceSpeed->Tick(); });
    if (auto* dispatcher = QAbstractEventDispatcher::instance(form.thread())) {
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, balanceSpeed, [balanceSpeed, &timer2] {
            if (timer2.isActive())
                balanceSpeed->Tick();
        });
    }
}

}  // namespace corvan
