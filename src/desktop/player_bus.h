#pragma once

#include "engine/file_path.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QList>
#include <QObject>

namespace corvan {

// One player a desktop: the first start of the program holds the player's
// name on the session bus; a later start hands its paths to that player and
// ends. Without a session bus each start is a player of its own.

inline constexpr QStringView kPlayerInterface = u"org.corvan.Player";
inline constexpr QStringView kPlayerObjectPath = u"/org/corvan/Player";

// Asks for the player's bus name (the remote control's). It waits for the
// bus's answer, at most `timeoutMs`: the program asks on a thread of its
// own while it builds the window.
enum class BusClaim {
    Ours,   // this start is the player
    Taken,  // another player runs: hand over to it
    NoBus,  // no session bus, or it did not answer: a player of its own
};
BusClaim ClaimPlayerName(QDBusConnection bus, int timeoutMs = 2000);

// Hands `paths` (absolute; none: just come to the front) to the player that
// holds the name: one file by the remote control's OpenUri, anything else
// by the player's own Open; then its window comes to the front. A player
// that has only just started may not offer them yet: it is asked again for
// up to `patienceMs`. False when it never answered.
bool HandOver(QDBusConnection bus, const QList<FilePath>& paths, int patienceMs = 3000);

// The player's own interface: Open(aay), the paths as the bytes they are.
class PlayerBusAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.corvan.Player")

public:
    explicit PlayerBusAdaptor(QObject* parent);

public slots:
    void Open(const QList<QByteArray>& paths);

signals:
    void OpenRequested(const QList<FilePath>& paths);
};

}  // namespace corvan
