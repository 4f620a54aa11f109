#pragma once

#include "engine/file_path.h"

#include <QList>
#include <QStringList>

namespace corvan {

// What paths given to the player from outside its window (the command line,
// a drop, another start of the program) ask of it:
// - one folder: the lists show it; nothing starts;
// - one music file the queue lists: the lists show its folder, and it starts
//   as a double-click on it would, so the queue goes on through the folder;
// - anything else (several files, a playlist file, a file the queue does not
//   list): the paths, playlists read and folders listed, fill the playlist
//   and the first plays.
struct OpenPlan {
    enum class Kind { Nothing, Folder, File, Entries };
    Kind kind = Kind::Nothing;
    FilePath folder;           // Folder, File: the folder the lists show
    FilePath name;             // File: the file's name in that folder
    QList<FilePath> entries;   // Entries: the playlist
    QStringList problems;      // a line for each path that was skipped
    QList<FilePath> accepted;  // the paths not skipped, absolute
};

// Reads what the paths name (relative ones from the process's current
// folder, "file:" URIs by their bytes). A path that does not exist or
// cannot be read is skipped, with a line in `problems`.
OpenPlan PlanOpening(const QList<FilePath>& paths);

// By the name's ending: ".sic", ".m3u", ".m3u8", ".pls".
bool IsPlaylistFile(const FilePath& path);

}  // namespace corvan
