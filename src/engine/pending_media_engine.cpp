#include "engine/pending_media_engine.h"

#include <cmath>

namespace corvan {

PendingMediaEngine::PendingMediaEngine(QObject* parent)
    : MediaEngine(parent)
{
}

PendingMediaEngine::~PendingMediaEngine() = default;

void PendingMediaEngine::Attach(std::unique_ptr<MediaEngine> engine)
{
    if (engine_ || !engine)
        return;
    engine_ = std::move(engine);
    MediaEngine& e = *engine_;
    e.SetVolume(volume_);
    e.SetBalance(balance_);
    e.SetMute(mute_);
    e.SetRate(rate_);
    e.SetNextFile(std::move(next_));
    if (!fileName_.IsEmpty()) {
        // The file opens playing; a pause or a stop asked for since follows
        // at once, before anything is heard.
        e.SetFileName(fileName_);
        if (open_) {
            if (position_)
                e.SetCurrentPosition(*position_);
            if (state_ == PlayState::Paused)
                e.Pause();
            else if (state_ == PlayState::Stopped)
                e.Stop();
        }
    }
    connect(&e, &MediaEngine::EndOfStream, this, &MediaEngine::EndOfStream);
    connect(&e, &MediaEngine::TagsChanged, this, &MediaEngine::TagsChanged);
    connect(&e, &MediaEngine::FileJoined, this, &MediaEngine::FileJoined);
}

bool PendingMediaEngine::SetFileName(const FilePath& path)
{
    if (engine_)
        return engine_->SetFileName(path);
    fileName_ = path;
    open_ = NamesPlayableFile(path);
    state_ = open_ ? PlayState::Playing : PlayState::Stopped;
    position_.reset();
    return open_;
}

FilePath PendingMediaEngine::FileName() const
{
    return engine_ ? engine_->FileName() : fileName_;
}

void PendingMediaEngine::Play()
{
    if (engine_)
        return engine_->Play();
    if (open_)
        state_ = PlayState::Playing;
}

void PendingMediaEngine::Pause()
{
    if (engine_)
        return engine_->Pause();
    if (open_)
        state_ = PlayState::Paused;
}

void PendingMediaEngine::Stop()
{
    if (engine_)
        return engine_->Stop();
    if (open_) {
        state_ = PlayState::Stopped;
        position_.reset();
    }
}

MediaEngine::PlayState PendingMediaEngine::State() const
{
    if (engine_)
        return engine_->State();
    return open_ ? state_ : PlayState::Stopped;
}

long PendingMediaEngine::Volume() const
{
    return engine_ ? engine_->Volume() : volume_;
}

bool PendingMediaEngine::SetVolume(long hundredthsDb)
{
    if (engine_)
        return engine_->SetVolume(hundredthsDb);
    if (hundredthsDb < kVolumeMin || hundredthsDb > kVolumeMax)
        return false;
    volume_ = hundredthsDb;
    return true;
}

int PendingMediaEngine::Balance() const
{
    return engine_ ? engine_->Balance() : balance_;
}

void PendingMediaEngine::SetBalance(int balance)
{
    if (engine_)
        return engine_->SetBalance(balance);
    balance_ = qBound(kBalanceLeft, balance, kBalanceRight);
}

double PendingMediaEngine::CurrentPosition() const
{
    if (engine_)
        return engine_->CurrentPosition();
    return open_ ? position_.value_or(0.0) : 0.0;
}

bool PendingMediaEngine::SetCurrentPosition(double seconds)
{
    if (engine_)
        return engine_->SetCurrentPosition(seconds);
    // The length is not known yet: a position past the end is the real
    // engine's to refuse.
    if (!open_ || !std::isfinite(seconds) || seconds < 0)
        return false;
    position_ = seconds;
    return true;
}

double PendingMediaEngine::Duration() const
{
    return engine_ ? engine_->Duration() : 0.0;
}

double PendingMediaEngine::Rate() const
{
    return engine_ ? engine_->Rate() : rate_;
}

bool PendingMediaEngine::SetRate(double rate)
{
    if (engine_)
        return engine_->SetRate(rate);
    if (rate == rate_)
        return true;
    if (!(rate >= kRateMin && rate <= kRateMax))
        return false;
    rate_ = rate;
    return true;
}

bool PendingMediaEngine::Mute() const
{
    return engine_ ? engine_->Mute() : mute_;
}

void PendingMediaEngine::SetMute(bool mute)
{
    if (engine_)
        return engine_->SetMute(mute);
    mute_ = mute;
}

std::optional<QString> PendingMediaEngine::ClipTitle() const
{
    if (engine_)
        return engine_->ClipTitle();
    return open_ ? std::optional<QString>(QString()) : std::nullopt;
}

void PendingMediaEngine::SetNextFile(NextFile next)
{
    if (engine_)
        return engine_->SetNextFile(std::move(next));
    next_ = std::move(next);
}

std::optional<QString> PendingMediaEngine::ClipAuthor() const
{
    if (engine_)
        return engine_->ClipAuthor();
    return open_ ? std::optional<QString>(QString()) : std::nullopt;
}

}  // namespace corvan
