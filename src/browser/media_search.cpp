#include "browser/media_search.h"

#include "browser/pattern.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <unordered_set>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace corvan {

namespace {

struct FolderIdentity {
    dev_t dev;
    ino_t ino;
    bool operator==(const FolderIdentity&) const = default;
};

struct FolderIdentityHash {
    std::size_t operator()(const FolderIdentity& f) const noexcept
    {
        return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(f.ino) * 1000003u
                                          ^ static_cast<std::uint64_t>(f.dev));
    }
};

struct Folder {
    QByteArray native;  // the bytes the file system knows it by, ending in "/"
    QString path;       // as shown, ending in "/"
    std::size_t firstName = 0;
    std::size_t nameCount = 0;
};

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

MediaSearchResult Failed(int code)
{
    return {code == kFileNotFound ? -1 : -code, {}};
}

void Report(const SearchProgress& progress, const QString& text)
{
    if (progress)
        progress(text);
}

QString BuildingText()
{
    return QStringLiteral("Building directory tree...");
}

QString CheckingText(const QString& folder)
{
    return QStringLiteral("Checking ") + folder;
}

// A start folder that leads through something that is not a folder: the
// search goes on, but there is nothing it can collect.
MediaSearchResult NothingUnder(const QString& start, bool patternGiven, const SearchProgress& progress)
{
    if (patternGiven)
        Report(progress, CheckingText(start));
    Report(progress, QString());
    return {};
}

}  // namespace

MediaSearchResult FindFiles(const FilePath& startFolder, const QString& pattern, const SearchProgress& progress,
                            int limit)
{
    const QByteArray& startNative = startFolder.Bytes();
    if (startNative.isEmpty())
        return Failed(kFileNotFound);

    struct stat st {};
    bool pathNotFound = false;
    if (::stat(startNative.constData(), &st) != 0) {
        const int code = SearchFailureCodeOf(errno);
        if (code != kPathNotFound)
            return Failed(code);
        pathNotFound = true;
    }
    QString start = startFolder.Text();
    QByteArray startBytes = startNative;
    if (!start.endsWith(QLatin1Char('/'))) {
        start += QLatin1Char('/');
        startBytes += '/';
    }
    const PatternList patterns(pattern);

    Report(progress, BuildingText());
    // A pattern that cannot be a file name is refused where the first
    // folder, the start, is listed with it.
    if (pattern.contains(QLatin1Char('/')) || pattern.contains(QChar(0))) {
        Report(progress, CheckingText(start));
        return Failed(kBadFileName);
    }
    if (pathNotFound)
        return NothingUnder(start, !patterns.IsEmpty(), progress);
    if (patterns.IsEmpty()) {
        Report(progress, QString());
        return {};
    }

    // One pass over each folder finds both its subfolders and its matching
    // files, so no folder is listed twice; the folders are put in order
    // afterwards and the files follow them.
    std::vector<Folder> folders;
    std::vector<QByteArray> names;
    std::unordered_set<FolderIdentity, FolderIdentityHash> entered;
    folders.push_back({startBytes, start});
    entered.insert({st.st_dev, st.st_ino});

    for (std::size_t i = 0; i < folders.size(); ++i) {
        DirHandle dir(::opendir(folders[i].native.constData()));
        if (!dir) {
            if (i > 0)
                continue;  // vanished or unreadable below the start: skipped alone
            const int code = SearchFailureCodeOf(errno);
            if (code == kPathNotFound)
                return NothingUnder(start, true, progress);
            return Failed(code);
        }
        const int fd = ::dirfd(dir.get());
        folders[i].firstName = names.size();
        // `folders` may grow below: take copies, not references.
        const QByteArray parentNative = folders[i].native;
        const QString parentPath = folders[i].path;
        while (const dirent* e = ::readdir(dir.get())) {
            const char* raw = e->d_name;
            if (raw[0] == '.')
                continue;  // hidden, and "." and ".."
            bool isFolder = false;
            bool isFile = false;
            struct stat entry {};
            switch (e->d_type) {
            case DT_REG:
                isFile = true;
                break;
            case DT_DIR:  // its identity tells a folder reached a second time
            case DT_LNK:  // followed: a link to a folder is searched like the folder
            case DT_UNKNOWN:
                if (::fstatat(fd, raw, &entry, 0) != 0)
                    continue;  // a dangling link, or gone meanwhile
                isFolder = S_ISDIR(entry.st_mode);
                isFile = S_ISREG(entry.st_mode);
                break;
            default:
                continue;  // devices, pipes, sockets
            }
            if (isFolder) {
                if (!entered.insert({entry.st_dev, entry.st_ino}).second)
                    continue;  // reached before, through a link or a mount
                if (folders.size() >= static_cast<std::size_t>(limit))
                    return Failed(kOverflow);
                folders.push_back({parentNative + raw + '/', parentPath + QString::fromUtf8(raw) + QLatin1Char('/')});
            } else if (isFile) {
                if (!patterns.Matches(QString::fromUtf8(raw)))
                    continue;
                if (names.size() >= static_cast<std::size_t>(limit))
                    return Failed(kOverflow);
                names.emplace_back(raw);
            }
        }
        folders[i].nameCount = names.size() - folders[i].firstName;
    }

    // Ascending by code unit. Two folders can share a text only when their
    // names are not valid in the locale's encoding; a stable sort keeps
    // those in the order found.
    std::vector<std::size_t> order(folders.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return folders[a].path < folders[b].path; });

    MediaSearchResult result;
    result.files.reserve(static_cast<qsizetype>(names.size()));
    for (std::size_t k : order) {
        const Folder& f = folders[k];
        Report(progress, CheckingText(f.path));
        for (std::size_t n = f.firstName; n < f.firstName + f.nameCount; ++n)
            result.files.append(FilePath::FromBytes(f.native + names[n]));
    }
    result.count = static_cast<int>(result.files.size());
    Report(progress, QString());
    return result;
}

QString SearchFailureDescription(int code)
{
    switch (code) {
    case kOverflow:
        return QStringLiteral("Overflow");
    case kBadFileName:
        return QStringLiteral("Bad file name or number");
    case kFileNotFound:
        return QStringLiteral("File not found");
    case kDeviceUnavailable:
        return QStringLiteral("Device unavailable");
    case kPermissionDenied:
        return QStringLiteral("Permission denied");
    case kDiskNotReady:
        return QStringLiteral("Disk not ready");
    case kPathFileAccess:
        return QStringLiteral("Path/File access error");
    case kPathNotFound:
        return QStringLiteral("Path not found");
    default:
        return QStringLiteral("Error %1").arg(code);
    }
}

QString SearchFailureMessage(int count)
{
    if (count == -1 || count == -2)
        return QStringLiteral("Invalid Path!");
    return SearchFailureDescription(-count);
}

int SearchFailureCodeOf(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
        return kFileNotFound;
    case ENOTDIR:
        return kPathNotFound;
    case EACCES:
    case EPERM:
        return kPermissionDenied;
    case ENOMEDIUM:
        return kDiskNotReady;
    case ENODEV:
    case ENXIO:
        return kDeviceUnavailable;
    default:
        return kPathFileAccess;
    }
}

}  // namespace corvan
