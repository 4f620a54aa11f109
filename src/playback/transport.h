#pragma once

#include "engine/file_path.h"

#include <QLabel>
#include <QLineEdit>
#include <QObject>

namespace corvan {

class FileListBox;
class MediaEngine;

// The controls that make the play queue and the now-playing display.
struct PlaybackControls {
    FileListBox* File1 = nullptr;  // the play queue; its selection is the current track
    QLabel* Label1 = nullptr;      // name of the playing file
    QLabel* Playing = nullptr;     // "Playing " and the position
    QLabel* Total = nullptr;       // "Total " and the count
    QLabel* Label4 = nullptr;      // position number, compared with Label2 as text
    QLabel* Label2 = nullptr;      // remembered queue length
    QLineEdit* Text1 = nullptr;    // search box; shows the clip's tags after a start
};

// Starting tracks of the play queue, the transport commands, and showing
// what plays. The queue and its state live in the controls: every command
// reads the selection and the labels afresh.
class Transport : public QObject {
    Q_OBJECT

public:
    Transport(const PlaybackControls& controls, MediaEngine& engine, QObject* parent = nullptr);

    // The step every start shares: the selected entry goes to the engine,
    // its name to Label1.
    void OpenSelectedFile();
    // Its second half alone, for an entry already playing.
    void ShowSelectedName();
    // A double-click in the queue: the selected entry starts and the whole
    // now-playing display follows it.
    void StartFromFileList();

    // Play: resumes, then restarts the selected entry from its beginning.
    void PlaySelected();
    // The popup's "&Play": the selected entry starts; only Label4 follows.
    void StartSelected();
    void PauseTrack();
    void ResumeTrack();
    void StopTrack();
    // The entry after the selected one, or entry 0 when Label4 and Label2
    // read the same (the queue has wrapped).
    void NextTrack();
    // The entry before the selected one; entry 0 restarts itself, and with
    // nothing selected nothing happens.
    void PreviousTrack();

    // Plays one file outside the queue; no label changes. An empty path is
    // ignored rather than stopping what plays.
    void PlayPath(const FilePath& path);

    // The display steps, each writing one control from the queue's state.
    void ShowPosition();   // Label4
    void ShowTotal();      // Total
    void RememberCount();  // Label2
    void ShowPlaying();    // Playing
    void ShowTags();       // Text1

private:
    // The engine read the open clip's tags: a tags line written before they
    // came is written again with them.
    void OnTagsChanged();

    PlaybackControls c_;
    MediaEngine& engine_;
    // The tags line last written, and for which file; cleared when the box
    // shows anything else.
    QString tagsLine_;
    FilePath tagsFile_;
};

}  // namespace corvan
