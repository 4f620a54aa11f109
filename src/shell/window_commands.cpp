#include "shell/window_commands.h"

#include "shell/form2.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QWindow>

namespace corvan {

WindowCommands::WindowCommands(Form2& form, SystemMove systemMove)
    : QObject(&form)
    , form_(form)
    , systemMove_(std::move(systemMove))
{
    setObjectName(QStringLiteral("WindowCommands"));
}

bool WindowCommands::StartSystemMove(QWindow& window)
{
    return window.startSystemMove();
}

void WindowCommands::SurfacePressed(Qt::MouseButton button, const QPoint& globalPos)
{
    if (button == Qt::LeftButton)
        Move(globalPos);
    else if (button == Qt::RightButton)
        Popup(globalPos);
}

void WindowCommands::ControlPressed(Qt::MouseButtons buttons, const QPoint& globalPos)
{
    if (buttons.testFlag(Qt::RightButton))
        Popup(globalPos);
}

void WindowCommands::Move(const QPoint& globalPos)
{
    emit Moving();
    // Must run inside the press: the window manager takes over the pointer
    // grab that this press started.
    QWindow* window = form_.windowHandle();
    if (window && systemMove_ && systemMove_(*window))
        return;
    // Refused (no window manager, a window system without the request): the
    // press's own grab still brings every move to the window until the
    // release, and the window follows the pointer by itself.
    if (!dragFrom_)
        form_.installEventFilter(this);
    dragFrom_ = globalPos;
    windowFrom_ = form_.pos();
}

bool WindowCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &form_ || !dragFrom_)
        return false;
    if (event->type() == QEvent::MouseMove) {
        auto* move = static_cast<QMouseEvent*>(event);
        if (move->buttons().testFlag(Qt::LeftButton)) {
            form_.move(windowFrom_ + move->globalPosition().toPoint() - *dragFrom_);
            return true;
        }
    } else if (event->type() != QEvent::MouseButtonRelease) {
        return false;
    }
    // The button is up: the move is over. (A release lost to another window
    // leaves the filter in place; the next press on the picture starts anew.)
    dragFrom_.reset();
    form_.removeEventFilter(this);
    return false;
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
