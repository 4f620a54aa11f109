#pragma once

#include "engine/file_path.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace corvan {

// The playback component of the main window. Every call comes from the
// user-interface thread, and EndOfStream is emitted on it.
//
// Writes that can be refused return false and leave the value in force;
// the others cannot fail, with or without a file open.
class MediaEngine : public QObject {
    Q_OBJECT

public:
    static constexpr long kVolumeMin = -10000;
    static constexpr long kVolumeMax = 0;
    static constexpr int kBalanceLeft = -10000;
    static constexpr int kBalanceRight = 10000;
    // Speeds outside this range are refused; the program uses 0.3 to 2.0.
    static constexpr double kRateMin = 0.1;
    static constexpr double kRateMax = 4.0;

    using QObject::QObject;
    ~MediaEngine() override = default;

    // Opens the file and starts it from its beginning, replacing what played.
    // Returns at once; false when the path cannot name a playable file (empty,
    // missing, a folder). A file that turns out to be undecodable simply does
    // not play: no EndOfStream follows.
    virtual bool SetFileName(const FilePath& path) = 0;
    virtual FilePath FileName() const = 0;

    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;

    // Where the open file stands. Stopped also with nothing open, at the
    // file's end and after a file failed. An engine that cannot tell says
    // Stopped.
    enum class PlayState { Stopped, Paused, Playing };
    virtual PlayState State() const { return PlayState::Stopped; }

    // Hundredths of a decibel, kVolumeMin..kVolumeMax.
    virtual long Volume() const = 0;
    virtual bool SetVolume(long hundredthsDb) = 0;

    // kBalanceLeft (left only) .. kBalanceRight (right only); out-of-range
    // values are held at the nearest end.
    virtual int Balance() const = 0;
    virtual void SetBalance(int balance) = 0;

    // Seconds from the start of the open clip; 0 with nothing open.
    virtual double CurrentPosition() const = 0;
    // Refused (false) before 0, with nothing open, or past the end.
    virtual bool SetCurrentPosition(double seconds) = 0;
    virtual double Duration() const = 0;

    // Playback speed with the pitch kept; holds for files opened later.
    virtual double Rate() const = 0;
    virtual bool SetRate(double rate) = 0;

    virtual bool Mute() const = 0;
    virtual void SetMute(bool mute) = 0;

    // Tags of the open clip: nullopt with nothing open, possibly empty
    // right after SetFileName while the tags are still being read.
    virtual std::optional<QString> ClipTitle() const = 0;
    virtual std::optional<QString> ClipAuthor() const = 0;

    // Gapless play: `next` is asked, on this thread, shortly before the open
    // file runs out, while its end still plays; the file it names follows
    // without a gap, FileJoined telling when it starts to be heard (no
    // EndOfStream comes for the file before). Nothing named, or an engine
    // that cannot join files, and the file ends as always. Empty: never
    // asked.
    using NextFile = std::function<std::optional<FilePath>()>;
    virtual void SetNextFile(NextFile next) { (void)next; }

signals:
    // Once per end of the open file. The number carries no meaning.
    void EndOfStream(int result);
    // The open clip's title or author changed: its tags were read.
    void TagsChanged();
    // The file named by the SetNextFile question followed the one before
    // without a gap and starts to be heard; it is now the open file.
    void FileJoined();
};

// Whether `path` can name a file to play: an existing, readable, non-empty
// regular file (not a folder, and not a pipe or a device, whose reading
// would wait for ever).
bool NamesPlayableFile(const FilePath& path);

}  // namespace corvan
