#pragma once

#include "engine/file_path.h"

#include <functional>

namespace corvan {

enum class EntryKind { File, Folder, Other };

// Calls `visit` with the name (as the file system holds it) and the kind of
// every entry of `folder` whose name does not begin with "." (hidden ones,
// "." and ".."). Links count as what they lead to; a broken link is Other.
// False when the folder cannot be opened. A folder that vanishes or fails
// while it is read simply ends the walk.
bool ForEachVisibleEntry(const FilePath& folder, const std::function<void(const char*, EntryKind)>& visit);

}  // namespace corvan
