#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QObject>

#include "engine/file_path.h"

#include <functional>

namespace corvan {

class DirListBox;
class MediaEngine;

// The controls the playlist works on.
struct PlaylistControls {
    QListWidget* List1 = nullptr;  // the playlist
    QLineEdit* Text1 = nullptr;    // search box: receives the line clicked or played
    QLabel* Label1 = nullptr;      // progress of the media search
    QLabel* Label2 = nullptr;      // the media search's count
    QComboBox* Combo1 = nullptr;   // pattern of the media search
    DirListBox* Dir1 = nullptr;    // start folder of the media search
    QWidget* Drive1 = nullptr;
    QWidget* File1 = nullptr;
};

// The dialogs and message boxes the playlist commands show.
struct PlaylistDialogs {
    // Title, filter, start folder; the chosen name, "" when cancelled.
    std::function<QString(const QString&, const QString&, const QString&)> openFileName;
    std::function<QString(const QString&, const QString&, const QString&)> saveFileName;
    // Title, text, icon.
    std::function<void(const QString&, const QString&, QMessageBox::Icon)> message;
};

// The playlist's commands: the media search that fills it, the playlist
// files, and what clicks and keys in the list do.
class PlaylistCommands : public QObject {
    Q_OBJECT

public:
    static QString NothingFoundLine() { return QStringLiteral("No matching files found"); }
    // The playlist files offered: this player's own first, then those of
    // other players it reads (and, to save, M3U8, which it writes).
    static QString LoadFilter()
    {
        return QStringLiteral("Mp3 PlayList|*.sic|M3U PlayList|*.m3u;*.m3u8|PLS PlayList|*.pls");
    }
    static QString SaveFilter() { return QStringLiteral("Mp3 PlayList|*.sic|M3U8 PlayList|*.m3u8"); }

    PlaylistCommands(const PlaylistControls& controls, MediaEngine& engine, PlaylistDialogs dialogs,
                     QObject* parent = nullptr);

    // "Find Media": searches Dir1's folder for Combo1's pattern and puts
    // what it finds in the playlist.
    void FindMedia();
    // "Save List" and "Load List", each through its file dialog.
    void SavePlaylist();
    void LoadPlaylist();

    // A change of the list's selection: the selected line goes into Text1.
    void CopySelectionToSearch();
    // A double-click: the selected line is played as a path, and the list
    // takes the list layout.
    void PlaySelectedLine();
    // Fills the playlist with `entries` as "Load List" does (the playlist
    // comes into view) and plays the first as a double-click on it would.
    void PlayEntries(const QList<FilePath>& entries);
    // A key typed in the list: "+" runs the media search.
    void KeyTyped(const QString& text);

private:
    FilePath selectedEntry() const;
    void replaceEntries(const QList<FilePath>& entries);
    bool loadEntries(const FilePath& file, QString* reason = nullptr);

    PlaylistControls c_;
    MediaEngine& engine_;
    PlaylistDialogs dialogs_;
    bool refilling_ = false;
};

// The user's home folder, where the playlist dialogs open.
QString HomeFolder();

}  // namespace corvan
