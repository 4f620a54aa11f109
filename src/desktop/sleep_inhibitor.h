#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QObject>

namespace corvan {

// Keeps the desktop from suspending the machine for idleness while music
// plays: a person listening does not touch the keyboard for an hour. It
// asks the first that answers of the desktop portal (Inhibit, with the
// suspend flag), the desktop's screensaver and the login manager, and lets
// go when playing stops. Without any of them the player plays as before,
// and asks again the next time playing starts.
class SleepInhibitor : public QObject {
    Q_OBJECT

public:
    SleepInhibitor(QDBusConnection session, QDBusConnection system, QObject* parent = nullptr);
    ~SleepInhibitor() override;

    // Holds the inhibition while `playing`, lets it go otherwise.
    void SetPlaying(bool playing);
    bool Holding() const { return via_ != Via::None; }

private:
    enum class Via { None, Portal, ScreenSaver, Login };

    void ask(Via via);
    void release();

    QDBusConnection session_;
    QDBusConnection system_;
    bool wanted_ = false;
    bool asking_ = false;
    bool refused_ = false;
    Via via_ = Via::None;
    QDBusObjectPath portalRequest_;
    uint screenSaverCookie_ = 0;
    QDBusUnixFileDescriptor loginLock_;
};

}  // namespace corvan
