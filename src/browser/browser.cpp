#include "browser/browser.h"

#include "browser/dir_list_box.h"
#include "browser/drive_list_box.h"
#include "browser/file_list_box.h"
#include "engine/media_engine.h"

namespace corvan {

LayoutControls BrowserControls::Layout() const
{
    return {Drive1, Dir1, File1, List1, Combo1, Check5, Command21};
}

Browser::Browser(const BrowserControls& controls, MediaEngine& engine, BrowserDesk desk, QObject* parent)
    : QObject(parent)
    , c_(controls)
    , engine_(engine)
    , desk_(std::move(desk))
{
}

void Browser::OnDriveChanged()
{
    const QString mount = MountPointOf(c_.Drive1->Drive());
    if (!c_.File1->isHidden()) {
        // A drive that cannot be entered is ignored: the folder list keeps
        // its folder while the drive list shows the new choice.
        c_.Dir1->SetPath(FilePath::FromText(mount));
        return;
    }
    if (c_.Dir1->SetPath(FilePath::FromText(mount)))
        return;
    if (desk_.message)
        desk_.message(QStringLiteral("QZFileFind Error"), QStringLiteral("Drive not available!"), QMessageBox::Warning);
    // Back to the drive that holds the folder on show. Choosing it as a new
    // drive would move the folder list up to that drive's mount point and
    // lose the folder the search was about to start from.
    c_.Drive1->ShowDriveOf(c_.Dir1->Path());
}

void Browser::OnFolderChanged()
{
    c_.Drive1->ShowDriveOf(c_.Dir1->Path());
    if (c_.File1->isHidden())
        return;
    c_.File1->SetPath(c_.Dir1->Path());
}

void Browser::ToggleSearchView()
{
    corvan::ToggleSearchView(c_.Layout());
}

void Browser::ToggleBrowseView()
{
    corvan::ToggleBrowseView(c_.Layout());
}

void Browser::OpenMediaFile()
{
    if (!desk_.openFileName)
        return;
    const QString chosen = desk_.openFileName(OpenTitle(), OpenFilter(), QString());
    // A cancelled dialog names nothing; handing that on would only stop the
    // file that plays.
    if (chosen.isEmpty())
        return;
    engine_.SetFileName(FilePath::FromText(chosen));
}

void Browser::ShowClipTooltip()
{
    const auto author = engine_.ClipAuthor();
    const auto title = engine_.ClipTitle();
    if (!author || !title)
        return;
    c_.File1->setToolTip(QStringLiteral(" AUTHOR ") + *author + QStringLiteral(" TITLE ") + *title);
}

}  // namespace corvan
