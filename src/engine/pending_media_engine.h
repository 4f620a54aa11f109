#pragma once

#include "engine/media_engine.h"

#include <memory>
#include <optional>

namespace corvan {

// Stands in for the engine while the real one is still being made: the
// window is on the screen and answers from its first frame, while GStreamer
// loads behind it. It keeps what it is asked meanwhile (the file to play,
// play, pause or stop, a position, volume, balance, mute and speed) and
// refuses what the real engine would refuse; Attach hands all of it over,
// so nothing a person did before the engine was there is lost. From then on
// every call passes through.
class PendingMediaEngine final : public MediaEngine {
    Q_OBJECT

public:
    explicit PendingMediaEngine(QObject* parent = nullptr);
    ~PendingMediaEngine() override;

    // Takes over `engine` and brings it to the state asked for so far. Once
    // only; a null engine is ignored.
    void Attach(std::unique_ptr<MediaEngine> engine);
    MediaEngine* Attached() const { return engine_.get(); }

    bool SetFileName(const FilePath& path) override;
    FilePath FileName() const override;
    void Play() override;
    void Pause() override;
    void Stop() override;
    PlayState State() const override;
    long Volume() const override;
    bool SetVolume(long hundredthsDb) override;
    int Balance() const override;
    void SetBalance(int balance) override;
    double CurrentPosition() const override;
    bool SetCurrentPosition(double seconds) override;
    double Duration() const override;
    double Rate() const override;
    bool SetRate(double rate) override;
    bool Mute() const override;
    void SetMute(bool mute) override;
    std::optional<QString> ClipTitle() const override;
    std::optional<QString> ClipAuthor() const override;
    void SetNextFile(NextFile next) override;

private:
    std::unique_ptr<MediaEngine> engine_;

    // What was asked before the engine came.
    FilePath fileName_;
    bool open_ = false;
    PlayState state_ = PlayState::Stopped;
    std::optional<double> position_;
    long volume_ = 0;
    int balance_ = 0;
    bool mute_ = false;
    double rate_ = 1.0;
    NextFile next_;
};

}  // namespace corvan
