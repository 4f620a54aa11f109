#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QObject>

namespace corvan {

struct PlayOptionControls {
    QCheckBox* Check1 = nullptr;           // repeat this song
    QCheckBox* Check2 = nullptr;           // turn off after this song
    QCheckBox* Check3 = nullptr;           // shuffle
    QCheckBox* Check4 = nullptr;           // up the play list
    QAbstractButton* Command17 = nullptr;  // shuffle picture button
    QAbstractButton* Command18 = nullptr;  // repeat picture button
    QAction* mnupopupoptionsrepeat = nullptr;
    QAction* mnupopupoptionsshufle = nullptr;
    QAction* mnupopupoptionsturnoff = nullptr;
    QAction* mnupopupoptionsupplaylist = nullptr;
};

// The commands that set the four play options. The check boxes hold the
// options; the menu's check marks are only shown, and follow a box only when
// the change comes from the menu item itself. A greyed box blocks every
// command on it.
class PlayOptions : public QObject {
    Q_OBJECT

public:
    explicit PlayOptions(const PlayOptionControls& controls, QObject* parent = nullptr);

    // Popup items of "Play List".
    void ToggleRepeatItem();
    void ToggleShuffleItem();
    void ToggleTurnOffItem();
    void ToggleUpItem();
    // Picture buttons: Command18 also names the repeat mode in its tooltip.
    void ToggleRepeatButton();
    void ToggleShuffleButton();

private:
    PlayOptionControls c_;
};

}  // namespace corvan
