#include "desktop/open_in_window.h"

#include "browser/dir_list_box.h"
#include "browser/drive_list_box.h"
#include "browser/file_list_box.h"
#include "browser/layouts.h"
#include "playback/transport.h"
#include "playlist/playlist_commands.h"
#include "shell/form2.h"

namespace corvan {

namespace {

LayoutControls Layout(Form2Controls& c)
{
    return {c.Drive1, c.Dir1, c.File1, c.List1, c.Combo1, c.Check5, c.Command21};
}

void ShowFolder(Form2& form, const FilePath& folder)
{
    Form2Controls& c = form.Controls();
    ShowBrowseLayout(Layout(c));
    c.Dir1->SetPath(folder);
    c.File1->SetPath(folder);
    c.Drive1->ShowDriveOf(folder);
}

}  // namespace

void OpenInWindow(Form2& form, const OpenPlan& plan)
{
    Form2Controls& c = form.Controls();
    Form2Commands& commands = form.Commands();
    switch (plan.kind) {
    case OpenPlan::Kind::Nothing:
        return;
    case OpenPlan::Kind::Folder:
        ShowFolder(form, plan.folder);
        return;
    case OpenPlan::Kind::File: {
        ShowFolder(form, plan.folder);
        const int index = c.File1->IndexOf(plan.name);
        if (index < 0 || !commands.transport) {
            // Gone meanwhile, or the list could not be read: played alone.
            if (commands.playlist)
                commands.playlist->PlayEntries({plan.folder.Join(plan.name)});
            return;
        }
        c.File1->SetListIndex(index);
        commands.transport->StartFromFileList();
        ShowFileListLayout(Layout(c));
        return;
    }
    case OpenPlan::Kind::Entries:
        if (commands.playlist)
            commands.playlist->PlayEntries(plan.entries);
        return;
    }
}

}  // namespace corvan
