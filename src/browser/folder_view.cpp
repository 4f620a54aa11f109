#include "browser/folder_view.h"

#include "browser/dir_list_box.h"
#include "browser/drive_list_box.h"
#include "browser/file_list_box.h"

#include <sys/stat.h>
#include <unistd.h>

namespace corvan {

FolderView ReadFolderView(const FilePath& folder)
{
    FolderView view;
    view.folder = folder.Absolute();
    struct stat st {};
    const QByteArray& bytes = view.folder.Bytes();
    if (::stat(bytes.constData(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(bytes.constData(), X_OK) == 0) {
        view.subfolders = ListSubfolders(view.folder);
        view.files = ListMatchingFiles(view.folder, PatternList(FileListBox::MediaPattern()));
    }
    view.drives = MountedDrives();
    view.mountPoint = MountPointHolding(view.folder);
    return view;
}

}  // namespace corvan
