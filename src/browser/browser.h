#pragma once

#include "browser/layouts.h"

#include <QMessageBox>
#include <QObject>

#include <functional>

namespace corvan {

class DirListBox;
class DriveListBox;
class FileListBox;
class MediaEngine;

struct BrowserControls {
    DriveListBox* Drive1 = nullptr;
    DirListBox* Dir1 = nullptr;
    FileListBox* File1 = nullptr;
    QWidget* List1 = nullptr;
    QWidget* Combo1 = nullptr;
    QWidget* Check5 = nullptr;
    QWidget* Command21 = nullptr;

    LayoutControls Layout() const;
};

// What the browser asks of the desktop: the open-file dialog (title, filter,
// start folder; "" when cancelled) and a message box (title, text, icon).
struct BrowserDesk {
    std::function<QString(const QString&, const QString&, const QString&)> openFileName;
    std::function<void(const QString&, const QString&, QMessageBox::Icon)> message;
};

// The folder browser: the drive, folder and file lists kept in step, the
// layout toggles, the open-file dialog and the file list's tooltip.
class Browser : public QObject {
    Q_OBJECT

public:
    static QString OpenTitle() { return QStringLiteral("Open Music Files"); }
    static QString OpenFilter() { return QStringLiteral("Music Files(*.Mp3 *.Wav *.Mid) |*.Mp3; *.Wav; *.Mid"); }

    Browser(const BrowserControls& controls, MediaEngine& engine, BrowserDesk desk, QObject* parent = nullptr);

    // A new drive in Drive1: the folder list moves to its mount point. While
    // the file list is hidden a drive that cannot be entered is reported and
    // the drive list goes back to the drive of the current folder.
    void OnDriveChanged();
    // A new folder in Dir1: the file list follows it while it shows.
    void OnFolderChanged();

    void ToggleSearchView();  // Command9
    void ToggleBrowseView();  // Command10

    // Plays one chosen file outside the queue; the queue and the labels stay.
    void OpenMediaFile();

    // The file list's tooltip names the clip open in the engine, not the
    // entry under the pointer.
    void ShowClipTooltip();

private:
    BrowserControls c_;
    MediaEngine& engine_;
    BrowserDesk desk_;
};

}  // namespace corvan
