#pragma once

#include <QObject>
#include <QPointer>

namespace corvan {

class FileListBox;
class Form1;
class MediaEngine;

// What the tag window reads from the main window.
struct TagInfoControls {
    FileListBox* File1 = nullptr;
};

// Loads, fills and unloads the tag window `Form1`. The window has no owner:
// it stays up when the main window is minimized, and goes with its unload.
class TagInfo : public QObject {
    Q_OBJECT

public:
    TagInfo(TagInfoControls controls, MediaEngine& engine, QObject* parent = nullptr);
    ~TagInfo() override;

    // "Tag Info ": shows the window (loading it from its design first, or
    // bringing it to the front), then writes the engine's title and author
    // and the selected file's path. A tag the engine cannot give leaves its
    // box as it was.
    void ShowTagInfo();
    // Sets the window minimized without showing it, loading it first.
    void MinimizeTagWindow();
    // Closes the window when it is loaded.
    void Unload();

    // The loaded window, or nullptr.
    Form1* Window() const;

private:
    Form1* load();

    TagInfoControls c_;
    MediaEngine& engine_;
    QPointer<Form1> form1_;
};

}  // namespace corvan
