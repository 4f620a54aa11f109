#include "shell/window_commands.h"

#include "shell/form2.h"

#include <QDir>
#include <QFileInfo>
#include <QWindow>

namespace corvan {

WindowCommands::WindowCommands(Form2& form)
    : QObject(&form)
    , form_(form)
{
    setObjectName(QStringLiteral("WindowCommands"));
}

void WindowCommands::SurfacePressed(Qt::MouseButton button, const QPoint& globalPos)
{
    if (button == Qt::LeftButton)
        Move();
    else if (button == Qt::RightButton)
        Popup(globalPos);
}

void WindowCommands::ControlPressed(Qt::MouseButtons buttons, const QPoint& globalPos)
{
    if (buttons.testFlag(Qt::RightButton))
        Popup(globalPos);
}

void WindowCommands::Move()
{
    emit Moving();
    // Must run inside the press: the window manager takes over the pointer
    // grab that this press started. Without a window manager nothing moves.
    if (QWindow* window = form_.windowHandle())
        window->startSystemMove();
}

void WindowCommands::Popup(const QPoint& globalPos)
{
    // One press can reach two triggers (a list that passes its press on);
    // the menu opens once.
    if (form_.Menu().mnupopup->isVisible())
        return;
    form_.PopupMenu(globalPos);
}

void WindowCommands::Minimize()
{
    form_.setWindowState(form_.windowState() | Qt::WindowMinimized);
}

void WindowCommands::Close()
{
    form_.close();
}

void WindowCommands::About()
{
    if (form_.Desk().message)
        form_.Desk().message(kAboutTitle.toString(), kAboutCredit.toString(), QMessageBox::NoIcon);
}

void WindowCommands::Mail()
{
    if (form_.Desk().openUrl)
        form_.Desk().openUrl(QUrl(kMailUrl.toString()));
}

void WindowCommands::ReadMe()
{
    // A missing guide is passed over in silence: some openers answer a
    // missing file with an error window of their own.
    const QString guide = QDir::currentPath() + QStringLiteral("/help.htm");
    if (!QFileInfo(guide).isFile() || !form_.Desk().openUrl)
        return;
    form_.Desk().openUrl(QUrl::fromLocalFile(guide));
}

}  // namespace corvan
