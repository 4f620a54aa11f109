#include "browser/browser.h"
#include "shell/form2.h"
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
    auto* browser = new Browser({c.Drive1, c.Dir1, c.File1, c.List1, c.Combo1, c.Check5, c.Command21},
                                form.Engine(), std::move(browserDesk), &form);
    browser->setObjectName(QStringLiteral("Browser"));

    QObject::connect(c.Drive1, &DriveListBox::DriveChanged, browser, &Browser::OnDriveChanged);
    QObject::connect(c.Dir1, &DirListBox::PathChanged, browser, &Browser::OnFolderChanged);
    QObject::connect(c.Command9, &QAbstractButton::clicked, browser, &Browser::ToggleSearchView);
    QObject::connect(c.Command10, &QAbstractButton::clicked, browser, &Browser::ToggleBrowseView);
    QObject::connect(c.Label6, &ClickLabel::Clicked, browser, &Browser::OpenMediaFile);
    QObject::connect(c.Open, &QAbstractButton::clicked, browser, &Browser::OpenMediaFile);
    QObject::connect(c.Command16, &QAbstractButton::clicked, browser, &Browser::OpenMediaFile);
    QObject::connect(c.File1, &FileListBox::MouseMoved, browser, &Browser::ShowClipTooltip);
}

}  // namespace corvan
