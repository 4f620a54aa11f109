#pragma once

#include "engine/file_path.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvan {

// What the drive, folder and file lists show of one folder, read from the
// file system alone, so that it can be read on any thread: the program reads
// its start folder while the application connects to the display.
struct FolderView {
    FilePath folder;                            // as the folder list gives it
    std::optional<QList<FilePath>> subfolders;  // nullopt: the folder cannot be entered
    std::optional<QList<FilePath>> files;       // the play queue's entries; nullopt: not listed
    QStringList drives;                         // the drive list's entries
    QString mountPoint;                         // of the drive that holds the folder
};

FolderView ReadFolderView(const FilePath& folder);

}  // namespace corvan
