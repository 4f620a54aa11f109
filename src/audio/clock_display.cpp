#include "audio/clock_display.h"

#include "audio/clock_text.h"
#include "engine/media_engine.h"

#include <QLabel>
#include <QLocale>

namespace corvan {

ClockDisplay::ClockDisplay(QLabel* Label15, MediaEngine& engine, QObject* parent)
    : QObject(parent)
    , label15_(Label15)
    , engine_(engine)
{
}

void ClockDisplay::Tick()
{
    // With nothing open the engine reports 0 for both, and the line reads
    // 0, 0 and 0.
    const TimeLeft left = TimeLeftOf(engine_.Duration(), engine_.CurrentPosition());
    const double total = TotalMinutes(engine_.Duration());
    label15_->setText(ClockCaption(left, total, QLocale()));
}

}  // namespace corvan
