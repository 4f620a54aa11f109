#pragma once

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

// Starting tracks of the play queue and showing what plays.
class Transport : public QObject {
    Q_OBJECT

public:
    Transport(const PlaybackControls& controls, MediaEngine& engine, QObject* parent = nullptr);

    // The step every start shares: the selected entry goes to the engine,
    // its name to Label1.
    void OpenSelectedFile();
    // A double-click in the queue: the selected entry starts and the whole
    // now-playing display follows it.
    void StartFromFileList();

private:
    void showPosition();   // Label4
    void showTotal();      // Total
    void rememberCount();  // Label2
    void showPlaying();    // Playing
    void showTags();       // Text1

    PlaybackControls c_;
    MediaEngine& engine_;
};

}  // namespace corvan
