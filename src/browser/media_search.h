#pragma once

#include "engine/file_path.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <limits>

namespace corvan {

// Failure codes of the media search. A failed search reports its code
// negated as the count, except "file not found", which reports -1.
enum SearchFailureCode : int {
    kOverflow = 6,
    kBadFileName = 52,   // a pattern holding "/" or a zero byte
    kFileNotFound = 53,  // the start folder is missing
    kDeviceUnavailable = 68,
    kPermissionDenied = 70,
    kDiskNotReady = 71,
    kPathFileAccess = 75,  // any other failure
    kPathNotFound = 76,    // a path through something that is not a folder
};

struct MediaSearchResult {
    // Files found (0 or more), or a negative failure code.
    int count = 0;
    // Full paths: the folders in ascending ordinal order, each folder's
    // files in the order the file system lists them.
    QList<FilePath> files;
};

// Receives each progress text: "Building directory tree...", then
// "Checking " and a folder for each folder searched, then "" at the end.
// A failed search stops sending, so the last text stays on show.
using SearchProgress = std::function<void(const QString&)>;

constexpr int kSearchCountLimit = std::numeric_limits<std::int32_t>::max();

// Walks `startFolder` and every folder below it breadth first and collects
// the files whose names match `pattern` ("*" and "?", without regard to
// case, several patterns joined by ";"). Names beginning with "." are
// neither entered nor found; a folder reached twice (symbolic links that
// loop) is entered once; a folder below the start that cannot be listed is
// skipped. `limit` caps the folder and file counts (past it: overflow).
MediaSearchResult FindFiles(const FilePath& startFolder, const QString& pattern, const SearchProgress& progress = {},
                            int limit = kSearchCountLimit);

// The description of a failure code ("Permission denied", ...).
QString SearchFailureDescription(int code);

// The message a negative count calls for: "Invalid Path!" for -1 and -2,
// the failure's description otherwise.
QString SearchFailureMessage(int count);

// The failure code of an error number of the file system.
int SearchFailureCodeOf(int errnoValue);

}  // namespace corvan
