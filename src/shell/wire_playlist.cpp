#include "playlist/list1.h"
#include "playlist/playlist_commands.h"
#include "shell/form2.h"
#include "shell/triggers.h"
#include "shell/wiring.h"

namespace corvan {

void WirePlaylist(Form2& form)
{
    Form2Controls& c = form.Controls();
    Form2Menu& m = form.Menu();
    Desktop& desk = form.Desk();

    // The desktop is asked through the form at each use, so a test that
    // swaps its answers after the window is built is still heard.
    PlaylistDialogs dialogs{
        [&desk](const QString& title, const QString& filter, const QString& dir) {
            return desk.openFileName ? desk.openFileName(title, filter, dir) : QString();
        },
        [&desk](const QString& title, const QString& filter, const QString& dir) {
            return desk.saveFileName ? desk.saveFileName(title, filter, dir) : QString();
        },
        [&desk](const QString& title, const QString& text, QMessageBox::Icon icon) {
            if (desk.message)
                desk.message(title, text, icon);
        },
    };
    auto* playlist = new PlaylistCommands({c.List1, c.Text1, c.Label1, c.Label2, c.Combo1, c.Dir1, c.Drive1, c.File1},
                                          form.Engine(), std::move(dialogs), &form);
    playlist->setObjectName(QStringLiteral("Playlist"));
    form.Commands().playlist = playlist;
    auto* list1 = new ListEvents(c.List1);
    list1->setObjectName(QStringLiteral("List1Events"));

    ConnectTriggers(
        {
            {m.mnupopupsavelist, Run(playlist, &PlaylistCommands::SavePlaylist)},
            {m.mnupopuploadlist, Run(playlist, &PlaylistCommands::LoadPlaylist)},
            {c.Command21, Run(playlist, &PlaylistCommands::FindMedia)},
        },
        playlist);

    QObject::connect(list1, &ListEvents::KeyTyped, playlist, &PlaylistCommands::KeyTyped);
    QObject::connect(c.List1, &QListWidget::itemSelectionChanged, playlist, &PlaylistCommands::CopySelectionToSearch);
    QObject::connect(c.List1, &QListWidget::itemClicked, playlist, &PlaylistCommands::CopySelectionToSearch);
    QObject::connect(list1, &ListEvents::DoubleClicked, playlist, &PlaylistCommands::PlaySelectedLine);
    QObject::connect(list1, &ListEvents::RightPressed, &form, &Form2::PopupMenu);
}

}  // namespace corvan
