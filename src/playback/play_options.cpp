#include "playback/play_options.h"

namespace corvan {

namespace {

void ToggleFromItem(QAction* item, QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Unchecked:
        item->setChecked(true);
        box->setCheckState(Qt::Checked);
        break;
    case Qt::Checked:
        item->setChecked(false);
        box->setCheckState(Qt::Unchecked);
        break;
    case Qt::PartiallyChecked:
        break;
    }
}

}  // namespace

PlayOptions::PlayOptions(const PlayOptionControls& controls, QObject* parent)
    : QObject(parent)
    , c_(controls)
{
    // Any change of the repeat box, from whichever trigger, renames it.
    connect(c_.Check1, &QCheckBox::stateChanged, this,
            [this] { c_.Check1->setToolTip(QStringLiteral("Repeat This Song")); });
}

void PlayOptions::ToggleRepeatItem()
{
    ToggleFromItem(c_.mnupopupoptionsrepeat, c_.Check1);
}

void PlayOptions::ToggleShuffleItem()
{
    ToggleFromItem(c_.mnupopupoptionsshufle, c_.Check3);
}

void PlayOptions::ToggleTurnOffItem()
{
    ToggleFromItem(c_.mnupopupoptionsturnoff, c_.Check2);
}

void PlayOptions::ToggleUpItem()
{
    ToggleFromItem(c_.mnupopupoptionsupplaylist, c_.Check4);
}

void PlayOptions::ToggleRepeatButton()
{
    switch (c_.Check1->checkState()) {
    case Qt::Unchecked:
        c_.Check1->setCheckState(Qt::Checked);
        c_.Command18->setToolTip(QStringLiteral("Repeat This Song"));
        break;
    case Qt::Checked:
        c_.Check1->setCheckState(Qt::Unchecked);
        c_.Command18->setToolTip(QStringLiteral("Repeat All Songs"));
        break;
    case Qt::PartiallyChecked:
        break;
    }
}

void PlayOptions::ToggleShuffleButton()
{
    switch (c_.Check3->checkState()) {
    case Qt::Unchecked:
        c_.Check3->setCheckState(Qt::Checked);
        break;
    case Qt::Checked:
        c_.Check3->setCheckState(Qt::Unchecked);
        break;
    case Qt::PartiallyChecked:
        break;
    }
}

}  // namespace corvan
