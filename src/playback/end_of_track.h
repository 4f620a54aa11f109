#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QObject>

#include "engine/file_path.h"

#include <functional>
#include <optional>

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

// What the rules pick at the end of a file, worked out from the window
// without changing it.
struct EndOfTrackChoice {
    EndOfTrackRule rule = EndOfTrackRule::GoDown;
    bool stays = false;  // nothing happens (going up from the top)
    int index = -1;      // File1's selection once the rule has moved it
    FilePath path;       // what then starts
    bool operator==(const EndOfTrackChoice&) const = default;
};

// The automatic advance: on each end of a file the next entry of the queue
// is chosen from File1's selection at that moment, the play options and the
// wrap rule of Label4 and Label2.
//
// Files follow one another without a gap: shortly before a file ends the
// engine asks for the next (NextFile), chosen by the rules as the window
// stands then; when that file starts to be heard (OnFileJoined) the window
// takes the steps of the rule. The rule is applied again then, to the
// window as it stands: if a change meanwhile (the selection moved, an
// option changed, the queue changed) makes it pick another file, that file
// starts then, as at an ordinary end.
class EndOfTrack : public QObject {
    Q_OBJECT

public:
    // `exitNow` ends the program at once, skipping the unload handling.
    EndOfTrack(const EndOfTrackControls& controls, Transport& transport, std::function<void()> exitNow,
               QObject* parent = nullptr);

    void OnEndOfStream();

    EndOfTrackChoice Choose() const;
    // The file to follow without a gap: nothing when the program is to end
    // or nothing would start.
    std::optional<FilePath> NextFile();
    void OnFileJoined();

private:
    // The steps of the rule; `started`: its file already plays.
    void Carry(const EndOfTrackChoice& choice, bool started);

    EndOfTrackControls c_;
    Transport& transport_;
    std::function<void()> exitNow_;
    std::optional<EndOfTrackChoice> handedOn_;
};

}  // namespace corvan
