#pragma once

#include <QObject>

namespace corvan {

class MediaEngine;

// Jumps of ten seconds from where the clip is. The new position is not held
// inside the clip: the engine refuses one before the start or past the end,
// and the position in force stays.
class Seeking : public QObject {
    Q_OBJECT

public:
    static constexpr double kSeekStep = 10.0;  // seconds

    explicit Seeking(MediaEngine& engine, QObject* parent = nullptr);

    // Command22, popup "Rewind", the file list's "1".
    void SeekBack();
    // Command23, popup "Farward", the file list's "2".
    void SeekForward();

private:
    MediaEngine& engine_;
};

}  // namespace corvan
