#include "browser/folder_view.h"

#include "browser/dir_list_box.h"
#include "browser/drive_list_box.h"
#include "browser/file_list_box.h"

#include <QFileInfo>

namespace corvan {

FolderView ReadFolderView(const QString& folder)
{
    FolderView view;
    view.folder = NormalFolderPath(folder);
    const QFileInfo info(view.folder);
    if (info.isDir() && info.isExecutable()) {
        view.subfolders = ListSubfolders(view.folder);
        view.files = ListMatchingFiles(view.folder, PatternList(FileListBox::MediaPattern()));
    }
    view.drives = MountedDrives();
    view.mountPoint = MountPointHolding(view.folder);
    return view;
}

}  // namespace corvan
