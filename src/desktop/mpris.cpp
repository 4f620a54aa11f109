#include "desktop/mpris.h"

#include "desktop/open_in_window.h"

#include "audio/balance_speed.h"
#include "playback/transport.h"
#include "shell/form2.h"

#include <QAction>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDBusMessage>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cmath>

namespace corvan {

namespace {

QString PropertiesInterface()
{
    return QStringLiteral("org.freedesktop.DBus.Properties");
}

}  // namespace

double VolumeToFactor(long hundredthsDb)
{
    if (hundredthsDb <= MediaEngine::kVolumeMin)
        return 0.0;
    return std::pow(10.0, static_cast<double>(std::min(hundredthsDb, MediaEngine::kVolumeMax)) / 2000.0);
}

long FactorToVolume(double factor)
{
    if (!(factor > 0))
        return MediaEngine::kVolumeMin;
    if (factor >= 1)
        return MediaEngine::kVolumeMax;
    const long volume = std::lround(2000.0 * std::log10(factor));
    return std::clamp(volume, MediaEngine::kVolumeMin, MediaEngine::kVolumeMax);
}

std::optional<std::size_t> NearestSpeed(double rate)
{
    if (!(rate > 0) || !std::isfinite(rate))
        return std::nullopt;
    const auto& rates = BalanceSpeed::kSpeedRates;
    std::size_t best = 0;
    for (std::size_t i = 1; i < rates.size(); ++i) {
        if (std::abs(rates[i] - rate) < std::abs(rates[best] - rate))
            best = i;
    }
    return best;
}

qlonglong ToMicroseconds(double seconds)
{
    if (!std::isfinite(seconds))
        return 0;
    return std::llround(seconds * 1e6);
}

QDBusObjectPath TrackId(const FilePath& path)
{
    if (path.IsEmpty())
        return QDBusObjectPath(kMprisNoTrack.toString());
    const QByteArray digest = QCryptographicHash::hash(path.Bytes(), QCryptographicHash::Sha1);
    return QDBusObjectPath(QStringLiteral("/org/corvan/player/track/") + QString::fromLatin1(digest.left(8).toHex()));
}

QVariantMap TrackMetadata(const TrackInfo& track)
{
    QVariantMap map;
    if (track.path.IsEmpty())
        return map;
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(TrackId(track.path)));
    map.insert(QStringLiteral("xesam:title"), track.title.isEmpty() ? track.path.Name().Text() : track.title);
    if (!track.author.isEmpty())
        map.insert(QStringLiteral("xesam:artist"), QStringList{track.author});
    // Escaped from the bytes, so that the URL names the same file.
    map.insert(QStringLiteral("xesam:url"), QString::fromLatin1(track.path.Uri()));
    if (track.duration > 0)
        map.insert(QStringLiteral("mpris:length"), ToMicroseconds(track.duration));
    return map;
}

bool PositionWatch::Jumped(double position, double now, bool playing, double rate)
{
    bool jumped = false;
    if (position_ && playing_ == playing) {
        const double expected = *position_ + (playing ? (now - time_) * rate : 0.0);
        jumped = std::abs(position - expected) > kTolerance;
    }
    Reset(position, now, playing);
    return jumped;
}

void PositionWatch::Reset(double position, double now, bool playing)
{
    position_ = position;
    time_ = now;
    playing_ = playing;
}

Mpris::Mpris(Form2& form)
    : QObject(&form)
    , form_(form)
    , engine_(form.Engine())
{
    setObjectName(QStringLiteral("Mpris"));
    clock_.start();
    told_ = take();
    watch_.Reset(engine_.CurrentPosition(), clockSeconds(), engine_.State() == MediaEngine::PlayState::Playing);
}

void Mpris::Raise()
{
    form_.show();
    form_.setWindowState(form_.windowState() & ~Qt::WindowMinimized);
    form_.raise();
    form_.activateWindow();
}

void Mpris::Quit()
{
    QAction* exit = form_.Menu().mnupopupexit;
    QMetaObject::invokeMethod(
        exit, [exit] { exit->trigger(); }, Qt::QueuedConnection);
}

void Mpris::Play()
{
    if (fileOpen())
        form_.Menu().mnupopupresume->trigger();
    else
        form_.Controls().Command13->click();
    Refresh();
}

void Mpris::Pause()
{
    if (engine_.State() == MediaEngine::PlayState::Stopped)
        return;
    form_.Controls().Command14->click();
    Refresh();
}

void Mpris::PlayPause()
{
    if (engine_.State() == MediaEngine::PlayState::Playing)
        Pause();
    else
        Play();
}

void Mpris::Stop()
{
    form_.Controls().Command15->click();
    Refresh();
}

void Mpris::Next()
{
    form_.Controls().Command11->click();
    Refresh();
}

void Mpris::Previous()
{
    form_.Controls().Command12->click();
    Refresh();
}

void Mpris::Seek(qlonglong offsetUs)
{
    if (!fileOpen())
        return;
    const double target = engine_.CurrentPosition() + static_cast<double>(offsetUs) / 1e6;
    if (target > engine_.Duration()) {
        Next();
        return;
    }
    seekTo(std::max(target, 0.0));
}

void Mpris::SetPosition(const QDBusObjectPath& trackId, qlonglong positionUs)
{
    if (!fileOpen() || trackId != TrackId(engine_.FileName()))
        return;
    const double target = static_cast<double>(positionUs) / 1e6;
    if (target < 0 || target > engine_.Duration())
        return;
    seekTo(target);
}

void Mpris::OpenUri(const QString& uri)
{
    // As the same file given on the command line: its folder listed, and it
    // starts there as a double-click would.
    const FilePath path = FilePath::FromUri(uri.toUtf8());
    if (path.IsEmpty())
        return;
    OpenInWindow(form_, PlanOpening({path}));
    Refresh();
}

void Mpris::seekTo(double seconds)
{
    if (!engine_.SetCurrentPosition(seconds))
        return;
    const double position = engine_.CurrentPosition();
    watch_.Reset(position, clockSeconds(), engine_.State() == MediaEngine::PlayState::Playing);
    emit Seeked(ToMicroseconds(position));
}

QString Mpris::PlaybackStatus() const
{
    switch (engine_.State()) {
    case MediaEngine::PlayState::Playing:
        return QStringLiteral("Playing");
    case MediaEngine::PlayState::Paused:
        return QStringLiteral("Paused");
    case MediaEngine::PlayState::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QString Mpris::LoopStatus() const
{
    return form_.Controls().Check1->checkState() == Qt::Checked ? QStringLiteral("Track") : QStringLiteral("None");
}

void Mpris::SetLoopStatus(const QString& status)
{
    bool want = false;
    if (status == u"Track")
        want = true;
    else if (status != u"None")
        return;
    if ((LoopStatus() == u"Track") != want)
        form_.Menu().mnupopupoptionsrepeat->trigger();
    Refresh();
}

double Mpris::Rate() const
{
    if (const BalanceSpeed* speed = form_.Commands().speed)
        return speed->MarkedRate();
    return engine_.Rate();
}

void Mpris::SetRate(double rate)
{
    if (rate == 0) {
        Pause();
        return;
    }
    const auto index = NearestSpeed(rate);
    if (!index)
        return;
    speedItem(*index)->trigger();
    Refresh();
}

QAction* Mpris::speedItem(std::size_t index) const
{
    Form2Menu& m = form_.Menu();
    const std::array<QAction*, BalanceSpeed::kSpeedRates.size()> items{m.mnupopup25, m.mnupopup50, m.mnupopup100,
                                                                       m.mnupopup150, m.mnupopup200};
    return items.at(index);
}

bool Mpris::Shuffle() const
{
    return form_.Controls().Check3->checkState() == Qt::Checked;
}

void Mpris::SetShuffle(bool on)
{
    if (Shuffle() != on)
        form_.Menu().mnupopupoptionsshufle->trigger();
    Refresh();
}

bool Mpris::fileOpen() const
{
    return !engine_.FileName().IsEmpty() && engine_.Duration() > 0;
}

QVariantMap Mpris::Metadata() const
{
    if (!fileOpen())
        return {};
    return TrackMetadata({engine_.FileName(), engine_.ClipTitle().value_or(QString()),
                          engine_.ClipAuthor().value_or(QString()), engine_.Duration()});
}

double Mpris::Volume() const
{
    return VolumeToFactor(engine_.Volume());
}

void Mpris::SetVolume(double factor)
{
    if (std::isnan(factor))
        return;
    engine_.SetVolume(FactorToVolume(factor));
    Refresh();
}

qlonglong Mpris::Position() const
{
    return ToMicroseconds(engine_.CurrentPosition());
}

double Mpris::MinimumRate() const
{
    return BalanceSpeed::kSpeedRates.front();
}

double Mpris::MaximumRate() const
{
    return BalanceSpeed::kSpeedRates.back();
}

double Mpris::clockSeconds() const
{
    return static_cast<double>(clock_.elapsed()) / 1000.0;
}

Mpris::Snapshot Mpris::take() const
{
    Snapshot s;
    s.file = engine_.FileName();
    s.status = PlaybackStatus();
    s.metadata = Metadata();
    s.volume = Volume();
    s.rate = Rate();
    s.loop = LoopStatus();
    s.shuffle = Shuffle();
    return s;
}

void Mpris::Refresh()
{
    const Snapshot now = take();
    QVariantMap changed;
    if (now.status != told_.status)
        changed.insert(QStringLiteral("PlaybackStatus"), now.status);
    if (now.metadata != told_.metadata)
        changed.insert(QStringLiteral("Metadata"), now.metadata);
    if (now.volume != told_.volume)
        changed.insert(QStringLiteral("Volume"), now.volume);
    if (now.rate != told_.rate)
        changed.insert(QStringLiteral("Rate"), now.rate);
    if (now.loop != told_.loop)
        changed.insert(QStringLiteral("LoopStatus"), now.loop);
    if (now.shuffle != told_.shuffle)
        changed.insert(QStringLiteral("Shuffle"), now.shuffle);
    const bool sameFile = now.file == told_.file;
    told_ = now;
    if (!changed.isEmpty())
        emit PropertiesChanged(kMprisPlayerInterface.toString(), changed);

    // A new file starts at its beginning: the new metadata says so, and a
    // jump back to 0 is no seek.
    const double position = engine_.CurrentPosition();
    const bool playing = engine_.State() == MediaEngine::PlayState::Playing;
    if (!sameFile)
        watch_.Reset(position, clockSeconds(), playing);
    else if (watch_.Jumped(position, clockSeconds(), playing, engine_.Rate()))
        emit Seeked(ToMicroseconds(position));
}

MprisRootAdaptor::MprisRootAdaptor(Mpris* player)
    : QDBusAbstractAdaptor(player)
    , player_(player)
{
}

QStringList MprisRootAdaptor::supportedUriSchemes() const
{
    return {QStringLiteral("file")};
}

QStringList MprisRootAdaptor::supportedMimeTypes() const
{
    return {QStringLiteral("audio/mpeg"), QStringLiteral("audio/x-wav"), QStringLiteral("audio/x-ms-wma"),
            QStringLiteral("video/x-ms-wmv"), QStringLiteral("audio/midi")};
}

void MprisRootAdaptor::Raise()
{
    player_->Raise();
}
void MprisRootAdaptor::Quit()
{
    player_->Quit();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(Mpris* player)
    : QDBusAbstractAdaptor(player)
    , player_(player)
{
    connect(player, &Mpris::Seeked, this, &MprisPlayerAdaptor::Seeked);
}

QString MprisPlayerAdaptor::playbackStatus() const
{
    player_->Refresh();
    return player_->PlaybackStatus();
}

QString MprisPlayerAdaptor::loopStatus() const
{
    return player_->LoopStatus();
}
void MprisPlayerAdaptor::setLoopStatus(const QString& status)
{
    player_->SetLoopStatus(status);
}
double MprisPlayerAdaptor::rate() const
{
    return player_->Rate();
}
void MprisPlayerAdaptor::setRate(double rate)
{
    player_->SetRate(rate);
}
bool MprisPlayerAdaptor::shuffle() const
{
    return player_->Shuffle();
}
void MprisPlayerAdaptor::setShuffle(bool on)
{
    player_->SetShuffle(on);
}

QVariantMap MprisPlayerAdaptor::metadata() const
{
    player_->Refresh();
    return player_->Metadata();
}

double MprisPlayerAdaptor::volume() const
{
    player_->Refresh();
    return player_->Volume();
}

void MprisPlayerAdaptor::setVolume(double factor)
{
    player_->SetVolume(factor);
}
qlonglong MprisPlayerAdaptor::position() const
{
    return player_->Position();
}
double MprisPlayerAdaptor::minimumRate() const
{
    return player_->MinimumRate();
}
double MprisPlayerAdaptor::maximumRate() const
{
    return player_->MaximumRate();
}

void MprisPlayerAdaptor::Next()
{
    player_->Next();
}
void MprisPlayerAdaptor::Previous()
{
    player_->Previous();
}
void MprisPlayerAdaptor::Pause()
{
    player_->Pause();
}
void MprisPlayerAdaptor::PlayPause()
{
    player_->PlayPause();
}
void MprisPlayerAdaptor::Stop()
{
    player_->Stop();
}
void MprisPlayerAdaptor::Play()
{
    player_->Play();
}
void MprisPlayerAdaptor::Seek(qlonglong Offset)
{
    player_->Seek(Offset);
}
void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position)
{
    player_->SetPosition(TrackId, Position);
}
void MprisPlayerAdaptor::OpenUri(const QString& Uri)
{
    player_->OpenUri(Uri);
}

bool PublishMpris(Mpris& player, QDBusConnection bus)
{
    if (!bus.isConnected())
        return false;
    if (!player.findChild<MprisPlayerAdaptor*>(QString(), Qt::FindDirectChildrenOnly)) {
        new MprisRootAdaptor(&player);
        new MprisPlayerAdaptor(&player);
    }
    const QString path = kMprisObjectPath.toString();
    if (!bus.registerObject(path, &player, QDBusConnection::ExportAdaptors))
        return false;
    const QString name = kMprisServiceName.toString();
    if (!bus.registerService(name)
        && !bus.registerService(name + QStringLiteral(".instance")
                                + QString::number(QCoreApplication::applicationPid()))) {
        bus.unregisterObject(path);
        return false;
    }
    QObject::connect(&player, &Mpris::PropertiesChanged, &player,
                     [bus, path](const QString& interface, const QVariantMap& changed) mutable {
                         QDBusMessage signal = QDBusMessage::createSignal(path, PropertiesInterface(),
                                                                          QStringLiteral("PropertiesChanged"));
                         signal << interface << changed << QStringList();
                         bus.send(signal);
                     });
    return true;
}

bool PublishOnSessionBus(Mpris& player)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && PublishMpris(player, bus);
}

}  // namespace corvan
