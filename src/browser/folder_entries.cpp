#include "browser/folder_entries.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace corvan {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

EntryKind KindOf(mode_t mode)
{
    return S_ISREG(mode) ? EntryKind::File : S_ISDIR(mode) ? EntryKind::Folder : EntryKind::Other;
}

// Most file systems give the kind in the entry itself, which spares a stat
// for each of the thousands of files a music folder can hold.
EntryKind KindOf(int dirFd, const dirent& entry)
{
    switch (entry.d_type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN: {
        struct stat st {};
        return fstatat(dirFd, entry.d_name, &st, 0) == 0 ? KindOf(st.st_mode) : EntryKind::Other;
    }
    default:
        return EntryKind::Other;
    }
}

}  // namespace

bool ForEachVisibleEntry(const FilePath& folder, const std::function<void(const char*, EntryKind)>& visit)
{
    if (folder.IsEmpty())
        return false;
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.Bytes().constData()));
    if (!dir)
        return false;
    const int fd = dirfd(dir.get());
    while (const dirent* entry = readdir(dir.get())) {
        if (entry->d_name[0] != '.')
            visit(entry->d_name, KindOf(fd, *entry));
    }
    return true;
}

}  // namespace corvan
