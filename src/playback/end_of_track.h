#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QObject>

#include <functional>

namespace corvan {

class FileListBox;
class Transport;

// What the end of a file leads to; the first rule that applies wins.
enum class EndOfTrackRule {
    RepeatSong,   // Check1: the selected entry again
    TurnOff,      // Check2: the program ends at once
    Shuffle,      // Check3: two entries on, Label4 untouched
    WrapToFirst,  // Label2 reads as Label4: back to entry 0
    GoUp,         // Check4: the entry before
    GoDown,       // the entry after
};

// The state the rules read, taken from the window when the file ends.
struct EndOfTrackState {
    bool repeat = false;   // Check1
    bool turnOff = false;  // Check2
    bool shuffle = false;  // Check3
    bool up = false;       // Check4
    QString label4;
    QString label2;
};

EndOfTrackRule ChooseEndOfTrackRule(const EndOfTrackState& state);

struct EndOfTrackControls {
    FileListBox* File1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label2 = nullptr;
    QCheckBox* Check1 = nullptr;  // repeat this song
    QCheckBox* Check2 = nullptr;  // turn off after this song
    QCheckBox* Check3 = nullptr;  // shuffle
    QCheckBox* Check4 = nullptr;  // up the play list
};

// The automatic advance: on each end of a file the next entry of the queue
// is chosen from File1's selection at that moment, the play options and the
// wrap rule of Label4 and Label2.
class EndOfTrack : public QObject {
    Q_OBJECT

public:
    // `exitNow` ends the program at once, skipping the unload handling.
    EndOfTrack(const EndOfTrackControls& controls, Transport& transport, std::function<void()> exitNow,
               QObject* parent = nullptr);

    void OnEndOfStream();

private:
    EndOfTrackControls c_;
    Transport& transport_;
    std::function<void()> exitNow_;
};

}  // namespace corvan
