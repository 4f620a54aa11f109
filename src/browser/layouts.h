#pragma once

#include <QWidget>

namespace corvan {

class FileListBox;

// The controls whose visibility and places make the browser's layouts.
struct LayoutControls {
    QWidget* Drive1 = nullptr;
    QWidget* Dir1 = nullptr;
    FileListBox* File1 = nullptr;
    QWidget* List1 = nullptr;
    QWidget* Combo1 = nullptr;
    QWidget* Check5 = nullptr;
    QWidget* Command21 = nullptr;
};

// The list layout taken after a double-click in the file list: the drive and
// folder lists hidden, the file list widened over their place.
void ShowFileListLayout(const LayoutControls& c);

}  // namespace corvan
