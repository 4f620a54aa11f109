#pragma once

#include <QObject>

#include <array>

class QAction;
class QRadioButton;

namespace corvan {

class MediaEngine;

// The selected option button is the only record of the balance, and the
// check marks of the speed items the only record of the speed.
struct BalanceSpeedControls {
    QRadioButton* Option3 = nullptr;  // "L"
    QRadioButton* Option2 = nullptr;  // "C"
    QRadioButton* Option1 = nullptr;  // "R"
    // The speed items in menu order: "-25", "-50", "100", "+150", "+200".
    std::array<QAction*, 5> speedItems{};
};

class BalanceSpeed : public QObject {
    Q_OBJECT

public:
    // Rates of the speed items, in menu order; the names are older than the
    // rates ("-25" plays at 0.3, "+150" at 1.2).
    static constexpr std::array<double, 5> kSpeedRates{0.3, 0.5, 1.0, 1.2, 2.0};
    static constexpr double kUnmarkedRate = 1.0;

    BalanceSpeed(const BalanceSpeedControls& controls, MediaEngine& engine, QObject* parent = nullptr);

    // The popup's balance items select an option button; selecting one, by
    // any means, writes its balance (OptionSelected).
    void BalanceLeft();
    void BalanceCenter();
    void BalanceRight();
    // `option` has just become the selected one.
    void OptionSelected(QRadioButton* option);

    // A speed item was chosen: it alone carries the mark. The engine learns
    // the speed on the next tick.
    void ChooseSpeed(QAction* item);
    // The rate the marks ask for: the first marked item's, 1 when none is.
    double MarkedRate() const;
    // The rate timer's tick: the marked rate to the engine. Cheap when nothing
    // changed (the engine ignores a rate it already has).
    void Tick();

private:
    BalanceSpeedControls c_;
    MediaEngine& engine_;
};

}  // namespace corvan
