#pragma once

#include <QObject>

#include <functional>

namespace corvan {

class FileListBox;
class MediaEngine;

// The commands the file list's keys lead to beyond the engine's own values.
struct FileListKeyCommands {
    std::function<void()> play;         // Enter
    std::function<void()> next;         // n
    std::function<void()> seekBack;     // 1
    std::function<void()> seekForward;  // 2
};

// Single-key commands of the file list. Each typed character is compared
// exactly ("N" and "M" do nothing), and the key still reaches the list's own
// type-ahead afterwards, so "n" both starts the next track and moves the
// selection to the next name beginning with n.
class FileListKeys : public QObject {
    Q_OBJECT

public:
    static constexpr long kVolumeStep = 200;

    FileListKeys(MediaEngine& engine, FileListKeyCommands commands, QObject* parent = nullptr);

    void OnKeyTyped(const QString& text);

private:
    void OnCharacter(QChar ch);

    MediaEngine& engine_;
    FileListKeyCommands commands_;
};

}  // namespace corvan
