#pragma once

#include "engine/media_engine.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <cstddef>
#include <optional>

class QAction;

namespace corvan {

class Form2;

// The desktop's remote control of a media player (MPRIS 2): keyboard media
// keys, the sound menus of desktops and command-line tools reach the player
// through it.
inline constexpr QStringView kMprisServiceName = u"org.mpris.MediaPlayer2.corvan";
inline constexpr QStringView kMprisObjectPath = u"/org/mpris/MediaPlayer2";
inline constexpr QStringView kMprisRootInterface = u"org.mpris.MediaPlayer2";
inline constexpr QStringView kMprisPlayerInterface = u"org.mpris.MediaPlayer2.Player";
inline constexpr QStringView kMprisIdentity = u"Corvan Media Player";
inline constexpr QStringView kMprisDesktopEntry = u"corvan-player";
inline constexpr QStringView kMprisNoTrack = u"/org/mpris/MediaPlayer2/TrackList/NoTrack";

// The desktop's volume is a factor of amplitude, 0 (silent) to 1 (full); the
// engine's is in hundredths of a decibel, -10000..0, and scales by
// 10^(volume / 2000). The engine's floor reads as silence.
double VolumeToFactor(long hundredthsDb);
// Factors above 1 give full volume, and 0 or less the engine's floor.
long FactorToVolume(double factor);

// The speed item (index into BalanceSpeed::kSpeedRates) whose rate lies
// nearest `rate`; nullopt for a rate that is no speed at all (0 or less,
// not a number).
std::optional<std::size_t> NearestSpeed(double rate);

qlonglong ToMicroseconds(double seconds);

// What the desktop is told about the open file.
struct TrackInfo {
    FilePath path;
    QString title;   // the title tag; empty when the file has none (yet)
    QString author;  // the artist tag; empty when the file has none (yet)
    double duration = 0;
};
// The track's id: an object path that depends on the file's path alone, so
// the same file keeps its id however often it starts again.
QDBusObjectPath TrackId(const FilePath& path);
// The desktop's metadata: id, title (the file's name when the title tag is
// empty), artist, URL and length.
QVariantMap TrackMetadata(const TrackInfo& track);

// Tells a jump of the position (a seek from the window, a restart of the same
// file) from playback moving it on. Fed the position at each look, with the
// time of the look, whether it played since the last look and at what rate.
class PositionWatch {
public:
    // Jumps smaller than this pass for playback's own unevenness.
    static constexpr double kTolerance = 1.0;  // seconds

    // True when `position` is not where the last look and the time since
    // would put it. The first look, and a look after the playing state
    // changed, only take the position in.
    bool Jumped(double position, double now, bool playing, double rate);
    // Takes the position in as it is after a jump already told.
    void Reset(double position, double now, bool playing);

private:
    std::optional<double> position_;
    double time_ = 0;
    bool playing_ = false;
};

// The remote control's commands and properties, worked on the window's own
// controls as a person would use them, so that every mirror in the window
// follows: the play button, the popup's "&Resume", the speed items, the
// repeat and shuffle items. It knows nothing of the bus (PublishMpris).
class Mpris : public QObject {
    Q_OBJECT

public:
    explicit Mpris(Form2& form);

    // The window to the front, out of its minimized state.
    void Raise();
    // The same unload as the popup's "&Exit"; it happens once the event loop
    // runs again, so that the caller's answer still goes out.
    void Quit();

    // "&Resume" when a file is open (paused, stopped or at its end), else the
    // play button: the selected entry starts.
    void Play();
    // The pause button, while something plays or is paused.
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    // Moves by `offsetUs` microseconds; before the start means the start,
    // past the end means the next track.
    void Seek(qlonglong offsetUs);
    // To `positionUs` of the track `trackId`, if that is the open track and
    // the position lies within it.
    void SetPosition(const QDBusObjectPath& trackId, qlonglong positionUs);
    // Plays a local file ("file:" URL) outside the queue.
    void OpenUri(const QString& uri);

    QString PlaybackStatus() const;
    // "Track" while the repeat box is on, else "None". "Playlist" has no
    // option of its own and is ignored.
    QString LoopStatus() const;
    void SetLoopStatus(const QString& status);
    // The marked speed.
    double Rate() const;
    // The speed item nearest `rate`; 0 pauses.
    void SetRate(double rate);
    bool Shuffle() const;
    void SetShuffle(bool on);
    QVariantMap Metadata() const;
    double Volume() const;
    void SetVolume(double factor);
    qlonglong Position() const;
    double MinimumRate() const;
    double MaximumRate() const;

    // Looks again at the engine and the controls, and tells what changed
    // since the last look: properties by PropertiesChanged, a jump of the
    // position by Seeked. Nothing changed, nothing told.
    void Refresh();

signals:
    // `changed` holds the new values of the properties of `interface` that
    // changed.
    void PropertiesChanged(const QString& interface, const QVariantMap& changed);
    void Seeked(qlonglong positionUs);

private:
    struct Snapshot {
        FilePath file;
        QString status;
        QVariantMap metadata;
        double volume = 0;
        double rate = 1;
        QString loop;
        bool shuffle = false;
    };

    Snapshot take() const;
    bool fileOpen() const;
    void seekTo(double seconds);
    QAction* speedItem(std::size_t index) const;
    double clockSeconds() const;

    Form2& form_;
    MediaEngine& engine_;
    Snapshot told_;
    PositionWatch watch_;
    QElapsedTimer clock_;
};

// The two D-Bus faces of Mpris. They forward to it, nothing more.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)

public:
    explicit MprisRootAdaptor(Mpris* player);

    bool canQuit() const { return true; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return false; }
    QString identity() const { return kMprisIdentity.toString(); }
    QString desktopEntry() const { return kMprisDesktopEntry.toString(); }
    QStringList supportedUriSchemes() const;
    QStringList supportedMimeTypes() const;

public slots:
    void Raise();
    void Quit();

private:
    Mpris* player_;
};

class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(QString LoopStatus READ loopStatus WRITE setLoopStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(bool Shuffle READ shuffle WRITE setShuffle)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(double MinimumRate READ minimumRate)
    Q_PROPERTY(double MaximumRate READ maximumRate)
    Q_PROPERTY(bool CanGoNext READ canControl)
    Q_PROPERTY(bool CanGoPrevious READ canControl)
    Q_PROPERTY(bool CanPlay READ canControl)
    Q_PROPERTY(bool CanPause READ canControl)
    Q_PROPERTY(bool CanSeek READ canControl)
    Q_PROPERTY(bool CanControl READ canControl)

public:
    explicit MprisPlayerAdaptor(Mpris* player);

    // Each read looks at the player first, so an answer is never older than
    // the change signals already sent.
    QString playbackStatus() const;
    QString loopStatus() const;
    void setLoopStatus(const QString& status);
    double rate() const;
    void setRate(double rate);
    bool shuffle() const;
    void setShuffle(bool on);
    QVariantMap metadata() const;
    double volume() const;
    void setVolume(double factor);
    qlonglong position() const;
    double minimumRate() const;
    double maximumRate() const;
    bool canControl() const { return true; }

public slots:
    void Next();
    void Previous();
    void Pause();
    void PlayPause();
    void Stop();
    void Play();
    void Seek(qlonglong Offset);
    void SetPosition(const QDBusObjectPath& TrackId, qlonglong Position);
    void OpenUri(const QString& Uri);

signals:
    void Seeked(qlonglong Position);

private:
    Mpris* player_;
};

// Puts `player` on `bus` under kMprisServiceName (a second player running at
// the same time takes kMprisServiceName + ".instance" + its process id) and
// relays its change signals. False when the bus refuses the object or both
// names.
bool PublishMpris(Mpris& player, QDBusConnection bus);

// PublishMpris on the desktop's session bus; false, and nothing done, when
// there is no session bus.
bool PublishOnSessionBus(Mpris& player);

// The remote control of the window, kept up to date with it (not yet on any
// bus). The window owns it.
Mpris* WireMpris(Form2& form);

}  // namespace corvan
