#include "browser/browser.h"
#include "shell/form2.h"
#include "shell/triggers.h"
#include "shell/wiring.h"

namespace corvan {

void WireBrowser(Form2& form)
{
    Form2Controls& c = form.Controls();
    Desktop& desk = form.Desk();

    // The desktop is asked through the form at each use, so a test that
    // swaps its answers after the window is built is still heard.
    BrowserDesk browserDesk{
        [&desk](const QString& title, const QString& filter, const QString& dir) {
            return desk.openFileName ? desk.openFileName(title, filter, dir) : QString();
        },
        [&desk](const QString& title, const QString& text, QMessageBox::Icon icon) {
            if (desk.message)
                desk.message(title, text, icon);
        },
    };
    auto* browser = new Browser({c.Drive1, c.Dir1, c.File1, c.List1, c.Combo1, c.Check5, c.Command21}, form.Engine(),
                                std::move(browserDesk), &form);
    browser->setObjectName(QStringLiteral("Browser"));

    QObject::connect(c.Drive1, &DriveListBox::DriveChanged, browser, &Browser::OnDriveChanged);
    QObject::connect(c.Dir1, &DirListBox::PathChanged, browser, &Browser::OnFolderChanged);
    ConnectTriggers(
        {
            {c.Command9, Run(browser, &Browser::ToggleSearchView)},
            {c.Command10, Run(browser, &Browser::ToggleBrowseView)},
            {c.Label6, Run(browser, &Browser::OpenMediaFile)},
            {c.Open, Run(browser, &Browser::OpenMediaFile)},
            {c.Command16, Run(browser, &Browser::OpenMediaFile)},
        },
        browser);
    QObject::connect(c.File1, &FileListBox::MouseMoved, browser, &Browser::ShowClipTooltip);
}

}  // namespace corvan
