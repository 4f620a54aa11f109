#include "audio/cd_door.h"
#include "shell/form2.h"
#include "shell/triggers.h"
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
    ConnectTriggers(
        {
            {c.Image4, Run(commands, &WindowCommands::Minimize)},
            {c.Image3, Run(commands, &WindowCommands::Close)},
            {c.Label13, Run(commands, &WindowCommands::Close)},
            {m.mnupopupexit, Run(commands, &WindowCommands::Close)},
            {m.mnupopupabout, Run(commands, &WindowCommands::About)},
            {m.mnumail, Run(commands, &WindowCommands::Mail)},
            {m.mnupopupreadme, Run(commands, &WindowCommands::ReadMe)},
        },
        commands);
    ConnectTriggers(
        {
            {m.mnupopupeject, Run(door, &CdDoor::Eject)},
            {m.mnupopupclose, Run(door, &CdDoor::CloseTray)},
        },
        door);
}

}  // namespace corvan
