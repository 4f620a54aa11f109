#pragma once

#include <QObject>

class QLabel;

namespace corvan {

class MediaEngine;

// The time line: what is left of the open clip and its whole length,
// rewritten from the engine on each tick of the display timer. Nothing is
// kept between ticks.
class ClockDisplay : public QObject {
    Q_OBJECT

public:
    ClockDisplay(QLabel* Label15, MediaEngine& engine, QObject* parent = nullptr);

    void Tick();

private:
    QLabel* label15_;
    MediaEngine& engine_;
};

}  // namespace corvan
