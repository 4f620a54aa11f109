#pragma once

#include <QWidget>

namespace corvan {

class FileListBox;

// The controls whose visibility and places make the browser's layouts:
// browse (drive, folder and file lists), list (the file list alone, wide)
// and search (the playlist with the search panel). Places are pixels of the
// window.
struct LayoutControls {
    QWidget* Drive1 = nullptr;
    QWidget* Dir1 = nullptr;
    FileListBox* File1 = nullptr;
    QWidget* List1 = nullptr;
    QWidget* Combo1 = nullptr;
    QWidget* Check5 = nullptr;
    QWidget* Command21 = nullptr;
};

// Where the file list and the playlist stand in each layout.
inline constexpr QRect kBrowsePlace{175, 60, 205, 300};
inline constexpr int kWideLeft = 25;
inline constexpr int kWideTop = 60;
inline constexpr int kWideWidth = 355;

// The list layout taken after a double-click in the file list: the drive and
// folder lists hidden, the file list widened over their place.
void ShowFileListLayout(const LayoutControls& c);

// "Show Search": from the file list to the search layout, and back to the
// file list at its browse place. Visibility is each control's own flag, so
// the toggles work the same whether or not the window is on screen.
void ToggleSearchView(const LayoutControls& c);

// "Browse Track": the browse layout when the drive list is hidden, the list
// layout when it shows. The search panel is left as it is.
void ToggleBrowseView(const LayoutControls& c);

// The browse layout whatever showed before: the folder a person opens from
// outside the window (the command line, a drop) comes into view.
void ShowBrowseLayout(const LayoutControls& c);

}  // namespace corvan
