#pragma once

#include <QLineEdit>
#include <QObject>

namespace corvan {

class FileListBox;

// The search box Text1 over the play queue File1: every change of its text,
// typed or written by the program, selects the first entry that starts with
// it. It only selects; Enter (wired with the transport) plays.
class QueueSearch : public QObject {
    Q_OBJECT

public:
    static QString Prompt() { return QStringLiteral("Search Song in Playlist"); }

    QueueSearch(QLineEdit* Text1, FileListBox* File1, QObject* parent = nullptr);

    // Runs on every change of the text. Nothing happens while no control of
    // the window has ever held the focus.
    void Search();
    // A click into the box empties it.
    void OnClicked();
    // Leaving the box for another control of the window puts the prompt back.
    // The window losing the activation, or a popup menu opening, does not.
    void OnFocusLost();

private:
    QLineEdit* text1_;
    FileListBox* file1_;
};

}  // namespace corvan
