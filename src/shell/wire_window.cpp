#include "audio/cd_door.h"
#include "shell/form2.h"
#include "shell/window_commands.h"
#include "shell/wiring.h"

namespace corvan {

void WireWindowCommands(Form2& form)
{
    Form2Controls& c = form.Controls();
    Form2Menu& m = form.Menu();
    auto* commands = new WindowCommands(form);
    auto* door = new CdDoor(DefaultCdDevices(), &form);

    QObject::connect(&form, &Form2::SurfacePressed, commands, &WindowCommands::SurfacePressed);

    // Right presses on the title and the browser's lists open the popup menu;
    // a left press on the title does nothing. The playlist wires its own.
    QObject::connect(c.Label1, &ClickLabel::Pressed, commands, &WindowCommands::ControlPressed);
    QObject::connect(c.File1, &FileListBox::RightPressed, commands, &WindowCommands::Popup);
    QObject::connect(c.Dir1, &DirListBox::RightPressed, commands, &WindowCommands::Popup);

    // "Exit" (Label13) lies outside the window where no click reaches it; it
    // closes like the hot spot all the same. "Mini" (Label19) and "Ma&xi"
    // (Command4) have no layout to switch to, and "&Task" and "&Exit" (the
    // accelerator buttons Command5 and Command7) do nothing: they get no row.
    const struct {
        ClickLabel* trigger;
        void (WindowCommands::*command)();
    } clicks[] = {
        {c.Image4, &WindowCommands::Minimize},
        {c.Image3, &WindowCommands::Close},
        {c.Label13, &WindowCommands::Close},
    };
    for (const auto& row : clicks)
        QObject::connect(row.trigger, &ClickLabel::Clicked, commands, row.command);

    const struct {
        QAction* item;
        void (WindowCommands::*command)();
    } items[] = {
        {m.mnupopupexit, &WindowCommands::Close},
        {m.mnupopupabout, &WindowCommands::About},
        {m.mnumail, &WindowCommands::Mail},
        {m.mnupopupreadme, &WindowCommands::ReadMe},
    };
    for (const auto& row : items)
        QObject::connect(row.item, &QAction::triggered, commands, row.command);

    const struct {
        QAction* item;
        void (CdDoor::*command)();
    } doorItems[] = {
        {m.mnupopupeject, &CdDoor::Eject},
        {m.mnupopupclose, &CdDoor::CloseTray},
    };
    for (const auto& row : doorItems)
        QObject::connect(row.item, &QAction::triggered, door, row.command);
}

}  // namespace corvan
