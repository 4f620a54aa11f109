#include "desktop/player_bus.h"

#include "desktop/desktop_log.h"
#include "desktop/mpris.h"
#include "desktop/open_plan.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QThread>

namespace corvan {

namespace {

// RequestName's flag and answers, as the bus daemon numbers them.
constexpr uint kDoNotQueue = 4;
constexpr uint kPrimaryOwner = 1;
constexpr uint kAlreadyOwner = 4;

bool Call(QDBusConnection& bus, const QString& path, const QString& interface, const QString& method,
          const QVariantList& args)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kMprisServiceName.toString(), path, interface, method);
    message.setArguments(args);
    return bus.call(message, QDBus::Block, 2000).type() == QDBusMessage::ReplyMessage;
}

// Paths go over the bus as arrays of bytes ("aay"), so that they keep them.
void RegisterPathLists()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<QList<QByteArray>>();
        return true;
    }();
    (void)registered;
}

}  // namespace

BusClaim ClaimPlayerName(QDBusConnection bus, int timeoutMs)
{
    if (!bus.isConnected()) {
        qCDebug(lcDesktop) << "no session bus: this start is a player of its own";
        return BusClaim::NoBus;
    }
    QDBusMessage request = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("RequestName"));
    request << kMprisServiceName.toString() << kDoNotQueue;
    const QDBusMessage reply = bus.call(request, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        qCWarning(lcDesktop).noquote() << "the player's name could not be claimed on the session bus:"
                                       << reply.errorMessage() << "- this start is a player of its own";
        return BusClaim::NoBus;
    }
    const uint answer = reply.arguments().constFirst().toUInt();
    return answer == kPrimaryOwner || answer == kAlreadyOwner ? BusClaim::Ours : BusClaim::Taken;
}

bool HandOver(QDBusConnection bus, const QList<FilePath>& paths, int patienceMs)
{
    const QDeadlineTimer deadline(patienceMs);
    const auto untilAnswered = [&](const auto& ask) {
        for (;;) {
            if (ask())
                return true;
            if (deadline.hasExpired())
                return false;
            QThread::msleep(50);
        }
    };
    const QString mprisPath = kMprisObjectPath.toString();
    bool handed = true;
    if (paths.size() == 1 && !IsPlaylistFile(paths.front())) {
        const QString uri = QString::fromLatin1(paths.front().Uri());
        handed = untilAnswered(
            [&] { return Call(bus, mprisPath, kMprisPlayerInterface.toString(), QStringLiteral("OpenUri"), {uri}); });
    } else if (!paths.isEmpty()) {
        RegisterPathLists();
        QList<QByteArray> bytes;
        for (const FilePath& p : paths)
            bytes << p.Bytes();
        handed = untilAnswered([&] {
            return Call(bus, kPlayerObjectPath.toString(), kPlayerInterface.toString(), QStringLiteral("Open"),
                        {QVariant::fromValue(bytes)});
        });
    }
    const bool raised = untilAnswered(
        [&] { return Call(bus, mprisPath, kMprisRootInterface.toString(), QStringLiteral("Raise"), {}); });
    if (!handed)
        qCWarning(lcDesktop) << "the running player did not take the files in time";
    if (!raised)
        qCWarning(lcDesktop) << "the running player did not come to the front in time";
    return handed && raised;
}

PlayerBusAdaptor::PlayerBusAdaptor(QObject* parent)
    : QDBusAbstractAdaptor(parent)
{
    RegisterPathLists();
}

void PlayerBusAdaptor::Open(const QList<QByteArray>& paths)
{
    QList<FilePath> given;
    for (const QByteArray& bytes : paths)
        given << FilePath::FromBytes(bytes);
    emit OpenRequested(given);
}

}  // namespace corvan
