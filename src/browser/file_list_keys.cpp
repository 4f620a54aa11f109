#include "browser/file_list_keys.h"

#include "engine/media_engine.h"

namespace corvan {

namespace {

void Run(const std::function<void()>& command)
{
    if (command)
        command();
}

}  // namespace

FileListKeys::FileListKeys(MediaEngine& engine, FileListKeyCommands commands, QObject* parent)
    : QObject(parent)
    , engine_(engine)
    , commands_(std::move(commands))
{
}

void FileListKeys::OnKeyTyped(const QString& text)
{
    for (const QChar ch : text)
        OnCharacter(ch);
}

void FileListKeys::OnCharacter(QChar ch)
{
    switch (ch.unicode()) {
    case u'+':
        // Straight to the engine, past the volume ladder; a value beyond
        // full is refused and the volume stays.
        engine_.SetVolume(engine_.Volume() + kVolumeStep);
        break;
    case u'-':
        engine_.SetVolume(engine_.Volume() - kVolumeStep);
        break;
    case u'\r':
        Run(commands_.play);
        break;
    case u'n':
        Run(commands_.next);
        break;
    case u'1':
        Run(commands_.seekBack);
        break;
    case u'2':
        Run(commands_.seekForward);
        break;
    case u'm':
        // The mute square is not told: it keeps showing the old state.
        engine_.SetMute(!engine_.Mute());
        break;
    default:
        break;
    }
}

}  // namespace corvan
