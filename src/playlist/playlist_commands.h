#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QObject>

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
    static QString ListFilter() { return QStringLiteral("Mp3 PlayList|*.sic"); }

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
    // A key typed in the list: "+" runs the media search.
    void KeyTyped(const QString& text);

private:
    QString selectedLine() const;
    void replaceLines(const QStringList& lines);
    bool loadLines(const QString& fileName);

    PlaylistControls c_;
    MediaEngine& engine_;
    PlaylistDialogs dialogs_;
    bool refilling_ = false;
};

// The user's home folder, from the account database.
QString HomeFolder();

}  // namespace corvan
