#include "desktop/sleep_inhibitor.h"

#include "desktop/desktop_log.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace corvan {

namespace {

const QString kWho = QStringLiteral("Corvan Media Player");
const QString kWhy = QStringLiteral("Playing music");

// The portal's Inhibit flag for suspending the machine.
constexpr uint kPortalSuspend = 4;

QDBusMessage PortalInhibit()
{
    QDBusMessage m = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    m << QString() << kPortalSuspend << QVariantMap{{QStringLiteral("reason"), kWhy}};
    return m;
}

QDBusMessage ScreenSaverInhibit()
{
    QDBusMessage m = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
        QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("Inhibit"));
    m << kWho << kWhy;
    return m;
}

QDBusMessage LoginInhibit()
{
    QDBusMessage m = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    m << QStringLiteral("idle") << kWho << kWhy << QStringLiteral("block");
    return m;
}

}  // namespace

SleepInhibitor::SleepInhibitor(QDBusConnection session, QDBusConnection system, QObject* parent)
    : QObject(parent)
    , session_(std::move(session))
    , system_(std::move(system))
{
}

SleepInhibitor::~SleepInhibitor()
{
    wanted_ = false;
    release();
}

void SleepInhibitor::SetPlaying(bool playing)
{
    // Refused by every way: asked again only when playing starts anew, not
    // on every beat of the window's timer for as long as it plays.
    if (!playing)
        refused_ = false;
    wanted_ = playing;
    if (playing && via_ == Via::None && !asking_ && !refused_)
        ask(Via::Portal);
    else if (!playing && !asking_)
        release();
}

// Each in turn, never waiting on the window's thread: an answer that comes
// when playing has stopped meanwhile is let go at once.
void SleepInhibitor::ask(Via via)
{
    QDBusConnection* bus = nullptr;
    QDBusMessage message;
    switch (via) {
    case Via::Portal:
        bus = &session_;
        message = PortalInhibit();
        break;
    case Via::ScreenSaver:
        bus = &session_;
        message = ScreenSaverInhibit();
        break;
    case Via::Login:
        bus = &system_;
        message = LoginInhibit();
        break;
    case Via::None:
        refused_ = wanted_;
        return;
    }
    const Via next = via == Via::Portal ? Via::ScreenSaver : via == Via::ScreenSaver ? Via::Login : Via::None;
    if (!bus->isConnected()) {
        ask(next);
        return;
    }
    asking_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus->asyncCall(message, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, via, next] {
        watcher->deleteLater();
        asking_ = false;
        const QDBusMessage reply = watcher->reply();
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            qCDebug(lcDesktop) << "no inhibition through" << static_cast<int>(via) << reply.errorMessage();
            ask(next);
            return;
        }
        via_ = via;
        const QVariant value = reply.arguments().constFirst();
        if (via == Via::Portal)
            portalRequest_ = value.value<QDBusObjectPath>();
        else if (via == Via::ScreenSaver)
            screenSaverCookie_ = value.toUInt();
        else
            loginLock_ = value.value<QDBusUnixFileDescriptor>();
        qCDebug(lcDesktop) << "suspend for idleness held off through" << static_cast<int>(via);
        if (!wanted_)
            release();
    });
}

void SleepInhibitor::release()
{
    switch (via_) {
    case Via::None:
        return;
    case Via::Portal:
        session_.asyncCall(
            QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"), portalRequest_.path(),
                                           QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Close")));
        break;
    case Via::ScreenSaver: {
        QDBusMessage m = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
            QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("UnInhibit"));
        m << screenSaverCookie_;
        session_.asyncCall(m);
        break;
    }
    case Via::Login:
        // The login manager lets go when the last copy of its lock closes.
        loginLock_ = QDBusUnixFileDescriptor();
        break;
    }
    via_ = Via::None;
}

}  // namespace corvan
