#include "audio/balance_speed.h"

#include "engine/media_engine.h"

#include <QAction>
#include <QRadioButton>

#include <algorithm>

namespace corvan {

BalanceSpeed::BalanceSpeed(const BalanceSpeedControls& controls, MediaEngine& engine, QObject* parent)
    : QObject(parent)
    , c_(controls)
    , engine_(engine)
{
}

void BalanceSpeed::BalanceLeft()
{
    c_.Option3->setChecked(true);
}
void BalanceSpeed::BalanceCenter()
{
    c_.Option2->setChecked(true);
}
void BalanceSpeed::BalanceRight()
{
    c_.Option1->setChecked(true);
}

void BalanceSpeed::OptionSelected(QRadioButton* option)
{
    if (option == c_.Option3)
        engine_.SetBalance(MediaEngine::kBalanceLeft);
    else if (option == c_.Option2)
        engine_.SetBalance(0);
    else if (option == c_.Option1)
        engine_.SetBalance(MediaEngine::kBalanceRight);
}

void BalanceSpeed::ChooseSpeed(QAction* item)
{
    if (std::find(c_.speedItems.begin(), c_.speedItems.end(), item) == c_.speedItems.end())
        return;
    for (QAction* a : c_.speedItems)
        a->setChecked(a == item);
}

double BalanceSpeed::MarkedRate() const
{
    for (std::size_t i = 0; i < c_.speedItems.size(); ++i) {
        if (c_.speedItems[i]->isChecked())
            return kSpeedRates[i];
    }
    return kUnmarkedRate;
}

void BalanceSpeed::Tick()
{
    // Written whether or not it changed: a file opened since, or an engine
    // that dropped its rate, gets the marked speed back at once.
    engine_.SetRate(MarkedRate());
}

}  // namespace corvan
